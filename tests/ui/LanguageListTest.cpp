#include "ui/LanguageList.h"

#include <gtest/gtest.h>

#include "core/text/CodePage.h"
#include "tests/ui/LanguageTestSupport.h"
#include "ui/LanguageStrings.h"

namespace evdo {
namespace {

using test::FakeLanguageLoader;

class LanguageListTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetActiveLanguage(nullptr);
    loader_.Add("/en.so", {test::CompanyOne, test::LanguageNine, test::EnglishNames});
    loader_.Add("/zh.so", {test::CompanyOne, test::LanguageSixteen, test::ChineseNames});
    loader_.Add("/x7.so", {test::CompanyOne, test::LanguageSeven, test::EnglishNames});
  }
  void TearDown() override { SetActiveLanguage(nullptr); }

  FakeLanguageLoader loader_;
  CLanguageModules modules_{loader_};
};

struct LinesCase {
  std::vector<std::string> files;
  std::vector<std::string> lines;
  friend void PrintTo(const LinesCase& c, std::ostream* os) { *os << c.files.size() << " modules"; }
};

class LanguageListLines : public LanguageListTest, public ::testing::WithParamInterface<LinesCase> {};

TEST_P(LanguageListLines, NamesEachModuleByItsLanguageInTheActiveLanguage) {
  modules_.ScanFiles(GetParam().files, 1, 99);  // no match: every module is listed
  ASSERT_TRUE(modules_.Activate("/en.so"));
  EXPECT_EQ(CLanguageList(modules_).Lines(), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    RepetitionRule, LanguageListLines,
    ::testing::Values(LinesCase{{"/en.so", "/zh.so"}, {"English", "Chinese"}},
                      LinesCase{{"/zh.so", "/x7.so", "/en.so", "/x7.so"}, {"Chinese", "Chinese", "English", "English"}},
                      LinesCase{{"/x7.so", "/en.so"}, {"", "English"}},
                      LinesCase{{}, {}}));

TEST_F(LanguageListTest, ModuleThatNoLongerLoadsRepeatsTheLineBefore) {
  loader_.Add("/gone.so", {test::CompanyOne, test::LanguageNine, test::EnglishNames});
  modules_.ScanFiles({"/zh.so", "/gone.so"}, 1, 99);
  loader_.Remove("/gone.so");
  ASSERT_TRUE(modules_.Activate("/en.so"));
  CLanguageList list(modules_);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"Chinese", "Chinese"}));
  EXPECT_FALSE(list.Choose(1));
  EXPECT_EQ(modules_.ActiveModule(), "/en.so");
}

TEST_F(LanguageListTest, ChoosingALineSwitchesTheTextsLoadedAfterwards) {
  modules_.ScanFiles({"/zh.so", "/en.so"}, 1, 9);
  CLanguageList list(modules_);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"Chinese", "English"}));
  ASSERT_TRUE(list.Choose(0));
  EXPECT_EQ(modules_.ActiveModule(), "/zh.so");
  EXPECT_EQ(LoadString(kStrLanguageEnglish), "Yingwen");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"Zhongwen", "Yingwen"}));
}

TEST_F(LanguageListTest, NoSelectionOrAnIndexPastTheListChangesNothing) {
  modules_.ScanFiles({"/zh.so", "/en.so"}, 1, 9);
  CLanguageList list(modules_);
  for (int index : {-1, 2, 1000}) {
    EXPECT_FALSE(list.Choose(index)) << index;
    EXPECT_EQ(modules_.ActiveModule(), "/en.so") << index;
  }
}

TEST_F(LanguageListTest, ShippedModulesSwitchBetweenEnglishAndChinese) {
  CLanguageModules modules;
  ASSERT_TRUE(modules.ScanFiles({test::ShippedModule("chinese.so").string(), test::ShippedModule("english.so").string()}, 1, 9));
  CLanguageList list(modules);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"Chinese (Simplified)", "English"}));
  ASSERT_TRUE(list.Choose(0));
  EXPECT_EQ(LoadString(kStrAppTitle), FromUtf8("EVDO 上网助手", CodePage::Cp936));
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{FromUtf8("简体中文", CodePage::Cp936), "English"}));
}

}  // namespace
}  // namespace evdo
