#include "phonebook/PbDataFile.h"

#include <algorithm>
#include <cstring>

#include "core/text/FixedText.h"
#include "core/files/RawRecord.h"

namespace evdo {

bool PbDataFile::DecodeRecord(const std::uint8_t* p, std::size_t n, ContactRecord& out) {
  std::uint8_t buffer[kContactFileRecordSize] = {};
  std::memcpy(buffer, p, n < sizeof buffer ? n : sizeof buffer);
  out = EmptyContact();
  bool fits = true;
  for (int f = 0; f < kContactFieldCount; ++f) {
    auto field = static_cast<ContactField>(f);
    std::string_view text =
        FieldText(reinterpret_cast<const char*>(buffer) + FieldOffset(field), FileFieldWidth(field));
    if (text.size() > FieldWidth(field)) {
      text = text.substr(0, FieldWidth(field));
      fits = false;
    }
    std::memcpy(FieldData(out, field), text.data(), text.size());
  }
  return fits;
}

void PbDataFile::AppendRecord(Bytes& out, const ContactRecord& r) {
  ContactFileRecord file;
  std::memset(&file, 0, sizeof file);
  for (int f = 0; f < kContactFieldCount; ++f) {
    auto field = static_cast<ContactField>(f);
    std::string_view text = FieldValue(r, field);
    std::memcpy(reinterpret_cast<char*>(&file) + FieldOffset(field), text.data(), text.size());
  }
  evdo::AppendRecord(out, file);
}

int PbDataFile::Decode(const Bytes& content, ContactRecord* records, std::vector<std::string>& problems) {
  int count = 0, ignored = 0;
  std::size_t pos = 0;
  for (int index = 0; pos < content.size(); ++index, pos += kContactFileRecordSize) {
    std::size_t n = std::min(kContactFileRecordSize, content.size() - pos);
    if (n < kContactFileRecordSize)
      problems.push_back("ends with a partial record of " + std::to_string(n) + " bytes (a record is " +
                         std::to_string(kContactFileRecordSize) + ")");
    ContactRecord record;
    if (!DecodeRecord(content.data() + pos, n, record))
      problems.push_back("record " + std::to_string(index) + ": the picture path fills all " +
                         std::to_string(kPictureFileWidth) + " bytes; only " + std::to_string(kPictureWidth) +
                         " are kept");
    if (IsBlankContact(record)) continue;
    if (count < kMaxContacts) records[count++] = record;
    else ++ignored;
  }
  if (ignored > 0)
    problems.push_back("holds " + std::to_string(count + ignored) + " contacts; only the first " +
                       std::to_string(kMaxContacts) + " are kept");
  return count;
}

Bytes PbDataFile::Encode(const ContactRecord* records, int count) {
  Bytes out;
  out.reserve(static_cast<std::size_t>(count) * kContactFileRecordSize);
  for (int i = 0; i < count; ++i) AppendRecord(out, records[i]);
  return out;
}

std::vector<std::string> PbDataFile::Check(const Bytes& content) {
  std::vector<ContactRecord> records(kMaxContacts);
  std::vector<std::string> problems;
  Decode(content, records.data(), problems);
  return problems;
}

}  // namespace evdo
