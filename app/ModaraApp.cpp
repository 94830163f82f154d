#include "app/ModaraApp.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextStream>

#include <unistd.h>

#include <cstdio>

#include <cstring>
#include <utility>

#include "app/CallPage.h"
#include "app/PhonebookPage.h"
#include "app/FixedPortEnumerator.h"
#include "app/MessagesPage.h"
#include "app/MessageService.h"
#include "app/ModaraDlg.h"
#include "app/PreMsg.h"
#include "app/PrescribedWait.h"
#include "app/ProcessStats.h"
#include "ui/text/QtText.h"
#include "core/settings/SetupData.h"
#include "app/SimulatedModemProcess.h"
#include "app/SingleInstance.h"
#include "app/StandardButtonTexts.h"
#include "app/StoreLoadMessage.h"
#include "app/UnattendedRun.h"
#include "calls/HistData.h"
#include "core/settings/SetupData.h"
#include "device/AtDispatcher.h"
#include "device/CommandExchange.h"
#include "device/SerialPort.h"
#include "device/discovery/ModeSwitchData.h"
#include "device/discovery/ProgramStarter.h"
#include "internet/ConnProfile.h"
#include "internet/LogData.h"
#include "internet/MonthLogData.h"
#include "phonebook/PbData.h"
#include "platform/PosixSerialDevice.h"
#include "platform/udev/UdevDeviceEnumerator.h"
#include "sms/MessageList.h"
#include "sms/SmsData.h"
#include "ui/LanguageStrings.h"
#include "ui/notify/DesktopNotifier.h"
#include "ui/skin/CBaseDlg.h"

