#include <gtest/gtest.h>

#include <filesystem>

#include "phonebook/ContactExport.h"
#include "phonebook/ContactImport.h"
#include "phonebook/ExportWriter.h"
#include "tests/phonebook/PhonebookTestUtil.h"

namespace evdo {
namespace {

using test::Contact;
using test::TempDir;

struct FieldCase {
  const char* text;
  const char* written;
};

class AddFieldTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(AddFieldTest, QuotesOnlyWhatNeedsIt) {
  CExportWriter w(ExportKind::Logs, ExportFormat::Csv, "H");
  w.AddField(GetParam().text);
  EXPECT_EQ(w.Text(), std::string("H\r\n") + GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(Quoting, AddFieldTest,
                         ::testing::Values(FieldCase{"plain", "plain,"}, FieldCase{"", ","},
                                           FieldCase{"a,b", "\"a,b\","},
                                           FieldCase{"say \"hi\"", "\"say \"\"hi\"\"\","},
                                           FieldCase{"two\r\nlines", "\"two\r\nlines\","},
                                           FieldCase{"lf\nonly", "\"lf\nonly\","},
                                           FieldCase{" spaced ", " spaced ,"}));

TEST(ExportWriterTest, EndRecordEndsLinesAndCards) {
  CExportWriter csv(ExportKind::Messages, ExportFormat::Csv, "Status,Number");
  csv.AddField("1");
  csv.AddField("2");
  csv.EndRecord();
  csv.EndRecord();  // an empty line keeps the previous line end
  EXPECT_EQ(csv.Text(), "Status,Number\r\n1,2\r\n\r\n");
  CExportWriter vcard(ExportKind::Phonebook, ExportFormat::VCard, "ignored");
  EXPECT_EQ(vcard.Text(), "");
  vcard.EndRecord();
  EXPECT_EQ(vcard.Text(), "\nEND:VCARD");
}

TEST(ExportWriterTest, AddContactWritesTheCardExactly) {
  CExportWriter w(ExportKind::Phonebook, ExportFormat::VCard, "");
  w.AddContact(Contact("Li Lei", "+8613900000000", "", "010-1", "li@x.cn", "a: b", "/pic/1.jpg"));
  w.AddContact(Contact(""));
  EXPECT_EQ(w.Text(),
            "BEGIN:VCARD\nVERSION:3.0\nFN:Li Lei\nTEL;TYPE=CELL,VOICE,PREF:+8613900000000\n"
            "TEL;TYPE=HOME,VOICE:\nTEL;TYPE=WORK,VOICE:010-1\nEMAIL;TYPE=INTERNET,PREF:li@x.cn\n"
            "NOTE:a: b\nEND:VCARD\r\n"
            "BEGIN:VCARD\nVERSION:3.0\nFN:\nTEL;TYPE=CELL,VOICE,PREF:\nTEL;TYPE=HOME,VOICE:\n"
            "TEL;TYPE=WORK,VOICE:\nEMAIL;TYPE=INTERNET,PREF:\nNOTE:\nEND:VCARD\r\n");
}

TEST(ExportWriterTest, ExtensionIsAppendedUnlessNearTheEnd) {
  EXPECT_EQ(CExportWriter::WithExtension("book", ".csv"), "book.csv");
  EXPECT_EQ(CExportWriter::WithExtension("book.csv", ".csv"), "book.csv");
  EXPECT_EQ(CExportWriter::WithExtension(".csv", ".csv"), ".csv");
  EXPECT_EQ(CExportWriter::WithExtension("book.csvx", ".csv"), "book.csvx") << "found at the fifth-last character";
  EXPECT_EQ(CExportWriter::WithExtension("book.csvxy", ".csv"), "book.csvxy.csv");
  EXPECT_EQ(CExportWriter::WithExtension("book.CSV", ".csv"), "book.CSV.csv");
}

TEST(ExportWriterTest, UnwritableFileGives313) {
  TempDir dir;
  CExportWriter w(ExportKind::Logs, ExportFormat::Csv, "H");
  std::string error;
  EXPECT_EQ(w.SaveText(dir / "no/such/folder/out.csv", &error), 313);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(w.SaveText(dir / "out.csv"), 0);
  EXPECT_EQ(test::ReadText(dir / "out.csv"), "H\r\n");
}

// A chosen path that is a link is refused, and neither the link nor the
// file it names changes.
TEST(ExportWriterTest, ALinkIsNotReplacedNorFollowed) {
  TempDir dir;
  test::WriteText(dir / "precious.txt", "keep me");
  std::filesystem::create_symlink(dir / "precious.txt", dir / "out.csv");
  CExportWriter w(ExportKind::Logs, ExportFormat::Csv, "H");
  std::string error;
  EXPECT_EQ(w.SaveText(dir / "out.csv", &error), 453);
  EXPECT_NE(error.find("link"), std::string::npos) << error;
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "out.csv"));
  EXPECT_EQ(test::ReadText(dir / "precious.txt"), "keep me");
}

// A read-only file the user chose is refused, and stays read-only.
TEST(ExportWriterTest, AReadOnlyFileIsNotReplacedNorMadeWritable) {
  TempDir dir;
  test::WriteText(dir / "out.csv", "old");
  std::filesystem::permissions(dir / "out.csv", std::filesystem::perms::owner_read,
                               std::filesystem::perm_options::replace);
  CExportWriter w(ExportKind::Logs, ExportFormat::Csv, "H");
  EXPECT_EQ(w.SaveText(dir / "out.csv"), 454);
  EXPECT_EQ(test::ReadText(dir / "out.csv"), "old");
  EXPECT_EQ(std::filesystem::status(dir / "out.csv").permissions() & std::filesystem::perms::owner_write,
            std::filesystem::perms::none);
}

class ContactExportTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::KeepInMemory(store);
    ASSERT_TRUE(store.Append(Contact("A", "1", "", "", "", "x, \"y\"")));
    ASSERT_TRUE(store.Append(Contact("B", "2")));
    ASSERT_TRUE(store.Append(Contact("C", "3")));
  }
  TempDir dir;
  std::string out = dir / "out.csv";
  CPbData store;
};

