#include "app/ModaraApp.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextStream>

#include <unistd.h>

#include <cstdio>

#include "app/CallPage.h"
#include "app/FixedPortEnumerator.h"
#include "app/ModaraDlg.h"
#include "app/PreMsg.h"
#include "app/PrescribedWait.h"
#include "app/ProcessStats.h"
#include "app/QtText.h"
#include "core/settings/SetupData.h"
#include "app/SimulatedModemProcess.h"
#include "app/SingleInstance.h"
#include "calls/HistData.h"
#include "device/AtDispatcher.h"
#include "device/CommandExchange.h"
#include "device/SerialPort.h"
#include "platform/PosixSerialDevice.h"
#include "device/discovery/ProgramStarter.h"
#include "internet/ConnProfile.h"
#include "internet/LogData.h"
#include "internet/MonthLogData.h"
#include "phonebook/PbData.h"
#include "platform/udev/UdevDeviceEnumerator.h"
#include "sms/SmsData.h"
#include "ui/LanguageStrings.h"
#include "ui/skin/CBaseDlg.h"

namespace evdo {
namespace {

CModaraApp* theApp = nullptr;

void AddProblem(std::vector<std::string>& problems, const std::string& file, LoadStatus status,
                const std::string& error) {
  if (status == LoadStatus::Failed) problems.push_back(file + ": " + error);
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

  LaunchCompanion();                       // 1
  LoadSettings();                          // 2
  if (!ClaimInstance()) return 0;          // 3
  if (!SelectLanguage()) return 0;         // 4
  // 5-7: socket start-up and the balloon-tip registry value have no Linux counterpart.
  ShowSplash();                            // 8
  if (!CreatePort()) return 1;             // 9
  RegisterCallPage(*this);
  mainWindow_ = new CModaraDlg(*this);     // 10
  if (!dispatcher_->StartThreads()) {      // 11
    ShowMessage(kStrDeviceMissingExit);
    return 0;
  }
  const CSetupData& setup = CSetupData::Instance();
  discovery_->SetDeviceIdentifier(setup.Main_nCompany);  // 12
  discovery_->StartModeSwitchIfNeeded(                  // 13
      [](const std::string& program) { return StartDetachedProgram(program); });
  LoadStores();                                         // 14-17
  Progress();                                           // 18
  ConnectResult found = ConnectDevice(kStartupConnectTries, kStartupConnectIntervalMs);
  if (found != kConnectOpened) {                        // 19
    ShowMessage(kStrDeviceMissingExit);
    ClosePicture();
    dispatcher_->Shutdown();
    return 0;
  }
  Progress();
  mainWindow_->EnableAboutEntry(true);                  // 20
  RunMainWindow();
  Shutdown();                                           // 22
  return 0;
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
  connect(instance_.get(), &CSingleInstance::DialRequested, this, [this](const QString& number) {
    // Before the device is ready the number waits for it.
    if (mainWindow_ && timing_.readyMs >= 0) mainWindow_->DialNumber(number);
    else options_.dialNumber = number;
  });
  return instance_->Claim(FromAnsi(PrefixedTitle(kBuiltInTitle)), options_.dialNumber);
}

bool CModaraApp::SelectLanguage() {
  const CSetupData& setup = CSetupData::Instance();
  if (languages_.ScanAndSelect(setup.Main_nCompany, setup.Main_nLanguage)) {
    CBaseDlg::SetStringLookup([](int id) { return LoadString(id); });
    return true;
  }
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
  phonebook_->Load();
  const PbLoadReport& pb = phonebook_->LastLoad();
  for (const std::string& problem : pb.problems) loadProblems_.push_back("PbData.dat: " + problem);

  Progress();  // 15
  sms_ = std::make_unique<CSmsData>();
  SmsLoadResult sms = sms_->LoadOrCreate();
  AddProblem(loadProblems_, kSmsDataFile, sms.status, sms.error);

  if (CSetupData::Instance().Main_nCall != 0) {  // 16
    Progress();
    history_ = std::make_unique<CHistData>();
    LoadResult hist = history_->Load();
    AddProblem(loadProblems_, kHistDataFile, hist.status, hist.error);
  }

  Progress();  // 17
  log_ = std::make_unique<CLogData>();
  LoadResult log = log_->Load();
  AddProblem(loadProblems_, kLogDataFile, log.status, log.error);
  monthLog_ = std::make_unique<CMonthLogData>();
  LoadResult month = monthLog_->Load();
  AddProblem(loadProblems_, kMonthLogDataFile, month.status, month.error);
  profiles_ = std::make_unique<CConnProfile>();
  LoadResult profiles = profiles_->LoadOrReset();
  AddProblem(loadProblems_, kConnProfileFile, profiles.status, profiles.error);
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
  // 21. A quit (device removed, screenshot taken) ends without the box.
  if (mainWindow_->EndedByClose()) {
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
  if (!options_.screenshotPath.isEmpty() && mainWindow_) {
    if (mainWindow_->SaveScreenshot(options_.screenshotPath))
      Report(QString("screenshot: %1").arg(QFileInfo(options_.screenshotPath).absoluteFilePath()));
    else
      Report(QString("screenshot: could not write %1").arg(options_.screenshotPath));
    mainWindow_->EndModalLoop(false);
  }
}

}  // namespace evdo
