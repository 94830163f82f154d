#include "tools/evdo-data/ContactsCommand.h"

#include "phonebook/ContactExport.h"
#include "phonebook/ContactImport.h"
#include "phonebook/PbData.h"
#include "phonebook/PhonebookMessages.h"
#include "tools/evdo-data/ImportEncoding.h"
#include "tools/evdo-data/ToolTexts.h"

#include <filesystem>
#include <optional>

namespace evdo::datatool {
namespace {

// Until the language modules supply them: the English header line (string
// 393) and the two file extensions (strings 317 and 318).
constexpr const char* kHeader = "Name,Mobile,Home,Company,Email,Remark";
constexpr const char* kCsvExtension = ".csv";
constexpr const char* kVCardExtension = ".vcf";

// The messages the dashboard would show, in words.
void PrintMessages(const std::vector<int>& messages, std::ostream& out) {
  for (int m : messages) out << MessageText(m) << "\n";
}

int Usage(std::ostream& err) {
  err << "usage: evdo-data export-contacts --csv|--vcard PbData.dat OUT\n"
         "       evdo-data import-contacts [--input-encoding auto|utf-8|gbk] IN PbData.dat\n";
  return 2;
}

int ExportContacts(const std::string& option, const std::string& pbPath, const std::string& outPath,
                   std::ostream& out, std::ostream& err) {
  if (option != "--csv" && option != "--vcard") return Usage(err);
  Bytes content;
  LoadResult read = DataFile::Read(pbPath, content);
  if (read.status != LoadStatus::Loaded) {
    err << (read.status == LoadStatus::Missing ? pbPath + ": no such file" : read.error) << "\n";
    return 1;
  }
  CPbData store;
  for (const auto& problem : store.LoadFromBytes(content)) err << pbPath << ": " << problem << "\n";
  ExportOutcome outcome = ContactExport::Run(store, {}, option == "--csv" ? ExportFormat::Csv : ExportFormat::VCard,
                                             kHeader, outPath);
  PrintMessages(outcome.messages, out);
  if (!outcome.error.empty()) err << outcome.error << "\n";
  if (!outcome.written) return 1;
  out << "exported " << outcome.exported << " contacts to " << outPath << "\n";
  return 0;
}

// The file's bytes in the store's code page; false (with the reasons on
// err) when they cannot be converted without changing a character.
bool ReadForStore(const std::string& inPath, InputEncoding encoding, std::string& text, std::ostream& out,
                  std::ostream& err) {
  std::error_code ec;
  if (const auto size = std::filesystem::file_size(inPath, ec); !ec && size > ContactImport::kMaxFileBytes) {
    err << inPath << ": larger than " << ContactImport::kMaxFileBytes << " bytes; nothing imported\n";
    return false;
  }
  Bytes content;
  LoadResult read = DataFile::Read(inPath, content);
  if (read.status != LoadStatus::Loaded) {
    err << (read.status == LoadStatus::Missing ? inPath + ": no such file" : read.error) << "\n";
    return false;
  }
  text.clear();
  if (content.empty()) return true;
  std::string_view bytes(reinterpret_cast<const char*>(content.data()), content.size());
  ConvertedInput converted = ConvertForStore(bytes, encoding, SystemCodePage());
  if (!converted.ok) {
    for (const auto& problem : converted.problems) err << inPath << ": " << problem << "\n";
    err << inPath << ": nothing imported\n";
    return false;
  }
  out << "read " << inPath << " as " << converted.encoding << "\n";
  text = std::move(converted.text);
  return true;
}

int ImportContacts(const std::string& inPath, const std::string& pbPath, InputEncoding encoding, std::ostream& out,
                   std::ostream& err) {
  std::optional<ImportFormat> format = ContactImport::FormatFor(inPath, kCsvExtension, kVCardExtension);
  if (!format) {
    out << MessageText(pbmsg::kUnknownFileType) << "\n";
    return 1;
  }
  std::string text;
  if (!ReadForStore(inPath, encoding, text, out, err)) return 1;
  if (text.empty()) {
    out << MessageText(pbmsg::kEmptyFile) << "\n";
    return 1;
  }
  CPbData store;
  const LoadResult loaded = store.Load(pbPath);
  if (!loaded.error.empty()) err << loaded.error << "\n";
  // An unreadable file, or one that could be neither set aside nor created,
  // takes no contacts.
  if (loaded.status == LoadStatus::Unreadable || (!loaded.error.empty() && loaded.keptAs.empty())) return 1;
  if (store.Count() >= kMaxContacts) {
    out << MessageText(pbmsg::kStoreFull) << "\n";
    return 1;
  }
  // The text is in the store's code page already, read as the user said.
  ImportOutcome outcome = ContactImport::FromText(store, text, *format, ContactImport::TextEncoding::SystemCodePage);
  PrintMessages(outcome.messages, out);
  if (!outcome.error.empty()) err << outcome.error << "\n";
  out << "added " << outcome.added << " contacts to " << pbPath << " (now " << store.Count() << ")\n";
  return outcome.completed ? 0 : 1;
}

}  // namespace

bool IsContactsCommand(const std::string& command) {
  return command == "export-contacts" || command == "import-contacts";
}

int RunContactsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 4 && args[0] == "export-contacts") return ExportContacts(args[1], args[2], args[3], out, err);
  if (!args.empty() && args[0] == "import-contacts") {
    std::vector<std::string> rest(args.begin() + 1, args.end());
    InputEncoding encoding = InputEncoding::Auto;
    for (std::size_t i = 0; i < rest.size(); ++i) {
      if (rest[i] != "--input-encoding") continue;
      if (i + 1 >= rest.size() || !ParseInputEncoding(rest[i + 1], encoding)) {
        err << "--input-encoding takes auto, utf-8 or gbk\n";
        return Usage(err);
      }
      rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(i), rest.begin() + static_cast<std::ptrdiff_t>(i) + 2);
      break;
    }
    if (rest.size() == 2) return ImportContacts(rest[0], rest[1], encoding, out, err);
  }
  return Usage(err);
}

}  // namespace evdo::datatool
