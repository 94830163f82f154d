#include "sms/SmsData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/sms/SmsTestSupport.h"
#include "tests/support/FileFaults.h"

namespace evdo {
namespace {

using test::MakeRecord;
using test::ReadBytes;
using test::SaveWatch;
using test::TempDir;
using test::WriteBytes;

// Little-endian writers for building a file by hand, from the layout alone.
void PutU16(Bytes& b, std::size_t at, std::uint16_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = v >> 8;
}
void PutI32(Bytes& b, std::size_t at, std::int32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
}
void PutDouble(Bytes& b, std::size_t at, double v) { std::memcpy(&b[at], &v, 8); }
void PutText(Bytes& b, std::size_t at, std::string_view s) { std::memcpy(&b[at], s.data(), s.size()); }

// Counts 2, 0, 1: two inbox messages and one saved draft.
Bytes HandBuiltFile() {
  Bytes b(6 + 3 * 1644, 0);
  PutU16(b, 0, 2);
  PutU16(b, 2, 0);
  PutU16(b, 4, 1);
  std::size_t r = 6;  // inbox 0: a new joined message, with part information
  b[r] = 1 | 2 | 4;
  PutI32(b, r + 4, 0);
  PutText(b, r + 8, "+8613800138000");
  PutDouble(b, r + 52, 40042.5);  // 2009-08-17 12:00:00
  PutI32(b, r + 60, 0);
  PutU16(b, r + 64, 300);
  b[r + 66] = 2;
  b[r + 67] = 3;
  PutText(b, r + 68, "Hello \xC4\xE3\xBA\xC3");  // "Hello" and two characters of code page 936
  PutText(b, r + 1600, "+8613010888500");
  r += 1644;  // inbox 1: read, a number filling all 40 bytes
  PutI32(b, r + 4, 1);
  PutText(b, r + 8, std::string(40, '7'));
  PutDouble(b, r + 52, 40000.25);
  PutI32(b, r + 60, 0);
  PutText(b, r + 68, "older");
  r += 1644;  // saved 0
  PutI32(b, r + 4, 2);
  PutText(b, r + 8, "10086");
  PutDouble(b, r + 52, 0.0);
  PutI32(b, r + 60, 2);  // null time
  PutText(b, r + 68, "draft");
  return b;
}

TEST(SmsDataFile, HandBuiltFileLoadsToItsRecordsAndSavesIdentically) {
  TempDir dir;
  const std::string path = dir.File("SmsData.dat");
  const Bytes original = HandBuiltFile();
  ASSERT_EQ(original.size(), 4938u);
  WriteBytes(path, original);

  CSmsData store(path);
  ASSERT_TRUE(store.Load());
  EXPECT_EQ(store.Count(Inbox), 2);
  EXPECT_EQ(store.Count(Outbox), 0);
  EXPECT_EQ(store.Count(Saved), 1);
  EXPECT_EQ(store.Count(AllBoxes), 3);

  const SmsRecord a = *store.GetRecord(Inbox, 0);
  EXPECT_EQ(a.flags, 7);
  EXPECT_EQ(a.status, RecUnread);
  EXPECT_EQ(a.Number(), "+8613800138000");
  EXPECT_EQ(a.Time(), DateTime::FromLocal(2009, 8, 17, 12, 0, 0));
  EXPECT_EQ(a.reference, 300);
  EXPECT_EQ(a.partIndex, 2);
  EXPECT_EQ(a.partCount, 3);
  EXPECT_EQ(a.Text(), "Hello \xC4\xE3\xBA\xC3");
  EXPECT_EQ(a.ServiceCentre(), "+8613010888500");

  const SmsRecord b = *store.GetRecord(Inbox, 1);
  EXPECT_EQ(b.status, RecRead);
  EXPECT_EQ(b.Number(), std::string(40, '7'));
  EXPECT_EQ(b.Text(), "older");
  const SmsRecord c = *store.GetRecord(Saved, 0);
  EXPECT_EQ(c.time.status, DateTime::Null);
  EXPECT_EQ(c.Text(), "draft");
  EXPECT_FALSE(store.GetRecord(Inbox, 2));
  EXPECT_FALSE(store.GetRecord(Outbox, 0));
  EXPECT_EQ(store.CountUnread(), 1);

  ASSERT_TRUE(store.Save());
  EXPECT_EQ(ReadBytes(path), original);
}

TEST(SmsDataFile, LoadOrCreateWithoutFileCreatesSixZeroBytes) {
  TempDir dir;
  const std::string path = dir.File("SmsData.dat");
  CSmsData store(path);
  LoadResult r = store.LoadOrCreate();
  EXPECT_EQ(r.status, LoadStatus::Missing);
  EXPECT_TRUE(r.error.empty()) << r.error;
  EXPECT_EQ(ReadBytes(path), Bytes(6, 0));
  EXPECT_TRUE(store.IsEmpty(AllBoxes));
}

TEST(SmsDataFile, SizeFollowsTheCounts) {
  TempDir dir;
  const std::string path = dir.File("SmsData.dat");
  CSmsData store(path);
  const DateTime t = DateTime::FromLocal(2010, 1, 1);
  ASSERT_TRUE(store.AddRecord(Inbox, MakeRecord(RecRead, "1", t), false).saved);
  ASSERT_TRUE(store.AddRecord(Inbox, MakeRecord(RecRead, "2", t), false).saved);
  ASSERT_TRUE(store.AddRecord(Saved, MakeRecord(StoUnsent, "3", t), false).saved);
  const Bytes file = ReadBytes(path);
  ASSERT_EQ(file.size(), 4938u);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 6), (Bytes{2, 0, 0, 0, 1, 0}));
}

