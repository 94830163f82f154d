#include "app/ModaraDlg.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdio>

#include "app/AboutDialog.h"
#include "app/HelpDocument.h"
#include "ui/LanguageModuleAbi.h"
#include "calls/ui/CallDlg.h"
#include "app/CloseTipSettingDlg.h"
#include "app/IndicatorPictures.h"
#include "app/IndicatorStrip.h"
#include "app/LanguageDlg.h"
#include "app/MessageService.h"
#include "phonebook/ui/SelContactDlg.h"
#include "sms/ui/SmsDlg.h"
#include "app/ModaraApp.h"
#include "app/PreMsg.h"
#include "app/PrescribedWait.h"
#include "phonebook/ui/PhonebookUi.h"
#include "ui/text/QtText.h"
#include "app/StoreLoadMessage.h"
#include "core/text/CodePage.h"
#include "internet/InternetConnection.h"
#include "sms/SmsData.h"
#include "device/AtDispatcher.h"
#include "device/SerialPort.h"
#include "device/status/NotificationHandlers.h"
#include "platform/logind/SleepMonitor.h"
#include "app/SetupDlg.h"
#include "security/ui/PinDialogs.h"
#include "ui/LanguageStrings.h"
#include "ui/skin/CBasePage.h"
#include "ui/notify/DesktopNotifier.h"

namespace evdo {
namespace {

// Posted by port refusals raised on another thread than the window's.
constexpr MessageId kMsgShowRefusal = WM_USER + 402;
constexpr std::uint32_t kResumeConnectedMs = 600;
// The main window's size when it first opens.
const QSize kDefaultSize(780, 540);

// The hot spot of a cursor file (the first image's), or (0, 0).
QPoint CursorHotSpot(const QByteArray& file) {
  if (file.size() < 14) return {};
  auto u16 = [&](int at) {
    return static_cast<int>(static_cast<unsigned char>(file[at]) |
                            static_cast<unsigned char>(file[at + 1]) << 8);
  };
  if (u16(0) != 0 || u16(2) != 2) return {};  // not a cursor file
  return {u16(10), u16(12)};
}

}  // namespace

void CModaraDlg::DeviceRoute::OnMessage(MessageId m, WParam w, LParam l) {
  commands->OnMessage(m, w, l);
  initializer->OnMessage(m, w, l);
  card->OnMessage(m, w, l);
}

void CModaraDlg::DeviceRoute::OnTimer(TimerId id) {
  commands->OnTimer(id);
  initializer->OnTimer(id);
  card->OnTimer(id);
}

CModaraDlg::CModaraDlg(CModaraApp& app, QWidget* parent)
    : CBaseDlg(parent),
      app_(app),
      deviceWindow_(deviceRoute_),
      statusCommands_(status_, app.Exchange(), app.Dispatcher(), deviceWindow_),
      initializer_(status_, statusCommands_, app.Dispatcher().NotificationGate(), deviceWindow_),
      cardExchange_(app.Exchange(), deviceWindow_),
      card_(status_.Pin(), cardExchange_),
      infoWindow_(infoRoute_),
      info_(app.Exchange(), infoWindow_),
      connSetFile_(kConnSetDataFile) {
  lastIndicator_.fill(-1);
  deviceRoute_.commands = &statusCommands_;
  deviceRoute_.initializer = &initializer_;
  deviceRoute_.card = &cardExchange_;
  infoRoute_.query = &info_;
  setObjectName("CModaraDlg");
  ModifyStyle(0, kStyleMinimizeBox);
  status_.AttachWindow(Port());
  SystemMenu().AddEntry(kSysCommandHelp, Str(kStrMenuHelp));
  SystemMenu().AddEntry(kSysCommandLanguage, Str(kStrMenuLanguage));
  SetUpPortHooks();
  SetUpInitializerHooks();
  app.Dispatcher().SetIncomingCallHook([this] { incomingCall_ = true; });
}

CModaraDlg::~CModaraDlg() {
  if (tray_ != nullptr) tray_->hide();
  // The port's hooks point here; it is closed by now, so nothing calls them.
  if (!app_.Port().IsOpen()) app_.Port().SetHooks({});
}

void CModaraDlg::SetUpPortHooks() {
  SerialPortHooks hooks;
  hooks.showMessage = [this](int id) {
    if (QThread::currentThread() == thread())
      CModaraApp::ShowMessage(id);
    else
      Port().PostMessage(kMsgShowRefusal, static_cast<WParam>(id));
  };
  hooks.isInitialising = [this] { return status_.IsInitialising(); };
  CModaraApp* app = &app_;
  hooks.isStartingUp = [app] { return app->IsStartingUp(); };
  hooks.endProcess = [](int code) { CModaraApp::EndProcess(code); };
  hooks.showExitPicture = [this] { Port().PostMessage(kMsgShowExitPicture); };
  hooks.hideExitPicture = [this] { Port().PostMessage(kMsgHideExitPicture); };
  hooks.quit = PostQuitTo(Port());
  app_.Port().SetHooks(std::move(hooks));
}

void CModaraDlg::SetUpInitializerHooks() {
  DeviceInitHooks hooks;
  hooks.openPicture = [this] { app_.OpenPicture(); };
  hooks.showProgress = [this](std::string_view text) {
    if (PreMsg* picture = app_.Picture()) picture->SetText(FromAnsi(text));
  };
  hooks.closePicture = [this] { app_.ClosePicture(); };
  hooks.restoreMainWindow = [this] { showNormal(); };
  hooks.askQuit = [this](int messageId, std::function<void(bool)> answer) {
    auto* box = new QMessageBox(QMessageBox::Question, FromAnsi(PrefixedTitle(LoadString(kStrAppTitle))),
                                Str(messageId), QMessageBox::Ok | QMessageBox::Cancel, this);
    box->setObjectName(QString("message%1").arg(messageId));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this,
            [answer](int result) { answer(result == QMessageBox::Ok); });
    box->open();
  };
  hooks.quitApplication = [this] {
    if (tray_ != nullptr) tray_->hide();
    CModaraApp::EndProcess(0);
  };
  hooks.failAndExit = [](int messageId) {
    std::fprintf(stderr, "evdo-dashboard: the device initialisation failed: %s\n", qPrintable(Str(messageId)));
    CModaraApp::ShowMessage(messageId);
    CModaraApp::EndProcess(kExitFailure);
  };
  hooks.startPinEntry = [this](std::int16_t simState) { OpenPinEntry(simState, true); };
  hooks.finished = [this] { OnDeviceInitialised(); };
  initializer_.SetHooks(std::move(hooks));
}

