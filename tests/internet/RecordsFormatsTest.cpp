// evdo-data on the call history, connection profile and traffic log files.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

#include "core/files/RawRecord.h"
#include "calls/HistData.h"
#include "internet/ConnProfile.h"
#include "internet/ConnSetData.h"
#include "internet/LogData.h"
#include "internet/TrafficCounters.h"
#include "internet/UsageLimit.h"
#include "tests/calls/DataFileTesting.h"
#include "tools/evdo-data/DataTool.h"

namespace evdo {
namespace {

using namespace evdo::test;

struct Sample {
  const char* file;
  Bytes content;
};
void PrintTo(const Sample& s, std::ostream* os) { *os << s.file; }

Bytes HistSample() {
  Bytes b;
  PutLe(b, 1, 2);
  PutLe(b, 0, 2);
  PutLe(b, 1, 2);
  HistRecord r{};
  r.repeatCount = 7;
  r.SetNumber("+86 13800138000");
  r.startTime = 45292.123456789;
  r.duration = -3;
  AppendRecord(b, r);
  std::memset(r.number, 0, sizeof r.number);
  std::memcpy(r.number, "\x81\x30zz\0junk", 10);  // a broken double-byte text with bytes after the end
  r.startTime = std::numeric_limits<double>::quiet_NaN();
  r.startStatus = 1;
  AppendRecord(b, r);
  return b;
}

Bytes ProfileSample() {
  Bytes b;
  PutLe(b, 2, 2);
  ConnProfileRecord r{};
  r.isDefault = 1;
  r.authType = 7;
  std::memcpy(r.name, "\xD6\xD0\xB9\xFA\xB5\xE7\xD0\xC5", 8);  // Chinese text in code page 936
  std::memset(r.apn, 'a', sizeof r.apn);                          // full, no terminator
  AppendRecord(b, r);
  r = ConnProfileRecord{};
  std::memset(r.password, 'p', 256);
  AppendRecord(b, r);
  return b;
}

Bytes SettingSample() {
  Bytes b(257, 0);
  std::memcpy(b.data(), "EVDO Connection", 15);
  b[200] = 9;  // left-over byte after the name
  return b;
}

Bytes SetDataSample() {
  ConnSetData d = DefaultConnSetData();
  d.autoLink[0] = -1;
  std::memcpy(d.wlanText1, "key\xFF", 4);
  Bytes b;
  AppendRecord(b, d);
  return b;
}

Bytes LogSample() {
  Bytes b;
  PutLe(b, 2, 4);
  PutLe(b, 0, 4);
  PutDouble(b, 45292.5);
  PutLe(b, 0xFFFFFFFF, 4);  // -1 seconds
  PutLe(b, 0xFFFFFFFF, 4);
  PutLe(b, 0, 4);
  PutLe(b, 2, 4);
  PutDouble(b, -0.0);
  PutLe(b, 0x7FFFFFFF, 4);
  PutLe(b, 1, 4);
  PutLe(b, 2, 4);
  return b;
}

Bytes MonthSample() {
  Bytes b;
  PutLe(b, 1, 4);
  PutLe(b, 0, 4);
  PutDouble(b, std::numeric_limits<double>::infinity());
  PutLe(b, 100, 4);
  PutLe(b, 200, 4);
  PutLe(b, 0x80000000, 4);
  PutLe(b, 300, 4);
  return b;
}

Bytes CountersSample() {
  TrafficCounters c{};
  LocalTime t;
  t.year = 2024;
  t.month = 8;
  t.day = 5;
  c = FreshCounters(t);
  c.daySent = -5;
  c.totalMinutes = INT32_MAX;
  std::memset(c.updated, '1', sizeof c.updated);
  Bytes b;
  AppendRecord(b, c);
  return b;
}

Bytes LimitSample() {
  UsageLimit l;
  l.limitOn = 1;
  l.option = -7;
  Bytes b;
  AppendRecord(b, l);
  return b;
}

class RecordsFormatTest : public ::testing::TestWithParam<Sample> {
protected:
  int Run(std::vector<std::string> args, std::string& out) {
    std::ostringstream o, e;
    int code = datatool::RunDataTool(args, o, e);
    out = o.str() + e.str();
    return code;
  }
  TempDir dir;
};

TEST_P(RecordsFormatTest, DumpThenBuildGivesTheSameBytes) {
  const std::string path = dir.File(GetParam().file);
  WriteBytes(path, GetParam().content);
  std::string out;
  ASSERT_EQ(Run({"check", dir.Path()}, out), 0) << out;
  EXPECT_NE(out.find(std::string(GetParam().file) + ": ok"), std::string::npos) << out;
  ASSERT_EQ(Run({"dump", path}, out), 0) << out;
  const std::string json = dir.File("dump.json");
  std::ofstream(json) << out;
  const std::string rebuilt = dir.File("rebuilt.dat");
  ASSERT_EQ(Run({"build", json, rebuilt}, out), 0) << out;
  EXPECT_EQ(ReadBytes(rebuilt), GetParam().content);
}

TEST_P(RecordsFormatTest, CheckReportsAFileOfTheWrongSize) {
  Bytes content = GetParam().content;
  content.push_back(0);
  WriteBytes(dir.File(GetParam().file), content);
  std::string out;
  EXPECT_EQ(Run({"check", dir.Path()}, out), 1);
  EXPECT_NE(out.find(GetParam().file), std::string::npos);
  EXPECT_EQ(Run({"dump", dir.File(GetParam().file)}, out), 1);
}

INSTANTIATE_TEST_SUITE_P(Files, RecordsFormatTest,
                         ::testing::Values(Sample{"HistData.dat", HistSample()},
                                           Sample{"ConnProfile.dat", ProfileSample()},
                                           Sample{"ConnSetting.dat", SettingSample()},
                                           Sample{"ConnSetData.dat", SetDataSample()},
                                           Sample{"LogData.dat", LogSample()},
                                           Sample{"MonthLogData.dat", MonthSample()},
                                           Sample{"StreamData.dat", CountersSample()},
                                           Sample{"UsageLimitData.dat", LimitSample()}),
                         [](const auto& info) {
                           std::string n = info.param.file;
                           return n.substr(0, n.find('.'));
                         });

class RecordsBuildTest : public RecordsFormatTest {
protected:
  std::string Build(const std::string& json) {
    std::ofstream(dir.File("in.json")) << json;
    std::string out;
    EXPECT_EQ(Run({"build", dir.File("in.json"), dir.File("out.dat")}, out), 1) << json;
    return out;
  }
};

TEST_F(RecordsBuildTest, RefusesWhatTheProgramWouldRefuse) {
  std::string calls = "[";
  for (int i = 0; i < 51; ++i)
    calls += std::string(i ? "," : "") +
             R"({"repeatCount":1,"number":"1","start":{"status":0,"days":1.0},"duration":1})";
  calls += "]";
  EXPECT_NE(Build(R"({"file":"HistData.dat","content":{"missed":)" + calls + R"(,"received":[],"dialled":[]}})")
                .find("at most 50"),
            std::string::npos);
  EXPECT_NE(Build(R"({"file":"HistData.dat","content":{"missed":[{"repeatCount":256,"number":"1",)"
                  R"("start":{"status":0,"days":1.0},"duration":1}],"received":[],"dialled":[]}})")
                .find("repeatCount"),
            std::string::npos);
  EXPECT_NE(Build(R"({"file":"LogData.dat","content":{"connections":[{"start":{"status":0,"days":1.0},)"
                  R"("duration":2147483648,"received":0,"sent":0}]}})")
                .find("duration"),
            std::string::npos);
  EXPECT_NE(Build(R"({"file":"ConnSetting.dat","content":{"name":")" + std::string(258, 'n') + R"("}})")
                .find("longer than 257"),
            std::string::npos);
  EXPECT_NE(Build(R"({"file":"UsageLimitData.dat","content":{"limitOn":1}})").find("option"), std::string::npos);
  EXPECT_NE(Build(R"({"file":"ConnSetting.dat","content":{"name":{"hex":"zz"}}})").find("hex"), std::string::npos);
  EXPECT_FALSE(DataFile::Exists(dir.File("out.dat")));
}

TEST_F(RecordsBuildTest, TextIsWrittenInTheSystemCodePage) {
  std::ofstream(dir.File("in.json")) << R"({"file":"ConnSetting.dat","content":{"name":"中国电信"}})";
  std::string out;
  ASSERT_EQ(Run({"build", dir.File("in.json"), dir.File("out.dat")}, out), 0) << out;
  Bytes b = ReadBytes(dir.File("out.dat"));
  ASSERT_EQ(b.size(), 257u);
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 9), (Bytes{0xD6, 0xD0, 0xB9, 0xFA, 0xB5, 0xE7, 0xD0, 0xC5, 0}));
}

}  // namespace
}  // namespace evdo
