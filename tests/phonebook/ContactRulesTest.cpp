#include <gtest/gtest.h>

#include "phonebook/ContactPicture.h"
#include "core/text/CodePage.h"
#include "phonebook/ContactImport.h"
#include "phonebook/ContactRules.h"
#include "tests/phonebook/PhonebookTestUtil.h"

namespace evdo {
namespace {

using test::TempDir;

const std::string kHan = "\xD5\xC5";  // one double-byte character

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(ContactRulesTest, CountsHighBytePairsAsOneCharacter) {
  bool doubleByte = true;
  EXPECT_EQ(ContactRules::CountNameChars("Alice", &doubleByte), 5u);
  EXPECT_FALSE(doubleByte);
  EXPECT_EQ(ContactRules::CountNameChars(kHan + "a" + kHan, &doubleByte), 3u);
  EXPECT_TRUE(doubleByte);
  EXPECT_EQ(ContactRules::CountNameChars("a\xD5", &doubleByte), 2u);
  EXPECT_FALSE(doubleByte) << "a lone high byte is no pair";
}

// Selects a code page for one test and puts the previous one back.
class CodePageScope {
public:
  explicit CodePageScope(CodePage cp) : previous_(SystemCodePage()) { SelectSystemCodePage(cp); }
  ~CodePageScope() { SelectSystemCodePage(previous_); }

private:
  CodePage previous_;
};

TEST(ContactRulesTest, NameRuleCountsCharactersInUtf8Too) {
  CodePageScope utf8(CodePage::Utf8);
  const std::string han = "\xE5\xBC\xA0";  // one Chinese character, three bytes
  std::string twelve, sixteen, seventeen;
  for (int i = 0; i < 12; ++i) twelve += han;
  for (int i = 0; i < 16; ++i) sixteen += han;
  seventeen = sixteen + "a";
  bool doubleByte = false;
  EXPECT_EQ(ContactRules::CountNameChars(twelve, &doubleByte), 12u);
  EXPECT_TRUE(doubleByte);
  EXPECT_FALSE(ContactRules::NameHasTooManyChars(twelve));
  EXPECT_FALSE(ContactRules::NameHasTooManyChars(sixteen));
  EXPECT_TRUE(ContactRules::NameHasTooManyChars(seventeen));
  EXPECT_EQ(ContactImport::CheckName(twelve), 0);
  EXPECT_EQ(ContactImport::CheckName(seventeen), 277);
  EXPECT_EQ(ContactRules::CountNameChars("\xC3\xA9t\xC3\xA9"), 3u);
}

ContactForm Form(std::string name, std::string mobile = "1", std::string home = {}, std::string company = {},
                 std::string email = {}) {
  ContactForm f;
  f.name = std::move(name);
  f.mobile = std::move(mobile);
  f.home = std::move(home);
  f.company = std::move(company);
  f.email = std::move(email);
  return f;
}

struct OkCase {
  const char* what;
  ContactForm form;
  bool confirmed;
  EditorStep step;
  int message;
};

class CheckForOkTest : public ::testing::TestWithParam<OkCase> {};

TEST_P(CheckForOkTest, GivesTheRuleVerdict) {
  EditorVerdict v = ContactRules::CheckForOk(GetParam().form, GetParam().confirmed);
  EXPECT_EQ(v.step, GetParam().step);
  EXPECT_EQ(v.message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CheckForOkTest,
    ::testing::Values(
        OkCase{"nothing to save", Form("", ""), false, EditorStep::StayOpen, 0},
        OkCase{"e-mail alone is nothing", Form("", "", "", "", "a@b.c"), false, EditorStep::StayOpen, 0},
        OkCase{"plain", Form("Alice"), false, EditorStep::Accept, 0},
        OkCase{"16 double-byte chars", Form(Repeat(kHan, 16)), true, EditorStep::Accept, 0},
        OkCase{"17 chars with a double-byte one", Form(kHan + Repeat("a", 16)), true, EditorStep::Message, 281},
        OkCase{"17 single-byte chars are fine", Form(Repeat("a", 17)), true, EditorStep::Accept, 0},
        OkCase{"14 bytes need no question", Form(Repeat("a", 14)), false, EditorStep::Accept, 0},
        OkCase{"15 bytes ask", Form(Repeat("a", 15)), false, EditorStep::Question, 209},
        OkCase{"281 comes before 209", Form(kHan + Repeat("a", 16)), false, EditorStep::Message, 281},
        OkCase{"plus alone", Form("A", "1+", "+"), false, EditorStep::Message, 282},
        OkCase{"plus later", Form("A", "1+2"), false, EditorStep::Message, 309},
        OkCase{"plus later in company", Form("A", "+1", "", "12+"), false, EditorStep::Message, 309},
        OkCase{"leading plus", Form("A", "+8613900000000"), false, EditorStep::Accept, 0},
        OkCase{"e-mail without @", Form("A", "1", "", "", "ab.c"), false, EditorStep::Message, 381},
        OkCase{"bad e-mail", Form("A", "1", "", "", "a@.c"), false, EditorStep::Message, 383},
        OkCase{"numbers before e-mail", Form("A", "+", "", "", "x"), false, EditorStep::Message, 282}),
    [](const auto& info) {
      std::string n = info.param.what;
      for (char& c : n)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return n;
    });

TEST(ContactRulesTest, EmailRules) {
  for (const char* good : {"a@b.cn", "first.last@mail.example.com", "a@bc.d", "a.b@cd."})
    EXPECT_EQ(ContactRules::CheckEmail(good), 0) << good;
  EXPECT_EQ(ContactRules::CheckEmail("plain"), 381);
  for (const char* bad : {"@b.cn", "a@", "a@b@c.d", "a.@b.cn", "a@.b.cn", "a@b.", "a@bc", "ab@cd."})
    EXPECT_EQ(ContactRules::CheckEmail(bad), 383) << bad;
}

struct TypedCase {
  const char* previous;
  const char* current;
  std::size_t caret;
  bool refused;
  std::size_t restoredCaret;
};

class TypedPlusTest : public ::testing::TestWithParam<TypedCase> {};

TEST_P(TypedPlusTest, RefusesPlusAfterTheFirstPosition) {
  const TypedCase& c = GetParam();
  auto fix = ContactRules::RefuseTypedPlus(c.previous, c.current, c.caret);
  ASSERT_EQ(fix.has_value(), c.refused);
  if (fix) {
    EXPECT_EQ(fix->text, c.previous);
    EXPECT_EQ(fix->caret, c.restoredCaret);
  }
}

INSTANTIATE_TEST_SUITE_P(Typing, TypedPlusTest,
                         ::testing::Values(TypedCase{"", "+", 1, false, 0},      // first position
                                           TypedCase{"123", "+123", 1, false, 0},
                                           TypedCase{"123", "123+", 4, true, 3},  // at the end
                                           TypedCase{"123", "1+23", 2, true, 1},  // in the middle
                                           TypedCase{"+", "++", 2, true, 1},
                                           TypedCase{"12", "125", 3, false, 0},
                                           TypedCase{"1+2", "1+", 2, false, 0}));  // deleting is no typing

TEST(ContactRulesTest, EditorLimitsKeepTheRecordFieldsWhole) {
  EXPECT_TRUE(ContactRules::FitsEditor(ContactField::Name, Repeat("a", 32)));
  EXPECT_FALSE(ContactRules::FitsEditor(ContactField::Name, Repeat("a", 33)));
  EXPECT_TRUE(ContactRules::FitsEditor(ContactField::Mobile, Repeat("1", 40)));
  EXPECT_FALSE(ContactRules::FitsEditor(ContactField::Mobile, Repeat("1", 41)));
  EXPECT_TRUE(ContactRules::FitsEditor(ContactField::Email, Repeat(kHan, 32)));
  EXPECT_FALSE(ContactRules::FitsEditor(ContactField::Email, Repeat("a", 33)));
  EXPECT_TRUE(ContactRules::FitsEditor(ContactField::Remark, Repeat(kHan, 100)));
  EXPECT_FALSE(ContactRules::FitsEditor(ContactField::Remark, Repeat(kHan, 101))) << "202 bytes do not fit";
  ContactForm f = Form("Bob", "+1", "2", "3", "b@c.d");
  f.remark = "r";
  ContactRecord r = ContactRules::BuildRecord(f, "/p/x.jpg");
  EXPECT_TRUE(SameContact(r, test::Contact("Bob", "+1", "2", "3", "b@c.d", "r", "/p/x.jpg")));
}

class ContactPictureTest : public ::testing::Test {
protected:
  TempDir dir;
  std::string folder = dir / "pic";
  DateTime when = DateTime::FromLocal(2024, 3, 7, 9, 5, 1);
};

TEST_F(ContactPictureTest, NamesTheCopyAfterTheMoment) {
  EXPECT_EQ(ContactPicture::FileNameFor(when), "03072024090501.jpg");
  EXPECT_EQ(ContactPicture::FileNameFor(DateTime::MakeInvalid()), "");
}

TEST_F(ContactPictureTest, CopiesIntoTheFolderAndMakesTheCopyWritable) {
  test::WriteText(dir / "photo.jpg", "JPEG");
  std::filesystem::permissions(dir / "photo.jpg", std::filesystem::perms::owner_read,
                               std::filesystem::perm_options::replace);
  PictureCopy copy = ContactPicture::CopyIn(dir / "photo.jpg", folder, when);
  ASSERT_EQ(copy.message, 0) << copy.error;
  EXPECT_EQ(copy.path, (std::filesystem::absolute(folder) / "03072024090501.jpg").string());
  EXPECT_EQ(test::ReadText(copy.path), "JPEG");
  EXPECT_NE(std::filesystem::status(copy.path).permissions() & std::filesystem::perms::owner_write,
            std::filesystem::perms::none);
}

TEST_F(ContactPictureTest, SameSecondNeverReplacesAnotherContactsPicture) {
  test::WriteText(dir / "a.jpg", "A");
  test::WriteText(dir / "b.jpg", "B");
  PictureCopy first = ContactPicture::CopyIn(dir / "a.jpg", folder, when);
  PictureCopy second = ContactPicture::CopyIn(dir / "b.jpg", folder, when);
  ASSERT_EQ(first.message, 0);
  ASSERT_EQ(second.message, 0);
  EXPECT_NE(first.path, second.path);
  EXPECT_EQ(std::filesystem::path(second.path).filename(), "03072024090502.jpg");
  EXPECT_EQ(test::ReadText(first.path), "A");
}

TEST_F(ContactPictureTest, FailedCopyGives208AndDeletesNothing) {
  test::WriteText(dir / "old.jpg", "old");
  PictureCopy copy = ContactPicture::TakeChoice(dir / "missing.jpg", dir / "old.jpg", folder, when);
  EXPECT_EQ(copy.message, 208);
  EXPECT_TRUE(std::filesystem::exists(dir / "old.jpg"));
}

TEST_F(ContactPictureTest, NewChoiceDeletesThePreviousPictureButNeverTheDefault) {
  test::WriteText(dir / "new.jpg", "new");
  test::WriteText(dir / "old.jpg", "old");
  test::WriteText(dir / "default.jpg", "default");
  PictureCopy copy = ContactPicture::TakeChoice(dir / "new.jpg", dir / "old.jpg", folder, when);
  ASSERT_EQ(copy.message, 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "old.jpg"));
  copy = ContactPicture::TakeChoice(dir / "new.jpg", dir / "default.jpg", folder, when);
  ASSERT_EQ(copy.message, 0);
  EXPECT_TRUE(std::filesystem::exists(dir / "default.jpg"));
  // Choosing the contact's own copy again keeps it.
  PictureCopy again = ContactPicture::TakeChoice(copy.path, copy.path, folder, when);
  ASSERT_EQ(again.message, 0);
  EXPECT_TRUE(std::filesystem::exists(again.path));
  EXPECT_TRUE(ContactPicture::IsDefault(""));
}

}  // namespace
}  // namespace evdo