void CModaraDlg::OnCreatePages() {
  BuildTabs();
  while (BuildNextPage() != nullptr) {
  }
  FinishPages();
}

void CModaraDlg::BuildPagesAhead() {
  if (initialised_) return;
  BuildTabs();
  CBasePage* page = BuildNextPage();
  if (page == nullptr) {
    // Last, the skin, so that the first show only lays the window out.
    ApplySkin(CSetupData::Instance().Setup_nSkinStyle);
    return;
  }
  // Polished now rather than all at once when the window is first shown.
  page->ensurePolished();
  QTimer::singleShot(0, this, &CModaraDlg::BuildPagesAhead);
}

void CModaraDlg::BuildTabs() {
  if (tabs_ != nullptr) return;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("CTabDialog");
  layout->addWidget(tabs_, 1);

  // The bar under the tabs: pages report to its indicators while they are
  // built.
  auto* bar = new QWidget(this);
  auto* barLayout = new QHBoxLayout(bar);
  barLayout->setContentsMargins(0, 0, 4, 0);
  indicators_ = new CIndicatorStrip(bar);
  barLayout->addWidget(indicators_, 1);
  // The system menu (About, Help, language) also from the window itself, for
  // the standard look whose title bar is the desktop's.
  auto* menuButton = new QToolButton(bar);
  menuButton->setObjectName("systemMenuButton");
  menuButton->setText(QStringLiteral("≡"));
  menuButton->setAutoRaise(true);
  menuButton->setToolTip(Str(kStrTipSystemMenu));
  // Says that the card is locked; a click offers the PIN entry again.
  cardIndicator_ = new QToolButton(tabs_);
  cardIndicator_->setObjectName("cardLock");
  cardIndicator_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  cardIndicator_->setStyleSheet("QToolButton { color: #b00020; font-weight: bold; }");
  cardIndicator_->hide();
  connect(cardIndicator_, &QToolButton::clicked, this, [this] { Port().PostMessage(kMsgLockStateQuery); });
  // In the tab row's free corner, so that the window keeps its size.
  tabs_->setCornerWidget(cardIndicator_, Qt::TopRightCorner);
  cardWatch_ = new QTimer(this);
  cardWatch_->setInterval(500);
  connect(cardWatch_, &QTimer::timeout, this, &CModaraDlg::UpdateCardIndicator);
  connect(menuButton, &QToolButton::clicked, this,
          [this, menuButton] { OpenSystemMenu(menuButton->mapToGlobal(QPoint(0, menuButton->height()))); });
  barLayout->addWidget(menuButton);
  layout->addWidget(bar, 0);
  resize(kDefaultSize);
}

