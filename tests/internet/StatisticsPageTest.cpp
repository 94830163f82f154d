// The statistics page, its counters panel, the connection and monthly lists
// and the usage limit page, offscreen, on scratch files.
#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include <memory>

#include "internet/ui/StatisticsDlg.h"
#include "tests/support/TempDir.h"

namespace evdo {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "internet-stats-tests";
  static char* argv[] = {name, nullptr};
  static auto* app = new QApplication(argc, argv);
  return *app;
}

LocalTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  LocalTime t;
  t.year = y;
  t.month = mo;
  t.day = d;
  t.hour = h;
  t.minute = mi;
  t.second = s;
  return t;
}

LogRecord Connection(const LocalTime& start, std::int64_t seconds, std::uint32_t received,
                     std::uint32_t sent) {
  LogRecord r;
  r.start = DateTime::FromLocal(start);
  r.duration = seconds;
  r.received = received;
  r.sent = sent;
  return r;
}

class StatisticsPageTest : public ::testing::Test {
 protected:
  void SetUp() override { App(); }
  test::TempDir dir{true};
  CLogData log{dir.File("LogData.dat")};
  CMonthLogData months{dir.File("MonthLogData.dat")};
  std::string counters = dir.File("StreamData.dat");
  std::string limitPath = dir.File("UsageLimitData.dat");
};

TEST_F(StatisticsPageTest, CountersAcrossMidnightResetAndSavedAtExit) {
  // A connection ending after midnight counts for the panel's day; the next
  // day's panel starts the day again but keeps the month.
  TrafficCounters c = FreshCounters(At(2024, 1, 31, 23, 50));
  UpdateCounters(c, 1024, 2048, 20, At(2024, 1, 31, 23, 50));
  ASSERT_TRUE(CounterFile(counters).SaveCounters(c));
  {
    COutlookStatisticsDlg panel(counters, At(2024, 1, 31));
    EXPECT_EQ(panel.Field(0, 0)->text(), "1.0");
    EXPECT_EQ(panel.Field(0, 1)->text(), "2.0");
    EXPECT_EQ(panel.TotalTime()->text(), "0 0:20");
  }
  UpdateCounters(c, 512, 512, 1563, At(2024, 2, 1, 0, 10));  // across the month end
  ASSERT_TRUE(CounterFile(counters).SaveCounters(c));
  {
    COutlookStatisticsDlg panel(counters, At(2024, 2, 1));
    EXPECT_EQ(panel.Field(0, 0)->text(), "0.5");  // today
    EXPECT_EQ(panel.Field(1, 0)->text(), "0.5");  // this month starts again
    EXPECT_EQ(panel.Field(2, 0)->text(), "1.5");  // this year keeps growing
    EXPECT_EQ(panel.TotalTime()->text(), "1 2:23");
    panel.ResetCounters(At(2024, 2, 1, 9));
    EXPECT_EQ(panel.Field(2, 1)->text(), "0.0");
    EXPECT_EQ(panel.TotalTime()->text(), "0 0:0");
  }
  TrafficCounters saved{};
  CounterFile(counters).LoadCounters(saved, At(2000, 1, 1));
  EXPECT_EQ(saved.yearSent, 0);
  EXPECT_EQ(saved.totalMinutes, 0);
  EXPECT_STREQ(saved.dayKey, "2024- 2- 1");

  // What the connection adds while the panel is open survives the panel's
  // save at exit.
  {
    COutlookStatisticsDlg panel(counters, At(2024, 2, 1));
    UpdateCounters(saved, 10, 20, 30, At(2024, 2, 1, 10));
    ASSERT_TRUE(CounterFile(counters).SaveCounters(saved));
  }
  TrafficCounters after{};
  CounterFile(counters).LoadCounters(after, At(2000, 1, 1));
  EXPECT_EQ(after.totalMinutes, 30);
}

TEST_F(StatisticsPageTest, ListsShowConnectionsAcrossTheMonthEnd) {
  ASSERT_TRUE(log.AddConnection(Connection(At(2024, 1, 31, 23, 30), 3600, 2048, 1024), months));
  ASSERT_TRUE(log.AddConnection(Connection(At(2024, 2, 1, 8), 93784, 3u << 20, 1536), months));
  CStatisticsDlg page(&log, &months, counters);
  std::unique_ptr<CNetLog> list(page.OpenNetLog());
  ASSERT_EQ(list->List()->topLevelItemCount(), 2);
  EXPECT_EQ(list->List()->topLevelItem(0)->text(0), "2024-01-31 23:30:00");
  EXPECT_EQ(list->List()->topLevelItem(1)->text(1), "1:02:03:04");
  EXPECT_EQ(list->List()->topLevelItem(1)->text(2), "3072.00");
  EXPECT_EQ(list->ReceivedSum()->text(), "3074.00");
  EXPECT_EQ(list->SentSum()->text(), "2.50");
  std::unique_ptr<CMonthLog> monthly(page.OpenMonthLog());
  ASSERT_EQ(monthly->List()->topLevelItemCount(), 2);  // counted in the month it started
  EXPECT_EQ(monthly->List()->topLevelItem(0)->text(0), "2024-1");
  EXPECT_EQ(monthly->List()->topLevelItem(1)->text(4), "3.00 Mbytes");
  EXPECT_EQ(monthly->List()->topLevelItem(0)->text(4), "3.00 Kbytes");
}

