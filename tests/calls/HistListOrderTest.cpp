#include "calls/HistListOrder.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/calls/DataFileTesting.h"

namespace evdo {
namespace {

using namespace evdo::test;

HistRecord Call(const std::string& number, double day, std::int64_t duration) {
  HistRecord r{};
  r.SetNumber(number);
  r.SetStart(DateTime(day, DateTime::Valid));
  r.duration = duration;
  return r;
}

class HistListOrderTest : public ::testing::Test {
protected:
  void SetUp() override {
    h.Load();
    // Store order (newest first): C(45003) B(45002) A(45001) D(45000).
    h.Add(kDialledCalls, Call("300", 45000, 30));  // D
    h.Add(kDialledCalls, Call("100", 45001, 20));  // A
    h.Add(kDialledCalls, Call("200", 45002, 20));  // B
    h.Add(kDialledCalls, Call("050", 45003, 10));  // C
    order.Rebuild(h, kDialledCalls, names);
  }
  std::vector<std::string> Numbers() const {
    std::vector<std::string> out;
    for (int r = 0; r < order.Rows(); ++r) {
      HistRecord rec;
      h.Get(kDialledCalls, order.SlotAt(r), rec);
      out.push_back(std::string(rec.Number()));
    }
    return out;
  }
  using V = std::vector<std::string>;

  TempDir dir;
  CHistData h{dir.File("HistData.dat")};
  CHistListOrder order;
  std::map<std::string, std::string> contacts{{"100", "Zhang"}, {"300", "Li"}};
  std::function<std::string(const HistRecord&)> names = [this](const HistRecord& r) {
    return HistDisplayName(r, "Unknown", [this](std::string_view n) -> std::optional<std::string> {
      auto it = contacts.find(std::string(n));
      if (it == contacts.end()) return std::nullopt;
      return it->second;
    });
  };
};

TEST_F(HistListOrderTest, DefaultIsTheStoreOrderNewestFirst) {
  EXPECT_EQ(order.State().column, kHistStartColumn);
  EXPECT_FALSE(order.State().ascending);
  EXPECT_EQ(Numbers(), (V{"050", "200", "100", "300"}));
}

TEST_F(HistListOrderTest, ClickingTheSortedColumnReversesAndFlips) {
  order.ClickColumn(kHistStartColumn, h, kDialledCalls, names);
  EXPECT_TRUE(order.State().ascending);
  EXPECT_EQ(Numbers(), (V{"300", "100", "200", "050"}));
  order.ClickColumn(kHistStartColumn, h, kDialledCalls, names);
  EXPECT_FALSE(order.State().ascending);
  EXPECT_EQ(Numbers(), (V{"050", "200", "100", "300"}));
}

TEST_F(HistListOrderTest, AnotherColumnSortsAscendingAndKeepsEqualRowsInOrder) {
  struct Case {
    int column;
    V expected;
  };
  const Case cases[] = {
      {kHistNumberColumn, {"050", "100", "200", "300"}},
      {kHistDurationColumn, {"050", "200", "100", "300"}},  // 20 and 20 keep store order
      {kHistRepeatColumn, {"050", "200", "100", "300"}},    // all 1
      // Names shown: "050", "200", "Zhang", "Li".
      {kHistNameColumn, {"050", "200", "300", "100"}},
  };
  for (const Case& c : cases) {
    order.Reset();
    order.Rebuild(h, kDialledCalls, names);
    order.ClickColumn(c.column, h, kDialledCalls, names);
    EXPECT_EQ(order.State().column, c.column);
    EXPECT_TRUE(order.State().ascending);
    EXPECT_EQ(Numbers(), c.expected) << "column " << c.column;
  }
}

TEST_F(HistListOrderTest, RebuildAfterAChangeKeepsTheSortState) {
  order.ClickColumn(kHistNumberColumn, h, kDialledCalls, names);
  order.ClickColumn(kHistNumberColumn, h, kDialledCalls, names);  // descending
  h.Add(kDialledCalls, Call("250", 44000, 5));
  order.Rebuild(h, kDialledCalls, names);
  EXPECT_EQ(Numbers(), (V{"300", "250", "200", "100", "050"}));
}

TEST_F(HistListOrderTest, DeletingRowsClosesTheMapAndSelectsTheFollowingRow) {
  order.ClickColumn(kHistNumberColumn, h, kDialledCalls, names);  // 050 100 200 300
  HistDeleteResult r = DeleteHistRows(h, kDialledCalls, order, {2, 0});
  ASSERT_TRUE(r.saved);
  EXPECT_EQ(Numbers(), (V{"100", "300"}));
  EXPECT_EQ(r.selectRow, 1);  // "300" took the place of "200"
  EXPECT_EQ(h.Count(kDialledCalls), 2);

  r = DeleteHistRows(h, kDialledCalls, order, {1});
  EXPECT_EQ(Numbers(), (V{"100"}));
  EXPECT_EQ(r.selectRow, 0);  // the new last row
  r = DeleteHistRows(h, kDialledCalls, order, {0});
  EXPECT_EQ(r.selectRow, -1);
  EXPECT_TRUE(h.IsEmpty(kDialledCalls));
}

TEST_F(HistListOrderTest, RowsOutsideTheMapAreIgnored) {
  HistDeleteResult r = DeleteHistRows(h, kDialledCalls, order, {7, -1});
  EXPECT_TRUE(r.saved);
  EXPECT_EQ(h.Count(kDialledCalls), 4);
  EXPECT_EQ(order.Rows(), 4);
}

TEST(HistDisplayNameTest, UnknownIsNeverLookedUpAndNumbersAreCutTo32Bytes) {
  auto failIfCalled = [](std::string_view) -> std::optional<std::string> {
    ADD_FAILURE() << "looked up";
    return std::nullopt;
  };
  HistRecord r{};
  r.SetNumber("Unknown");
  EXPECT_EQ(HistDisplayName(r, "Unknown", failIfCalled), "Unknown");

  auto none = [](std::string_view) -> std::optional<std::string> { return std::nullopt; };
  r.SetNumber(std::string(40, '5'));
  EXPECT_EQ(HistDisplayName(r, "Unknown", none), std::string(32, '5'));
  auto found = [](std::string_view n) -> std::optional<std::string> { return "Name of " + std::string(n); };
  r.SetNumber("10086");
  EXPECT_EQ(HistDisplayName(r, "Unknown", found), "Name of 10086");
}

}  // namespace
}  // namespace evdo
