#pragma once
// The phonebook's import command: the file type by extension, reading the
// file, and the rules every imported contact passes before it is appended
// to the store. The readers of the two formats are CsvContactReader and
// VCardReader.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phonebook/ContactRecord.h"
#include "phonebook/PbData.h"

namespace evdo {

enum class ImportFormat { Csv, VCard };

struct ImportOutcome {
  int added = 0;              // contacts appended to the store
  bool completed = false;     // the whole file was read; false when a failure stopped it
  std::vector<int> messages;  // the messages to show, in order
  std::string error;          // detail for a file or store failure

  void Fail(int message, std::string detail = {}) {
    messages.push_back(message);
    if (!detail.empty()) error = std::move(detail);
  }
};

class ContactImport {
public:
  // Longest texts an import stores.
  static constexpr std::size_t kNameBytes = 12;
  static constexpr std::size_t kNumberBytes = 32;
  static constexpr std::size_t kEmailBytes = 32;
  static constexpr std::size_t kRemarkBytes = 128;
  // A larger file cannot be a phonebook of 200 contacts; it is refused (315).
  static constexpr std::size_t kMaxFileBytes = 16u << 20;

  // The format by the path's ending (byte-wise, case-sensitive); the
  // extensions are language strings 317 and 318, each of at most 4 characters.
  static std::optional<ImportFormat> FormatFor(std::string_view path, std::string_view csvExtension,
                                               std::string_view vcardExtension);

  // The import command for the file the user chose.
  static ImportOutcome Run(CPbData& store, const std::string& path, std::string_view csvExtension,
                           std::string_view vcardExtension);
  // How the text of FromText is encoded: the file's own bytes (a
  // comma-separated file in UTF-8 is recognised and converted), or already
  // in the system code page (a caller that converted it as the user said).
  enum class TextEncoding { AsInFile, SystemCodePage };
  // Parses text and appends the accepted contacts.
  static ImportOutcome FromText(CPbData& store, std::string_view text, ImportFormat format,
                                TextEncoding encoding = TextEncoding::AsInFile);

  // Rules shared by both readers. Each returns 0 or the message to show.
  static int CheckName(std::string_view name);     // 277
  static int CheckNumber(std::string_view number);  // 282, then 195 on the stored part
  // The part of text an import keeps in field.
  static std::string_view Shorten(ContactField field, std::string_view text);

  // Appends record unless it has no name and no number (then skipped is
  // set). False when the store refused it; the outcome then holds its message.
  static bool AddOrSkip(CPbData& store, const ContactRecord& record, ImportOutcome& outcome, bool& skipped);

  // The text as a file opened as text reads: every CR LF becomes LF.
  static std::string TextModeLines(std::string_view text);

  // Blanks at both ends removed (space, tab, CR, LF, vertical tab, form feed).

};

}  // namespace evdo
