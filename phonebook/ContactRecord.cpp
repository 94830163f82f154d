#include "phonebook/ContactRecord.h"

#include <cstring>

#include "core/text/FixedText.h"

namespace evdo {
namespace {

struct FieldInfo {
  std::string_view name;
  std::size_t offset;
  std::size_t width;
  std::size_t fileWidth;
};

constexpr std::array<FieldInfo, kContactFieldCount> kFields = {{
    {"Name", offsetof(ContactRecord, Name), kNameWidth, kNameWidth},
    {"Mobile", offsetof(ContactRecord, Mobile), kMobileWidth, kMobileWidth},
    {"Home", offsetof(ContactRecord, Home), kHomeWidth, kHomeWidth},
    {"Company", offsetof(ContactRecord, Company), kCompanyWidth, kCompanyWidth},
    {"Email", offsetof(ContactRecord, Email), kEmailWidth, kEmailWidth},
    {"Remark", offsetof(ContactRecord, Remark), kRemarkWidth, kRemarkWidth},
    {"Picture", offsetof(ContactRecord, Picture), kPictureWidth, kPictureFileWidth},
}};

const FieldInfo& Info(ContactField field) { return kFields[static_cast<std::size_t>(field)]; }

}  // namespace

std::string_view FieldName(ContactField field) { return Info(field).name; }
std::size_t FieldWidth(ContactField field) { return Info(field).width; }
std::size_t FileFieldWidth(ContactField field) { return Info(field).fileWidth; }
std::size_t FieldOffset(ContactField field) { return Info(field).offset; }

char* FieldData(ContactRecord& record, ContactField field) {
  return reinterpret_cast<char*>(&record) + Info(field).offset;
}

const char* FieldData(const ContactRecord& record, ContactField field) {
  return reinterpret_cast<const char*>(&record) + Info(field).offset;
}

std::string_view FieldValue(const ContactRecord& record, ContactField field) {
  return FieldText(FieldData(record, field), FieldWidth(field));
}

bool SetFieldValue(ContactRecord& record, ContactField field, std::string_view text) {
  return SetFieldText(FieldData(record, field), FieldWidth(field), text);
}

ContactRecord EmptyContact() {
  ContactRecord r;
  std::memset(&r, 0, sizeof r);
  return r;
}

bool IsBlankContact(const ContactRecord& record) {
  for (int f = 0; f < kContactFieldCount; ++f)
    if (!FieldValue(record, static_cast<ContactField>(f)).empty()) return false;
  return true;
}

bool HasNoNameOrNumber(const ContactRecord& record) {
  if (!FieldValue(record, ContactField::Name).empty()) return false;
  for (ContactField f : kNumberFields)
    if (!FieldValue(record, f).empty()) return false;
  return true;
}

bool SameContact(const ContactRecord& a, const ContactRecord& b) {
  for (int f = 0; f < kContactFieldCount; ++f) {
    auto field = static_cast<ContactField>(f);
    if (FieldValue(a, field) != FieldValue(b, field)) return false;
  }
  return true;
}

std::vector<ContactNumber> NumbersOf(const ContactRecord& record) {
  std::vector<ContactNumber> numbers;
  for (ContactField f : kNumberFields)
    if (!FieldValue(record, f).empty()) numbers.push_back({f, FieldValue(record, f)});
  return numbers;
}

}  // namespace evdo
