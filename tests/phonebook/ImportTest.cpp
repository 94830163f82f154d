#include <gtest/gtest.h>

#include "phonebook/ContactImport.h"
#include "phonebook/CsvContactReader.h"
#include "phonebook/QuickSearch.h"
#include "phonebook/VCardReader.h"
#include "tests/phonebook/PhonebookTestUtil.h"

namespace evdo {
namespace {

using test::Contact;
using test::TempDir;
using Messages = std::vector<int>;

const std::string kHeader = "Name,Mobile,Home,Company,Email,Remark\r\n";

class ImportTest : public ::testing::Test {
protected:
  void SetUp() override { test::KeepInMemory(store); }
  ImportOutcome Csv(std::string_view text) { return ContactImport::FromText(store, text, ImportFormat::Csv); }
  ImportOutcome VCard(std::string_view text) { return ContactImport::FromText(store, text, ImportFormat::VCard); }
  ContactRecord At(int i) {
    ContactRecord r = EmptyContact();
    store.Get(i, r);
    return r;
  }
  std::string Field(int i, ContactField f) { return std::string(FieldValue(At(i), f)); }
  CPbData store;
};

// --- comma-separated ---

TEST_F(ImportTest, CsvReadsColumnsByTheHeader) {
  ImportOutcome o = Csv("Remark,Name,Mobile\nhello,Bob,139\n");
  EXPECT_TRUE(o.completed);
  EXPECT_TRUE(o.messages.empty());
  ASSERT_EQ(store.Count(), 1);
  EXPECT_TRUE(SameContact(At(0), Contact("Bob", "139", "", "", "", "hello")));
}

TEST_F(ImportTest, CsvHeaderFieldsMayBeQuotedAndEmptyOnesAreNoColumns) {
  // Nothing between two commas of the header is no column: Mobile is the
  // second column of the data lines.
  ImportOutcome o = Csv("\"Name\",,Mobile,\nBob,139\n");
  ASSERT_EQ(o.added, 1);
  EXPECT_TRUE(SameContact(At(0), Contact("Bob", "139")));
  ImportOutcome lead = Csv(",,Mobile,,,Name\n139,Cy\n");
  ASSERT_EQ(lead.added, 1);
  EXPECT_TRUE(SameContact(At(1), Contact("Cy", "139")));
}

TEST_F(ImportTest, CsvHeaderNameAndEmailTakesOnlyThose) {
  ImportOutcome o = Csv("Name,Email\nAnn,ann@x.cn,ignored\nBen,ben@x.cn\n");
  EXPECT_EQ(o.added, 2);
  EXPECT_TRUE(SameContact(At(1), Contact("Ben", "", "", "", "ben@x.cn")));
}

TEST_F(ImportTest, CsvWithoutRecognisedHeaderGives275) {
  for (std::string_view text : {"name,mobile\nA,1\n", "Email,Remark\na@b.c,x\n", "\nName\nA\n"}) {
    ImportOutcome o = Csv(text);
    EXPECT_EQ(o.messages, Messages{275}) << text;
    EXPECT_EQ(store.Count(), 0);
  }
}

TEST_F(ImportTest, CsvLinesWithoutNameOrNumberAreSkippedWith276) {
  ImportOutcome o = Csv(kHeader + ",,,,only@mail.cn,note\r\nAnn,1,,,,\r\n");
  EXPECT_TRUE(o.completed);
  EXPECT_EQ(o.added, 1);
  EXPECT_EQ(o.messages, Messages{276});
}

TEST_F(ImportTest, CsvBlankLinesAndTheFinalLineEndSkipNothing) {
  ImportOutcome o = Csv(kHeader + "Ann,1,,,,\r\n\r\n\nBen,2\r\n");
  EXPECT_EQ(o.added, 2);
  EXPECT_TRUE(o.messages.empty());
}

TEST_F(ImportTest, CsvCrLfAndLfImportAlike) {
  Csv("Name,Mobile,Remark\r\n A ,1, x \r\nB,2,y\r\n");
  CPbData lf;
  test::KeepInMemory(lf);
  ContactImport::FromText(lf, "Name,Mobile,Remark\n A ,1, x \nB,2,y\n", ImportFormat::Csv);
  ASSERT_EQ(store.Count(), 2);
  ASSERT_EQ(lf.Count(), 2);
  for (int i = 0; i < 2; ++i) {
    ContactRecord r;
    lf.Get(i, r);
    EXPECT_TRUE(SameContact(At(i), r));
  }
  EXPECT_TRUE(SameContact(At(0), Contact("A", "1", "", "", "", "x")));
}

TEST_F(ImportTest, CsvQuotedFieldsKeepCommasQuotesAndLineEnds) {
  ImportOutcome o = Csv(kHeader +
                        "\"Li, Lei\",1,,,,\"he said \"\"hi, there\"\" twice\"\r\n"
                        "Ann,2,,,,\"two\r\nlines\"\r\n"
                        "Bob,3,,,,\"\"\r\n");
  ASSERT_TRUE(o.completed);
  ASSERT_EQ(store.Count(), 3);
  EXPECT_EQ(Field(0, ContactField::Name), "Li, Lei");
  EXPECT_EQ(Field(0, ContactField::Remark), "he said \"hi, there\" twice");
  EXPECT_EQ(Field(1, ContactField::Remark), "two\nlines") << "a CR LF file reads as a text file: CR LF is LF";
  EXPECT_EQ(Field(2, ContactField::Remark), "");
}

TEST_F(ImportTest, CsvMalformedQuotesDoNotShiftColumns) {
  // A quote never closed ends with its line; the next line is a contact.
  ImportOutcome open = Csv(kHeader + "Ann,1,,,,\"open quote\nBen,2,,,,\n");
  ASSERT_EQ(open.added, 2);
  EXPECT_EQ(Field(0, ContactField::Remark), "open quote");
  EXPECT_EQ(Field(1, ContactField::Mobile), "2");
  // Text after a closing quote stays in its field.
  ImportOutcome after = Csv(kHeader + "\"Cy\"x,3,,,,\n");
  ASSERT_EQ(after.added, 1);
  EXPECT_EQ(Field(2, ContactField::Name), "Cyx");
  EXPECT_EQ(Field(2, ContactField::Mobile), "3");
  // A quote inside an unquoted field is text: here it makes no number.
  EXPECT_EQ(Csv(kHeader + "Dan,ab\"c\"d,2,,,\n").messages, Messages{195});
}

TEST_F(ImportTest, CsvLongLineKeepsItsColumns) {
  const std::string remark(900, 'r');
  ImportOutcome o = Csv(kHeader + "Ann,1,,,," + remark + "\r\nBen,2,,,,\r\n");
  ASSERT_EQ(o.added, 2);
  EXPECT_EQ(Field(0, ContactField::Remark), std::string(128, 'r'));
  EXPECT_EQ(Field(1, ContactField::Name), "Ben");
  EXPECT_EQ(Field(1, ContactField::Mobile), "2");
  // A long line with the long part in the middle.
  ImportOutcome mid = Csv(kHeader + "Cy,3,,," + std::string(1000, 'e') + ",tail\n");
  ASSERT_EQ(mid.added, 1);
  EXPECT_EQ(Field(2, ContactField::Email), std::string(32, 'e'));
  EXPECT_EQ(Field(2, ContactField::Remark), "tail");
}

TEST_F(ImportTest, CsvShortensFieldsWithoutSplittingCharacters) {
  const std::string han = "\xD5\xC5";
  ImportOutcome o = Csv("Name,Mobile\na" + han + han + han + han + han + han + "," + std::string(40, '1') + "\n");
  ASSERT_EQ(o.added, 1);
  EXPECT_EQ(Field(0, ContactField::Name), "a" + han + han + han + han + han);  // 11 of 12 bytes
  EXPECT_EQ(Field(0, ContactField::Mobile), std::string(32, '1'));
}

struct StopCase {
  const char* line;
  int message;
};

class CsvStopTest : public ImportTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(CsvStopTest, AFailingFieldStopsTheImportAndKeepsEarlierContacts) {
  ImportOutcome o = Csv(kHeader + "Ann,1,,,,\r\n" + GetParam().line + "\r\nBen,2,,,,\r\n");
  EXPECT_FALSE(o.completed);
  EXPECT_EQ(o.messages, Messages{GetParam().message});
  ASSERT_EQ(store.Count(), 1);
  EXPECT_EQ(Field(0, ContactField::Name), "Ann");
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CsvStopTest,
    ::testing::Values(StopCase{"Cy,+,,,,", 282}, StopCase{"Cy,1,+,,,", 282}, StopCase{"Cy,1,2,x3,,", 195},
                      StopCase{"Cy,139-1,,,,", 195},
                      StopCase{"\xD5\xC5xxxxxxxxxxxxxxxx,1,,,,", 277}));

TEST_F(ImportTest, CsvNumberCheckAppliesToTheStoredPart) {
  ImportOutcome o = Csv("Name,Mobile\nA," + std::string(32, '1') + "x\n");
  EXPECT_EQ(o.added, 1) << "the character after the 32nd byte is not kept, so not checked";
}

TEST_F(ImportTest, CsvStopsWith194WhenTheStoreIsFull) {
  std::string text = "Name\n";
  for (int i = 0; i < 205; ++i) text += "n" + std::to_string(i) + "\n";
  ImportOutcome o = Csv(text);
  EXPECT_EQ(store.Count(), 200);
  EXPECT_EQ(o.added, 200);
  EXPECT_EQ(o.messages, Messages{194});
}

TEST_F(ImportTest, CsvGives269AndAddsNothingWhenTheOneSaveFails) {
  store.Append(Contact("Old", "1"));
  int saves = 0;
  store.SetSaveFunction([&saves](const std::string&, const Bytes&) {
    ++saves;
    return FileResult::Fail("disk full");
  });
  ImportOutcome o = Csv("Name\nA\nB\nC\n");
  EXPECT_EQ(o.messages, Messages{269});
  EXPECT_EQ(o.added, 0);
  EXPECT_EQ(saves, 1);
  ASSERT_EQ(store.Count(), 1) << "memory stays as the file is: the previous contacts only";
  EXPECT_EQ(test::Name(store, 0), "Old");
}

TEST_F(ImportTest, ImportWritesTheFileOnceAtTheEnd) {
  std::vector<Bytes> saved;
  store.SetSaveFunction([&saved](const std::string&, const Bytes& content) {
    saved.push_back(content);
    return FileResult::Ok();
  });
  std::string text = "Name,Mobile\n";
  for (int i = 0; i < 200; ++i) text += "n" + std::to_string(i) + "," + std::to_string(1000 + i) + "\n";
  ImportOutcome o = Csv(text);
  EXPECT_EQ(o.added, 200);
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].size(), 200u * kContactFileRecordSize);
  EXPECT_EQ(saved[0], store.FileContent());
  // A stop half-way still saves the contacts before it, once.
  CPbData other;
  int saves = 0;
  other.SetSaveFunction([&saves](const std::string&, const Bytes&) {
    ++saves;
    return FileResult::Ok();
  });
  ContactImport::FromText(other, "Name,Mobile\nA,1\nB,2\nC,x\nD,4\n", ImportFormat::Csv);
  EXPECT_EQ(other.Count(), 2);
  EXPECT_EQ(saves, 1);
}

