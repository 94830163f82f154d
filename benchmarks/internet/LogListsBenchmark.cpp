// Opening the connection list with a full log (1000 connections) and the
// monthly list with ten years (120 months): building the window, its rows
// and sums, and showing it once.
//
//   log-lists-benchmark [RUNS]
#include <QApplication>
#include <QImage>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "internet/ui/StatisticsDlg.h"

namespace evdo {
namespace {

double Millis(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

int Run(int runs) {
  char pattern[] = "/tmp/log-lists-benchmark-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) return 1;
  const std::string dir = pattern;
  CLogData log(dir + "/LogData.dat");
  CMonthLogData months(dir + "/MonthLogData.dat");
  LocalTime t;
  t.year = 2016;
  t.month = 1;
  t.day = 1;
  t.hour = 8;
  // 120 months, then 1000 connections in the last ones.
  for (int m = 0; m < 120; ++m) {
    LogRecord r;
    t.year = 2016 + m / 12;
    t.month = 1 + m % 12;
    r.start = DateTime::FromLocal(t);
    r.duration = 3600;
    r.received = 50u << 20;
    r.sent = 5u << 20;
    months.AddToMonth(r);
  }
  for (int i = 0; i < 1000; ++i) {
    LogRecord r;
    t.year = 2026;
    t.month = 1 + i / 100;
    t.day = 1 + i % 28;
    r.start = DateTime::FromLocal(t);
    r.duration = 600 + i;
    r.received = 1000u * static_cast<unsigned>(i);
    r.sent = 100u * static_cast<unsigned>(i);
    log.AddConnection(r, months);
  }
  double worstLog = 0, worstMonth = 0, sumLog = 0, sumMonth = 0;
  for (int i = 0; i < runs; ++i) {
    auto a = std::chrono::steady_clock::now();
    {
      CNetLog list(log, months);
      list.show();
      QApplication::processEvents();
      auto b = std::chrono::steady_clock::now();
      worstLog = std::max(worstLog, Millis(b - a));
      sumLog += Millis(b - a);
    }
    a = std::chrono::steady_clock::now();
    {
      CMonthLog list(months);
      list.show();
      QApplication::processEvents();
      auto b = std::chrono::steady_clock::now();
      worstMonth = std::max(worstMonth, Millis(b - a));
      sumMonth += Millis(b - a);
    }
  }
  double worstChart = 0, sumChart = 0;
  {
    CTrafficChart chart;
    chart.resize(900, 300);
    QImage image(chart.size(), QImage::Format_ARGB32);
    for (int i = 0; i < runs; ++i) {
      auto a = std::chrono::steady_clock::now();
      chart.Refresh(&log, &months, t);
      chart.render(&image);
      auto b = std::chrono::steady_clock::now();
      worstChart = std::max(worstChart, Millis(b - a));
      sumChart += Millis(b - a);
    }
  }
  std::printf("chart, 30 days and 12 months from %d connections: mean %.2f ms, worst %.2f ms\n",
              log.Count(), sumChart / runs, worstChart);
  std::printf("connection list, %d rows: mean %.2f ms, worst %.2f ms\n", log.Count(), sumLog / runs,
              worstLog);
  std::printf("monthly list, %d rows: mean %.2f ms, worst %.2f ms\n", months.Count(),
              sumMonth / runs, worstMonth);
  std::filesystem::remove_all(dir);
  return 0;
}

}  // namespace
}  // namespace evdo

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  return evdo::Run(runs);
}
