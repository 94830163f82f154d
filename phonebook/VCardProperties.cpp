#include "phonebook/VCardProperties.h"

#include <algorithm>
#include <cctype>

#include "core/text/CodePage.h"

namespace evdo {
namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && Upper(text.substr(0, prefix.size())) == prefix;
}

// The part of a line before its value separator, for the soft line break test.
bool IsQuotedPrintableLine(std::string_view line) {
  const std::size_t colon = line.find(':');
  return colon != std::string_view::npos && Upper(line.substr(0, colon)).find("QUOTED-PRINTABLE") != std::string::npos;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string DecodeQuotedPrintable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '=' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else if (text[i] == '=' && i + 1 == text.size()) {
      // a soft line break left at the very end
    } else {
      out += text[i];
    }
  }
  return out;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    std::size_t n = c < 0x80 ? 1 : (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3 : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
    if (n == 0 || i + n > text.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

bool HasHighBytes(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; });
}

std::string Latin1ToSystem(std::string_view text) {
  std::u16string units;
  for (char c : text) units += static_cast<char16_t>(static_cast<unsigned char>(c));
  return FromUtf16(units);
}

std::string ToSystem(std::string_view text, const std::string& charset) {
  if (!HasHighBytes(text)) return std::string(text);
  if (charset == "UTF-8" || charset == "UTF8") return FromUtf8(text);
  if (charset == "GBK" || charset == "GB2312" || charset == "GB18030" || charset == "CP936" || charset == "BIG5" ||
      charset == "WINDOWS-936")
    return FromUtf16(ToUtf16(text, CodePage::Cp936));
  if (charset == "ISO-8859-1" || charset == "LATIN1" || charset == "WINDOWS-1252" || charset == "US-ASCII")
    return Latin1ToSystem(text);
  // No charset, or one not known here: UTF-8 when the bytes are UTF-8,
  // otherwise the bytes are taken to be in the system code page already.
  if (IsValidUtf8(text)) return FromUtf8(text);
  return std::string(text);
}

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char n = text[i + 1];
      if (n == 'n' || n == 'N') out += '\n';
      else if (n == ',' || n == ';' || n == '\\' || n == ':') out += n;
      else {
        out += text[i];
        continue;
      }
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The components of a structured value split at unescaped ';'.
std::vector<std::string> Components(std::string_view value) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      parts.back() += value[i];
      parts.back() += value[++i];
    } else if (value[i] == ';') {
      parts.emplace_back();
    } else {
      parts.back() += value[i];
    }
  }
  return parts;
}

bool HasType(const VCardProperty& p, std::string_view type) {
  return std::find(p.types.begin(), p.types.end(), type) != p.types.end();
}

}  // namespace

std::vector<std::string> VCardProperties::Unfold(std::string_view card) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos <= card.size()) {
    std::size_t lf = card.find('\n', pos);
    if (lf == std::string_view::npos) lf = card.size();
    std::string_view line = card.substr(pos, lf - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const bool continues = !lines.empty() && !line.empty() && (line.front() == ' ' || line.front() == '\t');
    const bool softBreak = !lines.empty() && !lines.back().empty() && lines.back().back() == '=' &&
                           IsQuotedPrintableLine(lines.back());
    if (continues) {
      lines.back().append(line.substr(1));
    } else if (softBreak) {
      lines.back().pop_back();
      lines.back().append(line);
    } else {
      lines.emplace_back(line);
    }
    if (lf == card.size()) break;
    pos = lf + 1;
  }
  return lines;
}

bool VCardProperties::Parse(std::string_view line, VCardProperty& out) {
  // The value starts at the first ':' outside a quoted parameter value.
  bool quoted = false;
  std::size_t colon = std::string_view::npos;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    else if (line[i] == ':' && !quoted) {
      colon = i;
      break;
    }
  }
  if (colon == std::string_view::npos) return false;
  out = VCardProperty{};
  out.value = std::string(line.substr(colon + 1));
  std::string_view head = line.substr(0, colon);
  std::vector<std::string_view> parts;
  for (std::size_t start = 0, i = 0; i <= head.size(); ++i) {
    if (i == head.size() || head[i] == ';') {
      parts.push_back(head.substr(start, i - start));
      start = i + 1;
    }
  }
  std::string_view name = Trim(parts.front());
  if (const std::size_t dot = name.rfind('.'); dot != std::string_view::npos) name = name.substr(dot + 1);
  out.name = Upper(name);
  for (std::size_t k = 1; k < parts.size(); ++k) {
    std::string_view param = Trim(parts[k]);
    const std::size_t eq = param.find('=');
    std::string key = Upper(Trim(param.substr(0, eq)));
    std::string value = eq == std::string_view::npos ? std::string() : Upper(Trim(param.substr(eq + 1)));
    value.erase(std::remove(value.begin(), value.end(), '"'), value.end());
    if (eq == std::string_view::npos) {  // 2.1: a bare type or encoding
      if (key == "QUOTED-PRINTABLE" || key == "BASE64" || key == "B") out.encoding = key;
      else out.types.push_back(key);
    } else if (key == "TYPE") {
      for (std::size_t s = 0, i = 0; i <= value.size(); ++i) {
        if (i == value.size() || value[i] == ',') {
          if (i > s) out.types.push_back(value.substr(s, i - s));
          s = i + 1;
        }
      }
    } else if (key == "ENCODING") {
      out.encoding = value;
    } else if (key == "CHARSET") {
      out.charset = value;
    }
  }
  return true;
}

