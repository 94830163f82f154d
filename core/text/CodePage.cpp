#include "core/text/CodePage.h"

#include "core/text/TextRules.h"

#include <iconv.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <mutex>
#include <stdexcept>

namespace evdo {
namespace {

std::atomic<CodePage> g_systemCodePage{CodePage::Cp936};

// glibc's CP936 table is the Windows one (0x80 <-> U+20AC, 21791 double-byte
// codes). One converter per direction, guarded, reset before each use.
class Converter {
public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))  // NOLINT(performance-no-int-to-ptr): iconv's failure value
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  ~Converter() { iconv_close(cd_); }

  // Converts one unit of input; returns false when it has no mapping.
  bool Convert(const char* in, std::size_t inLen, char* out, std::size_t& outLen) {
    std::lock_guard lock(mutex_);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* ip = const_cast<char*>(in);
    char* op = out;
    std::size_t il = inLen, ol = outLen;
    std::size_t r = iconv(cd_, &ip, &il, &op, &ol);
    if (r == static_cast<std::size_t>(-1) || il != 0) return false;
    r = iconv(cd_, nullptr, nullptr, &op, &ol);
    if (r == static_cast<std::size_t>(-1)) return false;
    outLen = static_cast<std::size_t>(op - out);
    return true;
  }

private:
  iconv_t cd_;
  std::mutex mutex_;
};

Converter& Cp936ToUtf16() {
  static Converter c("UTF-16LE", "CP936");
  return c;
}
Converter& Utf16ToCp936() {
  static Converter c("CP936", "UTF-16LE");
  return c;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
}

// Length of a well-formed UTF-8 sequence at text[pos], or 0 when broken.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos, char32_t* value) {
  const auto b0 = static_cast<unsigned char>(text[pos]);
  std::size_t len;
  char32_t cp;
  if (b0 < 0x80) {
    if (value) *value = b0;
    return 1;
  } else if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, cp = b0 & 0x07;
  } else {
    return 0;
  }
  if (pos + len > text.size()) return 0;
  for (std::size_t i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(text[pos + i]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  const bool overlong = (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000);
  if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  if (value) *value = cp;
  return len;
}

}  // namespace

CodePage SystemCodePage() { return g_systemCodePage.load(); }
void SelectSystemCodePage(CodePage cp) { g_systemCodePage.store(cp); }

bool ParseCodePageName(std::string_view name, CodePage& cp) {
  const std::string lower = ToLowerAscii(name);
  if (lower == "936" || lower == "cp936" || lower == "gbk") {
    cp = CodePage::Cp936;
    return true;
  }
  if (lower == "utf-8" || lower == "utf8") {
    cp = CodePage::Utf8;
    return true;
  }
  return false;
}

bool IsLeadByte(unsigned char b, CodePage cp) {
  if (cp == CodePage::Cp936) return b >= 0x81 && b <= 0xFE;
  return b >= 0xC2 && b <= 0xF4;
}

std::size_t CharLength(std::string_view text, std::size_t pos, CodePage cp) {
  if (pos >= text.size()) return 0;
  if (cp == CodePage::Cp936) {
    if (IsLeadByte(static_cast<unsigned char>(text[pos]), cp) && pos + 1 < text.size()) return 2;
    return 1;
  }
  std::size_t len = Utf8SequenceLength(text, pos, nullptr);
  return len == 0 ? 1 : len;
}

std::size_t CountChars(std::string_view text, CodePage cp) {
  std::size_t n = 0;
  for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos, cp)) ++n;
  return n;
}

std::string_view CutToBytes(std::string_view text, std::size_t maxBytes, CodePage cp) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t len = CharLength(text, pos, cp);
    if (pos + len > maxBytes) break;
    pos += len;
  }
  return text.substr(0, pos);
}

namespace {

// UTF-8 to UTF-16 with broken sequences as replacement.
std::u16string DecodeUtf8(std::string_view utf8, char16_t replacement) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    char32_t cp = 0;
    std::size_t len = Utf8SequenceLength(utf8, pos, &cp);
    if (len == 0) {
      AppendUtf16(out, replacement);
      pos += 1;
    } else {
      AppendUtf16(out, cp);
      pos += len;
    }
  }
  return out;
}

// UTF-16 to UTF-8 with unpaired surrogates as replacement.
std::string EncodeUtf8(std::u16string_view text, char32_t replacement) {
  std::string out;
  out.reserve(text.size() * 3);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = replacement;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) { return DecodeUtf8(utf8, 0xFFFD); }

std::string Utf16ToUtf8(std::u16string_view text) { return EncodeUtf8(text, 0xFFFD); }

std::u16string ToUtf16(std::string_view text, CodePage cp) {
  // Broken bytes become the default character; a U+FFFD written in the
  // text stays what it is.
  if (cp == CodePage::Utf8) return DecodeUtf8(text, kDefaultChar);
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const auto b = static_cast<unsigned char>(text[pos]);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++pos;
      continue;
    }
    std::size_t len = CharLength(text, pos, cp);
    char buf[8];
    std::size_t outLen = sizeof buf;
    if (Cp936ToUtf16().Convert(text.data() + pos, len, buf, outLen) && outLen == 2) {
      out += static_cast<char16_t>(static_cast<unsigned char>(buf[0]) |
                                   (static_cast<unsigned char>(buf[1]) << 8));
    } else {
      out += static_cast<char16_t>(kDefaultChar);
    }
    pos += len;
  }
  return out;
}

std::string FromUtf16(std::u16string_view text, CodePage cp) {
  if (cp == CodePage::Utf8) return EncodeUtf8(text, kDefaultChar);
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF)
      ++i;  // a supplementary character has no code page 936 mapping
    char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    char buf[8];
    std::size_t outLen = sizeof buf;
    if (c < 0xD800 || c > 0xDFFF) {
      if (Utf16ToCp936().Convert(in, 2, buf, outLen)) {
        out.append(buf, outLen);
        continue;
      }
    }
    out += kDefaultChar;
  }
  return out;
}

std::string ToUtf8(std::string_view text, CodePage cp) {
  return Utf16ToUtf8(ToUtf16(text, cp));
}

std::string FromUtf8(std::string_view utf8, CodePage cp) {
  return FromUtf16(DecodeUtf8(utf8, kDefaultChar), cp);
}

}  // namespace evdo
