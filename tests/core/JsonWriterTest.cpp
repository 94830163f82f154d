// The JSON writer: whatever bytes a text holds (a name from the network,
// a file), the result is valid JSON that reads back to the same text.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/text/JsonWriter.h"

namespace evdo {
namespace {

std::string RoundTrip(std::string_view text) {
  return nlohmann::json::parse(JsonQuoted(text)).get<std::string>();
}

TEST(JsonQuoted, EscapesQuotesBackslashesAndControlCharacters) {
  EXPECT_EQ(JsonQuoted(R"(say "hi" \ there)"), R"("say \"hi\" \\ there")");
  EXPECT_EQ(JsonQuoted("a\nb\rc\td\be\ff"), R"("a\nb\rc\td\be\ff")");
  EXPECT_EQ(JsonQuoted(std::string("\x01\x1f\x7f", 3)), R"("\u0001\u001f\u007f")");
  EXPECT_EQ(JsonQuoted(std::string("nul\0end", 7)), R"("nul\u0000end")");
  for (std::string_view text : {R"(say "hi" \ there)", "a\nb\rc\td", "\x01\x1f"})
    EXPECT_EQ(RoundTrip(text), text);
}

TEST(JsonQuoted, KeepsNonAsciiAndEscapesTheLineSeparators) {
  EXPECT_EQ(JsonQuoted("中国电信 €"), "\"中国电信 €\"");
  EXPECT_EQ(RoundTrip("中国电信 😀"), "中国电信 😀");
  EXPECT_EQ(JsonQuoted("a\u2028b\u2029"), R"("a\u2028b\u2029")");
}

TEST(JsonQuoted, TurnsBytesThatAreNotUtf8IntoReplacementCharacters) {
  // A GBK name taken for UTF-8, a cut sequence, an overlong slash, a
  // surrogate: each bad byte becomes U+FFFD and the rest is kept.
  EXPECT_EQ(JsonQuoted("\xD6\xD0x"), R"("\ufffd\ufffdx")");
  EXPECT_EQ(JsonQuoted("ab\xE4\xB8"), R"("ab\ufffd\ufffd")");
  EXPECT_EQ(JsonQuoted("\xC0\xAF"), R"("\ufffd\ufffd")");
  EXPECT_EQ(JsonQuoted("\xED\xA0\x80"), R"("\ufffd\ufffd\ufffd")");
  EXPECT_EQ(JsonQuoted("\xF4\x90\x80\x80"), R"("\ufffd\ufffd\ufffd\ufffd")");
  EXPECT_NO_THROW(nlohmann::json::parse(JsonQuoted("\xff\xfe\x80 mixed 中")));
}

TEST(JsonObjectWriter, WritesMembersInOrderWithNestedObjects) {
  JsonObjectWriter inner;
  inner.Number("n", -5).Unsigned("big", 18446744073709551615ull).Null("none");
  JsonObjectWriter out;
  out.String("name", "x\"y").Bool("yes", true).Bool("no", false).Object("inner", inner);
  EXPECT_EQ(out.Text(),
            R"({"name":"x\"y","yes":true,"no":false,"inner":{"n":-5,"big":18446744073709551615,"none":null}})");
  EXPECT_EQ(JsonObjectWriter().Text(), "{}");
  auto parsed = nlohmann::json::parse(out.Text());
  EXPECT_EQ(parsed["inner"]["big"].get<std::uint64_t>(), 18446744073709551615ull);
}

}  // namespace
}  // namespace evdo