std::string VCardProperties::DecodeText(const VCardProperty& p, bool unescape) {
  std::string raw = p.encoding == "QUOTED-PRINTABLE" ? DecodeQuotedPrintable(p.value) : p.value;
  if (unescape) raw = Unescape(raw);
  return ToSystem(raw, p.charset);
}

std::string VCardProperties::DialNumber(std::string_view value) {
  value = Trim(value);
  if (StartsWithNoCase(value, "TEL:")) value.remove_prefix(4);
  std::string out;
  for (char c : value)
    if (c != ' ' && c != '-' && c != '.' && c != '(' && c != ')' && c != '\t') out += c;
  return out;
}

VCardContact VCardProperties::Read(std::string_view card) {
  VCardContact contact;
  std::string structuredName;
  bool unescape = true;
  std::vector<VCardProperty> phones;
  for (const std::string& line : Unfold(card)) {
    VCardProperty p;
    if (!Parse(line, p)) continue;
    if (p.encoding == "B" || p.encoding == "BASE64") continue;  // photos and other binary values
    if (p.name == "VERSION") unescape = Trim(p.value) != "2.1";
  }
  for (const std::string& line : Unfold(card)) {
    VCardProperty p;
    if (!Parse(line, p) || p.encoding == "B" || p.encoding == "BASE64") continue;
    if (p.name == "FN" && contact.name.empty()) {
      contact.name = DecodeText(p, unescape);
    } else if (p.name == "N" && structuredName.empty()) {
      VCardProperty plain = p;
      std::vector<std::string> parts = Components(p.value);
      auto part = [&](std::size_t k) {
        if (k >= parts.size()) return std::string();
        plain.value = parts[k];
        return std::string(Trim(DecodeText(plain, unescape)));
      };
      const std::string family = part(0), given = part(1);
      const bool wide = HasHighBytes(family) || HasHighBytes(given);
      // Chinese names run family name first, without a blank.
      structuredName = wide ? family : given;
      if (!wide && !given.empty() && !family.empty()) structuredName += ' ';
      structuredName += wide ? given : family;
    } else if (p.name == "TEL") {
      phones.push_back(p);
    } else if (p.name == "EMAIL" && contact.email.empty()) {
      contact.email = DecodeText(p, unescape);
    } else if (p.name == "NOTE" && contact.remark.empty()) {
      contact.remark = DecodeText(p, unescape);
    }
  }
  if (Trim(contact.name).empty()) contact.name = structuredName;
  // Numbers: a typed number goes to its field; untyped ones, and typed ones
  // whose field is taken, fill the free fields in order. Fax and pager
  // numbers are not voice numbers and are left out.
  std::string* fields[3] = {&contact.mobile, &contact.home, &contact.company};
  std::vector<std::string> untyped;
  for (const VCardProperty& p : phones) {
    const std::string number = DialNumber(DecodeText(p, false));
    if (number.empty()) continue;
    const bool voice = HasType(p, "VOICE") || HasType(p, "CELL");
    if ((HasType(p, "FAX") || HasType(p, "PAGER")) && !voice) continue;
    std::string* target = nullptr;
    if (HasType(p, "CELL") || HasType(p, "MOBILE") || HasType(p, "IPHONE")) target = &contact.mobile;
    else if (HasType(p, "HOME")) target = &contact.home;
    else if (HasType(p, "WORK")) target = &contact.company;
    if (target != nullptr && target->empty()) *target = number;
    else untyped.push_back(number);
  }
  for (const std::string& number : untyped) {
    for (std::string* f : fields) {
      if (f->empty()) {
        *f = number;
        break;
      }
    }
  }
  return contact;
}

}  // namespace evdo