CBasePage* CModaraDlg::BuildNextPage() {
  const CSetupData& setup = CSetupData::Instance();
  while (nextPage_ < std::size(kPageOrder)) {
    const PageSpec& spec = kPageOrder[nextPage_++];
    const PageFactory* factory = MainWindowPages::Factory(spec.kind);
    if (factory == nullptr || !MainWindowPages::IsCreated(spec, setup)) continue;
    QString title;
    CBasePage* page = (*factory)(*this, title);
    if (page == nullptr) continue;
    page->setObjectName(spec.className);
    tabs_->addTab(page, title);
    pages_[spec.kind] = page;
    return page;
  }
  return nullptr;
}

void CModaraDlg::FinishPages() {
  // The call page is asked before another page is shown; it may refuse.
  shownPage_ = tabs_->currentWidget();
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int) {
    if (switchingBack_) return;
    auto* calls = dynamic_cast<CCallDlg*>(Page(PageKind::Calls));
    if (calls != nullptr && shownPage_ == calls && tabs_->currentWidget() != calls && !calls->AskLeave()) {
      switchingBack_ = true;
      tabs_->setCurrentWidget(calls);
      switchingBack_ = false;
      return;
    }
    shownPage_ = tabs_->currentWidget();
  });
}

CBasePage* CModaraDlg::Page(PageKind kind) const {
  auto it = pages_.find(kind);
  return it == pages_.end() ? nullptr : it->second.data();
}

InternetPageLink* CModaraDlg::InternetPage() const {
  return dynamic_cast<InternetPageLink*>(Page(PageKind::Internet));
}

bool CModaraDlg::SendToPage(PageKind kind, MessageId message, WParam wParam, LParam lParam) {
  CBasePage* page = Page(kind);
  if (page == nullptr) return false;
  page->OnMessage(message, wParam, lParam);
  return true;
}

void CModaraDlg::OnInitDialog() {
  CBaseDlg::OnInitDialog();  // settings, pages, skin
  initialised_ = true;
  SetUpIcons();
  LoadCursor();
  setWindowTitle(QString::fromUtf8(kMainWindowTitle));
  AddTrayIcon();
  status_.Reset();
  RegisterNotificationHandlers(app_.Dispatcher(), status_);
  // After the main window's own: the call page takes "RING", "+CLIP: " and
  // "NO CARRIER".
  if (auto* calls = dynamic_cast<CCallDlg*>(Page(PageKind::Calls))) calls->RegisterNotifications();
  CreateMessageService();
  StartDeviceOrWait();
  for (int indicator : {kIndicatorSentKb, kIndicatorReceivedKb, kIndicatorSendRate, kIndicatorReceiveRate})
    Port().PostMessage(kMsgStatus, static_cast<WParam>(indicator), 0);
  if (auto* statistics = dynamic_cast<StatisticsPageLink*>(Page(PageKind::Statistics)))
    statistics->InitialiseDisplay();
  if (status_.Pin().IsReady()) Port().PostMessage(kMsgImportStart);
  Port().SetTimer(kStartActionTimer, kStartActionMs);

  sleep_ = std::make_unique<CSleepMonitor>();
  connect(sleep_.get(), &CSleepMonitor::Suspending, this, &CModaraDlg::OnSuspend, Qt::DirectConnection);
  connect(sleep_.get(), &CSleepMonitor::Resumed, this, &CModaraDlg::OnResume, Qt::QueuedConnection);
}

