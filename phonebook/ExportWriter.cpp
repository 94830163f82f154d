#include "phonebook/ExportWriter.h"

#include "core/files/DataFile.h"
#include "phonebook/PhonebookMessages.h"

namespace evdo {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kExtensionSearchFromEnd = 5;

}  // namespace

CExportWriter::CExportWriter(ExportKind kind, ExportFormat format, std::string_view header)
    : kind_(kind), format_(format) {
  if (format_ == ExportFormat::Csv) {
    text_.assign(header);
    text_.append(kLineEnd);
  }
}

ExportStrings CExportWriter::StringsFor(ExportKind kind) {
  switch (kind) {
    case ExportKind::Phonebook:
      return {kPhonebookFilterString, kPhonebookExportTitleString, kPhonebookHeaderString};
    case ExportKind::Messages:
      return {kOtherFilterString, kOtherExportTitleString, kMessagesHeaderString};
    case ExportKind::Logs:
      break;
  }
  return {kOtherFilterString, kOtherExportTitleString, kLogsHeaderString};
}

std::string CExportWriter::WithExtension(std::string path, std::string_view extension) {
  const std::size_t from = path.size() > kExtensionSearchFromEnd ? path.size() - kExtensionSearchFromEnd : 0;
  if (path.find(extension, from) == std::string::npos) path.append(extension);
  return path;
}

void CExportWriter::AddField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    text_.append(text);
    text_ += ',';
    return;
  }
  text_ += '"';
  for (char c : text) {
    if (c == '"') text_ += '"';
    text_ += c;
  }
  text_.append("\",");
}

void CExportWriter::EndRecord() {
  if (format_ == ExportFormat::VCard) {
    text_.append("\nEND:VCARD");
    return;
  }
  if (!text_.empty() && text_.back() == ',') text_.pop_back();
  text_.append(kLineEnd);
}

void CExportWriter::AddContact(const ContactRecord& record) {
  text_.append("BEGIN:VCARD\nVERSION:3.0");
  text_.append("\nFN:").append(FieldValue(record, ContactField::Name));
  text_.append("\nTEL;TYPE=CELL,VOICE,PREF:").append(FieldValue(record, ContactField::Mobile));
  text_.append("\nTEL;TYPE=HOME,VOICE:").append(FieldValue(record, ContactField::Home));
  text_.append("\nTEL;TYPE=WORK,VOICE:").append(FieldValue(record, ContactField::Company));
  text_.append("\nEMAIL;TYPE=INTERNET,PREF:").append(FieldValue(record, ContactField::Email));
  text_.append("\nNOTE:").append(FieldValue(record, ContactField::Remark));
  EndRecord();
  text_.append(kLineEnd);
}

int CExportWriter::SaveText(const std::string& path, std::string* error) const {
  FileResult w = DataFile::WriteChosen(path, text_.data(), text_.size());
  if (w) return pbmsg::kNone;
  if (error) *error = w.error;
  switch (w.fault) {
    case FileFault::Link:
      return pbmsg::kExportIsLink;
    case FileFault::ReadOnly:
      return pbmsg::kExportReadOnly;
    default:
      return pbmsg::kCannotWrite;
  }
}

}  // namespace evdo
