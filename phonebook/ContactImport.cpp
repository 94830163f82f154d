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

ImportOutcome ContactImport::FromText(CPbData& store, std::string_view text, ImportFormat format) {
  if (text.find('\0') != std::string_view::npos) {
    // Not a text file: nothing in it is taken.
    ImportOutcome outcome;
    outcome.Fail(pbmsg::kMalformedFile, "the file holds NUL bytes; it is not text");
    if (format == ImportFormat::VCard) outcome.Fail(pbmsg::kNothingToExport);
    return outcome;
  }
  return format == ImportFormat::Csv ? CsvContactReader::Import(store, text) : VCardReader::Import(store, text);
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


}  // namespace evdo