TEST_F(ContactExportTest, AllContactsInListOrder) {
  ExportOutcome o = ContactExport::Run(store, {}, ExportFormat::Csv, "Name,Mobile,Home,Company,Email,Remark", out);
  EXPECT_TRUE(o.written);
  EXPECT_TRUE(o.messages.empty());
  EXPECT_EQ(test::ReadText(out),
            "Name,Mobile,Home,Company,Email,Remark\r\nA,1,,,,\"x, \"\"y\"\"\"\r\nB,2,,,,\r\nC,3,,,,\r\n");
}

TEST_F(ContactExportTest, SelectionAndUnreadableRows) {
  ExportOutcome o = ContactExport::Run(store, {2, 7, 0}, ExportFormat::Csv, "Name", out);
  EXPECT_EQ(o.messages, std::vector<int>{274});
  EXPECT_EQ(o.exported, 2);
  EXPECT_EQ(test::ReadText(out), "Name\r\nC,3,,,,\r\nA,1,,,,\"x, \"\"y\"\"\"\r\n");
}

TEST_F(ContactExportTest, EmptyStoreGives273AndWritesNothing) {
  CPbData empty;
  ExportOutcome o = ContactExport::Run(empty, {}, ExportFormat::VCard, "", out);
  EXPECT_EQ(o.messages, std::vector<int>{273});
  EXPECT_FALSE(o.written);
  EXPECT_FALSE(std::filesystem::exists(out));
}

// Export and import back: the same contacts, apart from the shortening of
// the import (name 12 bytes, numbers and e-mail 32, remark 128).
class RoundTripTest : public ::testing::TestWithParam<ExportFormat> {};

TEST_P(RoundTripTest, ImportGivesBackWhatWasExported) {
  const std::string han = "\xD5\xC5\xC8\xFD";  // two double-byte characters
  CPbData source, target;
  test::KeepInMemory(source);
  test::KeepInMemory(target);
  const std::vector<ContactRecord> contacts = {
      Contact("Alice", "+8613912345678", "0215", "*99#", "alice@example.com", "likes \"tea\", and: cake"),
      Contact(han + han + han + "ab", "1"),  // 14 bytes: cut to 12, whole characters
      Contact("A very long name indeed", std::string(40, '9'), "", "", std::string(40, 'e'), std::string(200, 'r')),
      Contact(" padded ", "", "", "12345"),
      Contact("", "555"),
  };
  for (const auto& c : contacts) ASSERT_TRUE(source.Append(c));
  TempDir dir;
  const bool csv = GetParam() == ExportFormat::Csv;
  const std::string path = dir / (csv ? "book.csv" : "book.vcf");
  ExportOutcome exported =
      ContactExport::Run(source, {}, GetParam(), "Name,Mobile,Home,Company,Email,Remark", path);
  ASSERT_TRUE(exported.written);
  ImportOutcome imported = ContactImport::Run(target, path, ".csv", ".vcf");
  EXPECT_TRUE(imported.completed);
  EXPECT_TRUE(imported.messages.empty()) << imported.messages.front();
  ASSERT_EQ(target.Count(), static_cast<int>(contacts.size()));
  const std::vector<ContactRecord> expected = {
      contacts[0],
      Contact(han + han + han, "1"),
      Contact("A very long ", std::string(32, '9'), "", "", std::string(32, 'e'), std::string(128, 'r')),
      Contact("padded", "", "", "12345"),
      contacts[4],
  };
  for (int i = 0; i < target.Count(); ++i) {
    ContactRecord r;
    ASSERT_TRUE(target.Get(i, r));
    for (int f = 0; f < kContactColumnCount; ++f) {
      auto field = static_cast<ContactField>(f);
      EXPECT_EQ(FieldValue(r, field), FieldValue(expected[static_cast<std::size_t>(i)], field))
          << "contact " << i << " field " << FieldName(field);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTripTest, ::testing::Values(ExportFormat::Csv, ExportFormat::VCard));

}  // namespace
}  // namespace evdo
