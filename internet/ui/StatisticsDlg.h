#pragma once
// The statistics page (CStatisticsDlg, template 4027) with its counters
// panel (COutlookStatisticsDlg, "StreamData.dat"), the connection list
// (CNetLog), the monthly list (CMonthLog) and the usage limit settings page
// (CDlgSetupUsageLimit, "UsageLimitData.dat").
#include <QDialog>
#include <QTimer>

#include <string>
#include <vector>

#include "app/MainWindowPages.h"
#include "internet/LogData.h"
#include "internet/TrafficCounters.h"
#include "internet/TrafficSummary.h"
#include "internet/UsageLimit.h"
#include "ui/skin/CBaseDlg.h"
#include "ui/skin/CBasePage.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace evdo {

// The running counters: today, this month, this year and the connected time.
class COutlookStatisticsDlg : public QWidget {
  Q_OBJECT

 public:
  // created: the panel's creation time, whose day the counters belong to.
  COutlookStatisticsDlg(std::string path, const LocalTime& created, QWidget* parent = nullptr);
  ~COutlookStatisticsDlg() override;

  const TrafficCounters& Counters() const { return counters_; }
  // Reads the file again (the connection adds to it) and shows it.
  void LoadCounters();
  bool SaveCounters();
  void ShowCounters();
  // Zeroes the counters after the question answered Yes; now is the reset time.
  void ResetCounters(const LocalTime& now);
  // The reset button: asks first.
  void AskReset();
  QLabel* Field(int row, int column) const { return fields_[row * 2 + column]; }
  QLabel* Updated() const { return updated_; }
  QLabel* TotalTime() const { return totalTime_; }
  QPushButton* ResetButton() const { return reset_; }

 private:
  CounterFile file_;
  LocalTime created_;
  TrafficCounters counters_{};
  QLabel* updated_;
  QLabel* fields_[6];
  QLabel* totalTime_;
  QPushButton* reset_;
};

// The monthly totals, one row per month.
class CMonthLog : public CBaseDlg {
  Q_OBJECT

 public:
  CMonthLog(const CMonthLogData& months, QWidget* parent = nullptr);
  QTreeWidget* List() const { return list_; }
  void Fill();

 private:
  const CMonthLogData& months_;
  QTreeWidget* list_;
};

// The connection log, with its sums, deletion, export and the monthly list.
class CNetLog : public CBaseDlg {
  Q_OBJECT

 public:
  CNetLog(CLogData& log, const CMonthLogData& months, QWidget* parent = nullptr);
  QTreeWidget* List() const { return list_; }
  QLabel* ReceivedSum() const { return receivedSum_; }
  QLabel* SentSum() const { return sentSum_; }
  void Fill();
  // The delete button: message 151 without a selection, else question 121.
  void AskDelete();
  // Deletes the selected rows; returns the message to show (0 when none).
  int DeleteSelected();
  // The selected records, or all when none is selected, written to path;
  // 0 or the writer's message number.
  int ExportTo(const std::string& path) const;
  void AskExport();
  CMonthLog* OpenMonthLog();

 private:
  void Message(int id);

  CLogData& log_;
  const CMonthLogData& months_;
  QTreeWidget* list_;
  QLabel* receivedSum_;
  QLabel* sentSum_;
};

// The traffic chart: received and sent per day for the last 30 days and per
// month for the last 12, painted in the colours of the window's palette.
class CTrafficChart : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kDays = 30;
  static constexpr int kMonths = 12;
  explicit CTrafficChart(QWidget* parent = nullptr);
  // Takes the series from the stores (either may be null) for today.
  void Refresh(const CLogData* log, const CMonthLogData* months, const LocalTime& today);
  const std::vector<TrafficPoint>& Days() const { return days_; }
  const std::vector<TrafficPoint>& Months() const { return months_; }
  QSize sizeHint() const override { return {600, 300}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<TrafficPoint> days_;
  std::vector<TrafficPoint> months_;
};

// The statistics page: the counters panel, the list buttons and the chart.
class CStatisticsDlg : public CBasePage, public StatisticsPageLink {
  Q_OBJECT

 public:
  CStatisticsDlg(CLogData* log, CMonthLogData* months, std::string countersPath = kStreamDataFile,
                 QWidget* parent = nullptr);
  static void Register();

  void InitialiseDisplay() override;
  COutlookStatisticsDlg* Panel() const { return panel_; }
  CTrafficChart* Chart() const { return chart_; }
  // Reads the counters again and redraws the chart.
  void Refresh();
  CNetLog* OpenNetLog();
  CMonthLog* OpenMonthLog();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  CLogData* log_;
  CMonthLogData* months_;
  COutlookStatisticsDlg* panel_;
  CTrafficChart* chart_;
  QTimer refresh_;
};

// The usage limit settings page (template of the settings tab).
class CDlgSetupUsageLimit : public CBasePage {
  Q_OBJECT

 public:
  explicit CDlgSetupUsageLimit(std::string path = kUsageLimitDataFile,
                               std::string countersPath = kStreamDataFile,
                               QWidget* parent = nullptr);
  ~CDlgSetupUsageLimit() override;

  // The page's values (the numbers from their edit texts).
  UsageLimit Values() const;
  bool Save();
  QCheckBox* LimitOn() const { return limitOn_; }
  QCheckBox* Option() const { return option_; }
  QButtonGroup* Type() const { return type_; }
  QLineEdit* DataEdit() const { return data_; }
  QLineEdit* TimeEdit() const { return time_; }
  QLineEdit* LeftEdit() const { return left_; }

 protected:
  void hideEvent(QHideEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void UpdateControls();

  UsageLimitFile file_;
  std::string countersPath_;
  QCheckBox* limitOn_;
  QCheckBox* option_;
  QButtonGroup* type_;
  QLineEdit* data_;
  QLineEdit* time_;
  QLineEdit* left_;
  QLabel* dataLabel_;
  QLabel* timeLabel_;
};

}  // namespace evdo
