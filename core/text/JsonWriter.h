#pragma once
// A small writer of one-line JSON objects for the program's own answers
// (the command line's "--status"). Texts are taken as UTF-8: quotes,
// backslashes and control characters are escaped, bytes that are not UTF-8
// become U+FFFD, so the result is always valid JSON whatever the modem sent.
#include <cstdint>
#include <string>
#include <string_view>

namespace evdo {

// text as a JSON string with its quotes.
std::string JsonQuoted(std::string_view utf8);

class JsonObjectWriter {
public:
  JsonObjectWriter& String(std::string_view key, std::string_view utf8);
  JsonObjectWriter& Number(std::string_view key, std::int64_t value);
  JsonObjectWriter& Unsigned(std::string_view key, std::uint64_t value);
  JsonObjectWriter& Bool(std::string_view key, bool value);
  JsonObjectWriter& Null(std::string_view key);
  JsonObjectWriter& Object(std::string_view key, const JsonObjectWriter& inner);

  // The object written so far, "{...}".
  std::string Text() const { return "{" + body_ + "}"; }

private:
  void Key(std::string_view key);
  std::string body_;
};

}  // namespace evdo
