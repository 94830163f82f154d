#pragma once
// The contact record: 819 bytes in memory, 820 bytes in "PbData.dat" (the
// picture path is one byte wider in the file). Every text is a NUL-terminated
// byte string in the system code page, zero-padded; a completely full field
// has no terminator.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace evdo {

inline constexpr int kMaxContacts = 200;

inline constexpr std::size_t kNameWidth = 33;
inline constexpr std::size_t kMobileWidth = 41;
inline constexpr std::size_t kHomeWidth = 41;
inline constexpr std::size_t kCompanyWidth = 41;
inline constexpr std::size_t kEmailWidth = 201;
inline constexpr std::size_t kRemarkWidth = 202;
inline constexpr std::size_t kPictureWidth = 260;
inline constexpr std::size_t kPictureFileWidth = 261;

// The record with a picture field of PictureWidth bytes: 260 in memory,
// 261 in the file.
template <std::size_t PictureWidth>
struct BasicContactRecord {
  char Name[kNameWidth];
  char Mobile[kMobileWidth];
  char Home[kHomeWidth];
  char Company[kCompanyWidth];
  char Email[kEmailWidth];
  char Remark[kRemarkWidth];
  char Picture[PictureWidth];
};

using ContactRecord = BasicContactRecord<kPictureWidth>;
// One record of "PbData.dat".
using ContactFileRecord = BasicContactRecord<kPictureFileWidth>;

inline constexpr std::size_t kContactRecordSize = 819;
inline constexpr std::size_t kContactFileRecordSize = 820;

template <class Record>
constexpr bool HasContactOffsets() {
  return offsetof(Record, Name) == 0 && offsetof(Record, Mobile) == 33 && offsetof(Record, Home) == 74 &&
         offsetof(Record, Company) == 115 && offsetof(Record, Email) == 156 && offsetof(Record, Remark) == 357 &&
         offsetof(Record, Picture) == 559;
}

static_assert(sizeof(ContactRecord) == kContactRecordSize);
static_assert(sizeof(ContactFileRecord) == kContactFileRecordSize);
static_assert(HasContactOffsets<ContactRecord>());
static_assert(HasContactOffsets<ContactFileRecord>());

// The seven fields in record order. The first six are also the list columns
// and the sort columns 0..5.
enum class ContactField { Name, Mobile, Home, Company, Email, Remark, Picture };
inline constexpr int kContactFieldCount = 7;
inline constexpr int kContactColumnCount = 6;

inline constexpr std::array<ContactField, 3> kNumberFields = {ContactField::Mobile, ContactField::Home,
                                                              ContactField::Company};

// "Name", "Mobile", ...: the field names of the comma-separated header.
std::string_view FieldName(ContactField field);

// The field's bytes in memory and its width.
char* FieldData(ContactRecord& record, ContactField field);
const char* FieldData(const ContactRecord& record, ContactField field);
std::size_t FieldWidth(ContactField field);
// Width of the field in "PbData.dat".
std::size_t FileFieldWidth(ContactField field);
// Offset of the field in both records.
std::size_t FieldOffset(ContactField field);

// The text of a field, bounded by its width.
std::string_view FieldValue(const ContactRecord& record, ContactField field);

// Zero-fills the field and stores text in it, at most width - 1 bytes and
// never splitting a double-byte character. False when the text was cut.
bool SetFieldValue(ContactRecord& record, ContactField field, std::string_view text);

// A record with every field zero.
ContactRecord EmptyContact();

// True when all seven fields are empty.
bool IsBlankContact(const ContactRecord& record);
// True when Name, Mobile, Home and Company are all empty (the import skips such).
bool HasNoNameOrNumber(const ContactRecord& record);

bool SameContact(const ContactRecord& a, const ContactRecord& b);

// The non-empty numbers of a contact, Mobile, Home and Company in order.
struct ContactNumber {
  ContactField field;
  std::string_view number;
};
std::vector<ContactNumber> NumbersOf(const ContactRecord& record);

// At most this many contacts are chosen as recipients of one message.
inline constexpr int kMaxRecipients = 10;

}  // namespace evdo
