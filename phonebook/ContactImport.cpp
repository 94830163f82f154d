#include "phonebook/ContactImport.h"

#include <filesystem>

#include "core/text/CodePage.h"
#include "core/files/DataFile.h"
#include "phonebook/ContactRules.h"
#include "phonebook/CsvContactReader.h"
#include "phonebook/PhonebookMessages.h"
#include "phonebook/VCardReader.h"

namespace evdo {
namespace {


// Text with bytes above 127 that are all well-formed UTF-8 sequences.
bool IsUtf8Text(std::string_view text) {
  bool high = false;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3 : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
    if (n == 0 || i + n > text.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    high = high || n > 1;
    i += n;
  }
  return high;
}

}  // namespace

std::optional<ImportFormat> ContactImport::FormatFor(std::string_view path, std::string_view csvExtension,
                                                     std::string_view vcardExtension) {
  if (!csvExtension.empty() && path.ends_with(csvExtension)) return ImportFormat::Csv;
  if (!vcardExtension.empty() && path.ends_with(vcardExtension)) return ImportFormat::VCard;
  return std::nullopt;
}

ImportOutcome ContactImport::Run(CPbData& store, const std::string& path, std::string_view csvExtension,
                                 std::string_view vcardExtension) {
  ImportOutcome outcome;
  if (store.Count() >= kMaxContacts) {
    outcome.Fail(pbmsg::kStoreFull);
    return outcome;
  }
  std::optional<ImportFormat> format = FormatFor(path, csvExtension, vcardExtension);
  if (!format) {
    outcome.Fail(pbmsg::kUnknownFileType);
    return outcome;
  }
  std::error_code ec;
  if (const auto size = std::filesystem::file_size(path, ec); !ec && size > kMaxFileBytes) {
    outcome.Fail(pbmsg::kOutOfMemory, path + " is larger than " + std::to_string(kMaxFileBytes) + " bytes");
    return outcome;
  }
  Bytes content;
  LoadResult read = DataFile::Read(path, content);
  if (read.status != LoadStatus::Loaded) {
    outcome.Fail(pbmsg::kNothingToExport, read.status == LoadStatus::Missing ? path + ": no such file" : read.error);
    return outcome;
  }
  if (content.empty()) {
    outcome.Fail(pbmsg::kEmptyFile);
    return outcome;
  }
  return FromText(store, std::string_view(reinterpret_cast<const char*>(content.data()), content.size()), *format);
}

ImportOutcome ContactImport::FromText(CPbData& store, std::string_view text, ImportFormat format,
                                      TextEncoding encoding) {
  if (text.find('\0') != std::string_view::npos) {
    // Not a text file: nothing in it is taken.
    ImportOutcome outcome;
    outcome.Fail(pbmsg::kMalformedFile, "the file holds NUL bytes; it is not text");
    if (format == ImportFormat::VCard) outcome.Fail(pbmsg::kNothingToExport);
    return outcome;
  }
  // A byte order mark is no text; a comma-separated file in UTF-8 (as
  // address books write them) is read in the system code page.
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  const bool marked = text.starts_with(kUtf8Mark);
  if (marked) text.remove_prefix(kUtf8Mark.size());
  std::string converted;
  if (encoding == TextEncoding::AsInFile && format == ImportFormat::Csv && SystemCodePage() != CodePage::Utf8 &&
      (marked || IsUtf8Text(text))) {
    converted = FromUtf8(text);
    text = converted;
  }
  // The contacts are written once, at the end: a crash on the way leaves
  // the previous file (every save replaces the file whole).
  store.BeginBatch();
  ImportOutcome outcome =
      format == ImportFormat::Csv ? CsvContactReader::Import(store, text) : VCardReader::Import(store, text);
  if (ChangeResult saved = store.EndBatch(); !saved) {
    outcome.added = 0;
    outcome.completed = false;
    outcome.messages.clear();
    outcome.Fail(saved.message, saved.Error());
  }
  return outcome;
}

int ContactImport::CheckName(std::string_view name) {
  return ContactRules::NameHasTooManyChars(name) ? pbmsg::kInvalidName : pbmsg::kNone;
}

int ContactImport::CheckNumber(std::string_view number) {
  if (number == "+") return pbmsg::kPlusAlone;
  return CPbData::CheckNumberCharacters(Shorten(ContactField::Mobile, number)) ? pbmsg::kNone
                                                                             : pbmsg::kInvalidNumber;
}

std::string_view ContactImport::Shorten(ContactField field, std::string_view text) {
  switch (field) {
    case ContactField::Name:
      return CutToBytes(text, kNameBytes);
    case ContactField::Mobile:
    case ContactField::Home:
    case ContactField::Company:
      return CutToBytes(text, kNumberBytes);
    case ContactField::Email:
      return CutToBytes(text, kEmailBytes);
    case ContactField::Remark:
      return CutToBytes(text, kRemarkBytes);
    case ContactField::Picture:
      break;
  }
  return {};
}

bool ContactImport::AddOrSkip(CPbData& store, const ContactRecord& record, ImportOutcome& outcome, bool& skipped) {
  if (HasNoNameOrNumber(record)) {
    skipped = true;
    return true;
  }
  ChangeResult added = store.Append(record);
  if (!added) {
    outcome.Fail(added.message, added.Error());
    return false;
  }
  ++outcome.added;
  return true;
}

std::string ContactImport::TextModeLines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}


}  // namespace evdo
