#include "sms/MessageList.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>

#include "sms/SmsData.h"
#include "tests/sms/SmsTestSupport.h"

namespace evdo {
namespace {

using test::MakeRecord;
using test::TempDir;

DateTime Day(int day, int hour = 12) { return DateTime::FromLocal(2024, 3, day, hour, 0, 0); }

// A store in a scratch folder with the inbox records given (newest first
// by their times as the store sorts them).
struct Store {
  TempDir dir;
  CSmsData data{dir.File("SmsData.dat")};
  Store() { EXPECT_FALSE(data.LoadOrCreate().Failed()); }
  void Add(int box, const SmsRecord& r) { ASSERT_TRUE(data.AddRecord(box, r, false)); }
  std::string TextAt(int box, const CSmsListOrder& order, int row) const {
    return std::string(data.GetRecord(box, order.IndexAt(row))->Text());
  }
};

SmsNameLookup Names(std::map<std::string, std::string> names) {
  return [names = std::move(names)](std::string_view number) -> std::optional<std::string> {
    auto it = names.find(std::string(number));
    if (it == names.end()) return std::nullopt;
    return it->second;
  };
}

TEST(SmsRowTexts, NameNumberAndContent) {
  SmsRecord r = MakeRecord(RecRead, "13800138000", Day(1), "hello");
  EXPECT_EQ(SmsDisplayName(r, "Unknown", Names({{"13800138000", "Alice"}})), "Alice");
  EXPECT_EQ(SmsDisplayName(r, "Unknown", Names({})), "Unknown");
  EXPECT_EQ(SmsDisplayNumber(r, "Unknown"), "13800138000");
  SmsRecord none = MakeRecord(RecRead, "", Day(1), "x");
  // A record without number is never looked up.
  EXPECT_EQ(SmsDisplayName(none, "Unknown",
                           [](std::string_view) -> std::optional<std::string> { return "Bob"; }),
            "Unknown");
  EXPECT_EQ(SmsDisplayNumber(none, "Unknown"), "Unknown");
  EXPECT_EQ(SmsContentText(r), "hello");
}

TEST(SmsRowTexts, PartLabelOnlyWithValidPartInformation) {
  SmsRecord r = MakeRecord(RecUnread, "1", Day(1), "second part");
  r.partIndex = 2;
  r.partCount = 3;
  EXPECT_EQ(SmsContentText(r), "second part");  // flag bit 1 not set
  r.flags = kSmsFlagPartInfo;
  EXPECT_EQ(SmsContentText(r), "(2/3)second part");
  r.partIndex = 4;  // beyond the count: no label
  EXPECT_EQ(SmsContentText(r), "second part");
  r.partIndex = 0;
  EXPECT_EQ(SmsContentText(r), "second part");
}

TEST(SmsRowTexts, ContentIsCutWithoutSplittingADoubleByteCharacter) {
  test::CodePageScope cp(CodePage::Cp936);
  SmsRecord r = MakeRecord(RecRead, "1", Day(1));
  std::string text = "\xC4\xE3";  // one double-byte character, repeated
  std::string longText;
  while (longText.size() < 1530) longText += text;
  SetFieldText(r.text, longText);
  r.flags = kSmsFlagPartInfo;
  r.partIndex = 1;
  r.partCount = 5;
  std::string content = SmsContentText(r);
  EXPECT_LE(content.size(), kSmsContentMaxBytes);
  EXPECT_EQ(content.substr(0, 5), "(1/5)");
  EXPECT_EQ((content.size() - 5) % 2, 0u);  // whole characters only
}

class SmsOrderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Store order (newest first): c (day 3), b (day 2), a (day 1).
    s.Add(Inbox, MakeRecord(RecRead, "300", Day(1), "apple"));
    s.Add(Inbox, MakeRecord(RecRead, "100", Day(2), "cherry"));
    s.Add(Inbox, MakeRecord(RecRead, "200", Day(3), "banana"));
    order.Rebuild(s.data, Inbox, names);
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (int row = 0; row < order.Rows(); ++row) out.push_back(s.TextAt(Inbox, order, row));
    return out;
  }
  Store s;
  SmsNameLookup names = Names({{"100", "Zoe"}, {"300", "Adam"}});
  CSmsListOrder order;
};

