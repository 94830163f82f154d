#include "internet/ui/InternetDlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>
#include <cstring>

#include "app/CloseTipSettingDlg.h"
#include "app/ModaraApp.h"
#include "app/ModaraDlg.h"
#include "ui/text/QtText.h"
#include "app/SingleInstance.h"
#include "app/StatusIndicators.h"
#include "core/settings/ProfileFile.h"
#include "core/settings/SetupData.h"
#include "device/CommandExchange.h"
#include "internet/ConnProfile.h"
#include "internet/ConnProfileRules.h"
#include "internet/StatisticsHandOff.h"
#include "internet/ui/ProfileDialogs.h"
#include "internet/ui/StatisticsDlg.h"
#include "platform/networkmanager/NetworkManagerBackend.h"
#include "platform/pppd/PppdDialer.h"
#include "ui/LanguageStrings.h"
#include "ui/notify/DesktopNotifier.h"

namespace evdo {
namespace {

constexpr const char* kDefaultDataPort = "/dev/ttyUSB0";
constexpr int kSimReady = 22;
constexpr int kRemoteCheckMs = 100;
static_assert(kLinkIndicatorSendRate == kIndicatorSendRate && kLinkIndicatorReceiveRate == kIndicatorReceiveRate &&
              kLinkIndicatorSentKB == kIndicatorSentKb && kLinkIndicatorReceivedKB == kIndicatorReceivedKb &&
              kLinkIndicatorConnected == kIndicatorConnected);

// The modem's network preference through the command slot; the answer is
// posted to the page.
class ModemPreference final : public PreferenceSender {
public:
  explicit ModemPreference(CCommandExchange* exchange) : exchange_(exchange) {}
  bool Send(int preference, WindowPort& window) override {
    if (exchange_ == nullptr) return false;
    window_ = &window;
    char command[32];
    std::snprintf(command, sizeof command, kPreferenceCommand, preference);
    return exchange_->Send(command, &ModemPreference::Answered, this, false);
  }
  void GiveUp() override {
    if (exchange_ != nullptr) exchange_->GiveUp();
  }

private:
  static void Answered(void* context, const LineCell*, std::uint16_t) {
    auto* self = static_cast<ModemPreference*>(context);
    if (self->window_ != nullptr) self->window_->PostMessage(kMsgPreferenceDone);
  }
  CCommandExchange* exchange_;
  WindowPort* window_ = nullptr;
};

// The services of the page in the running program.
struct PageServices {
  PppdDialer dial;
  NetworkManagerBackend wlan;
  StatisticsHandOff records;
  explicit PageServices(CModaraApp* app)
      : records(app ? app->Log() : nullptr, app ? app->MonthLog() : nullptr) {}
};

std::map<CInternetDlg*, std::unique_ptr<PageServices>>& OwnedServices() {
  static std::map<CInternetDlg*, std::unique_ptr<PageServices>> owned;
  return owned;
}

QString Ansi(const std::string& s) { return FromAnsi(s); }

}  // namespace

void CInternetDlg::Register() {
  MainWindowPages::Register(PageKind::Internet, [](CModaraDlg& main, QString& title) -> CBasePage* {
    CModaraApp* app = CModaraApp::Instance();
    if (app == nullptr || app->Profiles() == nullptr) return nullptr;
    auto services = std::make_unique<PageServices>(app);
    auto* page = new CInternetDlg(&main, *app->Profiles(), services->dial, services->wlan, services->records);
    page->SetTrafficLogs(app->Log(), app->MonthLog());
    page->SetNotifier(app->Notifier());
    OwnedServices()[page] = std::move(services);
    title = Str(kStrInetTabTitle);
    return page;
  });
}

CInternetDlg::CInternetDlg(CModaraDlg* mainWindow, CConnProfile& profiles, DialService& dial, WlanBackend& wlan,
                           ConnectionRecords& records, QWidget* parent)
    : CBasePage(parent),
      main_(mainWindow),
      profiles_(profiles),
      dial_(dial),
      wlan_(wlan),
      records_(records),
      preference_(std::make_unique<ModemPreference>(CModaraApp::Instance() ? &CModaraApp::Instance()->Exchange()
                                                                            : nullptr)),
      logic_(Port(), *this, dial_, *preference_, wlan_, records_),
      settingsFile_(kConnSetDataFile),
      settings_(DefaultConnSetData()) {
  setObjectName("CInternetDlg");
  BuildLayout();
  dataPort_ = ConfiguredDataPort();
  LoadSettings();
  AddDefaultProfileIfEmpty(profiles_, CSetupData::Instance());
  FillProfiles(InitialSelection(profiles_));
  logic_.SetAutoOrder(settings_.autoLink);
  // The adapter once: a wireless LAN already up is this page's connection.
  if (wlan_.IsConnected()) {
    logic_.StartAction(false);
  } else {
    ShowAppearance(Appearance::Idle, -1);
  }
  Port().SetTimer(kTimerPageRefresh, kPageRefreshMs);
  RefreshWlanIndicator();
  remoteCheck_.setInterval(kRemoteCheckMs);
  connect(&remoteCheck_, &QTimer::timeout, this, [this] { CheckRemote(); });
  if (CModaraApp* app = CModaraApp::Instance(); app != nullptr && app->SingleInstance() != nullptr)
    connect(app->SingleInstance(), &CSingleInstance::CommandRequested, this, &CInternetDlg::HandleRemote);
}

CInternetDlg::~CInternetDlg() {
  // A connection never outlives the program: hang up and log it now (the
  // shut-down timer of the main window cannot fire any more).
  if (logic_.Connected() || logic_.Session() != 0) logic_.HangUp();
  if (remote_) remote_->Finish(1);
  // The services go after the page's logic is done with them.
  auto it = OwnedServices().find(this);
  if (it != OwnedServices().end()) {
    std::unique_ptr<PageServices> services = std::move(it->second);
    OwnedServices().erase(it);
    services->wlan.Detach(Port());
  }
}

void CInternetDlg::BuildLayout() {
  auto* layout = new QHBoxLayout(this);

  // The profiles.
  auto* profileBox = new QGroupBox(Str(kStrInetProfile).remove(QChar(':')).remove(QString::fromUtf8("：")), this);
  profileControls_ = profileBox;
  auto* profileLayout = new QVBoxLayout(profileBox);
  profileList_ = new QComboBox(profileBox);
  profileList_->setObjectName("profileList");
  profileLayout->addWidget(profileList_);
  fields_ = new ProfileFieldsWidget(false, profileBox);
  profileLayout->addWidget(fields_);
  auto* profileButtons = new QGridLayout;
  const std::pair<int, StringId> profileCommands[] = {
      {1015, kStrInetNew}, {4056, kStrInetEdit}, {1087, kStrInetDelete}, {1125, kStrInetSave}};
  int column = 0;
  for (auto [id, text] : profileCommands) {
    auto* b = new QPushButton(Str(text), profileBox);
    b->setObjectName(QStringLiteral("cmd%1").arg(id));
    buttons_[id] = b;
    profileButtons->addWidget(b, column / 2, column % 2);
    ++column;
  }
  profileLayout->addLayout(profileButtons);
  profileLayout->addStretch();
  // The two halves keep their widths whichever buttons are shown.
  profileBox->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  layout->addWidget(profileBox, 1);
  connect(buttons_[1015], &QPushButton::clicked, this, &CInternetDlg::NewProfile);
  connect(buttons_[4056], &QPushButton::clicked, this, &CInternetDlg::EditProfiles);
  connect(buttons_[1087], &QPushButton::clicked, this, &CInternetDlg::DeleteProfile);
  connect(buttons_[1125], &QPushButton::clicked, this, &CInternetDlg::SaveProfile);
  connect(profileList_, &QComboBox::currentIndexChanged, this, [this] { ShowSelectedProfile(); });

  // The connection.
  auto* right = new QVBoxLayout;
  right->setSpacing(layout->spacing());
  auto* connectBox = new QGroupBox(Str(kStrInetTabTitle), this);
  auto* grid = new QGridLayout(connectBox);
  const std::tuple<int, StringId, int, int> commands[] = {
      {kCmdConnect3G, kStrInetConnect3G, 0, 0},       {kCmdDisconnect3G, kStrInetDisconnect3G, 0, 0},
      {kCmdConnect1X, kStrInetConnect1X, 0, 1},       {kCmdDisconnect1X, kStrInetDisconnect1X, 0, 1},
      {kCmdConnectWlan, kStrInetConnectWlan, 0, 2},   {kCmdDisconnectWlan, kStrInetDisconnectWlan, 0, 2},
      {kCmdAutoConnect, kStrInetAutoConnect, 1, 0},   {kCmdCancel, kStrInetCancel, 1, 1}};
  for (auto [id, text, row, col] : commands) {
    auto* b = new QPushButton(Str(text), connectBox);
    b->setObjectName(QStringLiteral("cmd%1").arg(id));
    buttons_[id] = b;
    grid->addWidget(b, row, col);
    connect(b, &QPushButton::clicked, this, [this, id = id] { logic_.OnCommand(id); });
  }
  auto* info = new QGridLayout;
  auto label = [&](StringId caption, int row, const char* name) {
    info->addWidget(new QLabel(Str(caption), connectBox), row, 0);
    auto* value = new QLabel(connectBox);
    value->setObjectName(name);
    value->setTextFormat(Qt::PlainText);
    info->addWidget(value, row, 1);
    return value;
  };
  status_ = label(kStrInetStatus, 0, "status");
  duration_ = label(kStrInetDuration, 1, "duration");
  sent_ = label(kStrInetSent, 2, "sent");
  received_ = label(kStrInetReceived, 3, "received");
  rate_ = label(kStrInetRate, 4, "rate");
  wlanState_ = label(kStrInetWlanState, 5, "wlanState");
  speed_ = new QLabel(connectBox);
  speed_->setObjectName("speed");
  activity_ = new QLabel(connectBox);
  activity_->setObjectName("activity");
  info->addWidget(speed_, 4, 2);
  info->addWidget(activity_, 0, 2);
  info->setColumnStretch(1, 1);
  grid->addLayout(info, 2, 0, 1, 3);
  dialNote_ = new QLabel(connectBox);
  dialNote_->setObjectName("dialNote");
  dialNote_->setWordWrap(true);
  dialNote_->setTextFormat(Qt::PlainText);
  grid->addWidget(dialNote_, 3, 0, 1, 3);
  right->addWidget(connectBox);

  auto* settingsBox = new QGroupBox(Str(kStrInetSettings), this);
  auto* settingsLayout = new QGridLayout(settingsBox);
  const std::tuple<int, StringId, void (CInternetDlg::*)()> settings[] = {
      {7056, kStrInetWlanSettings, &CInternetDlg::OpenWlanSettings},
      {7059, kStrInetStartSettings, &CInternetDlg::OpenStartSettings},
      {7060, kStrInetAutoOrder, &CInternetDlg::OpenAutoOrder},
      {7061, kStrInetCloseSettings, &CInternetDlg::OpenCloseSettings}};
  int i = 0;
  for (auto [id, text, slot] : settings) {
    auto* b = new QPushButton(Str(text), settingsBox);
    b->setObjectName(QStringLiteral("cmd%1").arg(id));
    buttons_[id] = b;
    settingsLayout->addWidget(b, i / 2, i % 2);
    connect(b, &QPushButton::clicked, this, slot);
    ++i;
  }
  right->addWidget(settingsBox);

  // The records of finished connections.
  auto* recordsBox = new QGroupBox(Str(kStrInetRecords), this);
  auto* recordsLayout = new QHBoxLayout(recordsBox);
  netLogButton_ = new QPushButton(Str(kStrStatConnectionList), recordsBox);
  netLogButton_->setObjectName("netLog");
  monthLogButton_ = new QPushButton(Str(kStrStatMonthlyList), recordsBox);
  monthLogButton_->setObjectName("monthLog");
  recordsLayout->addWidget(netLogButton_);
  recordsLayout->addWidget(monthLogButton_);
  connect(netLogButton_, &QPushButton::clicked, this, [this] {
    if (CNetLog* w = OpenNetLog()) w->open();
  });
  connect(monthLogButton_, &QPushButton::clicked, this, [this] {
    if (CMonthLog* w = OpenMonthLog()) w->open();
  });
  SetTrafficLogs(nullptr, nullptr);
  right->addWidget(recordsBox);
  right->addStretch();
  auto* rightWidget = new QWidget(this);
  rightWidget->setLayout(right);
  right->setContentsMargins(0, 0, 0, 0);
  rightWidget->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  layout->addWidget(rightWidget, 1);
}

QPushButton* CInternetDlg::Button(int command) const {
  auto it = buttons_.find(command);
  return it == buttons_.end() ? nullptr : it->second;
}

void CInternetDlg::SetTrafficLogs(CLogData* log, CMonthLogData* months) {
  log_ = log;
  months_ = months;
  netLogButton_->setEnabled(log_ != nullptr && months_ != nullptr);
  monthLogButton_->setEnabled(months_ != nullptr);
}

CNetLog* CInternetDlg::OpenNetLog() {
  if (log_ == nullptr || months_ == nullptr) return nullptr;
  auto* window = new CNetLog(*log_, *months_, this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  return window;
}

CMonthLog* CInternetDlg::OpenMonthLog() {
  if (months_ == nullptr) return nullptr;
  auto* window = new CMonthLog(*months_, this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  return window;
}

// ---- profiles

void CInternetDlg::FillProfiles(int select) {
  QSignalBlocker block(profileList_);
  profileList_->clear();
  for (int i = 0; i < profiles_.Count(); ++i) {
    ConnProfileRecord r{};
    profiles_.Get(i, r);
    profileList_->addItem(Ansi(r.name));
  }
  if (select < 0 || select >= profiles_.Count()) select = 0;
  if (profiles_.Count() > 0) profileList_->setCurrentIndex(select);
  ShowSelectedProfile();
}

void CInternetDlg::ShowSelectedProfile() {
  ConnProfileRecord r{};
  const int index = profileList_->currentIndex();
  if (!profiles_.Get(index, r)) {
    fields_->Clear();
    return;
  }
  fields_->Show(FieldsOf(r));
  ChangeResult saved = profiles_.SaveSelection(index);
  if (!saved) dialNote_->setText(QString::fromStdString(saved.Error()));
}

void CInternetDlg::NewProfile() {
  if (int refusal = CheckNewAllowed(profiles_); refusal != kProfileOk) return ShowRefusal(this, refusal);
  CDlgInternetNewConn dialog(profiles_, CSetupData::Instance(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  ChangeResult added = profiles_.Add(RecordFromNewProfile(dialog.Fields()));
  if (!added) ShowMessage(added.Error());
  FillProfiles(profiles_.Count() - 1);
}

void CInternetDlg::EditProfiles() {
  const std::string previous = ToAnsi(profileList_->currentText());
  CDlgInternetSetConn dialog(profiles_, CSetupData::Instance(), profileList_->currentIndex(), this);
  dialog.exec();
  FillProfiles(SelectionAfterEdit(profiles_, previous));
}

void CInternetDlg::DeleteProfile() {
  const int index = profileList_->currentIndex();
  if (index < 0 || index >= profiles_.Count()) return;
  // The profile of the connection that is up stays while it is up.
  if (logic_.Connected() && ToAnsi(profileList_->currentText()) == logic_.EntryName()) return;
  if (QMessageBox::question(this, Str(kStrAppTitle), Str(kMsgDeleteProfileQuestion),
                            QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
    return;
  ChangeResult deleted = profiles_.Delete(index);
  if (!deleted) ShowMessage(deleted.Error());
  FillProfiles(0);
}

void CInternetDlg::SaveProfile() {
  ConnProfileRecord r{};
  const int index = profileList_->currentIndex();
  if (!profiles_.Get(index, r)) return;
  const ProfileFields f = fields_->Fields();
  if (int refusal = CheckPageFields(f); refusal != kProfileOk) return ShowRefusal(this, refusal);
  ApplyPageFields(r, f);
  ChangeResult saved = profiles_.Set(index, r);
  if (!saved) ShowMessage(saved.Error());
}

bool CInternetDlg::SelectedProfile(ConnProfileRecord& profile) {
  return profiles_.Get(profileList_->currentIndex(), profile);
}

void CInternetDlg::CheckEditedFields(const ConnProfileRecord& profile) {
  const ProfileFields page = fields_->Fields();
  const ProfileFields stored = FieldsOf(profile);
  if (page.isDefault == stored.isDefault && page.phoneNumber == stored.phoneNumber &&
      page.userName == stored.userName && page.password == stored.password)
    return;
  if (remote_) {
    fields_->Show(stored);  // no one to ask: the stored profile is dialled
    return;
  }
  auto* box = new QMessageBox(QMessageBox::Question, Str(kStrAppTitle), Str(342), QMessageBox::Yes | QMessageBox::No,
                              this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  connect(box, &QMessageBox::finished, this, [this, stored](int answer) {
    if (answer != QMessageBox::Yes) fields_->Show(stored);
  });
  box->open();
}

// ---- settings of the page

void CInternetDlg::LoadSettings() {
  LoadResult loaded = settingsFile_.Load(settings_, DefaultConnSetData());
  if (!loaded.error.empty()) dialNote_->setText(QString::fromStdString(loaded.error));
}

bool CInternetDlg::SaveSettings() {
  FileResult saved = settingsFile_.Save(settings_);
  if (!saved) ShowMessage(saved.error);
  return saved.ok;
}

void CInternetDlg::OpenStartSettings() {
  LoadSettings();
  CStartSettingDlg dialog(settings_.connectAtStart, this);
  if (dialog.exec() != QDialog::Accepted) return;
  settings_.connectAtStart = dialog.ConnectAtStart();
  SaveSettings();
}

void CInternetDlg::OpenAutoOrder() {
  LoadSettings();
  CAutolinkCol dialog(settings_.autoLink, this);
  if (dialog.exec() != QDialog::Accepted) return;
  dialog.Order(settings_.autoLink);
  logic_.SetAutoOrder(settings_.autoLink);
  SaveSettings();
}

void CInternetDlg::OpenWlanSettings() {
  LoadSettings();
  CWlanSettingDlg dialog(settings_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  dialog.Apply(settings_);
  SaveSettings();
}

void CInternetDlg::OpenCloseSettings() {
  LoadSettings();
  CCloseTipSettingDlg dialog(settings_.closeAction, settings_.rememberClose, this);
  if (dialog.exec() != QDialog::Accepted) return;
  settings_.closeAction = dialog.CloseAction();
  settings_.rememberClose = dialog.Remember();
  SaveSettings();
}

// ---- the main window's requests

bool CInternetDlg::IsConnectionUp() const {
  return logic_.State() == kState3GConnected || logic_.State() == kState1XConnected || logic_.Connected();
}

void CInternetDlg::StartAction() {
  LoadSettings();
  logic_.SetAutoOrder(settings_.autoLink);
  logic_.StartAction(settings_.connectAtStart != 0);
}

void CInternetDlg::ArmShutdownTimer() { Port().SetTimer(kTimerHangUp, kHangUpDelayMs); }

ConnectionFigures CInternetDlg::Figures() const {
  ConnectionFigures f;
  f.state = logic_.State();
  if (logic_.IsConnectionUp()) {
    f.durationMs = logic_.DurationMs();
    f.bytesSent = logic_.BytesSent();
    f.bytesReceived = logic_.BytesReceived();
  }
  return f;
}

void CInternetDlg::ShowOperatorInformation() {
  if (main_ == nullptr) return;
  const std::string name = main_->Status().OperatorText();
  ShowMessage(name.empty() ? LoadString(kStrAppTitle) : name);
}

// ---- messages and timers

void CInternetDlg::OnMessage(MessageId message, WParam wParam, LParam lParam) {
  switch (message) {
    case kMsgProfileControls: {
      const bool on = wParam == kProfileControlsOn;
      profileControls_->setEnabled(on);
      return;
    }
    case kMsgPageImages:
      if (wParam == kImageActivity) {
        static const char* const kActivity[] = {"", "\u25B2\u25BC", "\u25B2", "\u25BC"};
        activity_->setText(QString::fromUtf8(lParam >= 0 && lParam <= 3 ? kActivity[lParam] : ""));
      }
      return;
    default: logic_.OnMessage(message, wParam, lParam);
  }
}

void CInternetDlg::OnTimer(TimerId timerId) {
  if (timerId == kTimerPageRefresh) return RefreshWlanIndicator();
  if (timerId == kTimerConnecting) {
    animation_ = (animation_ + 1) % 8;
    activity_->setText(QString(animation_ / 2 + 1, QChar('.')));
  }
  logic_.OnTimer(timerId);
}

void CInternetDlg::RefreshWlanIndicator() {
  const WlanIndicator state = wlan_.Refresh();
  const WlanSnapshot& s = wlan_.Manager().Latest();
  QString text;
  switch (state) {
    case WlanIndicator::NoService: text = Str(kStrWlanNoService); break;
    case WlanIndicator::NoDevice: text = Str(kStrWlanNoDevice); break;
    case WlanIndicator::Available:
    case WlanIndicator::Connected: {
      char buffer[256];
      std::snprintf(buffer, sizeof buffer, LoadString(kStrInetWlanAvailable).c_str(),
                    s.interfaces.empty() ? "" : s.interfaces[0].name.c_str(), static_cast<int>(s.networks.size()));
      text = FromAnsi(buffer);
      if (state == WlanIndicator::Connected) text += QStringLiteral(" \u2013 ") + Str(kStrIdConnected);
      break;
    }
  }
  wlanState_->setText(text);
  // Where dialling cannot work, the page says why before anyone dials.
  DialRequest probe;
  probe.dataPort = dataPort_;
  const int why = logic_.Connected() ? 0 : dial_.Preflight(probe);
  dialNote_->setText(why == 0 ? QString() : Str(kStrInetDialBlocked) + Str(why));
}

// ---- InternetView

void CInternetDlg::ShowAppearance(Appearance a, int connectedType) {
  const bool idle = a == Appearance::Idle;
  const bool connecting = a == Appearance::Connecting;
  const int connectIds[] = {kCmdConnectWlan, kCmdConnect3G, kCmdConnect1X};
  const int disconnectIds[] = {kCmdDisconnectWlan, kCmdDisconnect3G, kCmdDisconnect1X};
  for (int type = 0; type < 3; ++type) {
    const bool mine = a == Appearance::Connected && type == connectedType;
    buttons_[connectIds[type]]->setVisible(idle || (a == Appearance::Connected && !mine));
    buttons_[disconnectIds[type]]->setVisible(mine);
  }
  buttons_[kCmdAutoConnect]->setVisible(idle);
  buttons_[kCmdCancel]->setVisible(connecting);
  if (!connecting) activity_->clear();
}

void CInternetDlg::SetStatusText(const std::string& text) { status_->setText(Ansi(text)); }

void CInternetDlg::SetStatistics(const std::string& duration, const std::string& sentKB, const std::string& receivedKB,
                                 const std::string& sentBytes, const std::string& receivedBytes) {
  duration_->setText(Ansi(duration));
  sent_->setText(sentKB.empty() ? QString() : Ansi(sentKB) + QStringLiteral("  (") + Ansi(sentBytes) + ")");
  received_->setText(receivedKB.empty() ? QString()
                                        : Ansi(receivedKB) + QStringLiteral("  (") + Ansi(receivedBytes) + ")");
}

void CInternetDlg::SetNominalRate(const std::string& rate) { rate_->setText(Ansi(rate)); }

void CInternetDlg::SetRates(std::uint32_t sendKBps, std::uint32_t receiveKBps) {
  speed_->setText(sendKBps == 0 && receiveKBps == 0
                      ? QString()
                      : QStringLiteral("\u2191%1 \u2193%2 KB/s").arg(double(sendKBps), 0, 'f', 1).arg(double(receiveKBps), 0, 'f', 1));
}

void CInternetDlg::ShowMessage(const std::string& text) {
  if (remote_) {
    remote_->Message(Ansi(text));
    return;
  }
  auto* box = new QMessageBox(QMessageBox::Information, Str(kStrAppTitle), Ansi(text), QMessageBox::Ok, this);
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void CInternetDlg::ShowLimitWarning(int stringId) {
  // Also on the desktop: the dashboard is often hidden in the notification
  // area while the connection runs. A click brings the window forward.
  if (notifier_ != nullptr) {
    QPointer<QWidget> top = window();
    notifier_->Notify({NoticeKind::UsageLimit, Str(kStrLimitNoticeTitle), Str(stringId), [top] {
                         if (!top) return;
                         top->showNormal();
                         top->raise();
                         top->activateWindow();
                       }});
  }
  ShowMessage(LoadString(stringId));
}

void CInternetDlg::PostIndicator(int indicator, std::int64_t value) {
  if (main_ != nullptr) main_->Port().PostMessage(kMsgStatus, static_cast<WParam>(indicator), static_cast<LParam>(value));
}

void CInternetDlg::StateChanged(int state) {
  if (state >= kStateWlanConnecting && state <= kState1XConnecting) remoteSawConnecting_ = true;
}

std::string CInternetDlg::ConfiguredDataPort() {
  ProfileFile ini;
  ProfileFile::Load(kSettingsFile, ini);
  return ini.GetString("Internet", "szDataPort", kDefaultDataPort, 256);
}

std::string CInternetDlg::DataPort() {
  dataPort_ = ConfiguredDataPort();  // read again at each dial
  return dataPort_;
}

int CInternetDlg::SimState() { return main_ != nullptr ? main_->Status().Pin().simState.load() : kSimReady; }

std::string CInternetDlg::Text(int stringId) { return LoadString(stringId); }

// ---- the command line's requests

void CInternetDlg::HandleRemote(const QString& command, RemoteReply* reply) {
  // Only the connection's requests are this page's; others (a number to
  // dial, a message to send) belong to other parts of the dashboard.
  if (reply->Finished() || !(command.startsWith(QLatin1String("connect ")) || command == QLatin1String("disconnect")))
    return;
  if (remote_) {
    reply->Message(QStringLiteral("busy: another request is in progress"));
    reply->Finish(1);
    return;
  }
  remote_ = reply;
  remoteCommand_ = command;
  remoteSawConnecting_ = false;
  remoteTarget_ = -1;
  const QStringList words = command.split(' ', Qt::SkipEmptyParts);
  if (words.value(0) == "disconnect") {
    const int state = logic_.State();
    if (state <= kState1XConnected)
      logic_.Disconnect(state);
    else if (state != kStateIdle)
      logic_.Cancel();
    return FinishRemote(logic_.State() == kStateIdle ? 0 : 1);
  }
  const QString type = words.value(1);
  if (type == "auto") {
    remoteTarget_ = 100;
    logic_.StartAutoConnect();
  } else if (type == "3g" || type == "1x" || type == "wlan") {
    const int t = type == "3g" ? kConnType3G : type == "1x" ? kConnType1X : kConnTypeWlan;
    remoteTarget_ = t;  // the connected state of a type is its number
    logic_.Connect(t);
  } else {
    reply->Message(QStringLiteral("unknown request: ") + command);
    return FinishRemote(2);
  }
  CheckRemote();
  if (remote_) remoteCheck_.start();
}

void CInternetDlg::CheckRemote() {
  if (!remote_) {
    remoteCheck_.stop();
    return;
  }
  const int state = logic_.State();
  if (remoteTarget_ == 100) {
    if (!logic_.AutoActive()) FinishRemote(logic_.IsConnectionUp() ? 0 : 1);
    return;
  }
  if (state == remoteTarget_) return FinishRemote(0);
  if (state == kStateIdle || (state <= kState1XConnected && state != remoteTarget_)) FinishRemote(1);
}

void CInternetDlg::FinishRemote(int code) {
  remoteCheck_.stop();
  if (remote_) remote_->Finish(code);
  remote_ = nullptr;
}

}  // namespace evdo
