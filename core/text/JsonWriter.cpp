#include "core/text/JsonWriter.h"

#include <cstdio>

namespace evdo {
namespace {

// The length of the UTF-8 sequence at text[pos] and its code point; 0 when
// the bytes there are not a well-formed sequence (overlong forms,
// surrogates and values past U+10FFFF included).
std::size_t Utf8Sequence(std::string_view text, std::size_t pos, char32_t& code) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  std::size_t length = 0;
  char32_t min = 0;
  if (lead < 0x80) {
    code = lead;
    return 1;
  }
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    code = lead & 0x1F;
    min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    code = lead & 0x0F;
    min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    code = lead & 0x07;
    min = 0x10000;
  } else {
    return 0;
  }
  if (pos + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(pos + i) & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

void AppendEscape(std::string& out, unsigned code) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\u%04x", code);
  out += buffer;
}

}  // namespace

std::string JsonQuoted(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() + 2);
  out += '"';
  for (std::size_t pos = 0; pos < utf8.size();) {
    char32_t code = 0;
    const std::size_t length = Utf8Sequence(utf8, pos, code);
    if (length == 0) {
      AppendEscape(out, 0xFFFD);
      ++pos;
      continue;
    }
    switch (code) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        // Other control characters, DEL, and the two line separators that
        // end a line in JavaScript, are written as escapes.
        if (code < 0x20 || code == 0x7F || code == 0x2028 || code == 0x2029) AppendEscape(out, code);
        else out.append(utf8.substr(pos, length));
    }
    pos += length;
  }
  out += '"';
  return out;
}

void JsonObjectWriter::Key(std::string_view key) {
  if (!body_.empty()) body_ += ',';
  body_ += JsonQuoted(key);
  body_ += ':';
}

JsonObjectWriter& JsonObjectWriter::String(std::string_view key, std::string_view utf8) {
  Key(key);
  body_ += JsonQuoted(utf8);
  return *this;
}

JsonObjectWriter& JsonObjectWriter::Number(std::string_view key, std::int64_t value) {
  Key(key);
  body_ += std::to_string(value);
  return *this;
}

JsonObjectWriter& JsonObjectWriter::Unsigned(std::string_view key, std::uint64_t value) {
  Key(key);
  body_ += std::to_string(value);
  return *this;
}

JsonObjectWriter& JsonObjectWriter::Bool(std::string_view key, bool value) {
  Key(key);
  body_ += value ? "true" : "false";
  return *this;
}

JsonObjectWriter& JsonObjectWriter::Null(std::string_view key) {
  Key(key);
  body_ += "null";
  return *this;
}

JsonObjectWriter& JsonObjectWriter::Object(std::string_view key, const JsonObjectWriter& inner) {
  Key(key);
  body_ += inner.Text();
  return *this;
}

}  // namespace evdo
