// vCards as phones and address books write them: cards written by an
// independent library (python3-vobject, tests/phonebook/vcards) and
// hand-made samples of versions 2.1, 3.0 and 4.0.
#include <gtest/gtest.h>

#include "core/text/CodePage.h"
#include "phonebook/ContactImport.h"
#include "phonebook/VCardProperties.h"
#include "tests/phonebook/PhonebookTestUtil.h"

namespace evdo {
namespace {

using Messages = std::vector<int>;

class CodePageScope {
public:
  explicit CodePageScope(CodePage cp) : previous_(SystemCodePage()) { SelectSystemCodePage(cp); }
  ~CodePageScope() { SelectSystemCodePage(previous_); }

private:
  CodePage previous_;
};

class VCardPhonesTest : public ::testing::Test {
protected:
  void SetUp() override { test::KeepInMemory(store); }
  ImportOutcome File(const std::string& name) {
    const std::string text = test::ReadText(std::string(EVDO_PB_VCARD_DIR) + "/" + name);
    EXPECT_FALSE(text.empty()) << name;
    return ContactImport::FromText(store, text, ImportFormat::VCard);
  }
  ImportOutcome Text(std::string_view text) { return ContactImport::FromText(store, text, ImportFormat::VCard); }
  // Field f of contact i, as UTF-8.
  std::string F(int i, ContactField f) {
    ContactRecord r = EmptyContact();
    store.Get(i, r);
    return ToUtf8(FieldValue(r, f));
  }
  CPbData store;
};

TEST_F(VCardPhonesTest, ReadsCardsWrittenByAnIndependentLibrary) {
  ImportOutcome o = File("vobject-3.0.vcf");
  EXPECT_TRUE(o.completed) << o.error;
  EXPECT_TRUE(o.messages.empty());
  ASSERT_EQ(store.Count(), 3);
  EXPECT_EQ(F(0, ContactField::Name), "张伟") << "UTF-8 without a charset, in code page 936";
  EXPECT_EQ(F(0, ContactField::Mobile), "+8613800138000") << "group separators are taken out";
  EXPECT_EQ(F(0, ContactField::Company), "01065529988");
  EXPECT_EQ(F(0, ContactField::Home), "01088881234");
  EXPECT_EQ(F(0, ContactField::Email), "zhang.wei@example.cn");
  EXPECT_EQ(F(0, ContactField::Remark).substr(0, 40), "A long remark that goes on and on, with ") << "folded, unescaped";
  EXPECT_NE(F(0, ContactField::Remark).find("second line\nso"), std::string::npos);
  EXPECT_EQ(F(1, ContactField::Name), "Anna Smith");
  EXPECT_EQ(F(1, ContactField::Mobile), "5550100") << "an untyped number fills the first free field";
  EXPECT_EQ(F(1, ContactField::Home), "") << "a fax number is no voice number";
  EXPECT_EQ(F(2, ContactField::Company), "+49301234567");
}

TEST_F(VCardPhonesTest, ReadsVersion21WithQuotedPrintableAndCharsets) {
  CodePageScope utf8(CodePage::Utf8);
  ImportOutcome o = File("phone-2.1.vcf");
  ASSERT_TRUE(o.completed) << o.error;
  ASSERT_EQ(store.Count(), 2);
  EXPECT_EQ(F(0, ContactField::Name), "李娜");
  EXPECT_EQ(F(0, ContactField::Mobile), "13912345678");
  EXPECT_EQ(F(0, ContactField::Home), "075588886666");
  EXPECT_EQ(F(0, ContactField::Company), "075522223333");
  EXPECT_EQ(F(0, ContactField::Email), "li.na@example.cn");
  EXPECT_EQ(F(0, ContactField::Remark).substr(0, 25), "Lange Notiz über mehrere") << "soft line breaks joined";
  EXPECT_NE(F(0, ContactField::Remark).find("weit über"), std::string::npos);
  EXPECT_EQ(F(1, ContactField::Name), "王芳") << "N in CHARSET=GB2312, family name first";
  EXPECT_EQ(F(1, ContactField::Mobile), "+8613800000001");
  EXPECT_EQ(F(1, ContactField::Home), "");
}

TEST_F(VCardPhonesTest, ReadsVersion40) {
  CodePageScope utf8(CodePage::Utf8);
  ImportOutcome o = File("book-4.0.vcf");
  ASSERT_TRUE(o.completed) << o.error;
  ASSERT_EQ(store.Count(), 2);
  EXPECT_EQ(F(0, ContactField::Name), "Émile Zola");
  EXPECT_EQ(F(0, ContactField::Mobile), "+33123456789");
  EXPECT_EQ(F(0, ContactField::Company), "+33198765432");
  EXPECT_EQ(F(0, ContactField::Email), "emile@example.fr") << "a grouped property";
  EXPECT_EQ(F(0, ContactField::Remark), "Écrivain, journaliste\nParis");
  EXPECT_EQ(F(1, ContactField::Name), "Only Note");
}

TEST_F(VCardPhonesTest, HandMadeCardsOfEachVersion) {
  CodePageScope utf8(CodePage::Utf8);
  ImportOutcome o = Text(
      "begin:vcard\nversion:3.0\nfn:lower case\ntel;type=cell:1\nend:vcard\n"
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Doe;John\r\nTEL;VOICE;HOME:2\r\nTEL;CELL:3\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\nVERSION:3.0\nFN;CHARSET=ISO-8859-1:Ren\xE9\nTEL;TYPE=WORK,VOICE;TYPE=PREF:4\nEND:VCARD\n"
      "BEGIN:VCARD\nVERSION:3.0\nFN:Photo\nPHOTO;ENCODING=b;TYPE=JPEG:AAAA\n BBBB:CCCC\n TEL:99\nTEL:5\nEND:VCARD\n");
  EXPECT_TRUE(o.messages.empty()) << o.messages.size() << " " << o.error;
  // "BEGIN:VCARD" is searched in upper case: the first card is not one.
  ASSERT_GE(store.Count(), 3);
  int k = store.Count() - 3;
  EXPECT_EQ(F(k, ContactField::Name), "John Doe");
  EXPECT_EQ(F(k, ContactField::Home), "2");
  EXPECT_EQ(F(k, ContactField::Mobile), "3");
  EXPECT_EQ(F(k + 1, ContactField::Name), "René");
  EXPECT_EQ(F(k + 1, ContactField::Company), "4");
  EXPECT_EQ(F(k + 2, ContactField::Mobile), "5") << "the folded photo, even with ':' in it, is passed over";
}

TEST_F(VCardPhonesTest, BadNumbersInPhoneCardsStillStopTheImport) {
  ImportOutcome o = Text("BEGIN:VCARD\nVERSION:3.0\nFN:A\nTEL:1\nEND:VCARD\n"
                         "BEGIN:VCARD\nVERSION:3.0\nFN:B\nTEL:12 ext 5\nEND:VCARD\n");
  EXPECT_EQ(o.messages, Messages{195});
  EXPECT_EQ(store.Count(), 1);
}

TEST(VCardPropertiesTest, UnfoldsAndParses) {
  auto lines = VCardProperties::Unfold("A:1\r\n 2\r\n\t3\nB;ENCODING=QUOTED-PRINTABLE:x=\ny\nC:z=\nw");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "A:123");
  EXPECT_EQ(lines[1], "B;ENCODING=QUOTED-PRINTABLE:xy");
  EXPECT_EQ(lines[2], "C:z=") << "a soft break only in a quoted-printable value";
  VCardProperty p;
  ASSERT_TRUE(VCardProperties::Parse("item2.tel;type=\"cell,voice\";x-a=\"b:c\":tel:+1 (2) 3", p));
  EXPECT_EQ(p.name, "TEL");
  EXPECT_EQ(p.types, (std::vector<std::string>{"CELL", "VOICE"}));
  EXPECT_EQ(p.value, "tel:+1 (2) 3");
  EXPECT_EQ(VCardProperties::DialNumber(p.value), "+123");
  EXPECT_FALSE(VCardProperties::Parse("no colon", p));
}

}  // namespace
}  // namespace evdo
