#include "internet/ui/StatisticsDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <set>

#include "app/ModaraApp.h"
#include "ui/text/QtText.h"
#include "app/SetupDlg.h"
#include "internet/LogTexts.h"
#include "phonebook/ExportWriter.h"
#include "ui/LanguageStrings.h"

namespace evdo {
namespace {

constexpr int kCounterRefreshMs = 2000;

LocalTime NowLocal() {
  std::optional<LocalTime> t = DateTime::Now().ToLocal();
  return t ? *t : LocalTime{};
}

QString Ansi(const std::string& s) { return FromAnsi(s); }

QLabel* PlainLabel(const QString& text, QWidget* parent) {
  auto* l = new QLabel(text, parent);
  l->setTextFormat(Qt::PlainText);
  return l;
}

void Inform(QWidget* parent, int id) {
  auto* box = new QMessageBox(QMessageBox::Information, Str(kStrAppTitle), Str(id), QMessageBox::Ok,
                              parent);
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

// A Yes/No question that does not block; yes runs on Yes.
template <typename F>
void Ask(QWidget* parent, const QString& text, F yes) {
  auto* box = new QMessageBox(QMessageBox::Question, Str(kStrAppTitle), text,
                              QMessageBox::Yes | QMessageBox::No, parent);
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(box, &QMessageBox::finished, parent, [box, yes](int) {
    if (box->result() == QMessageBox::Yes) yes();
  });
  box->open();
}

QTreeWidget* MakeList(QWidget* parent, const QStringList& headers) {
  auto* list = new QTreeWidget(parent);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setHeaderLabels(headers);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  // Widths from the first rows rather than from every row: a full log has
  // a thousand of them.
  list->header()->setResizeContentsPrecision(32);
  return list;
}

}  // namespace

// ---------------------------------------------------------------------------

COutlookStatisticsDlg::COutlookStatisticsDlg(std::string path, const LocalTime& created,
                                             QWidget* parent)
    : QWidget(parent), file_(std::move(path)), created_(created) {
  setObjectName("COutlookStatisticsDlg");
  auto* grid = new QGridLayout(this);
  grid->addWidget(PlainLabel(Str(kStrStatUpdated), this), 0, 0);
  updated_ = PlainLabel(QString(), this);
  grid->addWidget(updated_, 0, 1, 1, 2);
  grid->addWidget(PlainLabel(Str(kStrStatSentMB), this), 1, 1, Qt::AlignRight);
  grid->addWidget(PlainLabel(Str(kStrStatReceivedMB), this), 1, 2, Qt::AlignRight);
  const StringId rows[3] = {kStrStatToday, kStrStatMonth, kStrStatYear};
  for (int r = 0; r < 3; ++r) {
    grid->addWidget(PlainLabel(Str(rows[r]), this), r + 2, 0);
    for (int c = 0; c < 2; ++c) {
      fields_[r * 2 + c] = PlainLabel(QString(), this);
      fields_[r * 2 + c]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      grid->addWidget(fields_[r * 2 + c], r + 2, c + 1);
    }
  }
  grid->addWidget(PlainLabel(Str(kStrStatTotalTime), this), 5, 0);
  totalTime_ = PlainLabel(QString(), this);
  totalTime_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  grid->addWidget(totalTime_, 5, 1, 1, 2);
  reset_ = new QPushButton(Str(kStrStatReset), this);
  grid->addWidget(reset_, 6, 2, Qt::AlignRight);
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(2, 1);
  connect(reset_, &QPushButton::clicked, this, &COutlookStatisticsDlg::AskReset);
  LoadCounters();
}

COutlookStatisticsDlg::~COutlookStatisticsDlg() {
  // The connection may have added to the file since the last refresh.
  LoadCounters();
  SaveCounters();
}

void COutlookStatisticsDlg::LoadCounters() {
  file_.LoadCounters(counters_, created_);
  ShowCounters();
}

bool COutlookStatisticsDlg::SaveCounters() {
  return static_cast<bool>(file_.SaveCounters(counters_));
}

void COutlookStatisticsDlg::ShowCounters() {
  const CounterTexts t = evdo::ShowCounters(counters_);
  updated_->setText(Ansi(t.updated));
  const std::string* values[6] = {&t.daySent,       &t.dayReceived, &t.monthSent,
                                  &t.monthReceived, &t.yearSent,    &t.yearReceived};
  for (int i = 0; i < 6; ++i) fields_[i]->setText(Ansi(*values[i]));
  totalTime_->setText(Ansi(t.totalTime));
}

void COutlookStatisticsDlg::ResetCounters(const LocalTime& now) {
  evdo::ResetCounters(counters_, now);
  // Saved at once: the connection reads the file before it adds to it.
  SaveCounters();
  ShowCounters();
}

void COutlookStatisticsDlg::AskReset() {
  Ask(this, FromAnsi(kResetCountersQuestion), [this] { ResetCounters(NowLocal()); });
}

// ---------------------------------------------------------------------------

CMonthLog::CMonthLog(const CMonthLogData& months, QWidget* parent)
    : CBaseDlg(parent), months_(months) {
  setObjectName("CMonthLog");
  setWindowTitle(Str(kStrMonthLogTitle));
  auto* layout = new QVBoxLayout(this);
  list_ = MakeList(this, {Str(kStrMonthColMonth), Str(kStrMonthColReceived), Str(kStrMonthColSent),
                          Str(kStrLogColDuration), Str(kStrMonthColTotal)});
  layout->addWidget(list_);
  auto* close = new QPushButton(Str(kStrLogClose), this);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(close);
  layout->addLayout(row);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  resize(560, 360);
  Fill();
}

void CMonthLog::Fill() {
  list_->clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(months_.Count());
  for (int i = 0; i < months_.Count(); ++i) {
    const MonthRowTexts t = MonthRowTextsOf(months_.At(i));
    auto* item = new QTreeWidgetItem(QStringList{Ansi(t.month), Ansi(t.received), Ansi(t.sent),
                                                 Ansi(t.duration), Ansi(t.total)});
    for (int c = 1; c < 5; ++c) item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    items.append(item);
  }
  list_->addTopLevelItems(items);
  for (int c = 0; c < list_->columnCount(); ++c) list_->resizeColumnToContents(c);
}

// ---------------------------------------------------------------------------

CNetLog::CNetLog(CLogData& log, const CMonthLogData& months, QWidget* parent)
    : CBaseDlg(parent), log_(log), months_(months) {
  setObjectName("CNetLog");
  setWindowTitle(Str(kStrNetLogTitle));
  auto* layout = new QVBoxLayout(this);
  list_ = MakeList(this, {Str(kStrLogColStart), Str(kStrLogColDuration), Str(kStrLogColReceivedKB),
                          Str(kStrLogColSentKB)});
  layout->addWidget(list_);
  auto* sums = new QGridLayout;
  sums->addWidget(PlainLabel(Str(kStrLogSumReceived), this), 0, 0);
  receivedSum_ = PlainLabel(QString(), this);
  sums->addWidget(receivedSum_, 0, 1);
  sums->addWidget(PlainLabel(Str(kStrLogSumSent), this), 0, 2);
  sentSum_ = PlainLabel(QString(), this);
  sums->addWidget(sentSum_, 0, 3);
  sums->setColumnStretch(4, 1);
  layout->addLayout(sums);
  auto* row = new QHBoxLayout;
  auto* del = new QPushButton(Str(kStrLogDelete), this);
  auto* exp = new QPushButton(Str(kStrLogExport), this);
  auto* monthly = new QPushButton(Str(kStrStatMonthlyList), this);
  monthly->setObjectName("monthLog");
  auto* close = new QPushButton(Str(kStrLogClose), this);
  row->addWidget(del);
  row->addWidget(exp);
  row->addWidget(monthly);
  row->addStretch();
  row->addWidget(close);
  layout->addLayout(row);
  connect(del, &QPushButton::clicked, this, &CNetLog::AskDelete);
  connect(exp, &QPushButton::clicked, this, &CNetLog::AskExport);
  connect(monthly, &QPushButton::clicked, this, [this] { OpenMonthLog()->open(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  resize(620, 420);
  Fill();
}

void CNetLog::Fill() {
  list_->clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(log_.Count());
  for (int i = 0; i < log_.Count(); ++i) {
    const LogRowTexts t = LogRowTextsOf(log_.At(i));
    auto* item = new QTreeWidgetItem(
        QStringList{Ansi(t.start), Ansi(t.duration), Ansi(t.received), Ansi(t.sent)});
    for (int c = 1; c < 4; ++c) item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    items.append(item);
  }
  list_->addTopLevelItems(items);
  for (int c = 0; c < list_->columnCount(); ++c) list_->resizeColumnToContents(c);
  const LogTotalTexts sums = LogTotalTextsOf(log_);
  receivedSum_->setText(Ansi(sums.received));
  sentSum_->setText(Ansi(sums.sent));
}

void CNetLog::Message(int id) { Inform(this, id); }

void CNetLog::AskDelete() {
  if (list_->selectedItems().isEmpty()) {
    Message(kMsgNoLogSelection);
    return;
  }
  Ask(this, Str(kStrConfirmDelete), [this] {
    if (int message = DeleteSelected(); message != 0) Message(message);
  });
}

int CNetLog::DeleteSelected() {
  std::set<int> rows;
  for (QTreeWidgetItem* item : list_->selectedItems())
    rows.insert(list_->indexOfTopLevelItem(item));
  std::vector<DateTime> starts;
  for (int row : rows)
    if (row >= 0 && row < log_.Count()) starts.push_back(log_.At(row).start);
  if (starts.empty()) return kMsgNoLogSelection;
  const LogDeleteResult result = DeleteConnections(log_, starts);
  Fill();
  return result.message;
}

int CNetLog::ExportTo(const std::string& path) const {
  CExportWriter writer(ExportKind::Logs, ExportFormat::Csv, LoadString(kLogsHeaderString));
  std::set<int> rows;
  for (QTreeWidgetItem* item : list_->selectedItems())
    rows.insert(list_->indexOfTopLevelItem(item));
  if (rows.empty())
    for (int i = 0; i < log_.Count(); ++i) rows.insert(i);
  for (int row : rows) {
    if (row < 0 || row >= log_.Count()) continue;
    for (const std::string& field : LogExportFields(log_.At(row))) writer.AddField(field);
    writer.EndRecord();
  }
  return writer.SaveText(path);
}

void CNetLog::AskExport() {
  const QString path = QFileDialog::getSaveFileName(this, Str(kOtherExportTitleString), QString(),
                                                    Str(kOtherFilterString));
  if (path.isEmpty()) return;
  const std::string file = CExportWriter::WithExtension(path.toLocal8Bit().toStdString(),
                                                        LoadString(kCsvExtensionString));
  if (int message = ExportTo(file); message != 0) Message(message);
}

CMonthLog* CNetLog::OpenMonthLog() {
  auto* window = new CMonthLog(months_, this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  return window;
}

// ---------------------------------------------------------------------------

CTrafficChart::CTrafficChart(QWidget* parent) : QWidget(parent) {
  setObjectName("CTrafficChart");
  setMinimumHeight(220);
}

void CTrafficChart::Refresh(const CLogData* log, const CMonthLogData* months,
                            const LocalTime& today) {
  if (log != nullptr) days_ = DailyTraffic(*log, today, kDays);
  if (months != nullptr) months_ = MonthlyTraffic(*months, today, kMonths);
  update();
}

namespace {

// The sent bars: the received bars' colour, lighter on a dark window and
// darker on a light one, so both stand out in either skin.
QColor SentColour(const QPalette& pal) {
  const QColor received = pal.color(QPalette::Highlight);
  return pal.color(QPalette::Window).lightness() < 128 ? received.lighter(170)
                                                       : received.darker(170);
}

// One bar chart of received and sent bars in area; every labelEvery-th
// label under its bar.
void PaintBars(QPainter& p, const QRect& area, const QString& title,
               const std::vector<TrafficPoint>& points, int labelEvery, const QPalette& pal) {
  const QFontMetrics fm(p.font());
  p.setPen(pal.color(QPalette::WindowText));
  p.drawText(area.left(), area.top() + fm.ascent(), title);
  double maxMB = 0;
  for (const TrafficPoint& pt : points)
    maxMB = std::max({maxMB, pt.amount.received / 1048576.0, pt.amount.sent / 1048576.0});
  const QString top = QString::number(maxMB, 'f', 1);
  const int axisWidth = fm.horizontalAdvance(top) + 6;
  const QRect plot(area.left() + axisWidth, area.top() + fm.height() + 4, area.width() - axisWidth,
                   area.height() - 2 * fm.height() - 8);
  if (plot.width() <= 0 || plot.height() <= 0 || points.empty()) return;
  p.drawText(area.left(), plot.top() + fm.ascent(), top);
  p.drawText(area.left(), plot.bottom(), QStringLiteral("0"));
  p.setPen(pal.color(QPalette::Mid));
  p.drawLine(plot.bottomLeft(), plot.bottomRight());
  const double slot = static_cast<double>(plot.width()) / static_cast<double>(points.size());
  const QColor received = pal.color(QPalette::Highlight);
  const QColor sent = SentColour(pal);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double x = plot.left() + slot * static_cast<double>(i);
    const double barWidth = std::max(1.0, slot * 0.4);
    const auto height = [&](std::uint64_t bytes) {
      return maxMB <= 0 ? 0.0 : (bytes / 1048576.0) / maxMB * plot.height();
    };
    const double hr = height(points[i].amount.received);
    const double hs = height(points[i].amount.sent);
    p.fillRect(QRectF(x + slot * 0.1, plot.bottom() - hr, barWidth, hr), received);
    p.fillRect(QRectF(x + slot * 0.1 + barWidth, plot.bottom() - hs, barWidth, hs), sent);
    if (i % static_cast<std::size_t>(labelEvery) == 0) {
      p.setPen(pal.color(QPalette::WindowText));
      const QString label = QString::fromStdString(points[i].label).mid(5);  // "MM-DD" or "MM"
      p.drawText(QPointF(x, area.bottom() - 2), label);
    }
  }
}

}  // namespace

void CTrafficChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  const QRect all = rect().adjusted(4, 4, -4, -4);
  const int legendHeight = QFontMetrics(p.font()).height() + 4;
  // The legend: received and sent.
  const QColor received = pal.color(QPalette::Highlight);
  const QColor sent = SentColour(pal);
  const QFontMetrics fm(p.font());
  int x = all.left();
  for (const auto& [colour, id] :
       {std::pair{received, kStrMonthColReceived}, std::pair{sent, kStrMonthColSent}}) {
    p.fillRect(QRect(x, all.top() + 2, 12, fm.ascent() - 2), colour);
    x += 16;
    p.setPen(pal.color(QPalette::WindowText));
    const QString text = Str(id);
    p.drawText(x, all.top() + fm.ascent(), text);
    x += fm.horizontalAdvance(text) + 16;
  }
  const QRect charts = all.adjusted(0, legendHeight, 0, 0);
  const int half = charts.width() / 2;
  PaintBars(p, QRect(charts.left(), charts.top(), half - 8, charts.height()), Str(kStrChartDays),
            days_, 7, pal);
  PaintBars(p, QRect(charts.left() + half + 8, charts.top(), half - 8, charts.height()),
            Str(kStrChartMonths), months_, 2, pal);
}

// ---------------------------------------------------------------------------

CStatisticsDlg::CStatisticsDlg(CLogData* log, CMonthLogData* months, std::string countersPath,
                               QWidget* parent)
    : CBasePage(parent), log_(log), months_(months) {
  setObjectName("CStatisticsDlg");
  auto* layout = new QVBoxLayout(this);
  auto* group = new QGroupBox(Str(kStrStatTabTitle), this);
  auto* inner = new QVBoxLayout(group);
  panel_ = new COutlookStatisticsDlg(std::move(countersPath), NowLocal(), group);
  inner->addWidget(panel_);
  layout->addWidget(group);
  auto* row = new QHBoxLayout;
  auto* netLog = new QPushButton(Str(kStrStatConnectionList), this);
  auto* monthLog = new QPushButton(Str(kStrStatMonthlyList), this);
  netLog->setObjectName("netLog");
  monthLog->setObjectName("monthLog");
  netLog->setEnabled(log_ != nullptr && months_ != nullptr);
  monthLog->setEnabled(months_ != nullptr);
  row->addWidget(netLog);
  row->addWidget(monthLog);
  row->addStretch();
  layout->addLayout(row);
  chart_ = new CTrafficChart(this);
  layout->addWidget(chart_, 1);
  connect(netLog, &QPushButton::clicked, this, [this] {
    if (CNetLog* w = OpenNetLog()) w->open();
  });
  connect(monthLog, &QPushButton::clicked, this, [this] {
    if (CMonthLog* w = OpenMonthLog()) w->open();
  });
  refresh_.setInterval(kCounterRefreshMs);
  connect(&refresh_, &QTimer::timeout, this, [this] {
    if (isVisible()) Refresh();
  });
  refresh_.start();
  chart_->Refresh(log_, months_, NowLocal());
}

void CStatisticsDlg::Refresh() {
  panel_->LoadCounters();
  chart_->Refresh(log_, months_, NowLocal());
}

void CStatisticsDlg::Register() {
  MainWindowPages::Register(PageKind::Statistics, [](CModaraDlg&, QString& title) -> CBasePage* {
    CModaraApp* app = CModaraApp::Instance();
    title = Str(kStrStatTabTitle);
    return new CStatisticsDlg(app ? app->Log() : nullptr, app ? app->MonthLog() : nullptr);
  });
  SetupPages::Register(SetupPageKind::UsageLimit, [](CModaraDlg&, QWidget* parent) {
    return new CDlgSetupUsageLimit(kUsageLimitDataFile, kStreamDataFile, parent);
  });
}

void CStatisticsDlg::InitialiseDisplay() { Refresh(); }

void CStatisticsDlg::showEvent(QShowEvent* event) {
  Refresh();
  CBasePage::showEvent(event);
}

CNetLog* CStatisticsDlg::OpenNetLog() {
  if (log_ == nullptr || months_ == nullptr) return nullptr;
  auto* window = new CNetLog(*log_, *months_, this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  return window;
}

CMonthLog* CStatisticsDlg::OpenMonthLog() {
  if (months_ == nullptr) return nullptr;
  auto* window = new CMonthLog(*months_, this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  return window;
}

// ---------------------------------------------------------------------------

CDlgSetupUsageLimit::CDlgSetupUsageLimit(std::string path, std::string countersPath,
                                         QWidget* parent)
    : CBasePage(parent), file_(std::move(path)), countersPath_(std::move(countersPath)) {
  setObjectName("CDlgSetupUsageLimit");
  UsageLimit values;
  file_.Load(values, UsageLimit{});
  auto* layout = new QGridLayout(this);
  limitOn_ = new QCheckBox(Str(kStrLimitWatch), this);
  layout->addWidget(limitOn_, 0, 0, 1, 3);
  type_ = new QButtonGroup(this);
  auto* byData = new QRadioButton(Str(kStrLimitByData), this);
  auto* byTime = new QRadioButton(Str(kStrLimitByTime), this);
  type_->addButton(byData, kLimitByData);
  type_->addButton(byTime, kLimitByTime);
  layout->addWidget(byData, 1, 0, 1, 3);
  layout->addWidget(byTime, 2, 0, 1, 3);
  dataLabel_ = PlainLabel(Str(kStrLimitDataLabel), this);
  data_ = new QLineEdit(this);
  data_->setValidator(new QIntValidator(0, INT32_MAX, data_));
  layout->addWidget(dataLabel_, 3, 0);
  layout->addWidget(data_, 3, 1);
  timeLabel_ = PlainLabel(Str(kStrLimitTimeLabel), this);
  time_ = new QLineEdit(this);
  time_->setValidator(new QIntValidator(0, INT32_MAX, time_));
  layout->addWidget(timeLabel_, 4, 0);
  layout->addWidget(time_, 4, 1);
  option_ = new QCheckBox(Str(kStrLimitShowLeft), this);
  layout->addWidget(option_, 5, 0, 1, 3);
  layout->addWidget(PlainLabel(Str(kStrLimitLeft), this), 6, 0);
  left_ = new QLineEdit(this);
  left_->setReadOnly(true);
  layout->addWidget(left_, 6, 1);
  layout->setColumnStretch(2, 1);
  layout->setRowStretch(7, 1);

  limitOn_->setChecked(values.limitOn == 1);
  option_->setChecked(values.option != 0);
  (values.limitType == kLimitByTime ? byTime : byData)->setChecked(true);
  data_->setText(QString::number(values.dataLimit));
  time_->setText(QString::number(values.timeLimit));
  connect(type_, &QButtonGroup::idClicked, this, [this] { UpdateControls(); });
  connect(option_, &QCheckBox::toggled, this, [this] { UpdateControls(); });
  connect(limitOn_, &QCheckBox::toggled, this, [this] { UpdateControls(); });
  UpdateControls();
}

CDlgSetupUsageLimit::~CDlgSetupUsageLimit() { Save(); }

UsageLimit CDlgSetupUsageLimit::Values() const {
  UsageLimit v;
  v.limitOn = limitOn_->isChecked() ? 1 : 0;
  v.option = option_->isChecked() ? 1 : 0;
  v.limitType = type_->checkedId() == kLimitByTime ? kLimitByTime : kLimitByData;
  bool ok = false;
  const int data = data_->text().toInt(&ok, 10);
  v.dataLimit = ok ? data : 0;
  const int time = time_->text().toInt(&ok, 10);
  v.timeLimit = ok ? time : 0;
  return v;
}

bool CDlgSetupUsageLimit::Save() { return static_cast<bool>(file_.Save(Values())); }

void CDlgSetupUsageLimit::UpdateControls() {
  const bool byTime = type_->checkedId() == kLimitByTime;
  dataLabel_->setVisible(!byTime);
  data_->setVisible(!byTime);
  timeLabel_->setVisible(byTime);
  time_->setVisible(byTime);
  left_->setEnabled(option_->isChecked());
  if (option_->isChecked()) {
    TrafficCounters counters{};
    CounterFile(countersPath_).LoadCounters(counters, NowLocal());
    left_->setText(QString::number(LimitLeft(Values(), counters)));
  } else {
    left_->clear();
  }
}

void CDlgSetupUsageLimit::showEvent(QShowEvent* event) {
  UpdateControls();
  CBasePage::showEvent(event);
}

// Also when the user leaves the page: a connection that is up uses the new
// values at its next tick.
void CDlgSetupUsageLimit::hideEvent(QHideEvent* event) {
  Save();
  CBasePage::hideEvent(event);
}

}  // namespace evdo
