#pragma once
// The encoding of a contact file to import, and its conversion into the code
// page of the phonebook store. A file with a UTF-8 byte-order mark, or valid
// UTF-8 holding multi-byte characters, is read as UTF-8; any other file as
// code page 936 (GBK). Characters the store's code page cannot hold, and
// bytes that are no character in the encoding read, are reported with their
// line instead of being turned into other characters.
#include <string>
#include <string_view>
#include <vector>

#include "core/text/CodePage.h"

namespace evdo::datatool {

enum class InputEncoding { Auto, Utf8, Gbk };

// "auto", "utf-8"/"utf8", "gbk"/"936"/"cp936"/"gb2312" (case-insensitive).
bool ParseInputEncoding(std::string_view name, InputEncoding& out);

// True when text is well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(std::string_view text);

struct ConvertedInput {
  bool ok = false;
  std::string text;                   // in the store's code page, when ok
  std::string encoding;               // what the file was read as: "UTF-8", "UTF-8 with byte-order mark", "GBK", "ASCII"
  std::vector<std::string> problems;  // "line N: ...", when not ok
};

// Converts the file's bytes into code page store.
ConvertedInput ConvertForStore(std::string_view bytes, InputEncoding requested, CodePage store);

}  // namespace evdo::datatool