void CModaraDlg::CreateMessageService() {
  if (messages_ != nullptr || app_.Sms() == nullptr) return;
  MessageServiceContext context;
  context.exchange = &app_.Exchange();
  context.dispatcher = &app_.Dispatcher();
  context.store = app_.Sms();
  context.notificationGate = &app_.Dispatcher().NotificationGate();
  context.phonebook = app_.Phonebook();
  context.notifier = app_.Notifier();
  context.link = &app_.MessageLink();
  context.cardReady = [this] { return status_.Pin().IsReady(); };
  context.incomingCall = [this] { return incomingCall_.load(); };
  CModaraApp* app = &app_;
  context.portOpen = [app] { return app->Port().IsOpen(); };
  context.setIndicator = [this](int indicator, int value) {
    Port().PostMessage(kMsgStatus, static_cast<WParam>(indicator), value);
  };
  context.window = this;
  messages_ = std::make_unique<MessageService>(std::move(context));
  // The messages page shows what changed; a click on a new message's notice
  // brings the dashboard forward on the messages page, which opens it.
  messages_->boxChanged = [this](int box) {
    if (auto* page = dynamic_cast<CSmsDlg*>(Page(PageKind::Messages))) page->RefreshBox(box);
  };
  messages_->showNewMessage = [this] {
    ComeForward();
    if (auto* page = dynamic_cast<CSmsDlg*>(Page(PageKind::Messages))) {
      tabs_->setCurrentWidget(page);
      page->ShowNewMessage();
    }
  };
  messages_->pickContacts = [this](QWidget* parent) {
    return app_.Phonebook() != nullptr ? CSelContactDlg::Choose(parent, *app_.Phonebook(), true)
                                       : std::vector<std::string>();
  };
  messages_->RegisterNotifications();
  messages_->RefreshIndicators();
}

void CModaraDlg::SetUpIcons() {
  QIcon icon(QString::fromStdString(IndicatorPicturePath(kPicMainIcon)));
  setWindowIcon(icon);
}

void CModaraDlg::LoadCursor() {
  if (cursor_) return;
  QFile file(kCursorFile);
  if (!file.open(QIODevice::ReadOnly)) return;
  QByteArray bytes = file.readAll();
  QPixmap picture;
  if (!picture.loadFromData(bytes, "CUR") && !picture.loadFromData(bytes)) return;
  QPoint hot = CursorHotSpot(bytes);
  cursor_ = QCursor(picture, hot.x(), hot.y());
  setCursor(*cursor_);
}

void CModaraDlg::AddTrayIcon() {
  tray_ = new QSystemTrayIcon(this);
  tray_->setObjectName("trayIcon");
  tray_->setIcon(QIcon(QString::fromStdString(IndicatorPicturePath(kPicTrayIcon))));
  tray_->setToolTip(QString::fromUtf8(kTrayWelcome));
  trayMenu_ = new QMenu(this);
  trayMenu_->setObjectName(QString("menu%1").arg(kTrayMenu));
  toggleAction_ = trayMenu_->addAction(Str(kStrTrayHide));
  toggleAction_->setObjectName(QString("item%1").arg(kCmdToggleShown));
  connect(toggleAction_, &QAction::triggered, this,
          [this] { Port().PostMessage(WM_COMMAND, kCmdToggleShown); });
  if (InternetPage() != nullptr) {
    QAction* info = trayMenu_->addAction(Str(kStrTrayOperatorInfo));
    info->setObjectName(QString("item%1").arg(kCmdOperatorInformation));
    connect(info, &QAction::triggered, this, [this] { Port().PostMessage(WM_COMMAND, kCmdOperatorInformation); });
  }
  QAction* help = trayMenu_->addAction(Str(kStrMenuHelp));
  help->setObjectName(QString("item%1").arg(kCmdHelp));
  connect(help, &QAction::triggered, this, [this] { Port().PostMessage(WM_COMMAND, kCmdHelp); });
  connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick) Port().PostMessage(kMsgTrayIcon, kTrayIconId, WM_LBUTTONDBLCLK);
    if (reason == QSystemTrayIcon::Context) Port().PostMessage(kMsgTrayIcon, kTrayIconId, WM_RBUTTONUP);
  });
  tray_->show();
}

void CModaraDlg::StartDeviceOrWait() {
  int state = app_.Port().GetState();
  if (state == CSerialPort::Ready || state == CSerialPort::Busy)
    initializer_.InitializeDevice();
  else
    app_.Discovery().StartDeviceWait(Port());
}

