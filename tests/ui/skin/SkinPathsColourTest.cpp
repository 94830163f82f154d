#include <gtest/gtest.h>

#include "core/text/CodePage.h"
#include "tests/ui/skin/TestText.h"
#include "ui/skin/SkinColour.h"
#include "ui/skin/SkinPaths.h"

namespace evdo {
namespace {

TEST(SkinPathsTest, SkinStyleChoosesTheLanguageString) {
  std::vector<int> asked;
  SkinStringLookup lookup = [&](int id) {
    asked.push_back(id);
    return "lang path " + std::to_string(id);
  };
  EXPECT_EQ(SkinPaths::ThemePathForStyle(0, lookup), "lang path 330");
  EXPECT_EQ(SkinPaths::ThemePathForStyle(1, lookup), "lang path 331");
  for (int style : {2, -1, 3, 1000})
    EXPECT_EQ(SkinPaths::ThemePathForStyle(style, lookup), "") << style;
  EXPECT_EQ(asked, (std::vector<int>{330, 331}));
}

TEST(SkinPathsTest, WithoutLanguageModuleTheShippedSkinsAreUsed) {
  EXPECT_EQ(SkinPaths::ThemePathForStyle(0, {}), "skin\\light\\theme.ini");
  EXPECT_EQ(SkinPaths::ThemePathForStyle(1, {}), "skin\\dark\\theme.ini");
  EXPECT_EQ(SkinPaths::ThemePathForStyle(2, {}), "");
}

struct PathCase {
  const char* themePath;
  const char* value;
  const char* folder;
  const char* picture;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.themePath << " + " << c.value; }

class PicturePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(PicturePathTest, PictureComesFromTheThemeFolder) {
  std::string folder = SkinPaths::ThemeFolder(SkinPaths::FileSystemPath(GetParam().themePath));
  EXPECT_EQ(folder, GetParam().folder);
  EXPECT_EQ(SkinPaths::PicturePath(folder, GetParam().value), GetParam().picture);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PicturePathTest,
    ::testing::Values(PathCase{"skin\\light\\theme.ini", "top.bmp", "skin/light", "skin/light/top.bmp"},
                      PathCase{"skin\\light\\theme.ini", "other\\dir\\top.bmp", "skin/light", "skin/light/top.bmp"},
                      PathCase{"skin/dark/theme.ini", "C:\\skins\\x/top.png", "skin/dark", "skin/dark/top.png"},
                      PathCase{"/opt/a\\b/theme.ini", "top.png", "/opt/a/b", "/opt/a/b/top.png"},
                      PathCase{"theme.ini", "top.png", "", "top.png"},
                      PathCase{"skin\\theme.ini", "dir\\", "skin", ""},
                      PathCase{"skin\\theme.ini", "", "skin", ""}));

TEST(SkinPathsTest, DoubleByteTrailByteIsNotASeparator) {
  SelectSystemCodePage(CodePage::Cp936);
  // U+8868 is 0xB1 0xED; U+5B57 is 0xD7 0xD6; 0x95 0x5C is a character whose
  // trail byte equals '\'.
  std::string ansi = "skin\\\x95\x5C\\theme.ini";
  std::string path = SkinPaths::FileSystemPath(ansi);
  std::string folder = SkinPaths::ThemeFolder(path);
  EXPECT_EQ(folder, "skin/" + ToUtf8("\x95\x5C"));
  EXPECT_EQ(SkinPaths::PicturePath(folder, "x\\\x95\x5C.bmp"), folder + "/" + ToUtf8("\x95\x5C") + ".bmp");
}

struct ColourCase {
  const char* value;
  bool present;
  SkinRgb rgb;
};

void PrintTo(const ColourCase& c, std::ostream* os) { *os << "\"" << test::Escaped(c.value) << "\""; }

class ColourParseTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(ColourParseTest, ParsesLikeThreeNumbers) {
  auto rgb = SkinColourValue::Parse(GetParam().value);
  ASSERT_EQ(rgb.has_value(), GetParam().present) << GetParam().value;
  if (rgb) {
    EXPECT_EQ(*rgb, GetParam().rgb) << GetParam().value;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ColourParseTest,
    ::testing::Values(ColourCase{"", false, {}}, ColourCase{"1 2 3", true, {1, 2, 3}},
                      ColourCase{"10\t20\n30", true, {10, 20, 30}},
                      ColourCase{"  7   8\r\n  9 trailing", true, {7, 8, 9}},
                      ColourCase{"10 20", true, {10, 20, 0}}, ColourCase{"255", true, {255, 0, 0}},
                      ColourCase{"256 511 -1", true, {0, 255, 255}},
                      ColourCase{"99999999999 +5 -256", true, {255, 5, 0}},
                      ColourCase{"12,34,56", true, {12, 0, 0}}, ColourCase{"abc", true, {0, 0, 0}},
                      ColourCase{"1 x 3", true, {1, 0, 0}}, ColourCase{"- 4", true, {0, 0, 0}}));

}  // namespace
}  // namespace evdo