struct DamagedCase {
  const char* name;
  Bytes content;
};

class DamagedFile : public testing::TestWithParam<DamagedCase> {};

Bytes WithCounts(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::size_t records) {
  Bytes f(6 + records * 1644, 0);
  PutU16(f, 0, a);
  PutU16(f, 2, b);
  PutU16(f, 4, c);
  return f;
}

TEST_P(DamagedFile, IsRefusedSetAsideAndNeverOverwritten) {
  TempDir dir;
  const std::string path = dir.File("SmsData.dat");
  WriteBytes(path, GetParam().content);

  CSmsData store(path);
  LoadResult r = store.LoadOrCreate();
  EXPECT_EQ(r.status, LoadStatus::Damaged);
  EXPECT_FALSE(r.error.empty());
  ASSERT_EQ(r.keptAs, path + ".damaged");
  EXPECT_EQ(ReadBytes(r.keptAs), GetParam().content);
  EXPECT_EQ(ReadBytes(path), Bytes(6, 0));
  EXPECT_TRUE(store.IsEmpty(AllBoxes));

  ASSERT_TRUE(store.AddMessage(Inbox, RecUnread, "10086", DateTime::Now(), "hi", "", 1, 0, 0, 0, true).saved);
  EXPECT_EQ(ReadBytes(r.keptAs), GetParam().content);
}

