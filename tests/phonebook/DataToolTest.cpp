#include <gtest/gtest.h>

#include <sstream>

#include "phonebook/PbData.h"
#include "tests/phonebook/PhonebookTestUtil.h"
#include "tools/evdo-data/DataTool.h"

namespace evdo {
namespace {

using test::Contact;
using test::ReadText;
using test::TempDir;
using test::WriteText;

struct ToolRun {
  int code;
  std::string out, err;
};

ToolRun RunTool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  int code = datatool::RunDataTool(args, out, err);
  return {code, out.str(), err.str()};
}

class PbDataToolTest : public ::testing::Test {
protected:
  TempDir dir;
  std::string pb = dir / "PbData.dat";
};

TEST_F(PbDataToolTest, DumpAndBuildGiveTheSameBytes) {
  std::string bytes(3 * 820, '\0');
  bytes.replace(0, 4, "\xD5\xC5\xC8\xFD");          // a name in the code page
  bytes.replace(33, 11, "13900000001");
  bytes.replace(820, 3, "Bob");
  bytes.replace(820 + 33 + 5, 1, "\x07");           // garbage after Mobile's terminator
  bytes.replace(2 * 820, 33, std::string(33, 'N'));  // a full name without terminator
  bytes.replace(2 * 820 + 357, 2, "\xFF\xFF");      // bytes no code page text holds
  WriteText(pb, bytes);
  ToolRun dump = RunTool({"dump", pb});
  ASSERT_EQ(dump.code, 0) << dump.err;
  EXPECT_NE(dump.out.find("\"Name\": \"\xE5\xBC\xA0\xE4\xB8\x89\""), std::string::npos) << dump.out;
  EXPECT_NE(dump.out.find("\"hex\""), std::string::npos);
  WriteText(dir / "pb.json", dump.out);
  ToolRun build = RunTool({"build", dir / "pb.json", dir / "copy.dat"});
  ASSERT_EQ(build.code, 0) << build.err;
  EXPECT_EQ(ReadText(dir / "copy.dat"), bytes);
}

TEST_F(PbDataToolTest, CheckReportsWhatTheStoreWouldSetAside) {
  WriteText(pb, std::string(821, 'x'));
  ToolRun check = RunTool({"check", dir.Path()});
  EXPECT_EQ(check.code, 1);
  EXPECT_NE(check.out.find("partial record of 1 bytes"), std::string::npos) << check.out;
  EXPECT_EQ(RunTool({"dump", pb}).code, 1);
}

TEST_F(PbDataToolTest, BuildRefusesFieldsThatDoNotFit) {
  const std::string record = R"({"Name": "%s", "Mobile": "", "Home": "", "Company": "", "Email": "", "Remark": "", "Picture": ""})";
  auto json = [&](const std::string& name) {
    std::string r = record;
    r.replace(r.find("%s"), 2, name);
    return R"({"file": "PbData.dat", "content": {"records": [)" + r + "]}}";
  };
  WriteText(dir / "long.json", json(std::string(34, 'n')));
  ToolRun tooLong = RunTool({"build", dir / "long.json", dir / "out.dat"});
  EXPECT_EQ(tooLong.code, 1);
  EXPECT_NE(tooLong.err.find("33 wide"), std::string::npos) << tooLong.err;
  WriteText(dir / "ok.json", json(std::string(33, 'n')));
  ASSERT_EQ(RunTool({"build", dir / "ok.json", dir / "out.dat"}).code, 0);
  EXPECT_EQ(ReadText(dir / "out.dat").substr(0, 34), std::string(33, 'n') + '\0');
}

TEST_F(PbDataToolTest, ExportAndImportContacts) {
  {
    CPbData store;
    ASSERT_FALSE(store.Load(pb).Failed());
    ASSERT_TRUE(store.Append(Contact("Ann", "1", "", "", "", "a, \"b\"")));
    ASSERT_TRUE(store.Append(Contact("Ben", "2")));
  }
  ToolRun csv = RunTool({"export-contacts", "--csv", pb, dir / "book.csv"});
  ASSERT_EQ(csv.code, 0) << csv.err;
  EXPECT_EQ(ReadText(dir / "book.csv"),
            "Name,Mobile,Home,Company,Email,Remark\r\nAnn,1,,,,\"a, \"\"b\"\"\"\r\nBen,2,,,,\r\n");
  ASSERT_EQ(RunTool({"export-contacts", "--vcard", pb, dir / "book.vcf"}).code, 0);

  ToolRun back = RunTool({"import-contacts", dir / "book.vcf", dir / "other.dat"});
  ASSERT_EQ(back.code, 0) << back.err;
  EXPECT_NE(back.out.find("added 2 contacts"), std::string::npos) << back.out;
  EXPECT_EQ(ReadText(dir / "other.dat"), ReadText(pb));

  WriteText(dir / "skip.csv", "Name,Email\n,x@y.z\nCy,\n");
  ToolRun skipped = RunTool({"import-contacts", dir / "skip.csv", dir / "other.dat"});
  EXPECT_EQ(skipped.code, 0);
  EXPECT_NE(skipped.out.find("Entries without a name or number were skipped.\n"), std::string::npos) << skipped.out;
  EXPECT_NE(skipped.out.find("(now 3)"), std::string::npos) << skipped.out;

  WriteText(dir / "empty.csv", "");
  ToolRun empty = RunTool({"import-contacts", dir / "empty.csv", dir / "other.dat"});
  EXPECT_EQ(empty.code, 1);
  EXPECT_EQ(empty.out, "The file is empty.\n");
}

TEST_F(PbDataToolTest, ExportOfAnEmptyPhonebookGives273) {
  WriteText(pb, "");
  ToolRun run = RunTool({"export-contacts", "--vcard", pb, dir / "book.vcf"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.out, "There are no contacts to export, or the file could not be read.\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "book.vcf"));
  EXPECT_EQ(RunTool({"export-contacts", "--xml", pb, dir / "x"}).code, 2);
}

TEST_F(PbDataToolTest, ImportIntoADamagedPhonebookKeepsTheOriginal) {
  const std::string damaged(900, 'd');
  WriteText(pb, damaged);
  WriteText(dir / "in.csv", "Name\nAnn\n");
  ToolRun run = RunTool({"import-contacts", dir / "in.csv", pb});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.err.find("kept as"), std::string::npos) << run.err;
  EXPECT_EQ(ReadText(pb + ".damaged"), damaged);
  EXPECT_EQ(ReadText(pb).size(), 3u * 820u);
}

}  // namespace
}  // namespace evdo