void CModaraDlg::OnMessage(MessageId message, WParam wParam, LParam lParam) {
  switch (message) {
    case kMsgStatus: return OnStatus(wParam, lParam);
    case kMsgTrayIcon: return OnTrayIcon(wParam, lParam);
    case WM_COMMAND: return OnCommand(wParam);
    case kMsgTabContainer:
      // Hands a number to dial to the call page, shown.
      if (CBasePage* calls = Page(PageKind::Calls)) tabs_->setCurrentWidget(calls);
      SendToPage(PageKind::Calls, message, wParam, lParam);
      return;
    case kMsgSkinChange:
      ModifyStyle(0, kStyleMinimizeBox | kStyleSysMenu);
      ApplySkin(static_cast<std::int32_t>(lParam));
      update();
      return;
    case kMsgPhonebookSearch:
    case kMsgPhonebookSync:
    case kMsgPhonebookSyncEnd: SendToPage(PageKind::Phonebook, message, wParam, lParam); return;
    case kMsgImportStart: {
      // The device message import that belongs here never starts; only the
      // notification gate is cycled.
      Event& gate = app_.Dispatcher().NotificationGate();
      gate.Reset();
      gate.Set();
      return;
    }
    case kMsgCallPopup:
    case kMsgMessagePopup:
    case kMsgNewMessage:
    case kMsgImportStep:
    case kMsgImportNext: return;  // accepted and ignored
    case kMsgLockStateQuery:
      // Asks the card what it needs, then offers the matching window.
      card_.QuerySimState([this](CommandOutcome) { Port().PostMessage(kMsgPinEntry); });
      return;
    case kMsgPinEntry: {
      std::int16_t state = status_.Pin().simState;
      if (state == kSimStatePinRequired || state == kSimStatePukRequired) OpenPinEntry(state, false);
      UpdateCardIndicator();
      return;
    }
    case kMsgShowExitPicture: return ShowExitPicture();
    case kMsgHideExitPicture: return HideExitPicture();
    case kMsgShowRefusal: return CModaraApp::ShowMessage(static_cast<StringId>(wParam));
    case WM_QUIT:
      if (!ending_) endedByQuit_ = true;
      return EndModalLoop(false);
    default: CBaseDlg::OnMessage(message, wParam, lParam);
  }
}

void CModaraDlg::OnTimer(TimerId timerId) {
  if (timerId == kDeviceWaitTimer) return OnDeviceWaitTimer();
  if (timerId == kStartActionTimer) {
    Port().KillTimer(kStartActionTimer);
    if (InternetPageLink* internet = InternetPage()) internet->StartAction();
  }
}

void CModaraDlg::OnDeviceWaitTimer() {
  auto opener = [this](const std::string& path, bool startThreads) {
    return app_.OpenPort(path, startThreads);
  };
  if (!app_.Discovery().OnDeviceWaitTimer(Port(), opener)) return;
  showMinimized();
  initializer_.InitializeDevice();
}

void CModaraDlg::OnStatus(WParam indicator, LParam value) {
  if (indicator < static_cast<WParam>(kIndicatorCount)) lastIndicator_[indicator] = value;
  std::string operatorText = status_.OperatorText();
  IndicatorContext context{CSetupData::Instance().Main_nCall != 0, operatorText};
  IndicatorChange change = ResolveIndicator(static_cast<int>(indicator), value, context);
  indicators_->Apply(change);
  if (change.forward) {
    if (CBasePage* internet = Page(PageKind::Internet))
      internet->Port().PostMessage(kMsgInternetStatus, change.forwardKind, value);
  }
}

