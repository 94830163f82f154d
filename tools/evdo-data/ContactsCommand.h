#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace evdo::datatool {

// "export-contacts --csv|--vcard PbData.dat OUT" and
// "import-contacts IN PbData.dat": the phonebook's file export and import,
// printing the numbers of the messages the phonebook window shows.
bool IsContactsCommand(const std::string& command);
int RunContactsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace evdo::datatool
