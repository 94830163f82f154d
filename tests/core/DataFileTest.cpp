#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/files/ArchiveStream.h"
#include "core/files/DataFile.h"
#include "core/text/FixedText.h"
#include "core/files/RawRecord.h"
#include "tests/support/TempDir.h"

namespace evdo {
namespace {

using test::TempDir;

TEST(DataFile, ReadsWhatWasWrittenAndTellsMissingFromBroken) {
  TempDir dir;
  Bytes content;
  EXPECT_EQ(DataFile::Read(dir.File("none.dat"), content).status, LoadStatus::Missing);
  ASSERT_TRUE(DataFile::Write(dir.File("a.dat"), Bytes{1, 2, 3, 0, 255}));
  EXPECT_EQ(DataFile::Read(dir.File("a.dat"), content).status, LoadStatus::Loaded);
  EXPECT_EQ(content, (Bytes{1, 2, 3, 0, 255}));
  std::filesystem::create_directory(dir.File("folder.dat"));
  auto r = DataFile::Read(dir.File("folder.dat"), content);
  EXPECT_EQ(r.status, LoadStatus::Unreadable);
  EXPECT_NE(r.error.find("folder.dat"), std::string::npos);
}

TEST(DataFile, SaveReplacesTheWholeContentAndClearsReadOnly) {
  TempDir dir;
  std::string path = dir.File("b.dat");
  ASSERT_TRUE(DataFile::Write(path, Bytes(1000, 7)));
  ::chmod(path.c_str(), 0444);
  ASSERT_TRUE(DataFile::Write(path, Bytes{9}));
  EXPECT_EQ(dir.ReadBytes("b.dat"), Bytes{9});
  struct stat st{};
  ::stat(path.c_str(), &st);
  EXPECT_TRUE(st.st_mode & S_IWUSR);
  EXPECT_FALSE(DataFile::Exists(path + ".saving"));
}

TEST(DataFile, OwnerOnlyFilesAreCreatedAndKeptOwnerOnly) {
  TempDir dir;
  const mode_t old = ::umask(0);  // a lax umask must not widen them
  std::string path = dir.File("secret.dat");
  ASSERT_TRUE(DataFile::Write(path, Bytes{1}, FileAccess::OwnerOnly));
  struct stat st{};
  ::stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ::chmod(path.c_str(), 0644);  // an older, readable copy
  ASSERT_TRUE(DataFile::Write(path, Bytes{2}, FileAccess::OwnerOnly));
  ::stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // A leftover temporary file with wide permissions is not reused.
  std::string leftover = path + ".saving";
  ASSERT_TRUE(DataFile::Write(leftover, Bytes{3}));
  ::chmod(leftover.c_str(), 0666);
  ASSERT_TRUE(DataFile::Write(path, Bytes{4}, FileAccess::OwnerOnly));
  ::stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(dir.ReadBytes("secret.dat"), Bytes{4});
  ::umask(old);
}

TEST(DataFile, AFolderThatCannotBeWrittenIsReportedAndTheFileKept) {
  TempDir dir;
  std::string path = dir.File("c.dat");
  ASSERT_TRUE(DataFile::Write(path, Bytes{1, 2}));
  std::string missing = dir.File("no/such/folder/c.dat");
  FileResult r = DataFile::Write(missing, Bytes{3});
  EXPECT_FALSE(r);
  EXPECT_NE(r.error.find("no/such/folder/c.dat"), std::string::npos);
  if (!test::RunningAsRoot()) {
    ::chmod(dir.Path().c_str(), 0555);
    EXPECT_FALSE(DataFile::Write(path, Bytes{3}));
    ::chmod(dir.Path().c_str(), 0755);
  }
  EXPECT_EQ(dir.ReadBytes("c.dat"), (Bytes{1, 2}));
}

TEST(DataFile, AnInterruptedSaveLeavesThePreviousFileIntact) {
  TempDir dir;
  std::string path = dir.File("d.dat");
  ASSERT_TRUE(DataFile::Write(path, Bytes{1, 2, 3}));
  DataFile::SetBeforeRenameHook([](const std::string&) { return false; });
  EXPECT_FALSE(DataFile::Write(path, Bytes{4, 5, 6, 7}));
  DataFile::SetBeforeRenameHook(nullptr);
  EXPECT_EQ(dir.ReadBytes("d.dat"), (Bytes{1, 2, 3}));
  EXPECT_FALSE(DataFile::Exists(path + ".saving"));
}

TEST(DataFile, AProcessKilledInTheMiddleOfASaveLeavesThePreviousFileIntact) {
  TempDir dir;
  std::string path = dir.File("e.dat");
  ASSERT_TRUE(DataFile::Write(path, Bytes(4096, 1)));
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The child dies the hard way after the new content is on disk but
    // before it replaces the old file.
    DataFile::SetBeforeRenameHook([](const std::string&) -> bool { ::_exit(9); });
    static_cast<void>(DataFile::Write(path, Bytes(100, 2)));
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 9);
  EXPECT_EQ(dir.ReadBytes("e.dat"), Bytes(4096, 1));
  // The next save goes through despite the left-over temporary file.
  ASSERT_TRUE(DataFile::Write(path, Bytes(5, 3)));
  EXPECT_EQ(dir.ReadBytes("e.dat"), Bytes(5, 3));
}

// The temporary file of a save is created afresh: a link planted under its
// name is removed, never written through.
TEST(DataFile, SaveNeverWritesThroughALinkAtTheTemporaryName) {
  TempDir dir;
  std::string path = dir.File("g.dat");
  dir.WriteFile("victim", "untouched");
  std::filesystem::create_symlink(dir.File("victim"), path + ".saving");
  ASSERT_TRUE(DataFile::Write(path, Bytes{1, 2, 3}));
  EXPECT_EQ(dir.ReadFile("victim"), "untouched");
  EXPECT_EQ(dir.ReadBytes("g.dat"), (Bytes{1, 2, 3}));
  EXPECT_FALSE(std::filesystem::is_symlink(path));
}

// A store file that is a link is replaced by a file of its own; the file the
// link named keeps its content and its permissions.
TEST(DataFile, SaveReplacesALinkInsteadOfFollowingIt) {
  TempDir dir;
  dir.WriteFile("elsewhere", "other");
  ::chmod(dir.File("elsewhere").c_str(), 0444);
  std::filesystem::create_symlink(dir.File("elsewhere"), dir.File("h.dat"));
  ASSERT_TRUE(DataFile::Write(dir.File("h.dat"), Bytes{7}));
  EXPECT_EQ(dir.ReadFile("elsewhere"), "other");
  struct stat st{};
  ::stat(dir.File("elsewhere").c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0444u) << "the linked file is not made writable";
  EXPECT_FALSE(std::filesystem::is_symlink(dir.File("h.dat")));
  EXPECT_EQ(dir.ReadBytes("h.dat"), Bytes{7});
}

TEST(DataFile, AChosenPathThatIsALinkOrReadOnlyIsRefused) {
  TempDir dir;
  dir.WriteFile("target", "keep");
  std::filesystem::create_symlink(dir.File("target"), dir.File("link.csv"));
  FileResult link = DataFile::WriteChosen(dir.File("link.csv"), "new", 3);
  EXPECT_FALSE(link);
  EXPECT_EQ(link.fault, FileFault::Link);
  EXPECT_EQ(dir.ReadFile("target"), "keep");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.csv")));

  dir.WriteFile("ro.csv", "old");
  ::chmod(dir.File("ro.csv").c_str(), 0444);
  FileResult ro = DataFile::WriteChosen(dir.File("ro.csv"), "new", 3);
  EXPECT_EQ(ro.fault, FileFault::ReadOnly);
  EXPECT_EQ(dir.ReadFile("ro.csv"), "old");
  struct stat st{};
  ::stat(dir.File("ro.csv").c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0444u);

  ASSERT_TRUE(DataFile::WriteChosen(dir.File("new.csv"), "abc", 3));
  EXPECT_EQ(dir.ReadFile("new.csv"), "abc");
}

// A file beyond its format's size is refused before it is read whole, and
// one that cannot be opened is told apart from damaged content.
TEST(DataFile, ReadRefusesAFileLargerThanAllowedAndTellsUnreadableFromDamaged) {
  TempDir dir;
  {
    std::ofstream out(dir.File("big.dat"), std::ios::binary);
    out.seekp(std::streamoff{1} << 30);  // a sparse gigabyte: reading it whole would be noticed
    out.put('x');
  }
  Bytes content;
  LoadResult big = DataFile::Read(dir.File("big.dat"), content, 4096);
  EXPECT_EQ(big.status, LoadStatus::Damaged);
  EXPECT_NE(big.error.find("4096"), std::string::npos) << big.error;
  EXPECT_TRUE(content.empty());

  dir.WriteFile("small.dat", std::string(4096, 'a'));
  EXPECT_EQ(DataFile::Read(dir.File("small.dat"), content, 4096).status, LoadStatus::Loaded);
  EXPECT_EQ(content.size(), 4096u);

  EXPECT_EQ(DataFile::Read(dir.File("small.dat/x"), content).status, LoadStatus::Unreadable);
  ASSERT_EQ(::mkfifo(dir.File("fifo.dat").c_str(), 0600), 0);
  EXPECT_EQ(DataFile::Read(dir.File("fifo.dat"), content).status, LoadStatus::Unreadable) << "and does not block";
}

TEST(DataFile, SetAsideNeverOverwritesAnEarlierDamagedFile) {
  TempDir dir;
  dir.WriteFile("f.dat", "first");
  EXPECT_EQ(DataFile::SetAside(dir.File("f.dat")), dir.File("f.dat.damaged"));
  dir.WriteFile("f.dat", "second");
  EXPECT_EQ(DataFile::SetAside(dir.File("f.dat")), dir.File("f.dat.damaged-2"));
  EXPECT_EQ(dir.ReadFile("f.dat.damaged"), "first");
  EXPECT_EQ(dir.ReadFile("f.dat.damaged-2"), "second");
  EXPECT_FALSE(DataFile::Exists(dir.File("f.dat")));
  EXPECT_EQ(DataFile::SetAside(dir.File("f.dat")), "");
}

TEST(FixedText, FieldsAreBoundedByTheirWidth) {
  char field[4];
  std::memcpy(field, "abcd", 4);  // full: no terminator
  EXPECT_EQ(FieldText(field), "abcd");
  EXPECT_FALSE(SetFieldText(field, "abcdef"));
  EXPECT_EQ(FieldText(field), "abc");
  EXPECT_EQ(field[3], '\0');
  EXPECT_TRUE(SetFullFieldText(field, "wxyz"));
  EXPECT_EQ(FieldText(field), "wxyz");
  SelectSystemCodePage(CodePage::Cp936);
  EXPECT_FALSE(SetFieldText(field, "a\xD6\xD0\xCE\xC4"));  // never half a character
  EXPECT_EQ(FieldText(field), "a\xD6\xD0");
}

TEST(ArchiveStream, EncodesFieldsLittleEndianWithoutHeader) {
  ArchiveWriter w;
  w.WriteInt32(0x01020304);
  w.WriteDateTime(DateTime(36526.5, DateTime::Valid));
  ASSERT_TRUE(w.WriteSeconds(-2));
  const Bytes& b = w.Content();
  ASSERT_EQ(b.size(), 4u + 12u + 4u);
  EXPECT_EQ((Bytes{b.begin(), b.begin() + 4}), (Bytes{4, 3, 2, 1}));
  EXPECT_EQ((Bytes{b.begin() + 4, b.begin() + 8}), (Bytes{0, 0, 0, 0}));
  double d;
  std::memcpy(&d, b.data() + 8, 8);
  EXPECT_EQ(d, 36526.5);
  EXPECT_EQ((Bytes{b.end() - 4, b.end()}), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));

