#pragma once
// The comma-separated import. The first line names the columns ("Name",
// "Mobile", "Home", "Company", "Email", "Remark", exactly); every further line
// is one contact. A field whose first non-blank character is a double quote
// runs to its closing quote, may hold commas and line ends, and turns each
// pair of double quotes into one. Lines end with LF or CR LF and may be of
// any length.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "phonebook/ContactImport.h"

namespace evdo {

class CsvContactReader {
public:
  static ImportOutcome Import(CPbData& store, std::string_view text);

  // Reads the field starting at pos into field (untrimmed) and moves pos to
  // the next field. False when the field was the last of its line; pos is
  // then at the start of the next line.
  static bool ReadField(std::string_view text, std::size_t& pos, std::string& field);

private:
  static constexpr std::size_t kNoColumn = static_cast<std::size_t>(-1);
  using Columns = std::array<std::size_t, kContactColumnCount>;

  explicit CsvContactReader(std::string_view text) : text_(text) {}
  bool ReadHeader();
  // Reads one line into record; false (with the message) when a field fails.
  bool ReadContact(ContactRecord& record, ImportOutcome& outcome);
  bool Store(ContactRecord& record, ContactField field, std::string_view value, ImportOutcome& outcome);
  bool AtBlankLine() const;
  void SkipLine();

  std::string_view text_;
  std::size_t pos_ = 0;
  Columns columns_{};
};

}  // namespace evdo
