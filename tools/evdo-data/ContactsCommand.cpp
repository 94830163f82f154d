#include "tools/evdo-data/ContactsCommand.h"

#include "phonebook/ContactExport.h"
#include "phonebook/ContactImport.h"
#include "phonebook/PbData.h"

namespace evdo::datatool {
namespace {

// Until the language modules supply them: the English header line (string
// 393) and the two file extensions (strings 317 and 318).
constexpr const char* kHeader = "Name,Mobile,Home,Company,Email,Remark";
constexpr const char* kCsvExtension = ".csv";
constexpr const char* kVCardExtension = ".vcf";

void PrintMessages(const std::vector<int>& messages, std::ostream& out) {
  for (int m : messages) out << "message " << m << "\n";
}

int Usage(std::ostream& err) {
  err << "usage: evdo-data export-contacts --csv|--vcard PbData.dat OUT\n"
         "       evdo-data import-contacts IN PbData.dat\n";
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

int ImportContacts(const std::string& inPath, const std::string& pbPath, std::ostream& out, std::ostream& err) {
  CPbData store;
  const LoadResult loaded = store.Load(pbPath);
  if (!loaded.error.empty()) err << loaded.error << "\n";
  // An unreadable file, or one that could be neither set aside nor created,
  // takes no contacts.
  if (loaded.status == LoadStatus::Unreadable || (!loaded.error.empty() && loaded.keptAs.empty())) return 1;
  ImportOutcome outcome = ContactImport::Run(store, inPath, kCsvExtension, kVCardExtension);
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
  if (args.size() == 3 && args[0] == "import-contacts") return ImportContacts(args[1], args[2], out, err);
  return Usage(err);
}

}  // namespace evdo::datatool