TEST_F(ImportTest, ImportIntoAFileLeavesPreviousOrWholeContent) {
  TempDir dir;
  CPbData onDisk;
  ASSERT_FALSE(onDisk.Load(dir / "PbData.dat").Failed());
  ASSERT_TRUE(onDisk.Append(Contact("Old", "1")));
  const std::string before = test::ReadText(dir / "PbData.dat");
  std::string text = "Name,Mobile\n";
  for (int i = 0; i < 50; ++i) text += "n" + std::to_string(i) + ",1" + std::to_string(i) + "\n";
  // Every save of the import goes through the atomic store write; until it
  // ran, the file is the previous one.
  onDisk.BeginBatch();
  ASSERT_TRUE(onDisk.Append(Contact("New", "2")));
  EXPECT_EQ(test::ReadText(dir / "PbData.dat"), before) << "no write before the end of the import";
  ASSERT_TRUE(onDisk.EndBatch());
  ImportOutcome o = ContactImport::FromText(onDisk, text, ImportFormat::Csv);
  EXPECT_EQ(o.added, 50);
  CPbData reread;
  ASSERT_TRUE(reread.Load(dir / "PbData.dat"));
  EXPECT_EQ(reread.Count(), 52);
}

TEST_F(ImportTest, CsvInUtf8IsReadInTheSystemCodePage) {
  // Address books write UTF-8, often with a byte order mark.
  ImportOutcome o = Csv("\xEF\xBB\xBFName,Mobile\r\n\xE6\x9D\x8E\xE9\x9B\xB7,139\r\n");
  ASSERT_EQ(o.added, 1);
  EXPECT_EQ(Field(0, ContactField::Name), "\xC0\xEE\xC0\xD7") << "the name in code page 936";
  // Text already in code page 936 (not UTF-8) is kept as it is.
  ASSERT_EQ(Csv("Name\n\xC0\xEE\xC0\xD7\n").added, 1);
  EXPECT_EQ(Field(1, ContactField::Name), "\xC0\xEE\xC0\xD7");
}

