#pragma once
// The source of the language modules' texts: one table, one line per string
// number, with a column per language, so that every module holds the same
// numbers. Lines are tab-separated: id, role, then one text per language in
// UTF-8. The first line that is not a comment ("#") names the columns
// ("id", "role", then the language column names). Texts may hold the escapes
// \\ (backslash), \t, \n and \r.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/CodePage.h"

namespace evdo {

struct StringTableEntry {
  std::int32_t id = 0;
  std::string role;
  std::vector<std::string> texts;  // one per language column, escapes resolved
};

class StringTableSource {
public:
  // Parses the table. On failure returns false with error naming the line.
  // Ids are 1 to 65535, each once; every line has every column; the table
  // holds at least one string.
  bool Parse(std::string_view source, std::string& error);

  const std::vector<std::string>& Languages() const { return languages_; }
  // Sorted by id.
  const std::vector<StringTableEntry>& Entries() const { return entries_; }
  // Index of the language column, or -1.
  int LanguageIndex(std::string_view language) const;

private:
  std::vector<std::string> languages_;
  std::vector<StringTableEntry> entries_;
};

// The module text for a UTF-8 table text in code page cp. False when a
// character has no mapping in cp.
bool EncodeModuleText(std::string_view utf8, CodePage cp, std::string& out);

// The C++ source of a module's string table (kModuleStrings, see
// lang/ModuleStrings.h) for one language column, texts in cp. False with error
// when a text cannot be encoded.
bool GenerateModuleTable(const StringTableSource& table, int languageIndex, CodePage cp,
                         std::string& out, std::string& error);

}  // namespace evdo