TEST_F(SmsOrderTest, StartsInStoreOrderNewestFirst) {
  EXPECT_EQ(order.State().column, kSmsTimeColumn);
  EXPECT_EQ(order.State().direction, 0);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"banana", "cherry", "apple"}));
  for (int row = 0; row < 3; ++row) EXPECT_EQ(order.IndexAt(row), row);
  EXPECT_EQ(order.IndexAt(3), -1);
  EXPECT_EQ(order.IndexAt(-1), -1);
}

TEST_F(SmsOrderTest, EachColumnSortsAndTheSameHeaderTwiceReverses) {
  struct Case {
    int column;
    std::vector<std::string> ascending;
  };
  const Case cases[] = {
      // Names: 200 has none (sorts as empty), then Adam (300), Zoe (100).
      {kSmsNameColumn, {"banana", "apple", "cherry"}},
      {kSmsNumberColumn, {"cherry", "banana", "apple"}},
      {kSmsTimeColumn, {"apple", "cherry", "banana"}},
      {kSmsContentColumn, {"apple", "banana", "cherry"}},
  };
  for (const Case& c : cases) {
    CSmsListOrder fresh;
    if (c.column == kSmsTimeColumn) {
      // Time is the starting column: the first click flips to oldest first.
      fresh.Rebuild(s.data, Inbox, names);
    }
    fresh.ClickColumn(c.column, s.data, Inbox, names);
    order = fresh;
    EXPECT_EQ(Texts(), c.ascending) << "column " << c.column;
    EXPECT_EQ(order.State().direction, 1);
    order.ClickColumn(c.column, s.data, Inbox, names);
    std::vector<std::string> reversed(c.ascending.rbegin(), c.ascending.rend());
    EXPECT_EQ(Texts(), reversed) << "column " << c.column << " clicked twice";
    EXPECT_EQ(order.State().direction, 0);
  }
}

TEST_F(SmsOrderTest, EqualValuesKeepStoreOrderBothWays) {
  s.Add(Inbox, MakeRecord(RecRead, "200", Day(4), "date"));  // index 0, same number as banana
  order.ClickColumn(kSmsNumberColumn, s.data, Inbox, names);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"cherry", "date", "banana", "apple"}));
  order.ClickColumn(kSmsNumberColumn, s.data, Inbox, names);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"apple", "date", "banana", "cherry"}));
}

TEST_F(SmsOrderTest, RefreshKeepsTheSortOfTheBox) {
  order.ClickColumn(kSmsContentColumn, s.data, Inbox, names);
  s.Add(Inbox, MakeRecord(RecUnread, "400", Day(5), "aardvark"));
  order.Rebuild(s.data, Inbox, names);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"aardvark", "apple", "banana", "cherry"}));
}

TEST_F(SmsOrderTest, DeletingTheLastOfThreeSelectedRowsKeepsTheMapConsistent) {
  order.ClickColumn(kSmsContentColumn, s.data, Inbox, names);  // apple, banana, cherry
  s.Add(Inbox, MakeRecord(RecRead, "500", Day(6), "date"));
  order.Rebuild(s.data, Inbox, names);  // apple, banana, cherry, date
  SmsDeleteResult r = DeleteSmsRows(s.data, Inbox, order, {3});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.deleted, 1);
  EXPECT_EQ(r.selectRow, 2);  // the row before the deleted last one
  EXPECT_EQ(Texts(), (std::vector<std::string>{"apple", "banana", "cherry"}));
  // Every map entry points at its own record after the indexes moved down.
  for (int row = 0; row < order.Rows(); ++row) EXPECT_LT(order.IndexAt(row), s.data.Count(Inbox));
}

