#include "ui/LanguageModules.h"

#include <gtest/gtest.h>

#include "core/text/CodePage.h"
#include "tests/ui/LanguageTestSupport.h"
#include "ui/LanguageStrings.h"

namespace evdo {
namespace {

using test::FakeLanguageLoader;
using test::ScopedProgramFolder;
using test::ShippedModule;
using test::TestModule;

class LanguageModulesTest : public ::testing::Test {
protected:
  void SetUp() override { SetActiveLanguage(nullptr); }
  void TearDown() override { SetActiveLanguage(nullptr); }

  std::string InLang(const std::string& name) const { return (folder_.LangFolder() / name).string(); }

  ScopedProgramFolder folder_;
};

TEST_F(LanguageModulesTest, PatternAddsSeparatorOnlyWhenMissing) {
  EXPECT_EQ(LanguageModulePattern("lang"), "lang/*.so");
  EXPECT_EQ(LanguageModulePattern("lang/"), "lang/*.so");
}

struct ShippedCase {
  std::int32_t language;
  const char* expectedModule;
  const char* titleUtf8;
  friend void PrintTo(const ShippedCase& c, std::ostream* os) { *os << c.expectedModule; }
};

class ShippedModuleSelection : public LanguageModulesTest,
                               public ::testing::WithParamInterface<ShippedCase> {};

TEST_P(ShippedModuleSelection, ActivatesTheModuleOfTheConfiguredLanguage) {
  folder_.AddModule(ShippedModule("english.so"), "english.so");
  folder_.AddModule(ShippedModule("chinese.so"), "chinese.so");
  folder_.AddModule(TestModule("not-a-module.so"), "not-a-module.so");
  folder_.AddFile("broken.so", "this is not a library");
  folder_.AddFile("readme.txt", "not a module");

  CLanguageModules modules;
  ASSERT_TRUE(modules.ScanAndSelect(1, GetParam().language));
  EXPECT_EQ(modules.ActiveModule(), InLang(GetParam().expectedModule));
  EXPECT_EQ(LoadString(kStrAppTitle), FromUtf8(GetParam().titleUtf8, CodePage::Cp936));
  EXPECT_EQ(LoadString(kStrSkinTheme0), "skin\\light\\theme.ini");
  EXPECT_EQ(LoadString(65000), "") << "a number no module has";
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedModuleSelection,
                         ::testing::Values(ShippedCase{9, "english.so", "EVDO Dashboard"},
                                           ShippedCase{16, "chinese.so", "EVDO 上网助手"}));

TEST_F(LanguageModulesTest, AcceptedListHoldsTheEditionsModulesScannedUpToTheMatch) {
  folder_.AddModule(ShippedModule("chinese.so"), "a-chinese.so");
  folder_.AddModule(TestModule("edition2.so"), "b-edition2.so");
  folder_.AddModule(TestModule("language7.so"), "c-language7.so");
  folder_.AddModule(ShippedModule("english.so"), "d-english.so");
  folder_.AddModule(ShippedModule("english.so"), "e-english-again.so");

  CLanguageModules modules;
  ASSERT_TRUE(modules.ScanAndSelect(1, 9));
  EXPECT_EQ(modules.AcceptedModules(),
            (std::vector<std::string>{InLang("a-chinese.so"), InLang("c-language7.so"), InLang("d-english.so")}));
  EXPECT_EQ(modules.ActiveModule(), InLang("d-english.so"));
}

TEST_F(LanguageModulesTest, ModuleOfAnotherEditionIsNeitherListedNorSelected) {
  folder_.AddModule(TestModule("edition2.so"), "edition2.so");
  CLanguageModules modules;
  EXPECT_FALSE(modules.ScanAndSelect(1, 9));
  EXPECT_TRUE(modules.AcceptedModules().empty());
  EXPECT_EQ(ActiveLanguage(), nullptr);

  EXPECT_TRUE(modules.ScanAndSelect(2, 9)) << "the same module fits its own edition";
}

TEST_F(LanguageModulesTest, ModuleOfAnotherLanguageIsListedButNotSelected) {
  folder_.AddModule(TestModule("language7.so"), "language7.so");
  CLanguageModules modules;
  EXPECT_FALSE(modules.ScanAndSelect(1, 9));
  EXPECT_EQ(modules.AcceptedModules(), std::vector<std::string>{InLang("language7.so")});
  EXPECT_EQ(ActiveLanguage(), nullptr);
  EXPECT_EQ(LoadString(kStrAppTitle), "");
}

TEST_F(LanguageModulesTest, EmptyOrMissingFolderFindsNothing) {
  CLanguageModules modules;
  EXPECT_FALSE(modules.ScanAndSelect(1, 9)) << "no lang folder";
  folder_.MakeLangFolder();
  EXPECT_FALSE(modules.ScanAndSelect(1, 9)) << "empty lang folder";
  folder_.AddFile("english.dll", "a module of another platform");
  EXPECT_FALSE(modules.ScanAndSelect(1, 9)) << "no file matching the pattern";
  EXPECT_EQ(ActiveLanguage(), nullptr);
  EXPECT_STREQ(kNoLanguageModuleTitle, "Error");
  EXPECT_STREQ(kNoLanguageModuleText, "The specific dll is not found!");
}

TEST_F(LanguageModulesTest, ListingIsOrderedByNameWithoutRegardToCase) {
  for (const char* name : {"b.so", "C.so", "a.so", "B.so"}) folder_.AddFile(name, "");
  EXPECT_EQ(ListLanguageModuleFiles("lang"),
            (std::vector<std::string>{InLang("a.so"), InLang("B.so"), InLang("b.so"), InLang("C.so")}));
}

TEST_F(LanguageModulesTest, FirstFittingModuleWinsAndTheSecondIsNotLookedAt) {
  FakeLanguageLoader loader;
  const LanguageExports english{test::CompanyOne, test::LanguageNine, test::EnglishNames};
  loader.Add("/first.so", english);
  loader.Add("/second.so", english);
  CLanguageModules modules(loader);
  ASSERT_TRUE(modules.ScanFiles({"/missing.so", "/first.so", "/second.so"}, 1, 9));
  EXPECT_EQ(modules.ActiveModule(), "/first.so");
  EXPECT_EQ(modules.AcceptedModules(), std::vector<std::string>{"/first.so"});
  EXPECT_EQ(loader.Loads(), (std::vector<std::string>{"/missing.so", "/first.so", "/first.so"}))
      << "scan, then activation; the second module is never loaded";
  EXPECT_EQ(LoadString(kStrLanguageEnglish), "English");
}

TEST_F(LanguageModulesTest, RescanStartsAFreshList) {
  FakeLanguageLoader loader;
  loader.Add("/other.so", {test::CompanyOne, test::LanguageSeven, test::EnglishNames});
  CLanguageModules modules(loader);
  EXPECT_FALSE(modules.ScanFiles({"/other.so"}, 1, 9));
  EXPECT_FALSE(modules.ScanFiles({"/other.so"}, 1, 9));
  EXPECT_EQ(modules.AcceptedModules().size(), 1u);
}

TEST_F(LanguageModulesTest, ActivatingAModuleThatNoLongerLoadsKeepsTheActiveOne) {
  FakeLanguageLoader loader;
  loader.Add("/english.so", {test::CompanyOne, test::LanguageNine, test::EnglishNames});
  CLanguageModules modules(loader);
  ASSERT_TRUE(modules.Activate("/english.so"));
  EXPECT_FALSE(modules.Activate("/gone.so"));
  EXPECT_EQ(modules.ActiveModule(), "/english.so");
  EXPECT_EQ(LoadString(kStrLanguageChinese), "Chinese");
}

TEST_F(LanguageModulesTest, LibraryWithoutTheExportsIsNoModule) {
  EXPECT_EQ(DlopenLanguageLoader::Instance().Load(TestModule("not-a-module.so").string()), nullptr);
  EXPECT_EQ(DlopenLanguageLoader::Instance().Load((folder_.Path() / "none.so").string()), nullptr);
  const LanguageExports* english = DlopenLanguageLoader::Instance().Load(ShippedModule("english.so").string());
  ASSERT_NE(english, nullptr);
  EXPECT_EQ(english, DlopenLanguageLoader::Instance().Load(ShippedModule("english.so").string()))
      << "a library loaded again gives the same exports";
}

}  // namespace
}  // namespace evdo
