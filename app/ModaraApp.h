#pragma once
// The application object: the start-up sequence (settings, single instance,
// language module, picture window, serial port, dispatcher, device search,
// data stores), the main window run until it ends, and the shutdown. It owns
// the one serial port, the dispatcher and the stores; the main window and
// the pages reach them through it.
#include <QObject>
#include <QPointer>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/LaunchOptions.h"
#include "device/discovery/DeviceDiscovery.h"
#include "sms/SmsChannel.h"
#include "ui/LanguageModules.h"

namespace evdo {

class DesktopNotifier;
class CAtDispatcher;
class CCommandExchange;
class CConnProfile;
class CHistData;
class CLogData;
class CModaraDlg;
class CMonthLogData;
class CPbData;
class CSerialPort;
class CSimulatedModemProcess;
class CSingleInstance;
class CSmsData;
class CStandardButtonTexts;
class CUnattendedRun;
class PreMsg;
class RemoteReply;

// What start-up measured, for the start-up report (milliseconds since the
// process started).
struct StartupTiming {
  qint64 shownMs = -1;       // the main window first shown
  qint64 prescribedMs = 0;   // of which the prescribed waits of start-up
  qint64 readyMs = -1;       // the device initialised the first time
  qint64 OwnMs() const { return shownMs - prescribedMs; }
};

class CModaraApp : public QObject {
  Q_OBJECT

public:
  // The built-in application title, used before a language module is
  // loaded (the single-instance name).
  static constexpr const char* kBuiltInTitle = "EVDO Dashboard";
  // The companion program started first, when present.
  static constexpr const char* kStartRunProgram = "StartRun";
  // The text of the box shown when the main window has ended.
  static constexpr const char* kFindDeviceText = "Find device";
  static constexpr std::uint32_t kProgressWaitMs = 300;

  explicit CModaraApp(LaunchOptions options, QObject* parent = nullptr);
  ~CModaraApp() override;

  // The application object of the process, while one exists.
  static CModaraApp* Instance();

  // Start-up, the main window until it ends, and the shutdown. Returns the
  // process's exit code.
  int Run();

  const LaunchOptions& Options() const { return options_; }
  CSerialPort& Port() { return *port_; }
  CAtDispatcher& Dispatcher() { return *dispatcher_; }
  // The one desktop notifier every page sends its notices through.
  std::shared_ptr<DesktopNotifier> Notifier();
  // The one lock of the message exchanges on the link.
  sms::CSmsLinkLock& MessageLink() { return messageLink_; }
  CCommandExchange& Exchange() { return *exchange_; }
  CDeviceDiscovery& Discovery() { return *discovery_; }
  CLanguageModules& Languages() { return languages_; }
  CModaraDlg* MainWindow() const;
  // The single-instance socket (null before it was claimed).
  CSingleInstance* SingleInstance() const { return instance_.get(); }
  // The name the single instance is claimed under.
  static QString InstanceTitle();

  // The stores; null until start-up has loaded them (the call history also
  // when Main_nCall is 0).
  CPbData* Phonebook() const { return phonebook_.get(); }
  CSmsData* Sms() const { return sms_.get(); }
  CHistData* History() const { return history_.get(); }
  CLogData* Log() const { return log_.get(); }
  CMonthLogData* MonthLog() const { return monthLog_.get(); }
  CConnProfile* Profiles() const { return profiles_.get(); }
  // What the stores reported when they loaded (damaged files set aside).
  const std::vector<std::string>& LoadProblems() const { return loadProblems_; }

  // Opens the port at path with its threads (the device search's opener).
  bool OpenPort(const std::string& path, bool startThreads);
  // Finds and opens the modem's command port: tries searches and openings,
  // each after intervalMs. Returns the ConnectDevice result.
  ConnectResult ConnectDevice(std::uint8_t tries, std::uint16_t intervalMs);

  // The picture window: the start-up one while it is shown, otherwise a new
  // one with the start-up picture.
  PreMsg* OpenPicture();
  PreMsg* Picture() const { return picture_; }
  // Closes the picture window; start-up is over once it has gone.
  void ClosePicture();
  // True from the start-up picture's appearance until the device
  // initialisation closes it. Read by the port's removal watch thread.
  bool IsStartingUp() const { return startingUp_.load(); }

  // Shows a language string in a message box and waits for OK.
  static void ShowMessage(StringId id, bool information = false);
  // Ends the process at once with the exit code.
  [[noreturn]] static void EndProcess(int exitCode);

  const StartupTiming& Timing() const { return timing_; }
  // Called by the main window when it shows (start-up measures the first
  // time) and once the device is initialised the first time (the report and
  // the screenshot, when asked).
  void OnMainWindowShown();
  void OnDeviceReady();

private:
  bool LaunchCompanion();
  bool ClaimInstance();
  bool SelectLanguage();
  void ShowSplash();
  void Progress(bool first = false);
  bool CreatePort();
  bool CreateDeviceList();
  void LoadStores();
  // Answers a later copy's "status" with the report of the main window.
  void AnswerStatus(RemoteReply* reply);
  void RunMainWindow();
  void Shutdown();
  void Report(const QString& line) const;
  // On standard error: what the device search at start-up waits for, and
  // why it failed.
  void ReportSearch() const;
  void ReportSearchFailed(ConnectResult found) const;
  // The write window an "sms:" link asked for, once the device is ready.
  void OpenPendingSms();
  void SendSmsRequest(const QString& recipients, const QString& text, RemoteReply* reply);

  LaunchOptions options_;
  std::unique_ptr<CSimulatedModemProcess> simulator_;
  std::unique_ptr<CSingleInstance> instance_;
  std::shared_ptr<DesktopNotifier> notifier_;
  sms::CSmsLinkLock messageLink_;
  CLanguageModules languages_;
  std::unique_ptr<DeviceEnumerator> devices_;
  std::unique_ptr<CDeviceDiscovery> discovery_;
  std::unique_ptr<CSerialPort> port_;
  std::unique_ptr<CAtDispatcher> dispatcher_;
  std::unique_ptr<CCommandExchange> exchange_;
  QPointer<CModaraDlg> mainWindow_;
  PreMsg* picture_ = nullptr;
  std::atomic<bool> startingUp_{false};

  std::unique_ptr<CPbData> phonebook_;
  std::unique_ptr<CSmsData> sms_;
  std::unique_ptr<CHistData> history_;
  std::unique_ptr<CLogData> log_;
  std::unique_ptr<CMonthLogData> monthLog_;
  std::unique_ptr<CConnProfile> profiles_;
  std::vector<std::string> loadProblems_;

  StartupTiming timing_;
  // Set for a --screenshot run.
  std::unique_ptr<CUnattendedRun> unattended_;
  int exitCode_ = kExitOk;
  // Qt's standard buttons in the language module's words.
  CStandardButtonTexts* buttonTexts_ = nullptr;
};

}  // namespace evdo