TEST_F(SmsOrderTest, DeletingSeveralRowsInSortedOrderLeavesEachRowItsRecord) {
  order.ClickColumn(kSmsContentColumn, s.data, Inbox, names);  // apple(2), banana(0), cherry(1)
  s.Add(Inbox, MakeRecord(RecRead, "500", Day(6), "date"));    // indexes shift: date 0
  s.Add(Inbox, MakeRecord(RecRead, "600", Day(7), "elder"));   // elder 0
  order.Rebuild(s.data, Inbox, names);                         // apple banana cherry date elder
  // The user selected rows 4, 0 and 2 (any order); rows 1 and 3 remain.
  SmsDeleteResult r = DeleteSmsRows(s.data, Inbox, order, {4, 0, 2});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.deleted, 3);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"banana", "date"}));
  EXPECT_EQ(s.data.Count(Inbox), 2);
  EXPECT_EQ(r.selectRow, 1);  // the new last row
}

TEST_F(SmsOrderTest, DeletingTheOnlySelectedMiddleRowSelectsTheSamePosition) {
  SmsDeleteResult r = DeleteSmsRows(s.data, Inbox, order, {1});
  EXPECT_EQ(r.selectRow, 1);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"banana", "apple"}));
  r = DeleteSmsRows(s.data, Inbox, order, {0, 1});
  EXPECT_EQ(r.selectRow, -1);  // empty now
  EXPECT_EQ(order.Rows(), 0);
}

TEST_F(SmsOrderTest, AFailedSaveStopsTheDeletionButTheMapFollowsTheStore) {
  test::SaveWatch watch;
  watch.FailSaves(true);
  SmsDeleteResult r = DeleteSmsRows(s.data, Inbox, order, {0, 1});
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.failed.saved.ok);
  // The first record left memory before its save failed; the second was not touched.
  EXPECT_EQ(s.data.Count(Inbox), 2);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"cherry", "apple"}));
}

TEST_F(SmsOrderTest, RowsOutsideTheListAreIgnored) {
  SmsDeleteResult r = DeleteSmsRows(s.data, Inbox, order, {7, -1});
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.deleted, 0);
  EXPECT_EQ(s.data.Count(Inbox), 3);
}

TEST(SmsExport, AllBoxesInBoxThenStoreOrderWithStatusNames) {
  Store s;
  s.Add(Saved, MakeRecord(StoUnsent, "9", Day(9), "draft"));
  s.Add(Outbox, MakeRecord(StoSent, "7", Day(1), "sent old"));
  s.Add(Outbox, MakeRecord(StoUnsent, "8", Day(2), "failed new"));
  s.Add(Inbox, MakeRecord(RecUnread, "1", Day(5), "in new"));
  SmsRecord odd = MakeRecord(RecRead, "2", Day(4), "in odd");
  odd.status = 9;
  s.Add(Inbox, odd);
  const std::array<std::string, 4> names = {"Unread", "Read", "Unsent", "Sent"};
  auto time = [](const DateTime& t) { return t.Format("%Y-%m-%d"); };
  std::vector<SmsExportLine> lines = SmsExportLines(s.data, AllBoxes, names, time);
  std::vector<SmsExportLine> expected = {{"Unread", "1", "2024-03-05", "in new"},
                                         {"", "2", "2024-03-04", "in odd"},
                                         {"Unsent", "8", "2024-03-02", "failed new"},
                                         {"Sent", "7", "2024-03-01", "sent old"},
                                         {"Unsent", "9", "2024-03-09", "draft"}};
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(SmsExportLines(s.data, Outbox, names, time).size(), 2u);
  s.data.ClearBox(Saved);
  EXPECT_TRUE(SmsExportLines(s.data, Saved, names, time).empty());
}