TEST(CsvReadFieldTest, SplitsOneLine) {
  std::string_view text = "a, \"b,\"\"c\" ,d\nnext";
  std::size_t pos = 0;
  std::string field;
  EXPECT_TRUE(CsvContactReader::ReadField(text, pos, field));
  EXPECT_EQ(field, "a");
  EXPECT_TRUE(CsvContactReader::ReadField(text, pos, field));
  EXPECT_EQ(field, "b,\"c ");
  EXPECT_FALSE(CsvContactReader::ReadField(text, pos, field));
  EXPECT_EQ(field, "d");
  EXPECT_EQ(text.substr(pos), "next");
}

// --- vCard ---

std::string Card(std::string_view name, std::string_view mobile = {}, std::string_view note = {}) {
  return "BEGIN:VCARD\nVERSION:3.0\nFN:" + std::string(name) + "\nTEL;TYPE=CELL,VOICE,PREF:" + std::string(mobile) +
         "\nTEL;TYPE=HOME,VOICE:\nTEL;TYPE=WORK,VOICE:\nEMAIL;TYPE=INTERNET,PREF:\nNOTE:" + std::string(note) +
         "\nEND:VCARD\r\n";
}

TEST_F(ImportTest, VCardReadsTheSixProperties) {
  ImportOutcome o = VCard(
      "\n \r\n\tBEGIN:VCARD\r\nVERSION:3.0\r\nNOTE: hi \r\nTEL;TYPE=WORK,VOICE:3\r\nFN:Ann\r\n"
      "TEL;TYPE=HOME,VOICE:2\r\nTEL;TYPE=CELL,VOICE,PREF:1\r\nEMAIL;TYPE=INTERNET,PREF:a@b.cn\r\nEND:VCARD\r\n\r\n  ");
  EXPECT_TRUE(o.completed);
  EXPECT_TRUE(o.messages.empty());
  ASSERT_EQ(store.Count(), 1);
  EXPECT_TRUE(SameContact(At(0), Contact("Ann", "1", "2", "3", "a@b.cn", "hi")));
}

