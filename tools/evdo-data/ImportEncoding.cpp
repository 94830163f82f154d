#include "tools/evdo-data/ImportEncoding.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace evdo::datatool {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

bool HasHighBytes(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// The file's lines (without their ends), for the reports.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == text.size()) break;
    start = end + 1;
  }
  return lines;
}

std::string LineList(const std::vector<std::size_t>& numbers) {
  std::string out;
  for (std::size_t i = 0; i < numbers.size() && i < 10; ++i) out += (i ? ", " : "") + std::to_string(numbers[i]);
  if (numbers.size() > 10) out += " and " + std::to_string(numbers.size() - 10) + " more";
  return out;
}

// Converts line by line from one code page to another, keeping the line
// ends; a line whose characters do not survive is reported by number.
bool Convert(std::string_view text, CodePage from, CodePage to, const char* fromName, const char* toName,
             std::string& out, std::vector<std::string>& problems) {
  std::size_t start = 0;
  for (std::size_t number = 1; start < text.size(); ++number) {
    std::size_t newline = text.find('\n', start);
    std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
    std::size_t end = newline == std::string_view::npos ? text.size() : newline;
    if (end > start && text[end - 1] == '\r') --end;
    std::string_view line = text.substr(start, end - start);
    std::string_view lineEnd = text.substr(end, next - end);
    start = next;
    std::string utf8;
    if (from == CodePage::Utf8) {
      if (!IsValidUtf8(line)) {
        problems.push_back("line " + std::to_string(number) + ": bytes that are no " + fromName + " character");
        continue;
      }
      utf8 = std::string(line);
    } else {
      utf8 = ToUtf8(line, from);
      if (FromUtf8(utf8, from) != line) {
        problems.push_back("line " + std::to_string(number) + ": bytes that are no " + fromName + " character");
        continue;
      }
    }
    std::string converted = to == CodePage::Utf8 ? utf8 : FromUtf8(utf8, to);
    if (to != CodePage::Utf8 && ToUtf8(converted, to) != utf8) {
      problems.push_back("line " + std::to_string(number) + ": \"" + utf8 + "\" has characters that " + toName +
                         " cannot hold");
      continue;
    }
    out += converted;
    out += lineEnd;
  }
  return problems.empty();
}

}  // namespace

bool ParseInputEncoding(std::string_view name, InputEncoding& out) {
  std::string n = Lower(name);
  if (n == "auto") out = InputEncoding::Auto;
  else if (n == "utf-8" || n == "utf8") out = InputEncoding::Utf8;
  else if (n == "gbk" || n == "936" || n == "cp936" || n == "gb2312") out = InputEncoding::Gbk;
  else return false;
  return true;
}

bool IsValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    std::size_t length;
    std::uint32_t cp;
    if (b >= 0xC2 && b <= 0xDF) length = 2, cp = b & 0x1F;
    else if (b >= 0xE0 && b <= 0xEF) length = 3, cp = b & 0x0F;
    else if (b >= 0xF0 && b <= 0xF4) length = 4, cp = b & 0x07;
    else return false;
    if (i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      auto c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += length;
  }
  return true;
}

ConvertedInput ConvertForStore(std::string_view bytes, InputEncoding requested, CodePage store) {
  ConvertedInput result;
  const bool bom = bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom;
  if (bom) bytes.remove_prefix(kUtf8Bom.size());
  InputEncoding encoding = requested;
  if (encoding == InputEncoding::Auto) {
    if (bom) {
      encoding = InputEncoding::Utf8;
    } else if (!HasHighBytes(bytes)) {
      result.ok = true;
      result.encoding = "ASCII";
      result.text = std::string(bytes);
      return result;
    } else if (IsValidUtf8(bytes)) {
      encoding = InputEncoding::Utf8;
    } else {
      // Not UTF-8 as a whole. Lines that are UTF-8 with multi-byte
      // characters beside lines that are not: the file mixes encodings, and
      // any guess would store some names wrongly.
      std::vector<std::size_t> utf8Lines, otherLines;
      std::vector<std::string_view> lines = Lines(bytes);
      for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!HasHighBytes(lines[i])) continue;
        (IsValidUtf8(lines[i]) ? utf8Lines : otherLines).push_back(i + 1);
      }
      // A GBK line can happen to be valid UTF-8 only rarely; one such line
      // beside many GBK lines is still reported, as it cannot be told apart.
      if (!utf8Lines.empty()) {
        result.encoding = "mixed";
        result.problems.push_back("the file mixes encodings: line(s) " + LineList(utf8Lines) +
                                  " read as UTF-8, line(s) " + LineList(otherLines) +
                                  " do not; name the encoding with --input-encoding utf-8 or gbk");
        return result;
      }
      encoding = InputEncoding::Gbk;
    }
  }
  const bool fromUtf8 = encoding == InputEncoding::Utf8;
  result.encoding = fromUtf8 ? (bom ? "UTF-8 with byte-order mark" : "UTF-8") : "GBK";
  const char* storeName = store == CodePage::Utf8 ? "UTF-8" : "code page 936 (GBK)";
  result.ok = Convert(bytes, fromUtf8 ? CodePage::Utf8 : CodePage::Cp936, store, fromUtf8 ? "UTF-8" : "GBK",
                      storeName, result.text, result.problems);
  if (!result.ok) result.text.clear();
  return result;
}

}  // namespace evdo::datatool