DashboardStatus CModaraDlg::CurrentStatus() const {
  DashboardStatus s;
  s.deviceReady = status_.initialisedOnce;
  s.simState = status_.Pin().simState.load();
  s.signalLevel = static_cast<int>(lastIndicator_[kIndicatorSignal]);
  s.networkType = static_cast<int>(lastIndicator_[kIndicatorNetworkType]);
  s.roaming = status_.roaming.load();
  s.serviceStatus = status_.serviceStatus.load();
  // The operator's name as the window shows it: only while the indicator
  // shows it rather than "no network".
  if (lastIndicator_[kIndicatorOperator] == 1) s.operatorName = ToUtf8(status_.OperatorText());
  if (InternetPageLink* internet = InternetPage()) {
    const ConnectionFigures f = internet->Figures();
    if (f.state <= kState1XConnected) {
      s.connection = ReportConnection::Connected;
      s.connectionType = f.state;
    } else if (f.state <= kState1XConnecting) {
      s.connection = ReportConnection::Connecting;
      s.connectionType = f.state - kStateWlanConnecting;
    } else {
      s.connection = ReportConnection::Idle;
    }
    s.durationMs = f.durationMs;
    s.bytesSent = f.bytesSent;
    s.bytesReceived = f.bytesReceived;
    s.sendBitsPerSecond = std::max<LParam>(lastIndicator_[kIndicatorSendRate], 0);
    s.receiveBitsPerSecond = std::max<LParam>(lastIndicator_[kIndicatorReceiveRate], 0);
  }
  if (const CSmsData* sms = app_.Sms()) s.unreadMessages = sms->CountUnread();
  return s;
}

void CModaraDlg::OnTrayIcon(WParam id, LParam mouse) {
  if (id != kTrayIconId) return;
  if (mouse == WM_LBUTTONDBLCLK) {
    show();
    showNormal();
    raise();
    activateWindow();
    showState_ = kShownState;
  } else if (mouse == WM_RBUTTONUP) {
    OpenTrayMenu();
  }
}

void CModaraDlg::OpenTrayMenu() {
  toggleAction_->setText(Str(showState_ == 0 || showState_ == 1 ? kStrTrayHide : kStrTrayShow));
  trayMenu_->popup(QCursor::pos());
}

void CModaraDlg::OnCommand(WParam command) {
  if (command == kCmdToggleShown) return ToggleShown();
  if (command == kCmdHelp) return OpenHelp();
  if (command == kCmdOperatorInformation) {
    if (InternetPageLink* internet = InternetPage()) internet->ShowOperatorInformation();
  }
}

void CModaraDlg::ToggleShown() {
  if (showState_ < 0) return;
  if (showState_ < kHiddenState) {
    hide();
    showState_ = kHiddenState;
  } else {
    show();
    showNormal();
    showState_ = kShownState;
  }
}

void CModaraDlg::ShowCallPage() {
  ComeForward();
  if (CBasePage* calls = Page(PageKind::Calls)) tabs_->setCurrentWidget(calls);
}

bool CModaraDlg::ShowPage(PageKind kind) {
  CBasePage* page = Page(kind);
  if (page == nullptr) return false;
  tabs_->setCurrentWidget(page);
  return true;
}

void CModaraDlg::DialNumber(const QString& number) {
  ComeForward();
  if (Page(PageKind::Calls) == nullptr) return CModaraApp::ShowMessage(kStrCallsSwitchedOff);
  std::string ansi = ToAnsi(number);
  OnMessage(kMsgTabContainer, 0, reinterpret_cast<LParam>(&ansi));
}

void CModaraDlg::SetCallIndicator(int value, int missedCount) {
  Port().PostMessage(kMsgStatus, kIndicatorCall, value);
  if (QLabel* element = indicators_->Element(kIndicatorCall); element != nullptr && missedCount > 0) {
    QString tip = Str(kStrMissedCallsTip);
    element->setToolTip(tip.replace("%d", QString::number(missedCount)));
  }
}

void CModaraDlg::ComeForward() {
  if (!initialised_) return;
  show();
  showNormal();
  raise();
  activateWindow();
  showState_ = kShownState;
}

void CModaraDlg::closeEvent(QCloseEvent* event) {
  if (ending_) return CBaseDlg::closeEvent(event);
  event->ignore();
  OnClose();
}

void CModaraDlg::reject() {
  if (ending_) return CBaseDlg::reject();
  OnClose();
}

