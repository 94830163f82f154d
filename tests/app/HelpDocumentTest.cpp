// Which help document the Help command opens: the one EVDO.ini names when it
// is there, else the shipped one of the language, in the first folder that
// has it, falling back to English.
#include <gtest/gtest.h>

#include <set>

#include "app/HelpDocument.h"
#include "tests/support/TempDir.h"
#include "ui/LanguageModuleAbi.h"

namespace evdo {
namespace {

TEST(HelpDocument, TheLanguageChoosesTheDocument) {
  EXPECT_EQ(HelpFileName(kLanguageChinese), "help_zh.html");
  EXPECT_EQ(HelpFileName(kLanguageEnglish), "help_en.html");
  EXPECT_EQ(HelpFileName(77), "help_en.html");
}

TEST(HelpDocument, SearchesTheFoldersInOrderAndFallsBackToEnglish) {
  std::set<std::string> present = {"data/help/help_en.html", "/usr/lib/evdo-dashboard/help/help_zh.html",
                                   "/usr/lib/evdo-dashboard/help/help_en.html"};
  auto readable = [&](const std::string& path) { return present.count(path) != 0; };
  const std::vector<std::string> folders = {"data/help", "", "/usr/lib/evdo-dashboard/help"};
  // The Chinese document is in the second folder only: the language wins
  // over the folder order.
  EXPECT_EQ(FindHelpDocument("", kLanguageChinese, folders, readable), "/usr/lib/evdo-dashboard/help/help_zh.html");
  EXPECT_EQ(FindHelpDocument("", kLanguageEnglish, folders, readable), "data/help/help_en.html");
  present.erase("/usr/lib/evdo-dashboard/help/help_zh.html");
  EXPECT_EQ(FindHelpDocument("", kLanguageChinese, folders, readable), "data/help/help_en.html");
  present.clear();
  EXPECT_EQ(FindHelpDocument("", kLanguageChinese, folders, readable), "");
}

TEST(HelpDocument, TheConfiguredFileWinsOnlyWhenItCanBeRead) {
  test::TempDir dir;
  dir.WriteFile("own.html", "<p>own</p>");
  dir.WriteFile("help_en.html", "<p>shipped</p>");
  EXPECT_EQ(FindHelpDocument(dir.File("own.html"), kLanguageChinese, {dir.Path()}), dir.File("own.html"));
  EXPECT_EQ(FindHelpDocument(dir.File("gone.html"), kLanguageEnglish, {dir.Path()}), dir.File("help_en.html"));
}

}  // namespace
}  // namespace evdo
