#pragma once
// CExportWriter: the text export shared by the phonebook (comma-separated or
// vCard), the message list and the connection logs (comma-separated only).
// The whole text is built in memory and written at once; nothing is
// re-encoded.
#include <string>
#include <string_view>

#include "phonebook/ContactRecord.h"

namespace evdo {

enum class ExportKind { Phonebook = 0, Messages = 1, Logs = 2 };
enum class ExportFormat { Csv = 0, VCard = 1 };

// Language strings of the export and import dialogs.
struct ExportStrings {
  int filter;  // 316 phonebook (two types), 319 the others
  int title;   // 320 phonebook export, 321 the others
  int header;  // 393, 394, 395: the comma-separated header line
};
inline constexpr int kPhonebookFilterString = 316;
inline constexpr int kCsvExtensionString = 317;
inline constexpr int kVCardExtensionString = 318;
inline constexpr int kOtherFilterString = 319;
inline constexpr int kPhonebookExportTitleString = 320;
inline constexpr int kOtherExportTitleString = 321;
inline constexpr int kImportTitleString = 322;
inline constexpr int kPhonebookHeaderString = 393;
inline constexpr int kMessagesHeaderString = 394;
inline constexpr int kLogsHeaderString = 395;

class CExportWriter {
public:
  // header: the kind's header line (its language string), written first
  // in the comma-separated format and ended with CR LF.
  CExportWriter(ExportKind kind, ExportFormat format, std::string_view header);

  static ExportStrings StringsFor(ExportKind kind);

  // path with extension appended unless the extension occurs at or after
  // the path's fifth-last character.
  static std::string WithExtension(std::string path, std::string_view extension);

  // Comma-separated: one field. A text holding a comma, a double quote, CR
  // or LF is enclosed in double quotes with its double quotes doubled.
  void AddField(std::string_view text);
  // Ends a comma-separated line (its last comma becomes CR LF) or a vCard.
  void EndRecord();
  // One whole vCard 3.0 of record, every field written as stored.
  void AddContact(const ContactRecord& record);

  // Creates path anew with the whole text. 0; 453 when path is a symbolic
  // link and 454 when it is a read-only file (neither is replaced); 313 when
  // it cannot be written.
  int SaveText(const std::string& path, std::string* error = nullptr) const;

  const std::string& Text() const { return text_; }
  ExportKind Kind() const { return kind_; }
  ExportFormat Format() const { return format_; }

private:
  ExportKind kind_;
  ExportFormat format_;
  std::string text_;
};

}  // namespace evdo
