#pragma once
// The phonebook's export command: the selected contacts (or all) in list
// order, written as comma-separated lines or as vCards.
#include <string>
#include <string_view>
#include <vector>

#include "phonebook/ExportWriter.h"
#include "phonebook/PbData.h"

namespace evdo {

struct ExportOutcome {
  int exported = 0;
  bool written = false;
  std::vector<int> messages;  // the messages to show, in order
  std::string error;
};

class ContactExport {
public:
  // selected: list positions in list order; empty means every contact.
  // header: language string 393, used by the comma-separated format.
  static ExportOutcome Run(const CPbData& store, const std::vector<int>& selected, ExportFormat format,
                           std::string_view header, const std::string& path);

  // Adds one contact to writer in its format.
  static void AddContact(CExportWriter& writer, const ContactRecord& record);
};

}  // namespace evdo
