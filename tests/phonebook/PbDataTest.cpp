#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#include "phonebook/PbData.h"
#include "phonebook/SortToggle.h"
#include "tests/phonebook/PhonebookTestUtil.h"
#include "tests/support/FileFaults.h"

namespace evdo {
namespace {

using test::Contact;
using test::ReadText;
using test::TempDir;
using test::WriteText;

// One 820-byte record of PbData.dat, laid out by hand: Name at 0 (33 bytes),
// Mobile 33 (41), Home 74 (41), Company 115 (41), Email 156 (201),
// Remark 357 (202), Picture 559 (261).
std::string HandRecord(std::string_view name, std::string_view mobile, std::string_view home = {},
                       std::string_view company = {}, std::string_view email = {}, std::string_view remark = {},
                       std::string_view picture = {}) {
  std::string r(820, '\0');
  auto put = [&r](std::size_t offset, std::string_view text) { r.replace(offset, text.size(), text); };
  put(0, name);
  put(33, mobile);
  put(74, home);
  put(115, company);
  put(156, email);
  put(357, remark);
  put(559, picture);
  return r;
}

class PbDataFileTest : public ::testing::Test {
protected:
  TempDir dir;
  std::string path = dir / "PbData.dat";
  CPbData store;
};

TEST_F(PbDataFileTest, LoadsHandBuiltFileAndSkipsEmptyRecords) {
  std::string bytes = HandRecord("Alice", "13900000001", "021555", "010777", "a@b.cn", "friend", "/x/pic/1.jpg") +
                      std::string(820, '\0') + HandRecord("Bob", "+8613800000002");
  bytes[33 + 20] = 'Z';  // garbage after Mobile's terminator is ignored
  WriteText(path, bytes);
  LoadResult loaded = store.Load(path);
  ASSERT_TRUE(loaded) << loaded.error;
  EXPECT_TRUE(loaded.error.empty());
  ASSERT_EQ(store.Count(), 2);
  ContactRecord r;
  ASSERT_TRUE(store.Get(0, r));
  EXPECT_EQ(FieldValue(r, ContactField::Name), "Alice");
  EXPECT_EQ(FieldValue(r, ContactField::Mobile), "13900000001");
  EXPECT_EQ(FieldValue(r, ContactField::Home), "021555");
  EXPECT_EQ(FieldValue(r, ContactField::Company), "010777");
  EXPECT_EQ(FieldValue(r, ContactField::Email), "a@b.cn");
  EXPECT_EQ(FieldValue(r, ContactField::Remark), "friend");
  EXPECT_EQ(FieldValue(r, ContactField::Picture), "/x/pic/1.jpg");
  EXPECT_EQ(test::Name(store, 1), "Bob");
  EXPECT_FALSE(store.Get(2, r));
  EXPECT_FALSE(store.Get(-1, r));
  EXPECT_EQ(ReadText(path), bytes) << "a sound file is not rewritten by a load";
}

TEST_F(PbDataFileTest, SaveWritesTheFileLayout) {
  ASSERT_EQ(store.Load(path).status, LoadStatus::Missing);
  std::string picture(260, 'p');  // fills the memory field; the file adds one zero
  ASSERT_TRUE(store.Append(Contact("Alice", "139", "", "", "a@b.cn", "r")));
  ContactRecord full = Contact("Bob", "1");
  std::memcpy(full.Picture, picture.data(), picture.size());
  ASSERT_TRUE(store.Append(full));
  EXPECT_EQ(ReadText(path), HandRecord("Alice", "139", "", "", "a@b.cn", "r") + HandRecord("Bob", "1", "", "", "", "", picture));
}

TEST_F(PbDataFileTest, MissingFileIsCreatedEmpty) {
  ASSERT_EQ(store.Load(path).status, LoadStatus::Missing);
  EXPECT_EQ(store.Count(), 0);
  EXPECT_TRUE(DataFile::Exists(path));
  EXPECT_EQ(ReadText(path), "");
}

TEST_F(PbDataFileTest, ReadOnlyFileIsReadAndReplacedByAWritableOne) {
  WriteText(path, HandRecord("A", "1"));
  std::filesystem::permissions(path, std::filesystem::perms::owner_read, std::filesystem::perm_options::replace);
  ASSERT_TRUE(store.Load(path));
  ASSERT_TRUE(store.Append(Contact("B", "2")));
  EXPECT_EQ(ReadText(path), HandRecord("A", "1") + HandRecord("B", "2"));
  auto perms = std::filesystem::status(path).permissions();
  EXPECT_NE(perms & std::filesystem::perms::owner_write, std::filesystem::perms::none);
}

TEST_F(PbDataFileTest, ShortLastRecordIsZeroFilledAndTheOriginalKept) {
  // The second record stops inside Mobile: "Bob" and "1380" are there.
  const std::string original = HandRecord("Alice", "139") + HandRecord("Bob", "13800000002").substr(0, 37);
  WriteText(path, original);
  LoadResult report = store.Load(path);
  EXPECT_EQ(report.status, LoadStatus::Damaged);
  ASSERT_EQ(store.Count(), 2);
  ContactRecord r;
  ASSERT_TRUE(store.Get(1, r));
  EXPECT_EQ(FieldValue(r, ContactField::Name), "Bob");
  EXPECT_EQ(FieldValue(r, ContactField::Mobile), "1380");
  EXPECT_EQ(FieldValue(r, ContactField::Remark), "");
  EXPECT_NE(report.error.find("partial record"), std::string::npos) << report.error;
  ASSERT_EQ(report.keptAs, path + ".damaged");
  EXPECT_EQ(ReadText(report.keptAs), original);
  EXPECT_EQ(ReadText(path), HandRecord("Alice", "139") + HandRecord("Bob", "1380"));
}

TEST_F(PbDataFileTest, ContactsBeyondTwoHundredAreIgnoredButNotLost) {
  std::string original;
  for (int i = 0; i < 201; ++i) original += HandRecord("n" + std::to_string(i), std::to_string(i));
  WriteText(path, original);
  LoadResult loaded = store.Load(path);
  EXPECT_EQ(loaded.status, LoadStatus::Damaged);
  EXPECT_EQ(store.Count(), 200);
  EXPECT_EQ(test::Name(store, 199), "n199");
  ASSERT_FALSE(loaded.keptAs.empty());
  EXPECT_EQ(ReadText(loaded.keptAs), original);
  EXPECT_EQ(ReadText(path).size(), 200u * 820u);
}

TEST_F(PbDataFileTest, EmptyRecordsBeyondTwoHundredAreHarmless) {
  std::string original;
  for (int i = 0; i < 200; ++i) original += HandRecord("n" + std::to_string(i), "1");
  original += std::string(820, '\0');
  WriteText(path, original);
  LoadResult loaded = store.Load(path);
  ASSERT_TRUE(loaded) << loaded.error;
  EXPECT_EQ(store.Count(), 200);
  EXPECT_TRUE(loaded.error.empty());
  EXPECT_EQ(ReadText(path), original);
}

TEST_F(PbDataFileTest, PicturePathFillingTheFileFieldIsSetAside) {
  WriteText(path, HandRecord("A", "1", "", "", "", "", std::string(261, 'q')));
  LoadResult loaded = store.Load(path);
  EXPECT_EQ(loaded.status, LoadStatus::Damaged);
  ContactRecord r;
  ASSERT_TRUE(store.Get(0, r));
  EXPECT_EQ(FieldValue(r, ContactField::Picture), std::string(260, 'q'));
  EXPECT_FALSE(loaded.keptAs.empty());
}

TEST_F(PbDataFileTest, SomethingThatCannotBeReadIsLeftInPlace) {
  std::filesystem::create_directory(path);  // a folder where the file should be
  LoadResult loaded = store.Load(path);
  EXPECT_EQ(loaded.status, LoadStatus::Unreadable);
  EXPECT_TRUE(loaded.keptAs.empty());
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_FALSE(std::filesystem::exists(path + ".damaged"));
  EXPECT_EQ(store.Append(Contact("A", "1")).message, 269);
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

// A passing read error (too many open files) says nothing about the content:
// the intact phonebook stays where it is and nothing is saved over it.
TEST_F(PbDataFileTest, AFileThatCannotBeReadNowIsLeftInPlaceAndNeverOverwritten) {
  const std::string intact = HandRecord("Alice", "139") + HandRecord("Bob", "138");
  WriteText(path, intact);
  LoadResult loaded;
  {
    test::NoFreeDescriptors busy;
    ASSERT_TRUE(busy.Active());
    loaded = store.Load(path);
  }
  EXPECT_EQ(loaded.status, LoadStatus::Unreadable);
  EXPECT_NE(loaded.error.find("PbData.dat"), std::string::npos) << loaded.error;
  EXPECT_EQ(store.Count(), 0);
  EXPECT_FALSE(std::filesystem::exists(path + ".damaged"));
  ChangeResult added = store.Append(Contact("C", "1"));
  EXPECT_EQ(added.message, 269);
  EXPECT_EQ(added.saved.fault, FileFault::Refused);
  EXPECT_EQ(store.ClearAll().message, 271);
  EXPECT_EQ(ReadText(path), intact);
}

TEST_F(PbDataFileTest, AFileFarBeyondTwoHundredContactsIsSetAsideUnread) {
  {
    std::ofstream out(path, std::ios::binary);
    out.seekp(static_cast<std::streamoff>(kPbDataMaxFileSize) + 1);
    out.put('x');
  }
  LoadResult loaded = store.Load(path);
  EXPECT_EQ(loaded.status, LoadStatus::Damaged);
  EXPECT_EQ(store.Count(), 0);
  EXPECT_EQ(loaded.keptAs, path + ".damaged");
  EXPECT_EQ(ReadText(path), "");
}

TEST_F(PbDataFileTest, FileInAPlaceThatCannotBeReadIsNeverWritten) {
  WriteText(dir / "notafolder", "x");
  CPbData blocked;
  EXPECT_EQ(blocked.Load(dir / "notafolder/PbData.dat").status, LoadStatus::Unreadable);
  ChangeResult added = blocked.Append(Contact("A", "1"));
  EXPECT_EQ(added.message, 269);
  EXPECT_EQ(blocked.Count(), 0);
  EXPECT_EQ(blocked.ClearAll().message, 271);
}

TEST_F(PbDataFileTest, TheTwoHundredAndFirstContactIsRefusedAndNothingWritten) {
  ASSERT_EQ(store.Load(path).status, LoadStatus::Missing);
  for (int i = 0; i < 200; ++i) ASSERT_TRUE(store.Append(Contact("n" + std::to_string(i), "1")));
  const std::string before = ReadText(path);
  ChangeResult refused = store.Append(Contact("extra", "2"));
  EXPECT_EQ(refused.message, 194);
  EXPECT_EQ(store.Count(), 200);
  EXPECT_EQ(store.Add(Contact("extra", "2"), 5).message, 194);
  EXPECT_EQ(ReadText(path), before);
}

TEST_F(PbDataFileTest, ClearAllEmptiesTheFileAndThePictureFolder) {
  ASSERT_EQ(store.Load(path).status, LoadStatus::Missing);
  store.SetPictureFolder(dir / "pic");
  std::filesystem::create_directories(dir / "pic/keep");
  WriteText(dir / "pic/01022024101010.jpg", "jpg");
  ASSERT_TRUE(store.Append(Contact("A", "1")));
  ASSERT_TRUE(store.ClearAll());
  EXPECT_EQ(store.Count(), 0);
  EXPECT_EQ(ReadText(path), "");
  EXPECT_FALSE(std::filesystem::exists(dir / "pic/01022024101010.jpg"));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "pic/keep"));
}

// Every change whose save fails leaves memory as it was.
class FailingSaveTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::KeepInMemory(store);
    for (const char* n : {"A", "B", "C"}) ASSERT_TRUE(store.Append(Contact(n, "1")));
    store.SetSaveFunction([](const std::string&, const Bytes&) { return FileResult::Fail("disk full"); });
  }
  void ExpectUnchanged() {
    ASSERT_EQ(store.Count(), 3);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(test::Name(store, i), std::string(1, static_cast<char>('A' + i)));
      EXPECT_EQ(store.RecordAt(i), i);
    }
  }
  CPbData store;
};

