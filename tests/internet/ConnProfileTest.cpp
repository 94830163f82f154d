#include "internet/ConnProfile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/text/FixedText.h"
#include "core/files/RawRecord.h"
#include "internet/ConnProfileRules.h"
#include "internet/ConnSetData.h"
#include "tests/calls/DataFileTesting.h"

namespace evdo {
namespace {

using namespace evdo::test;

ConnProfileRecord Profile(const std::string& name, bool isDefault = false) {
  ProfileFields f;
  f.name = name;
  f.phoneNumber = "#777";
  f.isDefault = isDefault;
  return RecordFromNewProfile(f);
}

Bytes ProfileFile(int count) {
  Bytes b;
  PutLe(b, static_cast<std::uint16_t>(count), 2);
  for (int i = 0; i < count; ++i) AppendRecord(b, Profile("P" + std::to_string(i)));
  return b;
}

class ConnProfileTest : public ::testing::Test {
protected:
  void SetUp() override { store->LoadOrReset(); }
  std::string Name(int i) const {
    ConnProfileRecord r;
    EXPECT_TRUE(store->Get(i, r));
    return std::string(FieldText(r.name));
  }
  std::int32_t Mark(int i) const {
    ConnProfileRecord r;
    store->Get(i, r);
    return r.isDefault;
  }

