// Every string number the program uses exists in every shipped module, and
// the modules hold the same numbers as the table they are built from.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "core/text/CodePage.h"
#include "lang/StringTableSource.h"
#include "tests/ui/LanguageTestSupport.h"
#include "ui/LanguageLibrary.h"
#include "ui/StringIds.h"

namespace evdo {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Folders of the source tree that hold no program code.
bool IsSkippedFolder(const fs::path& relative) {
  const std::string first = relative.begin()->string();
  return first.rfind("build", 0) == 0 || first.front() == '.' || first == "tests" || first == "fuzz" ||
         first == "benchmarks";
}

// The string numbers the program's sources name: declared StringId
// constants and LoadString calls with a number.
std::map<StringId, std::string> UsedStringNumbers() {
  static const std::regex kMarkers(
      R"(StringId\s+(k\w+)\s*=\s*(\d+)\s*;|LoadString\(\s*(\d+)\s*\))");
  std::map<StringId, std::string> used;
  const fs::path root = EVDO_SOURCE_DIR;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const fs::path relative = fs::relative(it->path(), root);
    if (it->is_directory()) {
      if (IsSkippedFolder(relative)) it.disable_recursion_pending();
      continue;
    }
    const std::string ext = it->path().extension().string();
    if (ext != ".h" && ext != ".cpp" && ext != ".cc") continue;
    const std::string text = ReadText(it->path());
    for (std::sregex_iterator m(text.begin(), text.end(), kMarkers), end; m != end; ++m) {
      const std::string number = (*m)[2].matched ? (*m)[2].str() : (*m)[3].str();
      used.emplace(std::stoi(number), relative.string());
    }
  }
  return used;
}

std::set<StringId> ModuleNumbers(const LanguageExports& module) {
  std::set<StringId> numbers;
  for (StringId id = 0; id <= 65535; ++id)
    if (module.getString(id) != nullptr) numbers.insert(id);
  return numbers;
}

class ShippedModules : public ::testing::Test {
protected:
  void SetUp() override {
    english_ = DlopenLanguageLoader::Instance().Load(test::ShippedModule("english.so").string());
    chinese_ = DlopenLanguageLoader::Instance().Load(test::ShippedModule("chinese.so").string());
    ASSERT_NE(english_, nullptr);
    ASSERT_NE(chinese_, nullptr);
  }
  std::string Text(const LanguageExports* module, StringId id) {
    const char* text = module->getString(id);
    return text ? text : "";
  }
  std::vector<const LanguageExports*> Both() const { return {english_, chinese_}; }

  const LanguageExports* english_ = nullptr;
  const LanguageExports* chinese_ = nullptr;
};

TEST_F(ShippedModules, IdentifyTheirLanguageAndEdition) {
  EXPECT_EQ(english_->getLang(), kLanguageEnglish);
  EXPECT_EQ(chinese_->getLang(), kLanguageChinese);
  EXPECT_EQ(english_->getComp(), EVDO_LANG_COMPANY);
  EXPECT_EQ(chinese_->getComp(), EVDO_LANG_COMPANY);
}

TEST_F(ShippedModules, HoldEveryNumberTheProgramUses) {
  const auto used = UsedStringNumbers();
  ASSERT_TRUE(used.count(kStrAppTitle) && used.count(kStrDeviceNotFound)) << "the source scan found nothing";
  for (const auto* module : Both())
    for (const auto& [id, file] : used)
      EXPECT_FALSE(Text(module, id).empty()) << "string " << id << " (named in " << file
                                             << ") is missing from the module of language " << module->getLang();
}

TEST_F(ShippedModules, HoldTheSameNumbersAsTheirTable) {
  StringTableSource table;
  std::string error;
  ASSERT_TRUE(table.Parse(ReadText(fs::path(EVDO_SOURCE_DIR) / "lang" / "Strings.tsv"), error)) << error;
  std::set<StringId> tableNumbers;
  for (const auto& entry : table.Entries()) tableNumbers.insert(entry.id);
  EXPECT_EQ(ModuleNumbers(*english_), tableNumbers);
  EXPECT_EQ(ModuleNumbers(*chinese_), tableNumbers);
}

TEST_F(ShippedModules, EnglishTextsAreAsciiAndChineseTextsAreCodePage936) {
  for (StringId id : ModuleNumbers(*english_)) {
    for (unsigned char c : Text(english_, id)) EXPECT_LT(c, 0x80) << "string " << id;
    const std::string chinese = Text(chinese_, id);
    EXPECT_EQ(FromUtf8(ToUtf8(chinese, CodePage::Cp936), CodePage::Cp936), chinese) << "string " << id;
  }
}

// Texts whose form other code relies on.
TEST_F(ShippedModules, TextsKeepTheFormTheirUsersRelyOn) {
  for (const auto* module : Both()) {
    const int lang = module->getLang();
    for (StringId id : {kStrDialErrorNumber, kStrProfilesFull}) {
      const std::string text = Text(module, id);
      EXPECT_NE(text.find("%d"), std::string::npos) << id << " in " << lang;
      EXPECT_EQ(text.find('%'), text.rfind('%')) << id << " in " << lang << ": one conversion only";
    }
    for (StringId id : {kStrSearchingNetworks, kStrRegistering}) {
      const std::string text = Text(module, id);
      ASSERT_GE(text.size(), 6u);
      EXPECT_EQ(text.substr(text.size() - 6), "......") << id << " in " << lang << ": the animated tail";
    }
    EXPECT_EQ(Text(module, kStrExtensionCsv), ".csv");
    EXPECT_EQ(Text(module, kStrExtensionVcf), ".vcf");
    EXPECT_EQ(Text(module, kStrHeaderPhonebook), "Name,Mobile,Home,Company,Email,Remark")
        << "the import recognises only these names";
    EXPECT_EQ(Text(module, kStrSkinTheme0), "skin\\light\\theme.ini");
    EXPECT_EQ(Text(module, kStrSkinTheme1), "skin\\dark\\theme.ini");
    EXPECT_FALSE(Text(module, kStrLanguageEnglish).empty());
  }
  EXPECT_EQ(Text(chinese_, kStrLanguageChinese), FromUtf8("简体中文", CodePage::Cp936));
}

}  // namespace
}  // namespace evdo