namespace evdo {
namespace {

CModaraApp* theApp = nullptr;

// The user hears of a file that did not load through the language module;
// the detail (the system's reason) goes to standard error.
void AddProblem(std::vector<std::string>& problems, const std::string& file, const LoadResult& r) {
  if (!r.error.empty()) std::fprintf(stderr, "evdo-dashboard: %s\n", r.error.c_str());
  const StoreLoadTexts texts{LoadString(kStrStoreDamagedKept), LoadString(kStrStoreDamagedLeft),
                             LoadString(kStrStoreUnreadable)};
  std::string message = StoreLoadMessage(texts, file, r);
  if (!message.empty()) problems.push_back(std::move(message));
}

}  // namespace

CModaraApp::CModaraApp(LaunchOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {
  theApp = this;
}

CModaraApp::~CModaraApp() {
  Shutdown();
  // The stores go last, in this order; each saved its changes when made.
  profiles_.reset();
  log_.reset();
  monthLog_.reset();
  history_.reset();
  phonebook_.reset();
  sms_.reset();
  if (theApp == this) theApp = nullptr;
}

CModaraApp* CModaraApp::Instance() { return theApp; }

CModaraDlg* CModaraApp::MainWindow() const { return mainWindow_.data(); }

int CModaraApp::Run() {
  // The main window hides to the notification area; that must not end the
  // program.
  qApp->setQuitOnLastWindowClosed(false);
  if (!options_.screenshotPath.isEmpty()) {
    unattended_ = std::make_unique<CUnattendedRun>();
    unattended_->Install();
  }

  LaunchCompanion();                       // 1
  LoadSettings();                          // 2
  if (!ClaimInstance()) return kExitOk;    // 3: the first copy comes forward
  if (!SelectLanguage()) return kExitFailure;  // 4
  // 5-7: socket start-up and the balloon-tip registry value have no Linux counterpart.
  ShowSplash();                            // 8
  if (!CreatePort()) return kExitFailure;  // 9
  RegisterCallPage(*this);
  RegisterPhonebookPage(*this);
  RegisterMessagesPage(*this);
  mainWindow_ = new CModaraDlg(*this);     // 10
  if (unattended_) unattended_->Exempt(mainWindow_);
  if (!dispatcher_->StartThreads()) {      // 11
    std::fprintf(stderr, "evdo-dashboard: the serial port's threads could not be started\n");
    ShowMessage(kStrDeviceMissingExit);
    return kExitFailure;
  }
  const CSetupData& setup = CSetupData::Instance();
  discovery_->SetDeviceIdentifier(setup.Main_nCompany);  // 12
  discovery_->StartModeSwitchIfNeeded(                  // 13
      [](const std::vector<std::string>& argv) { return StartDetachedProgram(argv); },
      [](const std::string& id) { return FindModeSwitchConfig(id, InstalledModeSwitchData()); });
  LoadStores();                                         // 14-17
  // The pages read the stores: built from here on, while the start-up
  // picture's waits turn the event loop.
  mainWindow_->BuildPagesAhead();
  Progress();                                           // 18
  ReportSearch();
  ConnectResult found = ConnectDevice(kStartupConnectTries, kStartupConnectIntervalMs);
  if (found != kConnectOpened) {                        // 19
    ReportSearchFailed(found);
    ShowMessage(kStrDeviceMissingExit);
    ClosePicture();
    dispatcher_->Shutdown();
    return kExitFailure;
  }
  Progress();
  mainWindow_->EnableAboutEntry(true);                  // 20
  RunMainWindow();
  Shutdown();                                           // 22
  return exitCode_;
}

void CModaraApp::ReportSearch() const {
  const CSetupData& setup = CSetupData::Instance();
  const double seconds = kStartupConnectTries * kStartupConnectIntervalMs / 1000.0;
  if (!options_.portPath.isEmpty() || options_.simulate) {
    std::fprintf(stderr, "evdo-dashboard: opening the modem's port %s (up to %d tries, %.0f s)\n",
                 qPrintable(options_.simulate ? QString("of the simulated modem") : options_.portPath),
                 int{kStartupConnectTries}, seconds);
    return;
  }
  std::fprintf(stderr,
               "evdo-dashboard: waiting for the modem: a serial port named \"%s\" of a USB device %s; "
               "looking every %.0f s, %d times (%.0f s)\n",
               setup.Internet_szPCUIName, discovery_->DeviceIdentifier(), kStartupConnectIntervalMs / 1000.0,
               int{kStartupConnectTries}, seconds);
}

void CModaraApp::ReportSearchFailed(ConnectResult found) const {
  if (found == kConnectOpenFailed)
    std::fprintf(stderr, "evdo-dashboard: the modem's port %s was found but could not be opened\n",
                 discovery_->PortPath());
  else
    std::fprintf(stderr, "evdo-dashboard: no modem was found; the program ends\n");
}

bool CModaraApp::LaunchCompanion() {
  // Started only when it is there; its result is not looked at.
  for (const QString& path : {QStringLiteral("./") + kStartRunProgram,
                              QApplication::applicationDirPath() + "/" + kStartRunProgram}) {
    QFileInfo info(path);
    if (info.isFile() && info.isExecutable()) return StartDetachedProgram(path.toStdString());
  }
  return false;
}

bool CModaraApp::ClaimInstance() {
  instance_ = std::make_unique<CSingleInstance>();
  connect(instance_.get(), &CSingleInstance::RaiseRequested, this, [this] {
    if (mainWindow_) mainWindow_->ComeForward();
  });
  // A later copy's "dial NUMBER" (the command line, a tel: link): before the
  // device is ready the number waits for it. The page checks it again.
  connect(instance_.get(), &CSingleInstance::CommandRequested, this, [this](const QString& command, RemoteReply* reply) {
    if (command == QLatin1String(CSingleInstance::kStatusCommand)) return AnswerStatus(reply);
    QString recipients, text;
    if (CSingleInstance::ParseSmsRequest(command, CSingleInstance::kSmsSendCommand, recipients, text))
      return SendSmsRequest(recipients, text, reply);
    if (CSingleInstance::ParseSmsRequest(command, CSingleInstance::kSmsOpenCommand, recipients, text)) {
      Q_EMIT instance_->RaiseRequested();
      options_.openSms = true;
      options_.smsRecipients = recipients;
      options_.smsText = text;
      if (mainWindow_ && timing_.readyMs >= 0) OpenPendingSms();
      reply->Finish(kExitOk);
      return;
    }
    if (!command.startsWith(QLatin1String(CSingleInstance::kDialCommand))) return;
    const QString number = command.mid(static_cast<int>(std::strlen(CSingleInstance::kDialCommand)));
    Q_EMIT instance_->RaiseRequested();
    if (mainWindow_ && timing_.readyMs >= 0) mainWindow_->DialNumber(number);
    else options_.dialNumber = number;
    reply->Finish(kExitOk);
  });
  // A later copy's "list-sms BOX": the box as JSON, whatever the device does.
  connect(instance_.get(), &CSingleInstance::CommandRequested, this,
          [this](const QString& command, RemoteReply* reply) {
            if (!command.startsWith(QLatin1String(CSingleInstance::kListSmsCommand))) return;
            const int box = SmsBoxFromName(
                command.mid(static_cast<int>(std::strlen(CSingleInstance::kListSmsCommand)))
                    .toStdString());
            if (box < 0) {
              reply->Message(QStringLiteral("no such message box"));
              return reply->Finish(kExitUsage);
            }
            if (sms_ == nullptr) {
              reply->Message(QStringLiteral("the message store is not loaded yet"));
              return reply->Finish(kExitFailure);
            }
            const CPbData* pb = phonebook_.get();
            SmsNameLookup lookup = [pb](std::string_view number) -> std::optional<std::string> {
              std::string name;
              if (pb != nullptr && pb->FindNameByNumber(number, name) && !name.empty()) return name;
              return std::nullopt;
            };
            reply->Message(QString::fromStdString(SmsBoxJson(*sms_, box, lookup)));
            reply->Finish(kExitOk);
          });
  return instance_->Claim(InstanceTitle());
}

void CModaraApp::AnswerStatus(RemoteReply* reply) {
  // Before the main window exists (the splash, the device search) the
  // report says only that the device is not ready yet.
  DashboardStatus status;
  if (mainWindow_) status = mainWindow_->CurrentStatus();
  else if (sms_) status.unreadMessages = sms_->CountUnread();
  reply->Message(QString::fromStdString(StatusJson(status)));
  reply->Finish(kExitOk);
}

QString CModaraApp::InstanceTitle() { return FromAnsi(PrefixedTitle(kBuiltInTitle)); }

bool CModaraApp::SelectLanguage() {
  const CSetupData& setup = CSetupData::Instance();
  if (languages_.ScanAndSelect(setup.Main_nCompany, setup.Main_nLanguage)) {
    CBaseDlg::SetStringLookup([](int id) { return LoadString(id); });
    if (buttonTexts_ == nullptr) {
      buttonTexts_ = new CStandardButtonTexts(this);
      QApplication::installTranslator(buttonTexts_);
    }
    return true;
  }
  QString folder = QDir::current().absoluteFilePath(kLanguageFolder);
  std::fprintf(stderr,
               "evdo-dashboard: no language module of edition %d and language %d in %s "
               "(looked for %s; Main_nCompany and Main_nLanguage in EVDO.ini choose it)\n",
               static_cast<int>(setup.Main_nCompany), static_cast<int>(setup.Main_nLanguage), qPrintable(folder),
               qPrintable(QDir(folder).filePath(kLanguageModulePattern)));
  // The built-in error (template 277): no language module, so no texts.
  QMessageBox box(QMessageBox::NoIcon, kNoLanguageModuleTitle, kNoLanguageModuleText, QMessageBox::Ok);
  box.setObjectName("CResDllMiss");
  box.exec();
  return false;
}

void CModaraApp::ShowSplash() {
  picture_ = new PreMsg();
  picture_->setObjectName("PreMsg");
  picture_->SetPicture(CSetupData::Instance().Main_szSplashBmp);
  startingUp_ = true;
  picture_->ShowCentred();
}

void CModaraApp::Progress(bool first) {
  if (picture_ != nullptr) {
    if (first)
      picture_->SetText(".");
    else
      picture_->AddDot();
  }
  PrescribedWait::Sleep(kProgressWaitMs);
}

std::shared_ptr<DesktopNotifier> CModaraApp::Notifier() {
  if (notifier_ == nullptr) notifier_ = std::make_shared<CFreedesktopNotifier>();
  return notifier_;
}

bool CModaraApp::CreatePort() {
  port_ = std::make_unique<CSerialPort>(std::make_unique<PosixSerialDevice>());
  dispatcher_ = std::make_unique<CAtDispatcher>(*port_);
  exchange_ = std::make_unique<CCommandExchange>(*port_, *dispatcher_);
  if (!CreateDeviceList()) return false;
  discovery_ = std::make_unique<CDeviceDiscovery>(*devices_, CSetupData::Instance());
  return true;
}

// The present devices; with "--simulate" or "--port" just that port.
bool CModaraApp::CreateDeviceList() {
  QString path = options_.portPath;
  if (options_.simulate) {
    simulator_ = std::make_unique<CSimulatedModemProcess>();
    if (!simulator_->Start()) {
      std::fprintf(stderr, "evdo-dashboard: %s\n", qPrintable(simulator_->Error()));
      ClosePicture();
      return false;
    }
    path = simulator_->SerialPath();
  }
  if (path.isEmpty())
    devices_ = std::make_unique<CUdevDeviceEnumerator>();
  else
    devices_ = std::make_unique<CFixedPortEnumerator>(path.toStdString(), CSetupData::Instance());
  return true;
}

void CModaraApp::LoadStores() {
  Progress(true);  // 14
  phonebook_ = std::make_unique<CPbData>();
  AddProblem(loadProblems_, kPbDataFile, phonebook_->Load());

  Progress();  // 15
  sms_ = std::make_unique<CSmsData>();
  AddProblem(loadProblems_, kSmsDataFile, sms_->LoadOrCreate());

  if (CSetupData::Instance().Main_nCall != 0) {  // 16
    Progress();
    history_ = std::make_unique<CHistData>();
    AddProblem(loadProblems_, kHistDataFile, history_->Load());
  }

  Progress();  // 17
  // Created empty when missing or set aside as damaged.
  log_ = std::make_unique<CLogData>();
  AddProblem(loadProblems_, kLogDataFile, log_->LoadOrCreate());
  monthLog_ = std::make_unique<CMonthLogData>();
  AddProblem(loadProblems_, kMonthLogDataFile, monthLog_->LoadOrCreate());
  profiles_ = std::make_unique<CConnProfile>();
  AddProblem(loadProblems_, kConnProfileFile, profiles_->LoadOrReset());
}

bool CModaraApp::OpenPort(const std::string& path, bool startThreads) {
  return port_->Open(path.c_str(), startThreads);
}

ConnectResult CModaraApp::ConnectDevice(std::uint8_t tries, std::uint16_t intervalMs) {
  return discovery_->ConnectDevice(
      true, tries, intervalMs,
      [this](const std::string& path, bool startThreads) { return OpenPort(path, startThreads); },
      [](std::uint32_t ms) { PrescribedWait::Sleep(ms); });
}

PreMsg* CModaraApp::OpenPicture() {
  if (picture_ == nullptr) {
    picture_ = new PreMsg();
    picture_->setObjectName("PreMsg");
    picture_->SetPicture(CSetupData::Instance().Main_szSplashBmp);
    picture_->ShowCentred();
  }
  return picture_;
}

void CModaraApp::ClosePicture() {
  if (picture_ != nullptr) {
    picture_->close();
    picture_->deleteLater();
    picture_ = nullptr;
  }
  startingUp_ = false;
}

void CModaraApp::RunMainWindow() {
  QEventLoop loop;
  connect(mainWindow_, &QDialog::finished, &loop, &QEventLoop::quit);
  mainWindow_->show();
  loop.exec();
  // 21. Also after the device was removed; only the screenshot option ends
  // without it.
  if (mainWindow_->ShowsFindDevice()) {
    QMessageBox box(QMessageBox::NoIcon, FromAnsi(PrefixedTitle(LoadString(kStrAppTitle))),
                    kFindDeviceText, QMessageBox::Ok);
    box.setObjectName("FindDevice");
    box.exec();
  }
}

void CModaraApp::Shutdown() {
  if (dispatcher_) dispatcher_->Shutdown();
  if (port_) port_->Close();
  delete mainWindow_.data();
  ClosePicture();
}

void CModaraApp::ShowMessage(StringId id, bool information) {
  QMessageBox box(information ? QMessageBox::Information : QMessageBox::Warning,
                  FromAnsi(PrefixedTitle(LoadString(kStrAppTitle))), Str(id), QMessageBox::Ok);
  box.setObjectName(QString("message%1").arg(id));
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void CModaraApp::EndProcess(int exitCode) {
  std::fflush(nullptr);
  ::_exit(exitCode);
}

void CModaraApp::Report(const QString& line) const {
  QTextStream(stdout) << line << Qt::endl;
}

void CModaraApp::OnMainWindowShown() {
  if (timing_.shownMs >= 0) return;
  timing_.shownMs = ProcessAgeMs();
  timing_.prescribedMs = static_cast<qint64>(PrescribedWait::TotalMs());
}

void CModaraApp::OnDeviceReady() {
  if (timing_.readyMs >= 0) return;
  timing_.readyMs = ProcessAgeMs();
  if (options_.startupReport) {
    Report(QString("startup: main window shown after %1 ms: %2 ms prescribed waits, %3 ms the program's own")
               .arg(timing_.shownMs)
               .arg(timing_.prescribedMs)
               .arg(timing_.OwnMs()));
    Report(QString("startup: device initialised after %1 ms; resident memory %2 kB")
               .arg(timing_.readyMs)
               .arg(ResidentKb()));
  }
  if (!options_.dialNumber.isEmpty() && mainWindow_) {
    QString number = std::exchange(options_.dialNumber, QString());
    mainWindow_->DialNumber(number);
  }
  OpenPendingSms();
  PageKind pageKind;
  if (mainWindow_ && PageFromName(options_.page.toStdString(), pageKind) && !mainWindow_->ShowPage(pageKind)) {
    std::fprintf(stderr, "evdo-dashboard: the main window has no page %s\n", qPrintable(options_.page));
    if (!options_.screenshotPath.isEmpty()) exitCode_ = kExitFailure;
  }
  if (!options_.screenshotPath.isEmpty() && mainWindow_ && options_.page == "all") {
    // One picture of each page the window has, in the order of its tabs.
    for (const PageSpec& spec : kPageOrder) {
      if (!mainWindow_->ShowPage(spec.kind)) continue;
      QString path = options_.screenshotPath;
      path.replace("%p", PageName(spec.kind));
      QApplication::processEvents();
      if (mainWindow_->SaveScreenshot(path)) {
        Report(QString("screenshot: %1").arg(QFileInfo(path).absoluteFilePath()));
      } else {
        std::fprintf(stderr, "evdo-dashboard: could not write the screenshot %s\n", qPrintable(path));
        exitCode_ = kExitFailure;
      }
    }
    mainWindow_->EndModalLoop(false);
  } else if (!options_.screenshotPath.isEmpty() && mainWindow_) {
    if (mainWindow_->SaveScreenshot(options_.screenshotPath)) {
      Report(QString("screenshot: %1").arg(QFileInfo(options_.screenshotPath).absoluteFilePath()));
    } else {
      std::fprintf(stderr, "evdo-dashboard: could not write the screenshot %s\n",
                   qPrintable(options_.screenshotPath));
      exitCode_ = kExitFailure;
    }
    mainWindow_->EndModalLoop(false);
  }
}

void CModaraApp::OpenPendingSms() {
  if (!options_.openSms || !mainWindow_ || mainWindow_->Messages() == nullptr) return;
  options_.openSms = false;
  mainWindow_->ComeForward();
  mainWindow_->Messages()->OpenWriteWindow(std::exchange(options_.smsRecipients, QString()),
                                           std::exchange(options_.smsText, QString()), nullptr);
}

// A later copy's --send-sms: the send path of the write window without the
// window; every message the window would show goes back as a line, then the
// outcome per number. Exit status 0 only when every number was sent.
void CModaraApp::SendSmsRequest(const QString& recipients, const QString& text, RemoteReply* reply) {
  MessageService* messages = mainWindow_ ? mainWindow_->Messages() : nullptr;
  if (messages == nullptr || timing_.readyMs < 0) {
    reply->Message(Str(kStrCliSendRefused));
    reply->Finish(kExitFailure);
    return;
  }
  QPointer<RemoteReply> answer(reply);
  auto say = [answer](int id, const std::string& detail) {
    if (answer) answer->Message(Str(id).replace(QStringLiteral("%s"), FromAnsi(detail)));
  };
  auto finished = [answer](const sms::SendReport& report) {
    if (!answer) return;
    for (std::size_t i = 0; i < report.numbers.size(); ++i) {
      const sms::RecipientOutcome outcome =
          i < report.outcomes.size() ? report.outcomes[i] : sms::RecipientOutcome::NotServed;
      const StringId id = outcome == sms::RecipientOutcome::Sent     ? kStrCliSent
                          : outcome == sms::RecipientOutcome::Failed ? kStrCliNotSent
                                                                     : kStrCliNotServed;
      answer->Message(Str(id).replace(QStringLiteral("%s"), FromAnsi(report.numbers[i])));
    }
    answer->Finish(report.AllSent() ? kExitOk : kExitFailure);
  };
  const sms::SendStart start = messages->SendWithoutWindow(ToAnsi(recipients), ToAnsi(text), say, finished);
  if (start == sms::SendStart::Started) return;
  if (start == sms::SendStart::NotReady) reply->Message(Str(kStrCliSendRefused));
  if (start == sms::SendStart::TooLong) reply->Message(Str(kStrCliTextTooLong));
  reply->Finish(kExitFailure);
}

}  // namespace evdo