  TempDir dir;
  std::string profilePath = dir.File("ConnProfile.dat");
  std::string settingPath = dir.File("ConnSetting.dat");
  std::unique_ptr<CConnProfile> store = std::make_unique<CConnProfile>(profilePath, settingPath);
};

TEST_F(ConnProfileTest, MissingFileGivesAnEmptyStoreSavedAtOnce) {
  EXPECT_TRUE(store->IsEmpty());
  EXPECT_EQ(ReadBytes(profilePath), (Bytes{0, 0}));
}

TEST_F(ConnProfileTest, AddingADefaultProfileTakesTheMarkFromTheOthers) {
  ASSERT_TRUE(store->Add(Profile("A", true)));
  ASSERT_TRUE(store->Add(Profile("B")));
  EXPECT_EQ(Mark(0), 1);
  EXPECT_EQ(Mark(1), 0);
  ASSERT_TRUE(store->Add(Profile("C", true)));
  EXPECT_EQ(Mark(0), 0);
  EXPECT_EQ(Mark(2), 1);
  ASSERT_TRUE(store->Set(1, Profile("B2", true)));
  EXPECT_EQ(Mark(2), 0);
  EXPECT_EQ(Mark(1), 1);
  EXPECT_EQ(Name(1), "B2");
}

TEST_F(ConnProfileTest, DeletingTheFirstOfThreeLeavesTwoInOrder) {
  for (const char* n : {"A", "B", "C"}) ASSERT_TRUE(store->Add(Profile(n)));
  ASSERT_TRUE(store->Delete(0));
  EXPECT_EQ(store->Count(), 2);
  EXPECT_EQ(Name(0), "B");
  EXPECT_EQ(Name(1), "C");
  EXPECT_EQ(ReadBytes(profilePath).size(), 2u * 960 + 2);
  EXPECT_FALSE(store->Delete(2));
  EXPECT_FALSE(store->Set(-1, Profile("X")));
}

TEST_F(ConnProfileTest, FullStoreRefusesAnotherProfile) {
  WriteBytes(profilePath, ProfileFile(512));
  ASSERT_EQ(store->Load().status, LoadStatus::Loaded);
  EXPECT_TRUE(store->IsFull());
  EXPECT_EQ(CheckNewAllowed(*store), kMsgProfilesFull);
  EXPECT_FALSE(store->Add(Profile("one more")));
  EXPECT_EQ(store->Count(), 512);
  EXPECT_EQ(ReadBytes(profilePath), ProfileFile(512));
}

TEST_F(ConnProfileTest, NamesAreFoundExactly) {
  ASSERT_TRUE(store->Add(Profile("Work")));
  ASSERT_TRUE(store->Add(Profile("Home")));
  EXPECT_EQ(store->IndexByName("Home"), 1);
  EXPECT_EQ(store->IndexByName("home"), -1);
  EXPECT_TRUE(store->ExistsByName("Work"));
  EXPECT_FALSE(store->ExistsByName("Wor"));
}

TEST_F(ConnProfileTest, SelectionIsRememberedAndMarkedAfterTheNextStart) {
  for (const char* n : {"A", "B", "C"}) ASSERT_TRUE(store->Add(Profile(n)));
  ASSERT_TRUE(store->SaveSelection(1));
  Bytes setting = ReadBytes(settingPath);
  ASSERT_EQ(setting.size(), 257u);
  EXPECT_EQ(setting[0], 'B');
  EXPECT_EQ(setting[1], 0);
  // Selecting again rewrites the file even when nothing changed.
  std::filesystem::remove(settingPath);
  ASSERT_TRUE(store->SaveSelection(1));
  EXPECT_EQ(ReadBytes(settingPath), setting);

  auto next = std::make_unique<CConnProfile>(profilePath, settingPath);
  ASSERT_EQ(next->LoadOrReset().status, LoadStatus::Loaded);
  EXPECT_EQ(InitialSelection(*next), 1);
  ConnProfileRecord r;
  next->Get(1, r);
  EXPECT_EQ(r.isDefault, 1);
  // The mark stays in memory.
  ConnProfileRecord saved = ReadRecord<ConnProfileRecord>(ReadBytes(profilePath).data() + 2 + 960);
  EXPECT_EQ(saved.isDefault, 0);
}

TEST_F(ConnProfileTest, AfterDeletingTheSelectedProfileTheFirstIsSelected) {
  for (const char* n : {"A", "B"}) ASSERT_TRUE(store->Add(Profile(n)));
  ASSERT_TRUE(store->SaveSelection(1));
  ASSERT_TRUE(store->Delete(1));
  auto next = std::make_unique<CConnProfile>(profilePath, settingPath);
  next->LoadOrReset();
  EXPECT_EQ(next->MarkSelected(), next->Count());
  EXPECT_EQ(InitialSelection(*next), 0);
  EXPECT_EQ(SelectionAfterEdit(*next, "B"), 0);
  EXPECT_EQ(SelectionAfterEdit(*next, "A"), 0);
}

// A selection kept from an earlier installation is seen on the start that
// creates the profile file, as on every later start.
TEST_F(ConnProfileTest, ASelectionWithoutAProfileFileIsReadAtOnce) {
  Bytes selection(kConnSettingBytes, 0);
  selection[0] = 'A';
  WriteBytes(settingPath, selection);
  std::filesystem::remove(profilePath);
  auto first = std::make_unique<CConnProfile>(profilePath, settingPath);
  EXPECT_EQ(first->LoadOrReset().status, LoadStatus::Missing);
  EXPECT_EQ(first->SelectedName(), "A");
  ASSERT_TRUE(first->Add(Profile("A")));
  auto next = std::make_unique<CConnProfile>(profilePath, settingPath);
  ASSERT_EQ(next->Load().status, LoadStatus::Loaded);
  EXPECT_EQ(next->SelectedName(), first->SelectedName());
  EXPECT_EQ(next->MarkSelected(), first->MarkSelected());
}

TEST_F(ConnProfileTest, MissingSettingFileMarksNothing) {
  ASSERT_TRUE(store->Add(Profile("A")));
  auto next = std::make_unique<CConnProfile>(profilePath, settingPath);
  LoadResult r = next->Load();
  EXPECT_EQ(r.status, LoadStatus::Loaded);
  EXPECT_TRUE(r.error.empty());
  EXPECT_EQ(next->MarkSelected(), 1);
}


class BadProfileFileTest : public ConnProfileTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(BadProfileFileTest, IsSetAsideAndTheStoreStartsEmpty) {
  const Bytes bad = GetParam().content;
  WriteBytes(profilePath, bad);
  auto next = std::make_unique<CConnProfile>(profilePath, settingPath);
  ExpectSetAside(next->LoadOrReset(), profilePath, bad);
  EXPECT_TRUE(next->IsEmpty());
  EXPECT_EQ(ReadBytes(profilePath), (Bytes{0, 0}));
}

Bytes Grown(Bytes b, std::size_t extra) {
  b.insert(b.end(), extra, 0);
  return b;
}
Bytes Cut(Bytes b, std::size_t bytes) {
  b.resize(b.size() - bytes);
  return b;
}
Bytes Count513() {
  Bytes b = ProfileFile(512);
  b[0] = 0x01;
  b[1] = 0x02;  // 513
  return Grown(b, 960);
}

INSTANTIATE_TEST_SUITE_P(Files, BadProfileFileTest,
                         ::testing::Values(BadFile{"count513", Count513()},
                                           BadFile{"short", Cut(ProfileFile(2), 1)},
                                           BadFile{"long", Grown(ProfileFile(1), 1)},
                                           BadFile{"oneByte", Bytes{0}}),
                         BadFileName);

TEST_F(ConnProfileTest, BadSettingFileIsSetAsideAndReported) {
  ASSERT_TRUE(store->Add(Profile("A")));
  WriteBytes(settingPath, Bytes{'A', 0});
  auto next = std::make_unique<CConnProfile>(profilePath, settingPath);
  LoadResult r = next->Load();
  EXPECT_EQ(r.status, LoadStatus::Loaded);
  EXPECT_NE(r.error.find("ConnSetting.dat.damaged"), std::string::npos) << r.error;
  EXPECT_EQ(next->MarkSelected(), 1);
  EXPECT_EQ(ReadBytes(settingPath + ".damaged"), (Bytes{'A', 0}));
}

TEST_F(ConnProfileTest, AFullNameFieldIsReadWithinItsWidth) {
  Bytes file = ProfileFile(1);
  std::fill(file.begin() + 2 + 8, file.begin() + 2 + 8 + 257, 'n');  // no terminator
  WriteBytes(profilePath, file);
  ASSERT_EQ(store->Load().status, LoadStatus::Loaded);
  EXPECT_EQ(Name(0), std::string(257, 'n'));
  EXPECT_EQ(store->Encode(), file);
}

TEST(ProfileRulesTest, NewProfileWindow) {
  TempDir dir;
  auto store = std::make_unique<CConnProfile>(dir.File("ConnProfile.dat"), dir.File("ConnSetting.dat"));
  ProfileFields taken;
  taken.name = "Taken";
  taken.phoneNumber = "1";
  ASSERT_TRUE(store->Add(RecordFromNewProfile(taken)));

  struct Case {
    const char* what;
    std::string name, phone, user, password, apn;
    int message;
  };
  const std::string s256(256, 'x'), s257(257, 'x');
  const Case cases[] = {
      {"fine", "Mine", "#777", "", "", "", kProfileOk},
      {"no name", "", "#777", "", "", "", kMsgProfileNameOrNumberEmpty},
      {"no number", "Mine", "", "", "", "", kMsgProfileNameOrNumberEmpty},
      {"taken", "Taken", "#777", "", "", "", kMsgProfileNameTaken},
      {"name 256", s256, "#777", s256, s256, std::string(50, 'a'), kProfileOk},
      {"name 257", s257, "#777", "", "", "", kMsgProfileTooLongNew},
      {"number 129", "Mine", std::string(129, '1'), "", "", "", kMsgProfileTooLongNew},
      {"user 257", "Mine", "#777", s257, "", "", kMsgProfileTooLongNew},
      {"password 257", "Mine", "#777", "", s257, "", kMsgProfileTooLongNew},
      {"apn 51", "Mine", "#777", "", "", std::string(51, 'a'), kMsgProfileTooLongNew},
  };
  for (const Case& c : cases) {
    ProfileFields f;
    f.name = c.name;
    f.phoneNumber = c.phone;
    f.userName = c.user;
    f.password = c.password;
    f.apn = c.apn;
    EXPECT_EQ(CheckNewProfile(f, *store), c.message) << c.what;
  }
}

TEST(ProfileRulesTest, PageAndManagerFields) {
  struct Case {
    const char* what;
    std::string phone, user, apn;
    int page, manager;
  };
  const Case cases[] = {
      {"fine", "#777", "u", std::string(50, 'a'), kProfileOk, kProfileOk},
      {"no number", "", "u", "", kMsgProfileNameOrNumberEmpty, kMsgProfileNameOrNumberEmpty},
      {"number 129", std::string(129, '1'), "", "", kMsgProfileTooLongEdit, kMsgProfileTooLongEdit},
      {"user 257", "#777", std::string(257, 'u'), "", kMsgProfileTooLongEdit, kMsgProfileTooLongEdit},
      {"apn 51", "#777", "", std::string(51, 'a'), kProfileOk, kMsgProfileTooLongEdit},
  };
  for (const Case& c : cases) {
    ProfileFields f;
    f.phoneNumber = c.phone;
    f.userName = c.user;
    f.apn = c.apn;
    EXPECT_EQ(CheckPageFields(f), c.page) << c.what;
    EXPECT_EQ(CheckManagerFields(f), c.manager) << c.what;
  }
}

TEST(ProfileRulesTest, ThePageKeepsNameAndApnTheManagerReplacesTheApn) {
  ProfileFields f;
  f.name = "Stored";
  f.phoneNumber = "1";
  f.apn = "old.apn";
  ConnProfileRecord r = RecordFromNewProfile(f);
  ProfileFields edit;
  edit.name = "Other";
  edit.phoneNumber = "#777";
  edit.userName = "card";
  edit.password = "secret";
  edit.apn = "new.apn";
  edit.isDefault = true;
  edit.authType = kAuthPap;
  ApplyPageFields(r, edit);
  ProfileFields now = FieldsOf(r);
  EXPECT_EQ(now.name, "Stored");
  EXPECT_EQ(now.apn, "old.apn");
  EXPECT_EQ(now.phoneNumber, "#777");
  EXPECT_EQ(now.userName, "card");
  EXPECT_EQ(now.password, "secret");
  EXPECT_TRUE(now.isDefault);
  EXPECT_EQ(now.authType, kAuthPap);
  ApplyManagerFields(r, edit);
  EXPECT_EQ(FieldsOf(r).apn, "new.apn");
  EXPECT_EQ(FieldsOf(r).name, "Stored");
}

TEST(ProfileRulesTest, DefaultProfileComesFromTheConfigurationCutToTheFields) {
  CSetupData setup;
  ConnProfileRecord r = MakeDefaultProfile(setup);
  EXPECT_EQ(r.isDefault, 1);
  EXPECT_EQ(r.authType, kAuthChap);
  EXPECT_EQ(FieldText(r.name), "EVDO Connection");
  EXPECT_EQ(FieldText(r.phoneNumber), "#777");
  EXPECT_EQ(FieldText(r.userName), "");
  EXPECT_EQ(FieldText(r.apn), "");

  SetFieldText(setup.Internet_szAPN, std::string(255, 'a'));
  SetFieldText(setup.Internet_szDefaultConnName, std::string(255, 'n'));
  std::memset(setup.Internet_szPassword, 'p', sizeof setup.Internet_szPassword);  // unterminated
  r = MakeDefaultProfile(setup);
  EXPECT_EQ(FieldText(r.apn), std::string(50, 'a'));
  EXPECT_EQ(r.apn[50], 0);
  EXPECT_EQ(r.apn[51], 0);
  EXPECT_EQ(FieldText(r.name), std::string(255, 'n'));
  EXPECT_EQ(FieldText(r.password), std::string(256, 'p'));
  // A double-byte character is not split at the cut.
  std::string apn(49, 'a');
  apn += "\xD6\xD0";  // one GBK character
  SetFieldText(setup.Internet_szAPN, apn);
  r = MakeDefaultProfile(setup);
  EXPECT_EQ(FieldText(r.apn), std::string(49, 'a'));
}

TEST_F(ConnProfileTest, DefaultProfileIsAddedOnlyToAnEmptyStore) {
  CSetupData setup;
  ASSERT_TRUE(AddDefaultProfileIfEmpty(*store, setup));
  ASSERT_TRUE(AddDefaultProfileIfEmpty(*store, setup));
  EXPECT_EQ(store->Count(), 1);
  EXPECT_EQ(Name(0), "EVDO Connection");
}

TEST(ConnSetDataTest, DefaultsAndTheirFile) {
  TempDir dir;
  const std::string path = dir.File("ConnSetData.dat");
  ConnSetDataFile file(path);
  ConnSetData d;
  EXPECT_EQ(file.Load(d, DefaultConnSetData()).status, LoadStatus::Missing);
  EXPECT_FALSE(DataFile::Exists(path));
  EXPECT_EQ(d.connectAtStart, 0);
  EXPECT_EQ(d.closeAction, 1);
  EXPECT_EQ(d.rememberClose, 0);
  EXPECT_EQ(d.keepWlanText2, 0);
  EXPECT_EQ(d.autoLink[0], 0);
  EXPECT_EQ(d.autoLink[1], 1);
  EXPECT_EQ(d.autoLink[2], 2);
  EXPECT_EQ(FieldText(d.wlanText1), "");
  ASSERT_TRUE(file.Save(d));
  const Bytes saved = ReadBytes(path);
  ASSERT_EQ(saved.size(), 572u);
  const Bytes province = {0xC7, 0xEB, 0xD1, 0xA1, 0xD4, 0xF1, 0xCA, 0xA1, 0xB7, 0xDD, 0};  // in code page 936
  EXPECT_EQ(Bytes(saved.begin() + 540, saved.begin() + 551), province);
  EXPECT_EQ(saved[4], 1);
  EXPECT_EQ(saved[20], 1);
  EXPECT_EQ(saved[24], 2);

  d.connectAtStart = 1;
  ASSERT_TRUE(file.Save(d));
  ConnSetData again;
  ConnSetDataFile reread(path);
  EXPECT_EQ(reread.Load(again, DefaultConnSetData()).status, LoadStatus::Loaded);
  EXPECT_EQ(again.connectAtStart, 1);

  WriteBytes(path, Bytes(571, 1));
  ConnSetDataFile bad(path);
  ExpectSetAside(bad.Load(again, DefaultConnSetData()), path, Bytes(571, 1));
  EXPECT_EQ(again.closeAction, 1);
  EXPECT_EQ(again.connectAtStart, 0);
}

}  // namespace
}  // namespace evdo