INSTANTIATE_TEST_SUITE_P(
    SmsDataFile, DamagedFile,
    testing::Values(DamagedCase{"Empty", {}}, DamagedCase{"FiveBytes", {1, 0, 0, 0, 0}},
                    DamagedCase{"CountAbove500", WithCounts(501, 0, 0, 501)},
                    DamagedCase{"HugeCountNoRecords", WithCounts(0, 65535, 0, 0)},
                    DamagedCase{"ShorterThanCounts", WithCounts(1, 1, 1, 2)},
                    DamagedCase{"LongerThanCounts", WithCounts(1, 0, 0, 2)},
                    DamagedCase{"OneByteMissing", [] {
                                  Bytes f = WithCounts(0, 1, 0, 1);
                                  f.pop_back();
                                  return f;
                                }()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SmsDataFile, RefusedFileThatCannotBeRenamedIsNeverOverwritten) {
  TempDir dir;
  const std::string path = dir.File("SmsData.dat");
  const Bytes damaged = WithCounts(600, 0, 0, 1);
  WriteBytes(path, damaged);
  // Every name for a damaged copy is taken, so the file cannot be set aside.
  for (int i = 1; i <= DataFile::kSetAsideNames; ++i)
    WriteBytes(path + ".damaged" + (i == 1 ? std::string() : "-" + std::to_string(i)), Bytes{1});

  CSmsData store(path);
  LoadResult r = store.LoadOrCreate();
  EXPECT_EQ(r.status, LoadStatus::Damaged);
  EXPECT_TRUE(r.keptAs.empty());
  ChangeResult add = store.AddMessage(Inbox, RecUnread, "10086", DateTime::Now(), "hi", "", 0, 0, 0, 0, true);
  EXPECT_TRUE(add.changed);
  EXPECT_FALSE(add.saved.ok);
  EXPECT_EQ(add.saved.fault, FileFault::Refused) << add.saved.error;
  EXPECT_EQ(ReadBytes(path), damaged);
  EXPECT_EQ(store.Count(Inbox), 1);
}

// A read that fails for a passing reason (here: too many open files) says
// nothing about the content: the intact file stays where it is, the boxes
// start empty and no save replaces it.
TEST(SmsDataFile, AFileThatCannotBeReadIsLeftInPlaceAndNeverOverwritten) {
  TempDir dir;
  const std::string path = dir.File("SmsData.dat");
  const Bytes intact = HandBuiltFile();
  WriteBytes(path, intact);

  CSmsData store(path);
  LoadResult r;
  {
    test::NoFreeDescriptors busy;
    ASSERT_TRUE(busy.Active());
    r = store.LoadOrCreate();
  }
  EXPECT_EQ(r.status, LoadStatus::Unreadable);
  EXPECT_NE(r.error.find("SmsData.dat"), std::string::npos) << r.error;
  EXPECT_TRUE(r.keptAs.empty());
  EXPECT_FALSE(std::filesystem::exists(path + ".damaged"));
  EXPECT_TRUE(store.IsEmpty(AllBoxes));

  ChangeResult add = store.AddMessage(Inbox, RecUnread, "10086", DateTime::Now(), "hi", "", 0, 0, 0, 0, true);
  EXPECT_TRUE(add.changed);
  EXPECT_EQ(add.saved.fault, FileFault::Refused);
  EXPECT_EQ(ReadBytes(path), intact);

  // Once the file can be read again, a new load takes it as it is.
  ASSERT_TRUE(store.Load());
  EXPECT_EQ(store.Count(AllBoxes), 3);
}

// A file far beyond three full boxes is refused before it is read whole.
TEST(SmsDataFile, AFileLargerThanTheFormatAllowsIsSetAsideUnread) {
  TempDir dir;
  const std::string path = dir.File("SmsData.dat");
  {
    std::ofstream out(path, std::ios::binary);
    out.seekp(static_cast<std::streamoff>(kSmsMaxFileSize) * 40);
    out.put('\1');
  }
  CSmsData store(path);
  LoadResult r = store.LoadOrCreate();
  EXPECT_EQ(r.status, LoadStatus::Damaged);
  EXPECT_NE(r.error.find("allows"), std::string::npos) << r.error;
  EXPECT_EQ(r.keptAs, path + ".damaged");
  EXPECT_EQ(ReadBytes(path), Bytes(6, 0));
}

TEST(SmsDataFile, FailedSaveIsReportedAndTheChangeKept) {
  TempDir dir;
  const std::string path = dir.File("SmsData.dat");
  CSmsData store(path);
  ASSERT_EQ(store.LoadOrCreate().status, LoadStatus::Missing);
  SaveWatch watch;
  watch.FailSaves(true);
  ChangeResult add = store.AddRecord(Outbox, MakeRecord(StoSent, "10010", DateTime::Now(), "sent"), true);
  EXPECT_TRUE(add.changed);
  EXPECT_FALSE(add.saved.ok);
  EXPECT_EQ(store.Count(Outbox), 1);
  EXPECT_EQ(ReadBytes(path), Bytes(6, 0));

  watch.FailSaves(false);
  ASSERT_TRUE(store.Save());
  EXPECT_EQ(ReadBytes(path).size(), 6u + 1644u);
}

TEST(SmsDataFile, LoadFromBytesRefusesDamageAndLeavesEmptyBoxes) {
  CSmsData store("unused");
  const DateTime t = DateTime::FromLocal(2012, 3, 4);
  SaveWatch watch;
  watch.FailSaves(true);
  (void)store.AddRecord(Inbox, MakeRecord(RecRead, "1", t), false);
  EXPECT_NE(store.LoadFromBytes(WithCounts(2, 0, 0, 1)).find("announce"), std::string::npos);
  EXPECT_TRUE(store.IsEmpty(AllBoxes));
  EXPECT_EQ(store.LoadFromBytes(HandBuiltFile()), "");
  EXPECT_EQ(store.Count(AllBoxes), 3);
}

// A store with records "0".."n-1" in box, newest first (number i is i minutes older).
void Fill(CSmsData& store, int box, int n, std::int32_t status) {
  Bytes image(6 + static_cast<std::size_t>(n) * 1644, 0);
  PutU16(image, 2 * box, static_cast<std::uint16_t>(n));
  const DateTime base = DateTime::FromLocal(2011, 5, 1, 12, 0, 0);
  for (int i = 0; i < n; ++i) {
    SmsRecord r = MakeRecord(status, std::to_string(i), base.AddSeconds(-60 * i));
    std::memcpy(&image[6 + i * 1644], &r, sizeof r);
  }
  ASSERT_EQ(store.LoadFromBytes(image), "");
}

class SmsStoreTest : public testing::Test {
protected:
  TempDir dir_;
  CSmsData store_{dir_.File("SmsData.dat")};
  SaveWatch watch_;
};

TEST_F(SmsStoreTest, FullInboxOfUnreadLosesTheOldest) {
  Fill(store_, Inbox, 500, RecUnread);
  ASSERT_TRUE(store_.IsFull(Inbox));
  ASSERT_TRUE(store_.AddRecord(Inbox, MakeRecord(RecUnread, "new", DateTime::Now()), true).saved);
  EXPECT_EQ(store_.Count(Inbox), 500);
  EXPECT_EQ(store_.GetRecord(Inbox, 0)->Number(), "new");
  EXPECT_EQ(store_.GetRecord(Inbox, 499)->Number(), "498");
  EXPECT_EQ(watch_.Saves(), 1);
}

TEST_F(SmsStoreTest, FullInboxLosesTheOldestReadMessageFirst) {
  Fill(store_, Inbox, 500, RecUnread);
  SmsRecord read = *store_.GetRecord(Inbox, 200);
  read.status = RecRead;
  ASSERT_TRUE(store_.ReplaceRecord(Inbox, 200, read));
  SmsRecord alsoRead = *store_.GetRecord(Inbox, 100);
  alsoRead.status = RecRead;
  ASSERT_TRUE(store_.ReplaceRecord(Inbox, 100, alsoRead));
  ASSERT_TRUE(store_.AddRecord(Inbox, MakeRecord(RecUnread, "new", DateTime::Now()), true));
  EXPECT_EQ(store_.GetRecord(Inbox, 499)->Number(), "499");
  EXPECT_EQ(store_.GetRecord(Inbox, 200)->Number(), "199");  // "200" went, the rest moved up
  EXPECT_EQ(store_.GetRecord(Inbox, 101)->Number(), "100");
  EXPECT_EQ(store_.GetRecord(Inbox, 201)->Number(), "201");
}

TEST_F(SmsStoreTest, FullBoxWithoutOverwriteRefusesAndDoesNotSave) {
  Fill(store_, Saved, 500, StoUnsent);
  ChangeResult r = store_.AddRecord(Saved, MakeRecord(StoUnsent, "new", DateTime::Now()), false);
  EXPECT_FALSE(r.changed);
  EXPECT_EQ(watch_.Saves(), 0);
  EXPECT_EQ(store_.GetRecord(Saved, 0)->Number(), "0");
}

TEST_F(SmsStoreTest, FullOutboxLosesIndex499EvenWhenOthersAreRead) {
  Fill(store_, Outbox, 500, RecRead);
  ASSERT_TRUE(store_.AddRecord(Outbox, MakeRecord(StoSent, "new", DateTime::Now()), true));
  EXPECT_EQ(store_.GetRecord(Outbox, 499)->Number(), "498");
}

TEST_F(SmsStoreTest, InsertKeepsNewestFirstAndLaterInsertOfSameTimeFirst) {
  const DateTime t = DateTime::FromLocal(2009, 8, 17, 14, 5, 59);
  ASSERT_TRUE(store_.AddRecord(Inbox, MakeRecord(RecRead, "mid", t), false));
  ASSERT_TRUE(store_.AddRecord(Inbox, MakeRecord(RecRead, "old", t.AddSeconds(-1)), false));
  ASSERT_TRUE(store_.AddRecord(Inbox, MakeRecord(RecRead, "new", t.AddSeconds(1)), false));
  ASSERT_TRUE(store_.AddRecord(Inbox, MakeRecord(RecRead, "mid2", t), false));
  const char* expected[] = {"new", "mid2", "mid", "old"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(store_.GetRecord(Inbox, i)->Number(), expected[i]) << i;
}

TEST_F(SmsStoreTest, ReplaceKeepsThePositionEvenWhenTheTimeChanged) {
  Fill(store_, Inbox, 3, RecUnread);
  SmsRecord r = *store_.GetRecord(Inbox, 2);
  r.time.Set(DateTime::FromLocal(2030, 1, 1));
  ASSERT_TRUE(store_.ReplaceRecord(Inbox, 2, r));
  EXPECT_EQ(store_.GetRecord(Inbox, 2)->Number(), "2");
  EXPECT_EQ(store_.CountUnread(), 3);
}

TEST_F(SmsStoreTest, DeleteMovesRecordsDownAndZeroesTheFreedSlot) {
  Fill(store_, Inbox, 3, RecUnread);
  ASSERT_TRUE(store_.DeleteRecord(Inbox, 0));
  EXPECT_EQ(store_.Count(Inbox), 2);
  EXPECT_EQ(store_.GetRecord(Inbox, 0)->Number(), "1");
  EXPECT_EQ(store_.GetRecord(Inbox, 1)->Number(), "2");
  // The freed slot is zero: a new oldest record lands there whole.
  ASSERT_TRUE(store_.AddMessage(Inbox, RecRead, "x", DateTime::FromLocal(2000, 1, 1), "", "", 0, 0, 0, 0, false));
  Bytes image;
  store_.Encode(image);
  SmsRecord last;
  std::memcpy(&last, &image[6 + 2 * 1644], sizeof last);
  EXPECT_EQ(last.Number(), "x");
  EXPECT_EQ(last.Text(), "");
}

TEST_F(SmsStoreTest, BadBoxesAndIndexesAreRefusedWithoutSaving) {
  Fill(store_, Inbox, 2, RecRead);
  const SmsRecord r = MakeRecord(RecRead, "1", DateTime::Now());
  EXPECT_FALSE(store_.AddRecord(3, r, true));
  EXPECT_FALSE(store_.AddRecord(-1, r, true));
  EXPECT_FALSE(store_.ReplaceRecord(Inbox, 2, r));
  EXPECT_FALSE(store_.DeleteRecord(Inbox, -1));
  EXPECT_FALSE(store_.DeleteRecord(Outbox, 0));
  EXPECT_FALSE(store_.ClearBox(4));
  EXPECT_FALSE(store_.GetRecord(7, 0));
  EXPECT_EQ(store_.Count(9), 0);
  EXPECT_EQ(watch_.Saves(), 0);
}

TEST_F(SmsStoreTest, ClearBoxEmptiesOneOrAllBoxes) {
  Fill(store_, Outbox, 4, StoSent);
  ASSERT_TRUE(store_.AddRecord(Inbox, MakeRecord(RecUnread, "1", DateTime::Now()), false));
  ASSERT_TRUE(store_.ClearBox(Outbox));
  EXPECT_TRUE(store_.IsEmpty(Outbox));
  EXPECT_EQ(store_.Count(AllBoxes), 1);
  ASSERT_TRUE(store_.ClearAll());
  EXPECT_TRUE(store_.IsEmpty(AllBoxes));
  EXPECT_EQ(test::ReadBytes(store_.FileName()), Bytes(6, 0));
}

TEST_F(SmsStoreTest, ClearFlagWritesOnlyWhenAFlagWasSet) {
  Fill(store_, Inbox, 3, RecUnread);
  EXPECT_FALSE(store_.ClearFlag(Inbox, kSmsFlagNew, true));
  EXPECT_EQ(watch_.Saves(), 0);

  for (int i : {0, 2}) {
    SmsRecord r = *store_.GetRecord(Inbox, i);
    r.flags = kSmsFlagNew | kSmsFlagPartInfo;
    ASSERT_TRUE(store_.ReplaceRecord(Inbox, i, r));
  }
  const int before = watch_.Saves();
  EXPECT_TRUE(store_.ClearFlag(Inbox, kSmsFlagNew, false));  // only the first
  EXPECT_EQ(store_.GetRecord(Inbox, 0)->flags, kSmsFlagPartInfo);
  EXPECT_EQ(store_.GetRecord(Inbox, 2)->flags, kSmsFlagNew | kSmsFlagPartInfo);
  EXPECT_TRUE(store_.ClearFlag(AllBoxes, kSmsFlagNew, true));
  EXPECT_EQ(store_.GetRecord(Inbox, 2)->flags, kSmsFlagPartInfo);
  EXPECT_EQ(watch_.Saves(), before + 2);
}

TEST_F(SmsStoreTest, IsFullOfAllBoxesNeedsAllThree) {
  Fill(store_, Inbox, 500, RecRead);
  EXPECT_TRUE(store_.IsFull(Inbox));
  EXPECT_FALSE(store_.IsFull(AllBoxes));
  EXPECT_FALSE(store_.IsEmpty(AllBoxes));
}

TEST_F(SmsStoreTest, AddMessageBoundsEveryField) {
  const std::string longNumber(45, '1');
  std::string longText(1530, 'a');
  longText += "\xC4\xE3";  // a double-byte character across the 1531-byte bound
  ASSERT_TRUE(store_.AddMessage(Saved, StoUnsent, longNumber, DateTime::Now(), longText, std::string(50, '2'),
                                kSmsFlagPartInfo, 7, 1, 2, false));
  const SmsRecord r = *store_.GetRecord(Saved, 0);
  EXPECT_EQ(r.Number(), std::string(40, '1'));
  EXPECT_EQ(r.ServiceCentre(), std::string(40, '2'));
  EXPECT_EQ(r.Text(), std::string(1530, 'a'));
  EXPECT_EQ(r.text[1531], '\0');
  EXPECT_EQ(r.flags, kSmsFlagPartInfo);
  EXPECT_EQ(r.reference, 7);
  EXPECT_EQ(r.partIndex, 1);
  EXPECT_EQ(r.partCount, 2);
}

}  // namespace
}  // namespace evdo