  ArchiveReader r(b);
  std::int32_t i;
  DateTime t;
  std::int64_t s;
  ASSERT_TRUE(r.ReadInt32(i) && r.ReadDateTime(t) && r.ReadSeconds(s));
  EXPECT_EQ(i, 0x01020304);
  EXPECT_EQ(t, DateTime(36526.5, DateTime::Valid));
  EXPECT_EQ(s, -2);
  EXPECT_TRUE(r.AtEnd());
  EXPECT_FALSE(r.ReadInt32(i));
}

TEST(ArchiveStream, SecondsThatDoNotFitFailTheSave) {
  ArchiveWriter w;
  EXPECT_TRUE(w.WriteSeconds(2147483647));
  EXPECT_FALSE(w.WriteSeconds(2147483648LL));
  EXPECT_FALSE(w.Ok());
  EXPECT_NE(w.Error().find("2147483648"), std::string::npos);
}

TEST(ArchiveStream, ShortInputFailsEachRead) {
  Bytes b{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
  ArchiveReader r(b);
  DateTime t;
  EXPECT_FALSE(r.ReadDateTime(t));
  EXPECT_EQ(r.Remaining(), 11u);
}

TEST(RawRecord, CountsAndIntegersAreLittleEndian) {
  Bytes b;
  AppendU16(b, 0x0201);
  AppendI32(b, -2);
  EXPECT_EQ(b, (Bytes{1, 2, 0xFE, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(ReadU16(b.data()), 0x0201);
  EXPECT_EQ(ReadI32(b.data() + 2), -2);
}

}  // namespace
}  // namespace evdo

namespace evdo {
namespace {

TEST(DataFile, SetAsideGivesUpWhenEveryNameIsTaken) {
  test::TempDir dir;
  dir.WriteFile("g.dat", "damaged");
  for (int i = 1; i <= DataFile::kSetAsideNames; ++i)
    dir.WriteFile("g.dat.damaged" + (i == 1 ? std::string() : "-" + std::to_string(i)), "older");
  EXPECT_EQ(DataFile::SetAside(dir.File("g.dat")), "");
  EXPECT_EQ(dir.ReadFile("g.dat"), "damaged");
  EXPECT_EQ(dir.ReadFile("g.dat.damaged-100"), "older");
}

}  // namespace
}  // namespace evdo
