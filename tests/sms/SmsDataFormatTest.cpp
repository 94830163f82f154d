#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <sstream>

#include "sms/SmsData.h"
#include "tests/sms/SmsTestSupport.h"
#include "tools/evdo-data/DataTool.h"

namespace evdo {
namespace {

using datatool::Json;
using test::MakeRecord;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

int RunTool(std::vector<std::string> args, std::string* out = nullptr, std::string* err = nullptr) {
  std::ostringstream o, e;
  const int rc = datatool::RunDataTool(args, o, e);
  if (out) *out = o.str();
  if (err) *err = e.str();
  return rc;
}

// Records with everything a file may hold: plain ones, and ones whose bytes
// no UTF-8 text can reproduce.
Bytes AwkwardFile() {
  CSmsData store("unused");
  std::vector<std::pair<int, SmsRecord>> records;
  SmsRecord plain = MakeRecord(RecUnread, "+8613800138000", DateTime::FromLocal(2009, 8, 17, 14, 5, 59),
                               "Hello \xC4\xE3\xBA\xC3 \x80");
  plain.flags = 7;
  plain.reference = 300;
  plain.partIndex = 2;
  plain.partCount = 3;
  SetFullFieldText(plain.serviceCentre, "+8613010888500");
  records.push_back({Inbox, plain});

  SmsRecord garbage = MakeRecord(RecRead, std::string(40, '1'), DateTime(40000.123456789012, 0), "end");
  garbage.text[10] = 'X';           // a byte after the terminator
  garbage.number[0] = '\x81';       // a lead byte with a trail that does not convert
  garbage.number[1] = '\x7F';
  garbage.reserved1[1] = 0xAB;
  garbage.reserved3[3] = 0x01;
  records.push_back({Inbox, garbage});

  SmsRecord odd = MakeRecord(9, "10086", DateTime(std::numeric_limits<double>::quiet_NaN(), 1),
                             std::string(1532, 'z'));  // full text field, no terminator
  std::memset(odd.text, 'z', sizeof odd.text);
  records.push_back({Outbox, odd});
  records.push_back({Outbox, MakeRecord(StoSent, "10010", DateTime(-1.25, 0), "before 1900")});
  records.push_back({Saved, MakeRecord(StoUnsent, "", DateTime::MakeNull(), "")});

  Bytes image(6, 0);
  image[0] = 2, image[2] = 2, image[4] = 1;
  for (auto& [box, r] : records) {
    (void)box;
    const auto* p = reinterpret_cast<const std::uint8_t*>(&r);
    image.insert(image.end(), p, p + sizeof r);
  }
  EXPECT_EQ(store.LoadFromBytes(image), "");
  return image;
}

TEST(SmsDataTool, DumpThenBuildIsByteIdentical) {
  TempDir dir;
  const std::string path = dir.File("SmsData.dat");
  const Bytes original = AwkwardFile();
  WriteBytes(path, original);
  std::string json;
  ASSERT_EQ(RunTool({"dump", path}, &json), 0);
  const std::string jsonPath = dir.File("sms.json");
  std::ofstream(jsonPath) << json;
  const std::string rebuilt = dir.File("rebuilt.dat");
  ASSERT_EQ(RunTool({"build", jsonPath, rebuilt}), 0);
  EXPECT_EQ(ReadBytes(rebuilt), original);

  const Json doc = Json::parse(json);
  const Json& first = doc["content"]["Inbox"][0];
  EXPECT_EQ(first["text"], "Hello \xE4\xBD\xA0\xE5\xA5\xBD \xE2\x82\xAC");
  EXPECT_FALSE(first.contains("textHex"));
  EXPECT_EQ(first["time"]["local"], "2009-08-17T14:05:59");
  EXPECT_EQ(first["partCount"], 3);
  const Json& second = doc["content"]["Inbox"][1];
  EXPECT_EQ(second["textHex"], "656e640000000000000058");
  EXPECT_TRUE(second.contains("numberHex"));
  EXPECT_EQ(second["reserved1"], "00ab00");
  EXPECT_TRUE(doc["content"]["Outbox"][0]["time"].contains("valueHex"));
}

TEST(SmsDataTool, EditedTextAndTimeWinOverStaleRawBytes) {
  TempDir dir;
  const std::string path = dir.File("SmsData.dat");
  WriteBytes(path, AwkwardFile());
  std::string json;
  ASSERT_EQ(RunTool({"dump", path}, &json), 0);
  Json doc = Json::parse(json);
  doc["content"]["Inbox"][1]["text"] = "edited";
  doc["content"]["Inbox"][0]["time"]["local"] = "2010-01-02T03:04:05";
  const std::string jsonPath = dir.File("sms.json");
  std::ofstream(jsonPath) << doc.dump();
  ASSERT_EQ(RunTool({"build", "--force", jsonPath, path}), 0);
  CSmsData store(path);
  ASSERT_TRUE(store.Load());
  EXPECT_EQ(store.GetRecord(Inbox, 1)->Text(), "edited");
  EXPECT_EQ(store.GetRecord(Inbox, 1)->text[10], '\0');
  EXPECT_EQ(store.GetRecord(Inbox, 0)->Time(), DateTime::FromLocal(2010, 1, 2, 3, 4, 5));
}

TEST(SmsDataTool, BuildRefusesWhatTheStoreCouldNotHold) {
  TempDir dir;
  const std::string jsonPath = dir.File("sms.json");
  const Json record = {{"flags", 0},        {"status", 0},    {"number", "1"},
                       {"time", {{"status", 0}, {"value", 1.0}}},
                       {"reference", 0},    {"partIndex", 0}, {"partCount", 0},
                       {"text", ""},        {"serviceCentre", ""}};
  struct Case {
    const char* what;
    Json content;
  };
  Json tooMany = {{"Inbox", Json::array()}, {"Outbox", Json::array()}, {"Saved", Json::array()}};
  for (int i = 0; i < 501; ++i) tooMany["Saved"].push_back(record);
  Json badFlags = {{"Inbox", {record}}, {"Outbox", Json::array()}, {"Saved", Json::array()}};
  badFlags["Inbox"][0]["flags"] = 256;
  Json badHex = badFlags;
  badHex["Inbox"][0]["flags"] = 0;
  badHex["Inbox"][0]["textHex"] = "4g";
  Json longNumber = badHex;
  longNumber["Inbox"][0].erase("textHex");
  longNumber["Inbox"][0]["number"] = std::string(41, '1');
  Json noBox = {{"Inbox", Json::array()}};
  for (const auto& [what, content] : {Case{"more than 500", tooMany}, Case{"out of range", badFlags},
                                      Case{"hexadecimal", badHex}, Case{"longer than 40", longNumber},
                                      Case{"Outbox", noBox}}) {
    std::ofstream(jsonPath) << Json{{"file", "SmsData.dat"}, {"content", content}}.dump();
    std::string err;
    EXPECT_EQ(RunTool({"build", jsonPath, dir.File("out.dat")}, nullptr, &err), 1) << what;
    EXPECT_NE(err.find(what), std::string::npos) << err;
  }
}

TEST(SmsDataTool, CheckReportsWhatIsWrong) {
  TempDir dir;
  Bytes damaged(6 + 1644, 0);
  damaged[0] = 0xF5, damaged[1] = 0x01;  // 500 + 1
  WriteBytes(dir.File("SmsData.dat"), damaged);
  std::string out;
  EXPECT_EQ(RunTool({"check", dir.File("")}, &out), 1);
  EXPECT_NE(out.find("SmsData.dat: Inbox count 501 is above 500"), std::string::npos) << out;
  EXPECT_NE(out.find("announce"), std::string::npos) << out;
  WriteBytes(dir.File("SmsData.dat"), Bytes(6, 0));
  EXPECT_EQ(RunTool({"check", dir.File("")}, &out), 0);
  EXPECT_NE(out.find("SmsData.dat: ok"), std::string::npos);
}

}  // namespace
}  // namespace evdo
