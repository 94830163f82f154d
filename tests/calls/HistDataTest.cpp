#include "calls/HistData.h"

#include <gtest/gtest.h>

#include "tests/calls/DataFileTesting.h"

namespace evdo {
namespace {

using namespace evdo::test;

// One 64-byte record written from the layout: repeat, number[43], start
// days, start status, duration.
void PutHistRecord(Bytes& b, std::uint8_t repeat, const std::string& number, double days, std::int32_t status,
                   std::int64_t duration) {
  PutLe(b, repeat, 1);
  PutText(b, number, 43);
  PutDouble(b, days);
  PutLe(b, static_cast<std::uint32_t>(status), 4);
  PutLe(b, static_cast<std::uint64_t>(duration), 8);
}

Bytes Counts(std::uint16_t missed, std::uint16_t received, std::uint16_t dialled) {
  Bytes b;
  PutLe(b, missed, 2);
  PutLe(b, received, 2);
  PutLe(b, dialled, 2);
  return b;
}

HistRecord Call(const std::string& number, double day, std::int64_t duration = 60) {
  HistRecord r{};
  r.SetNumber(number);
  r.SetStart(DateTime(day, DateTime::Valid));
  r.duration = duration;
  return r;
}

std::string NumberAt(const CHistData& h, int list, int slot) {
  HistRecord r;
  EXPECT_TRUE(h.Get(list, slot, r));
  return std::string(r.Number());
}

class HistDataTest : public ::testing::Test {
protected:
  TempDir dir;
  std::string path = dir.File("HistData.dat");
};

TEST_F(HistDataTest, LoadsAHandBuiltFileAndSavesItBackUnchanged) {
  Bytes file = Counts(1, 0, 2);
  PutHistRecord(file, 3, "13800138000", 45292.75, 0, 125);
  PutHistRecord(file, 1, "+8613912345678", 45293.5, 0, 3600);
  PutHistRecord(file, 255, "10086", 45291.25, 1, -1);
  WriteBytes(path, file);

  CHistData h(path);
  LoadResult r = h.Load();
  ASSERT_EQ(r.status, LoadStatus::Loaded) << r.error;
  EXPECT_EQ(h.Count(kMissedCalls), 1);
  EXPECT_EQ(h.Count(kReceivedCalls), 0);
  EXPECT_EQ(h.Count(kDialledCalls), 2);
  HistRecord rec;
  ASSERT_TRUE(h.Get(kMissedCalls, 0, rec));
  EXPECT_EQ(rec.repeatCount, 3);
  EXPECT_EQ(rec.Number(), "13800138000");
  EXPECT_EQ(rec.Start().Value(), 45292.75);
  EXPECT_EQ(std::int64_t{rec.duration}, 125);
  ASSERT_TRUE(h.Get(kDialledCalls, 1, rec));
  EXPECT_EQ(rec.repeatCount, 255);
  EXPECT_EQ(rec.Start().GetStatus(), 1);
  EXPECT_EQ(std::int64_t{rec.duration}, -1);
  EXPECT_FALSE(h.Get(kDialledCalls, 2, rec));
  EXPECT_FALSE(h.Get(kReceivedCalls, 0, rec));

  EXPECT_EQ(h.Encode(), file);
  ASSERT_TRUE(h.Save());
  EXPECT_EQ(ReadBytes(path), file);
}

TEST_F(HistDataTest, MissingFileIsCreatedWithThreeEmptyLists) {
  CHistData h(path);
  LoadResult r = h.Load();
  EXPECT_EQ(r.status, LoadStatus::Missing);
  EXPECT_TRUE(r.error.empty());
  EXPECT_TRUE(h.IsEmpty(kAllHistLists));
  EXPECT_EQ(ReadBytes(path), Counts(0, 0, 0));
}

TEST_F(HistDataTest, SixZeroBytesLoadAsThreeEmptyLists) {
  WriteBytes(path, Counts(0, 0, 0));
  CHistData h(path);
  EXPECT_EQ(h.Load().status, LoadStatus::Loaded);
  EXPECT_TRUE(h.IsEmpty(kAllHistLists));
}


class BadHistFileTest : public HistDataTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(BadHistFileTest, IsSetAsideAndTheStoreStartsEmpty) {
  const Bytes bad = GetParam().content;
  WriteBytes(path, bad);
  CHistData h(path);
  ExpectSetAside(h.Load(), path, bad);
  EXPECT_TRUE(h.IsEmpty(kAllHistLists));
  EXPECT_EQ(ReadBytes(path), Counts(0, 0, 0));
  ASSERT_TRUE(h.Add(kDialledCalls, Call("10000", 45000)));
  EXPECT_EQ(ReadBytes(path + ".damaged"), bad);
}

Bytes WithRecords(Bytes counts, int records, int extraBytes = 0) {
  for (int i = 0; i < records; ++i) PutHistRecord(counts, 1, std::to_string(i), 45000 + i, 0, 1);
  counts.insert(counts.end(), extraBytes, 0);
  return counts;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadHistFileTest,
    ::testing::Values(BadFile{"count51", WithRecords(Counts(0, 51, 0), 51)},
                      BadFile{"count65535", WithRecords(Counts(65535, 0, 0), 0)},
                      BadFile{"short", WithRecords(Counts(1, 0, 1), 1)},
                      BadFile{"long", WithRecords(Counts(1, 0, 0), 1, 1)},
                      BadFile{"countsCut", Bytes{0, 0, 0}},
                      BadFile{"empty", Bytes{}}),
    BadFileName);

TEST_F(HistDataTest, UnreadableFileIsNeverOverwritten) {
  std::filesystem::create_directory(path);  // not a file: cannot be read
  CHistData h(path);
  LoadResult r = h.Load();
  EXPECT_EQ(r.status, LoadStatus::Unreadable);
  EXPECT_TRUE(h.IsEmpty(kAllHistLists));
  ChangeResult add = h.Add(kDialledCalls, Call("10000", 45000));
  EXPECT_FALSE(add);
  EXPECT_FALSE(add.Error().empty());
  EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST_F(HistDataTest, FailedSaveIsReportedAndTheFileKeepsItsContent) {
  CHistData h(path);
  h.Load();
  ASSERT_TRUE(h.Add(kDialledCalls, Call("10000", 45000)));
  const Bytes before = ReadBytes(path);
  {
    FailingSaves failing;
    ChangeResult r = h.Add(kDialledCalls, Call("10001", 45001));
    EXPECT_FALSE(r);
    EXPECT_FALSE(r.Error().empty());
  }
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(h.Count(kDialledCalls), 2);  // kept in memory, written by the next save
  ASSERT_TRUE(h.Save());
  CHistData again(path);
  again.Load();
  EXPECT_EQ(again.Count(kDialledCalls), 2);
}

class HistAddTest : public HistDataTest {
protected:
  void SetUp() override { h.Load(); }
  CHistData h{path};
};

TEST_F(HistAddTest, The51stDialledCallDropsTheOldest) {
  for (int i = 0; i < 51; ++i) ASSERT_TRUE(h.Add(kDialledCalls, Call("1380000" + std::to_string(1000 + i), 45000 + i)));
  EXPECT_EQ(h.Count(kDialledCalls), 50);
  EXPECT_TRUE(h.IsFull(kDialledCalls));
  EXPECT_FALSE(h.IsFull(kAllHistLists));
  EXPECT_EQ(NumberAt(h, kDialledCalls, 0), "13800001050");
  EXPECT_EQ(NumberAt(h, kDialledCalls, 49), "13800001001");
  EXPECT_EQ(h.FindSlot(kDialledCalls, "13800001000"), -1);
  EXPECT_EQ(ReadBytes(path).size(), 6u + 50 * 64);
}

TEST_F(HistAddTest, ChinaPrefixIsTheSameNumberButOtherPrefixesAreNot) {
  ASSERT_TRUE(h.Add(kDialledCalls, Call("13912345678", 45000)));
  ASSERT_TRUE(h.Add(kDialledCalls, Call("+8613912345678", 45001)));
  ASSERT_EQ(h.Count(kDialledCalls), 1);
  HistRecord r;
  h.Get(kDialledCalls, 0, r);
  EXPECT_EQ(r.repeatCount, 2);
  EXPECT_EQ(r.Number(), "+8613912345678");
  EXPECT_EQ(r.Start().Value(), 45001);

  ASSERT_TRUE(h.Add(kDialledCalls, Call("+85213912345678", 45002)));
  EXPECT_EQ(h.Count(kDialledCalls), 2);
  EXPECT_EQ(h.FindSlot(kDialledCalls, "13912345678"), 1);
  EXPECT_EQ(h.FindSlot(kDialledCalls, "86+13912345678"), -1);
  EXPECT_EQ(h.FindSlot(kDialledCalls, "+8613912345678"), 1);
}

TEST_F(HistAddTest, ListsCountTheirOwnCalls) {
  ASSERT_TRUE(h.Add(kDialledCalls, Call("10086", 45000)));
  ASSERT_TRUE(h.Add(kMissedCalls, Call("10086", 45001)));
  ASSERT_TRUE(h.Add(kMissedCalls, Call("10086", 45002)));
  HistRecord r;
  h.Get(kDialledCalls, 0, r);
  EXPECT_EQ(r.repeatCount, 1);
  EXPECT_EQ(r.Start().Value(), 45000);
  h.Get(kMissedCalls, 0, r);
  EXPECT_EQ(r.repeatCount, 2);
  EXPECT_EQ(h.Count(kReceivedCalls), 0);
}

TEST_F(HistDataTest, RepeatCountWrapsAfter255) {
  Bytes file = Counts(0, 1, 0);
  PutHistRecord(file, 254, "10010", 45000, 0, 1);  // 254 calls so far
  WriteBytes(path, file);
  CHistData h(path);
  ASSERT_EQ(h.Load().status, LoadStatus::Loaded);
  HistRecord r;
  ASSERT_TRUE(h.Add(kReceivedCalls, Call("10010", 45001)));
  h.Get(kReceivedCalls, 0, r);
  EXPECT_EQ(r.repeatCount, 255);
  ASSERT_TRUE(h.Add(kReceivedCalls, Call("10010", 45002)));
  h.Get(kReceivedCalls, 0, r);
  EXPECT_EQ(h.Count(kReceivedCalls), 1);
  EXPECT_EQ(r.repeatCount, 0);
  ASSERT_TRUE(h.Add(kReceivedCalls, Call("10010", 45003)));
  h.Get(kReceivedCalls, 0, r);
  EXPECT_EQ(r.repeatCount, 1);
}

TEST_F(HistAddTest, CallsAreOrderedNewestFirstAndAnEqualTimeGoesFirst) {
  ASSERT_TRUE(h.Add(kMissedCalls, Call("3", 45003)));
  ASSERT_TRUE(h.Add(kMissedCalls, Call("1", 45001)));
  ASSERT_TRUE(h.Add(kMissedCalls, Call("2", 45002)));
  ASSERT_TRUE(h.Add(kMissedCalls, Call("2b", 45002)));
  std::vector<std::string> order;
  for (int s = 0; s < h.Count(kMissedCalls); ++s) order.push_back(NumberAt(h, kMissedCalls, s));
  EXPECT_EQ(order, (std::vector<std::string>{"3", "2b", "2", "1"}));
}

TEST_F(HistAddTest, NumbersAreCutTo40BytesAndTheUnknownTextIsAnOrdinaryNumber) {
  HistRecord r = Call("", 45000);
  std::memset(r.number, '7', sizeof r.number);  // no terminator at all
  ASSERT_TRUE(h.Add(kMissedCalls, r));
  EXPECT_EQ(NumberAt(h, kMissedCalls, 0), std::string(40, '7'));
  ASSERT_TRUE(h.Add(kMissedCalls, Call("Unknown", 45001)));
  ASSERT_TRUE(h.Add(kMissedCalls, Call("Unknown", 45002)));
  EXPECT_EQ(h.Count(kMissedCalls), 2);
}

TEST_F(HistAddTest, RemoveShiftsUpAndClearEmptiesOneOrAllLists) {
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(h.Add(kDialledCalls, Call(std::to_string(i), 45000 + i)));
  ASSERT_TRUE(h.Add(kMissedCalls, Call("9", 45000)));
  ASSERT_TRUE(h.Remove(kDialledCalls, 0));
  EXPECT_EQ(h.Count(kDialledCalls), 2);
  EXPECT_EQ(NumberAt(h, kDialledCalls, 0), "1");
  EXPECT_FALSE(h.Remove(kDialledCalls, 2));
  EXPECT_FALSE(h.Remove(kAllHistLists, 0));

  ASSERT_TRUE(h.Clear(kDialledCalls));
  EXPECT_TRUE(h.IsEmpty(kDialledCalls));
  EXPECT_FALSE(h.IsEmpty(kAllHistLists));
  ASSERT_TRUE(h.Clear(kAllHistLists));
  EXPECT_TRUE(h.IsEmpty(kAllHistLists));
  EXPECT_EQ(ReadBytes(path), Counts(0, 0, 0));
}

TEST_F(HistDataTest, AllListsFullOnlyWhenEachIs) {
  WriteBytes(path, WithRecords(Counts(50, 50, 50), 150));
  CHistData h(path);
  ASSERT_EQ(h.Load().status, LoadStatus::Loaded);
  EXPECT_TRUE(h.IsFull(kAllHistLists));
  ASSERT_TRUE(h.Remove(kMissedCalls, 0));
  EXPECT_FALSE(h.IsFull(kAllHistLists));
  EXPECT_TRUE(h.IsFull(kReceivedCalls));
}

}  // namespace
}  // namespace evdo