TEST_F(ImportTest, VCardValueWithColonsIsKeptWhole) {
  ASSERT_EQ(VCard(Card("Ann", "1", "meet at 10:30: room 2")).added, 1);
  EXPECT_EQ(Field(0, ContactField::Remark), "meet at 10:30: room 2");
}

TEST_F(ImportTest, VCardPropertyInsideAValueIsNotTakenForOne) {
  const std::string card =
      "BEGIN:VCARD\nNOTE:see FN:Other\nFN:Ann\nTEL;TYPE=CELL,VOICE,PREF:1\nTEL;TYPE=HOME,VOICE:\n"
      "TEL;TYPE=WORK,VOICE:\nEMAIL;TYPE=INTERNET,PREF:\nEND:VCARD";
  ASSERT_EQ(VCard(card).added, 1);
  EXPECT_EQ(Field(0, ContactField::Remark), "see FN:Other");
  EXPECT_EQ(Field(0, ContactField::Name), "Ann");
}

TEST_F(ImportTest, MalformedVCardsGive275Then273AndAddNothing) {
  const std::string cases[] = {
      Card("Ann", "1") + "BEGIN:VCARD\nFN:Bob\n",                        // no END
      "BEGIN:VCARD\nFN:Ann\n" + Card("Bob", "2"),                       // END missing before the next card
      "END:VCARD\n" + Card("Ann", "1"),                                 // END before BEGIN
      Card("Ann", "1") + "trailing words",
      "BEGIN:VCARD\nVERSION:3.0\nFN:A\nTEL;TYPE=CELL,VOICE,PREF:\nTEL;TYPE=HOME,VOICE:\nTEL;TYPE=WORK,VOICE:\n"
      "EMAIL;TYPE=INTERNET,PREF:\nNOTE:x END:VCARD",                     // NOTE line without LF
      "no card at all",
  };
  for (const std::string& text : cases) {
    ImportOutcome o = VCard(text);
    EXPECT_EQ(o.messages, (Messages{275, 273})) << text;
    EXPECT_EQ(store.Count(), 0) << text;
  }
}

TEST_F(ImportTest, VCardWithoutTheExportsPropertiesIsReadAsAPhoneCard) {
  // Phones write no NOTE and no empty numbers: such a card is read by its
  // properties instead of failing the import.
  std::string noNote = Card("Bob", "2");
  noNote.erase(noNote.find("NOTE:"), 6);
  ImportOutcome o = VCard(Card("Ann", "1") + noNote);
  EXPECT_TRUE(o.messages.empty());
  ASSERT_EQ(store.Count(), 2);
  EXPECT_TRUE(SameContact(At(1), Contact("Bob", "2")));
}