void CModaraDlg::OnClose() {
  // Re-read: the Internet page's settings windows may have changed the file.
  LoadResult loaded = connSetFile_.Load(connSet_, DefaultConnSetData());
  if (loaded.Failed()) {
    const StoreLoadTexts texts{LoadString(kStrStoreDamagedKept), LoadString(kStrStoreDamagedLeft),
                               LoadString(kStrStoreUnreadable)};
    QMessageBox::warning(this, windowTitle(), FromAnsi(StoreLoadMessage(texts, kConnSetDataFile, loaded)));
  }
  if (connSet_.rememberClose == 0) {
    CCloseTipSettingDlg ask(connSet_.closeAction, connSet_.rememberClose, this);
    if (ask.exec() != QDialog::Accepted) return;
    connSet_.closeAction = ask.CloseAction();
    connSet_.rememberClose = ask.Remember();
    FileResult saved = connSetFile_.Save(connSet_);
    if (!saved) QMessageBox::warning(this, windowTitle(), QString::fromStdString(saved.error));
    if (connSet_.closeAction == 0) {
      hide();
      showState_ = kHiddenState;
      return;
    }
  } else if (connSet_.closeAction == 0) {
    hide();
    showState_ = kHiddenState;
    return;
  }
  if (InternetPageLink* internet = InternetPage(); internet != nullptr && internet->IsConnectionUp()) {
    CModaraApp::ShowMessage(kStrDisconnectBeforeClosing, true);
    return;
  }
  EndModalLoop(true);
}

void CModaraDlg::EndModalLoop(bool byClose) {
  if (ending_) return;
  ending_ = true;
  endedByClose_ = byClose;
  if (InternetPageLink* internet = InternetPage()) internet->ArmShutdownTimer();
  done(QDialog::Rejected);
}

void CModaraDlg::OnSysCommand(int command) {
  switch (command) {
    case kSysCommandAbout: return OpenAbout();
    case kSysCommandHelp: return OpenHelp();
    case kSysCommandLanguage: return OpenLanguageDialog();
    default: CBaseDlg::OnSysCommand(command);
  }
}

void CModaraDlg::OpenAbout() {
  CAboutDialog about(FromAnsi(IdentityText()), FromAnsi(VersionText()), this);
  about.exec();
}

std::function<bool(const QUrl&)>& CModaraDlg::HelpOpener() {
  static std::function<bool(const QUrl&)> opener = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
  return opener;
}

QString CModaraDlg::HelpDocumentPath() const {
  // The launcher links "help" into the data folder; the installed program
  // has it beside itself, one run from the build tree in the build folder.
  const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
  const std::vector<std::string> folders = {kHelpFolder, programDir + "/" + kHelpFolder,
                                            programDir + "/../" + kHelpFolder};
  const LanguageExports* language = ActiveLanguage();
  const int code = language != nullptr && language->getLang != nullptr ? language->getLang() : kLanguageEnglish;
  const std::string path =
      FindHelpDocument(SkinPaths::FileSystemPath(CSetupData::Instance().Main_szHelpFile), code, folders);
  return path.empty() ? QString() : QFileInfo(QString::fromStdString(path)).absoluteFilePath();
}