TEST(SmsReadMoves, PreviousNextFirstLast) {
  struct Case {
    int row, rows;
    SmsReadMove move;
    int expected;
  };
  const Case cases[] = {
      {0, 3, SmsReadMove::Previous, -1}, {1, 3, SmsReadMove::Previous, 0},
      {2, 3, SmsReadMove::Next, -1},     {0, 3, SmsReadMove::Next, 1},
      {2, 3, SmsReadMove::First, 0},     {0, 3, SmsReadMove::First, -1},
      {0, 3, SmsReadMove::Last, 2},      {2, 3, SmsReadMove::Last, -1},
      {0, 0, SmsReadMove::Next, -1},     {5, 3, SmsReadMove::Previous, -1},
      {0, 1, SmsReadMove::Last, -1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SmsReadTarget(c.row, c.rows, c.move), c.expected) << c.row << "/" << c.rows;
}

TEST(SmsNewMark, FirstInboxRecordWithTheNewBit) {
  Store s;
  EXPECT_EQ(FindNewMessage(s.data), -1);
  s.Add(Inbox, MakeRecord(RecRead, "1", Day(1), "old"));
  SmsRecord fresh = MakeRecord(RecUnread, "2", Day(2), "new");
  fresh.flags = kSmsFlagNew;
  s.Add(Inbox, MakeRecord(RecUnread, "3", Day(3), "newest but seen"));
  s.Add(Inbox, fresh);
  EXPECT_EQ(FindNewMessage(s.data), 1);
}

TEST(SmsJson, EscapesQuotesBackslashesControlsAndConvertsChinese) {
  test::CodePageScope cp(CodePage::Cp936);
  Store s;
  SmsRecord r = MakeRecord(RecUnread, "+8613800138000", Day(8, 9),
                           "say \"hi\" \\ back\n\ttab\x01 \xC4\xE3\xBA\xC3");
  r.flags = kSmsFlagPartInfo;
  r.partIndex = 2;
  r.partCount = 3;
  s.Add(Inbox, r);
  s.Add(Inbox, MakeRecord(RecRead, "", Day(1), "no number"));
  const std::string text =
      SmsBoxJson(s.data, Inbox, Names({{"+8613800138000", "\xD5\xC5\xC8\xFD"}}));
  // Raw control characters never reach the output.
  for (char c : text) EXPECT_GE(static_cast<unsigned char>(c), 0x20u);
  EXPECT_NE(text.find(R"(say \"hi\" \\ back\n\ttab\u0001 )"), std::string::npos) << text;
  nlohmann::json list = nlohmann::json::parse(text);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]["box"], "inbox");
  EXPECT_EQ(list[0]["index"], 0);
  EXPECT_EQ(list[0]["status"], "REC UNREAD");
  EXPECT_EQ(list[0]["number"], "+8613800138000");
  EXPECT_EQ(list[0]["name"], "张三");
  EXPECT_EQ(list[0]["text"], "say \"hi\" \\ back\n\ttab\x01 你好");
  EXPECT_EQ(list[0]["part"], 2);
  EXPECT_EQ(list[0]["parts"], 3);
  EXPECT_EQ(list[0]["time"].get<std::string>().substr(0, 19), "2024-03-08T09:00:00");
  EXPECT_TRUE(list[1]["name"].is_null());
  EXPECT_EQ(list[1]["part"], 0);
  EXPECT_EQ(SmsBoxJson(s.data, Outbox, nullptr), "[]");
}

TEST(SmsJson, InvalidTimeIsNullAndBoxNamesRoundTrip) {
  Store s;
  SmsRecord r = MakeRecord(StoUnsent, "1", Day(1), "draft");
  r.time.status = 2;
  s.Add(Saved, r);
  nlohmann::json list = nlohmann::json::parse(SmsBoxJson(s.data, Saved, nullptr));
  EXPECT_TRUE(list[0]["time"].is_null());
  EXPECT_EQ(list[0]["box"], "saved");
  for (int box = 0; box < kSmsBoxCount; ++box) EXPECT_EQ(SmsBoxFromName(SmsBoxName(box)), box);
  EXPECT_EQ(SmsBoxFromName("INBOX"), -1);
  EXPECT_EQ(SmsBoxFromName(""), -1);
}

}  // namespace
}  // namespace evdo