TEST_F(FailingSaveTest, AddReturns269) {
  ChangeResult s = store.Add(Contact("X", "9"), 1);
  EXPECT_EQ(s.message, 269);
  EXPECT_FALSE(s.changed);
  EXPECT_EQ(s.Error(), "disk full");
  ExpectUnchanged();
}

TEST_F(FailingSaveTest, ModifyReturns270) {
  EXPECT_EQ(store.Modify(Contact("X", "9"), 1).message, 270);
  ExpectUnchanged();
}

TEST_F(FailingSaveTest, DeleteReturns270) {
  EXPECT_EQ(store.Delete(1).message, 270);
  ExpectUnchanged();
}

TEST_F(FailingSaveTest, ClearAllReturns271) {
  EXPECT_EQ(store.ClearAll().message, 271);
  ExpectUnchanged();
}

TEST(PbDataTest, AddInsertsAtPositionAndDeleteKeepsOrder) {
  CPbData store;
  test::KeepInMemory(store);
  ASSERT_TRUE(store.Append(Contact("A", "1")));
  ASSERT_TRUE(store.Append(Contact("C", "1")));
  ASSERT_TRUE(store.Add(Contact("B", "1"), 1));
  ASSERT_TRUE(store.Add(Contact("D", "1"), 99));  // beyond the end: appended
  ASSERT_TRUE(store.Add(Contact("E", "1"), -4));  // below 0: appended
  std::string names;
  for (int i = 0; i < store.Count(); ++i) names += test::Name(store, i);
  EXPECT_EQ(names, "ABCDE");
  ASSERT_TRUE(store.Delete(1));
  ASSERT_TRUE(store.Delete(3));
  names.clear();
  for (int i = 0; i < store.Count(); ++i) names += test::Name(store, store.RecordAt(i));
  EXPECT_EQ(names, "ACD");
  EXPECT_EQ(store.Delete(3).message, 270);
  EXPECT_EQ(store.Modify(Contact("X"), 3).message, 270);
}

class SortTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::KeepInMemory(store);
    // Byte order: "B" < "a" < "\xB0\xA1" (a high byte sorts after ASCII).
    for (auto [name, mobile] : {std::pair{"a", "3"}, {"\xB0\xA1", "1"}, {"B", "2"}, {"a", "4"}, {"", "5"}})
      ASSERT_TRUE(store.Append(Contact(name, mobile)));
  }
  std::string Column(ContactField f) {
    std::string s;
    for (int i = 0; i < store.Count(); ++i) {
      ContactRecord r;
      store.Get(i, r);
      s += std::string(FieldValue(r, f)) + "|";
    }
    return s;
  }
  CPbData store;
};

TEST_F(SortTest, SortsWholeRecordsByteWise) {
  store.Sort(0, true);
  EXPECT_EQ(Column(ContactField::Name), "|B|a|a|\xB0\xA1|");
  // The numbers moved with their names.
  std::string mobiles = Column(ContactField::Mobile);
  EXPECT_TRUE(mobiles == "5|2|3|4|1|" || mobiles == "5|2|4|3|1|") << mobiles;
  store.Sort(0, false);
  EXPECT_EQ(Column(ContactField::Name), "\xB0\xA1|a|a|B||");
  store.Sort(1, true);
  EXPECT_EQ(Column(ContactField::Mobile), "1|2|3|4|5|");
  EXPECT_EQ(Column(ContactField::Name), "\xB0\xA1|B|a|a||");
}