void CModaraDlg::OpenHelp() {
  // The help document opens in the desktop's viewer, whose window this
  // program cannot look up by title; the viewer brings an open document
  // forward itself.
  const QString path = HelpDocumentPath();
  if (path.isEmpty()) return CModaraApp::ShowMessage(kStrHelpFileMissing);
  if (HelpOpener()(QUrl::fromLocalFile(path))) return;
  QMessageBox box(QMessageBox::Warning, FromAnsi(PrefixedTitle(LoadString(kStrAppTitle))),
                  Str(kStrHelpNoViewer).replace("%s", QDir::toNativeSeparators(path)), QMessageBox::Ok, this);
  box.setObjectName(QString("message%1").arg(kStrHelpNoViewer));
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void CModaraDlg::OpenLanguageDialog() {
  CLanguage dialog(app_.Languages(), this);
  dialog.exec();
}

void CModaraDlg::OnSuspend() {
  // Every exchange running against the port ends here, without a give-up of
  // its own later: the device initialisation (with its command), a status
  // command sent outside it, and the identity query. An initialisation
  // that a resume started ends here too, and the next resume runs in full.
  if (initializer_.IsRunning()) resuming_ = false;
  initializer_.Abort();
  statusCommands_.Cancel();
  info_.Stop();
  app_.Port().Close();
}

void CModaraDlg::OnResume() {
  if (resuming_) return;
  resuming_ = true;
  showMinimized();
  PreMsg* picture = app_.OpenPicture();
  picture->SetText(Str(kStrReconnecting));
  PrescribedWait::Sleep(kResumeSettleMs);
  if (app_.ConnectDevice(kResumeConnectTries, kResumeConnectIntervalMs) != kConnectOpened) {
    CModaraApp::ShowMessage(kStrDeviceMissingExit);
    app_.ClosePicture();
    app_.Dispatcher().Shutdown();
    CModaraApp::EndProcess(0);
  }
  if (PreMsg* shown = app_.Picture()) shown->SetText(Str(kStrDeviceConnected));
  PrescribedWait::Sleep(kResumeConnectedMs);
  status_.Pin().simState = kSimStateResumed;
  initializer_.InitializeDevice();  // closes the picture window when it ends
}

void CModaraDlg::OnDeviceInitialised() {
  if (resuming_) {
    resuming_ = false;
    showNormal();
  }
  bool first = !shownOnce_;
  shownOnce_ = true;
  UpdateCardIndicator();
  if (first && status_.Pin().IsReady()) Port().PostMessage(kMsgImportStart);
  info_.Start();
  if (first) {
    ShowLoadProblems();
    app_.OnDeviceReady();
  }
}

void CModaraDlg::OpenPinEntry(std::int16_t simState, bool atStartUp) {
  if (pinEntry_) {
    pinEntry_->raise();
    return;
  }
  SecurityContext context = SecurityContextOf(*this);
  QDialog* entry;
  if (simState == kSimStatePukRequired)
    entry = new CModifyPinDlg(context, 1, atStartUp, this);
  else
    entry = new CDlgSignIn(context, atStartUp, this);
  entry->setAttribute(Qt::WA_DeleteOnClose);
  connect(entry, &QDialog::finished, this,
          [this, simState, atStartUp](int) { OnPinEntryClosed(simState, atStartUp); });
  pinEntry_ = entry;
  entry->open();
  entry->raise();
  entry->activateWindow();
}

void CModaraDlg::OnPinEntryClosed(std::int16_t openedFor, bool atStartUp) {
  pinEntry_ = nullptr;
  std::int16_t state = status_.Pin().simState;
  if (state == kSimStatePukRequired && openedFor != kSimStatePukRequired) {
    // The PIN is blocked now: the card wants the PUK.
    QTimer::singleShot(0, this, [this, atStartUp] { OpenPinEntry(kSimStatePukRequired, atStartUp); });
    return;
  }
  // Ready or destroyed ends the initialisation's wait by itself; anything
  // else is giving up, and the dashboard goes on without the card.
  if (atStartUp && state != kSimStateReady && state != kSimStateDestroyed) initializer_.PinEntryGivenUp();
  UpdateCardIndicator();
}

void CModaraDlg::UpdateCardIndicator() {
  if (cardIndicator_ == nullptr) return;
  std::int16_t state = status_.Pin().simState;
  StringId text = 0;
  if (state == kSimStatePinRequired) text = kStrCardLockedIndicator;
  if (state == kSimStatePukRequired) text = kStrCardBlockedIndicator;
  if (state == kSimStateDestroyed) text = kStrCardUnusableIndicator;
  if (text == 0) {
    cardIndicator_->hide();
    return;
  }
  cardIndicator_->setText(Str(text));
  cardIndicator_->setEnabled(state != kSimStateDestroyed);
  cardIndicator_->show();
  if (!cardWatch_->isActive()) cardWatch_->start();
}

void CModaraDlg::ShowLoadProblems() {
  const auto& problems = app_.LoadProblems();
  if (problems.empty()) return;
  QStringList lines;
  for (const std::string& p : problems) lines << FromAnsi(p);
  auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(), lines.join("\n"), QMessageBox::Ok, this);
  box->setObjectName("loadProblems");
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void CModaraDlg::ShowExitPicture() {
  auto* picture = new PreMsg();
  picture->setObjectName("ExitPicture");
  picture->setAttribute(Qt::WA_DeleteOnClose);
  picture->SetPicture(CSetupData::Instance().Main_szExitSplashBmp);
  picture->ShowCentred();
  exitPicture_ = picture;
}

void CModaraDlg::HideExitPicture() {
  if (exitPicture_) exitPicture_->close();
}

bool CModaraDlg::SaveScreenshot(const QString& path) { return grab().save(path, "PNG"); }

void CModaraDlg::showEvent(QShowEvent* event) {
  CBaseDlg::showEvent(event);
  app_.OnMainWindowShown();
}

}  // namespace evdo
