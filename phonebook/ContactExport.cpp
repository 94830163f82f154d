#include "phonebook/ContactExport.h"

#include "phonebook/PhonebookMessages.h"

namespace evdo {

void ContactExport::AddContact(CExportWriter& writer, const ContactRecord& record) {
  if (writer.Format() == ExportFormat::VCard) {
    writer.AddContact(record);
    return;
  }
  for (int f = 0; f < kContactColumnCount; ++f) writer.AddField(FieldValue(record, static_cast<ContactField>(f)));
  writer.EndRecord();
}

ExportOutcome ContactExport::Run(const CPbData& store, const std::vector<int>& selected, ExportFormat format,
                                 std::string_view header, const std::string& path) {
  ExportOutcome outcome;
  if (store.Count() == 0) {
    outcome.messages.push_back(pbmsg::kNothingToExport);
    return outcome;
  }
  std::vector<int> positions = selected;
  if (positions.empty())
    for (int p = 0; p < store.Count(); ++p) positions.push_back(p);
  CExportWriter writer(ExportKind::Phonebook, format, header);
  for (int position : positions) {
    ContactRecord record;
    if (!store.Get(store.RecordAt(position), record)) {
      outcome.messages.push_back(pbmsg::kContactUnreadable);
      continue;
    }
    AddContact(writer, record);
    ++outcome.exported;
  }
  if (int m = writer.SaveText(path, &outcome.error)) {
    outcome.messages.push_back(m);
    return outcome;
  }
  outcome.written = true;
  return outcome;
}

}  // namespace evdo