TEST_F(SortTest, HeaderClicksAlternateAscendingAndDescending) {
  SortToggle toggle;
  for (bool ascending : {true, false, true}) {
    EXPECT_EQ(toggle.Click(1), ascending);
    store.Sort(1, ascending);
    EXPECT_EQ(Column(ContactField::Mobile), ascending ? "1|2|3|4|5|" : "5|4|3|2|1|");
  }
  EXPECT_TRUE(toggle.Click(2));
  EXPECT_TRUE(toggle.Click(1));
}

TEST(PbDataSortTest, RandomContactsEndSortedWithRecordsIntact) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    CPbData store;
    test::KeepInMemory(store);
    std::vector<std::string> expected;
    int n = 1 + static_cast<int>(rng() % 200);
    for (int i = 0; i < n; ++i) {
      std::string key(1 + rng() % 3, 'a');
      for (char& c : key) c = static_cast<char>('a' + rng() % 4);
      // Each record's Remark remembers its key, so a torn record shows.
      ASSERT_TRUE(store.Append(Contact("n", "1", key, "", "", key)));
      expected.push_back(key);
    }
    bool ascending = round % 2 == 0;
    store.Sort(2, ascending);
    std::sort(expected.begin(), expected.end());
    if (!ascending) std::reverse(expected.begin(), expected.end());
    for (int i = 0; i < n; ++i) {
      ContactRecord r;
      ASSERT_TRUE(store.Get(i, r));
      ASSERT_EQ(FieldValue(r, ContactField::Home), expected[static_cast<std::size_t>(i)]);
      ASSERT_EQ(FieldValue(r, ContactField::Remark), FieldValue(r, ContactField::Home));
    }
  }
}

class NumberLookupTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::KeepInMemory(store);
    ASSERT_TRUE(store.Append(Contact("Li", "+8613912345678")));
    ASSERT_TRUE(store.Append(Contact("", "", "", "+7495123")));
    ASSERT_TRUE(store.Append(Contact("Ivan", "", "+7495123")));
    ASSERT_TRUE(store.Append(Contact("Chen", "+886912345678", "", "", "", "", "")));
    ASSERT_TRUE(store.Append(Contact("Wang", "13987654321")));
  }
  CPbData store;
};

TEST_F(NumberLookupTest, MatchesAcrossCountryPrefixes) {
  ContactRecord r;
  ASSERT_TRUE(store.FindContactByNumber("13912345678", r));
  EXPECT_EQ(FieldValue(r, ContactField::Name), "Li");
  ASSERT_TRUE(store.FindContactByNumber("+8613912345678", r));
  EXPECT_EQ(FieldValue(r, ContactField::Name), "Li");
  ASSERT_TRUE(store.FindContactByNumber("912345678", r));
  EXPECT_EQ(FieldValue(r, ContactField::Name), "Chen");
  EXPECT_FALSE(store.FindContactByNumber("7495123", r)) << "+7 is not in the table";
  EXPECT_FALSE(store.FindContactByNumber("", r));
  EXPECT_FALSE(store.FindContactByNumber("+86", r)) << "a bare prefix matches no empty field";
}

TEST_F(NumberLookupTest, NameLookupSkipsContactsWithoutName) {
  std::string name;
  ASSERT_TRUE(store.FindNameByNumber("+7495123", name));
  EXPECT_EQ(name, "Ivan");
  EXPECT_FALSE(store.FindNameByNumber("000", name));
  EXPECT_FALSE(store.FindNameByNumber("", name));
}

TEST_F(NumberLookupTest, SearchByNameAndMobile) {
  CPbData::PositionList found{};
  int count = -1;
  store.Search("", "", found, count);
  EXPECT_EQ(count, -1) << "two empty terms leave the result as it was";
  store.Search("", "139", found, count);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(found[0], 0);
  EXPECT_EQ(found[1], 4);
  store.Search("an", "139", found, count);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(found[0], 4);
  store.Search("an", "", found, count);
  ASSERT_EQ(count, 2);
  store.Search("AN", "", found, count);
  EXPECT_EQ(count, 0) << "case-sensitive";
}

struct PrefixCase {
  const char* number;
  const char* stripped;
};

class StripPrefixTest : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(StripPrefixTest, StripsTheFirstMatchingEntry) {
  EXPECT_EQ(CPbData::StripCountryPrefix(GetParam().number), GetParam().stripped);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StripPrefixTest,
    ::testing::Values(PrefixCase{"+8613912345678", "13912345678"}, PrefixCase{"+886912345678", "912345678"},
                      PrefixCase{"+85291234567", "91234567"}, PrefixCase{"+6591234567", "91234567"},
                      PrefixCase{"+12025550100", "2025550100"}, PrefixCase{"+35121", "21"},
                      PrefixCase{"+39061", "061"}, PrefixCase{"+9611234", "1234"},
                      PrefixCase{"+74951234", "+74951234"}, PrefixCase{"8613912345678", "8613912345678"},
                      PrefixCase{"+86", ""}, PrefixCase{"", ""}));

TEST(CheckNumberCharactersTest, AcceptsOnlyDialCharacters) {
  EXPECT_TRUE(CPbData::CheckNumberCharacters("0123456789*#+"));
  EXPECT_TRUE(CPbData::CheckNumberCharacters("12\b"));
  EXPECT_TRUE(CPbData::CheckNumberCharacters(""));
  for (const std::string& bad : std::vector<std::string>{"12 3", "12-3", "(12)", "a", "\xB0\xA1", std::string("1\0", 2)})
    EXPECT_FALSE(CPbData::CheckNumberCharacters(bad)) << bad;
}

}  // namespace
}  // namespace evdo