TEST_F(ImportTest, VCardChecksStopTheImport) {
  ImportOutcome o = VCard(Card("Ann", "1") + Card("Bob", "+") + Card("Cy", "3"));
  EXPECT_EQ(o.messages, Messages{282});
  EXPECT_EQ(store.Count(), 1);
  ImportOutcome bad = VCard(Card("Dan", "12x34"));
  EXPECT_EQ(bad.messages, Messages{195});
}

TEST_F(ImportTest, VCardEmptyCardsAreSkippedWith276) {
  ImportOutcome o = VCard(Card("", "", "just a note") + Card("Ann", "1"));
  EXPECT_EQ(o.added, 1);
  EXPECT_EQ(o.messages, Messages{276});
}

TEST_F(ImportTest, VCardReadsAtMostTwoHundredCards) {
  std::string text;
  for (int i = 0; i < 201; ++i) text += Card("n" + std::to_string(i), "1");
  ImportOutcome o = VCard(text);
  EXPECT_EQ(o.added, 200);
  EXPECT_EQ(o.messages, Messages{194}) << "the card that did not fit is reported";
}

TEST_F(ImportTest, VCardShortensToTheEntryWidths) {
  ASSERT_EQ(VCard(Card("Thirteen bytes", std::string(33, '7'), std::string(130, 'n'))).added, 1);
  EXPECT_EQ(Field(0, ContactField::Name), "Thirteen byt");
  EXPECT_EQ(Field(0, ContactField::Mobile), std::string(32, '7'));
  EXPECT_EQ(Field(0, ContactField::Remark), std::string(128, 'n'));
}

TEST(QuickSearchTest, FindsLikeFind) {
  const std::string text = "xxBEGIN:VCARDyyBEGIN:VCARD BEGIN:VCAR";
  QuickSearch search("BEGIN:VCARD");
  for (std::size_t from = 0; from <= text.size() + 1; ++from)
    EXPECT_EQ(search.Find(text, from), text.find("BEGIN:VCARD", from)) << from;
  EXPECT_EQ(QuickSearch("a").Find("", 0), std::string::npos);
  EXPECT_EQ(QuickSearch("abc").Find("ab", 0), std::string::npos);
  EXPECT_EQ(QuickSearch("aab").Find("aaab", 0), 1u);
}

// --- the import command ---

class ImportFileTest : public ImportTest {
protected:
  ImportOutcome Run(const std::string& name, std::string_view content) {
    test::WriteText(dir / name, content);
    return ContactImport::Run(store, dir / name, ".csv", ".vcf");
  }
  TempDir dir;
};

TEST_F(ImportFileTest, TypeIsDecidedByTheLastFourCharacters) {
  EXPECT_EQ(ContactImport::FormatFor("a.csv", ".csv", ".vcf"), ImportFormat::Csv);
  EXPECT_EQ(ContactImport::FormatFor("a.vcf", ".csv", ".vcf"), ImportFormat::VCard);
  EXPECT_EQ(ContactImport::FormatFor("a.vcf.csv", ".csv", ".vcf"), ImportFormat::Csv);
  EXPECT_EQ(ContactImport::FormatFor("a.CSV", ".csv", ".vcf"), std::nullopt);
  EXPECT_EQ(Run("book.txt", "Name\nA\n").messages, Messages{314});
  EXPECT_EQ(Run("book.vcf", "Name\nA\n").messages, (Messages{275, 273})) << "the ending wins over the content";
}

TEST_F(ImportFileTest, EmptyMissingAndBinaryFiles) {
  EXPECT_EQ(Run("empty.csv", "").messages, Messages{279});
  EXPECT_EQ(ContactImport::Run(store, dir / "missing.csv", ".csv", ".vcf").messages, Messages{273});
  const std::string garbage("Name\n\x01\x00\xFF\xFE,\x00\x00", 11);
  EXPECT_EQ(Run("bin.csv", garbage).messages, Messages{275});
  EXPECT_EQ(Run("bin.vcf", garbage).messages, (Messages{275, 273}));
  EXPECT_EQ(store.Count(), 0);
}

TEST_F(ImportFileTest, OversizedFileGives315) {
  test::WriteText(dir / "big.csv", "Name\n");
  std::filesystem::resize_file(dir / "big.csv", ContactImport::kMaxFileBytes + 1);
  EXPECT_EQ(ContactImport::Run(store, dir / "big.csv", ".csv", ".vcf").messages, Messages{315});
}

TEST_F(ImportFileTest, FullStoreGives194BeforeReading) {
  for (int i = 0; i < 200; ++i) ASSERT_TRUE(store.Append(Contact("n", "1")));
  EXPECT_EQ(ContactImport::Run(store, dir / "missing.txt", ".csv", ".vcf").messages, Messages{194});
}

}  // namespace
}  // namespace evdo