TEST_F(StatisticsPageTest, DeleteSeveralRowsAndExportSelectionOrAll) {
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(log.AddConnection(
        Connection(At(2024, 3, 1 + i, 10), 60 + i, 1000u * (i + 1), 10u * (i + 1)), months));
  CNetLog list(log, months);
  EXPECT_EQ(list.DeleteSelected(), kMsgNoLogSelection);
  EXPECT_EQ(log.Count(), 5);

  list.List()->topLevelItem(1)->setSelected(true);
  list.List()->topLevelItem(3)->setSelected(true);
  const std::string selected = dir.File("selected.csv");
  ASSERT_EQ(list.ExportTo(selected), 0);
  const std::string text = dir.ReadFile("selected.csv");
  EXPECT_NE(text.find("2024-03-02 10:00:00,0:00:01:01,2000,20\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("2024-03-04 10:00:00,0:00:01:03,4000,40\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("2024-03-01"), std::string::npos);

  EXPECT_EQ(list.DeleteSelected(), 0);
  ASSERT_EQ(log.Count(), 3);
  EXPECT_EQ(log.At(1).received, 3000u);
  EXPECT_EQ(list.List()->topLevelItemCount(), 3);
  EXPECT_EQ(list.ReceivedSum()->text(), "8.79");  // (1000 + 3000 + 5000) / 1024
  CLogData reread(dir.File("LogData.dat"));
  reread.Load();
  EXPECT_EQ(reread.Count(), 3);

  // Nothing selected: all records.
  const std::string all = dir.File("all.csv");
  ASSERT_EQ(list.ExportTo(all), 0);
  const std::string allText = dir.ReadFile("all.csv");
  EXPECT_NE(allText.find("2024-03-01"), std::string::npos);
  EXPECT_NE(allText.find("2024-03-05"), std::string::npos);
  EXPECT_EQ(allText.find("2024-03-02"), std::string::npos);
}

TEST_F(StatisticsPageTest, ChartTakesItsSeriesFromTheStores) {
  CStatisticsDlg page(&log, &months, counters);
  CTrafficChart& chart = *page.Chart();
  chart.Refresh(&log, &months, At(2024, 3, 10));
  ASSERT_EQ(chart.Days().size(), 30u);
  ASSERT_EQ(chart.Months().size(), 12u);
  EXPECT_EQ(chart.Months().back().amount.received, 0u);
  ASSERT_TRUE(log.AddConnection(Connection(At(2024, 3, 10, 9), 600, 5u << 20, 1u << 20), months));
  chart.Refresh(&log, &months, At(2024, 3, 10));
  EXPECT_EQ(chart.Days().back().amount.received, 5u << 20);
  EXPECT_EQ(chart.Months().back().amount.sent, 1u << 20);
  // Painted without failing in a window too small for its bars.
  chart.resize(40, 30);
  QImage image(chart.size(), QImage::Format_ARGB32);
  chart.render(&image);
  chart.resize(600, 300);
  QImage big(chart.size(), QImage::Format_ARGB32);
  big.fill(Qt::white);
  chart.render(&big);
  // The received bars (and the legend's swatch) in the palette's colour.
  const QRgb received = chart.palette().color(QPalette::Highlight).rgb();
  int barPixels = 0;
  for (int y = 40; y < big.height(); ++y)
    for (int x = 0; x < big.width(); ++x) barPixels += big.pixel(x, y) == received;
  EXPECT_GT(barPixels, 100);
}

TEST_F(StatisticsPageTest, UsageLimitPageWritesItsValuesWhenItCloses) {
  {
    CDlgSetupUsageLimit page(limitPath, counters);
    EXPECT_FALSE(page.LimitOn()->isChecked());
    EXPECT_EQ(page.DataEdit()->text(), "1000");
    EXPECT_FALSE(page.LeftEdit()->isEnabled());
    page.LimitOn()->setChecked(true);
    page.Type()->button(kLimitByTime)->click();
    page.TimeEdit()->setText("120");
    page.Option()->setChecked(true);
    EXPECT_TRUE(page.LeftEdit()->isEnabled());
    EXPECT_EQ(page.LeftEdit()->text(), "120");
  }
  UsageLimit saved;
  ASSERT_EQ(UsageLimitFile(limitPath).Load(saved, UsageLimit{}).status, LoadStatus::Loaded);
  EXPECT_EQ(saved.limitOn, 1);
  EXPECT_EQ(saved.option, 1);
  EXPECT_EQ(saved.limitType, kLimitByTime);
  EXPECT_EQ(saved.timeLimit, 120);
  EXPECT_EQ(saved.dataLimit, 1000);
  CDlgSetupUsageLimit again(limitPath, counters);
  EXPECT_TRUE(again.LimitOn()->isChecked());
  EXPECT_EQ(again.Type()->checkedId(), kLimitByTime);
  EXPECT_EQ(again.TimeEdit()->text(), "120");
}

}  // namespace
}  // namespace evdo
