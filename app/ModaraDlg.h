#pragma once
// The main window (template 102): the tab container with the pages, the row
// of status indicators, the notification-area icon, the device status record
// with the initialisation sequence, the main window's timers and messages,
// closing, suspend and resume.
#include <QCursor>
#include <QPointer>
#include <QSystemTrayIcon>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/DeviceInfoQuery.h"
#include "app/MainWindowPages.h"
#include "app/StatusIndicators.h"
#include "app/StatusReport.h"
#include "device/status/DeviceInitializer.h"
#include "device/status/DeviceStatus.h"
#include "device/status/StatusCommands.h"
#include "internet/ConnSetData.h"
#include "security/CardCommands.h"
#include "security/ReplyExchange.h"
#include "ui/skin/CBaseDlg.h"

class QMenu;
class QAction;
class QTabWidget;
class QToolButton;
class QTimer;
class QUrl;

namespace evdo {

class CBasePage;
class CIndicatorStrip;
class MessageService;
class CModaraApp;
class CSleepMonitor;

// Messages of the main window.
constexpr MessageId kMsgTrayIcon = WM_USER + 3;
constexpr MessageId kMsgTabContainer = WM_USER + 5;
constexpr MessageId kMsgCallPopup = WM_USER + 6;
constexpr MessageId kMsgSkinChange = WM_USER + 15;
constexpr MessageId kMsgImportStep = WM_USER + 22;
constexpr MessageId kMsgImportStart = WM_USER + 29;
constexpr MessageId kMsgImportNext = WM_USER + 32;
constexpr MessageId kMsgLockStateQuery = WM_USER + 303;
constexpr MessageId kMsgPinEntry = WM_USER + 304;
constexpr MessageId kMsgMessagePopup = WM_USER + 301;
constexpr MessageId kMsgNewMessage = WM_USER + 302;
constexpr MessageId WM_COMMAND = 0x0111;
// The removal watch thread's requests (private to this window).
constexpr MessageId kMsgShowExitPicture = WM_USER + 400;
constexpr MessageId kMsgHideExitPicture = WM_USER + 401;

// Mouse events of the notification-area icon (lParam of kMsgTrayIcon).
constexpr LParam WM_LBUTTONDBLCLK = 0x0203;
constexpr LParam WM_RBUTTONUP = 0x0205;

// The notification-area icon and its menu.
constexpr WParam kTrayIconId = 297;
constexpr int kTrayMenu = 129;
constexpr WParam kCmdToggleShown = 32779;
constexpr WParam kCmdOperatorInformation = 57664;
constexpr WParam kCmdHelp = 57670;

// System commands of the main window.
constexpr int kSysCommandHelp = 153;
constexpr int kSysCommandLanguage = 200;

// Timers of the main window.
constexpr TimerId kStartActionTimer = 55;
constexpr std::uint32_t kStartActionMs = 500;

// Show states of the tray menu.
constexpr int kShownState = 0;
constexpr int kHiddenState = 2;

constexpr const char* kCursorFile = "skin/Cursor.cur";
// The window title.
constexpr const char* kMainWindowTitle = "无线宽带";
// The notification-area tip: a welcome to the wireless broadband service.
constexpr const char* kTrayWelcome = "欢迎使用无线宽带上网服务";

class CModaraDlg : public CBaseDlg {
  Q_OBJECT

public:
  explicit CModaraDlg(CModaraApp& app, QWidget* parent = nullptr);
  ~CModaraDlg() override;

  CDeviceStatus& Status() { return status_; }
  CStatusCommands& StatusCommands() { return statusCommands_; }
  CDeviceInitializer& Initializer() { return initializer_; }
  CIndicatorStrip& Indicators() { return *indicators_; }
  QTabWidget& Tabs() { return *tabs_; }
  QSystemTrayIcon* Tray() { return tray_; }
  QMenu* TrayMenu() { return trayMenu_; }
  int ShowState() const { return showState_; }
  const QCursor* CustomCursor() const { return cursor_ ? &*cursor_ : nullptr; }
  const ConnSetData& CloseSettings() const { return connSet_; }

  // The device texts of the About window (empty until the modem answered).
  const std::string& IdentityText() const { return info_.Identity(); }
  const std::string& VersionText() const { return info_.Firmware(); }

  // A later copy of the program asked this one to come forward (nothing
  // happens before the window has been initialised).
  void ComeForward();
  bool IsInitialised() const { return initialised_; }
  // Start-up, before the window is first shown: builds its pages one per
  // turn of the event loop (the start-up picture's waits turn it), so that
  // the first show keeps the loop only briefly. Showing the window builds
  // whatever is not built by then.
  void BuildPagesAhead();
  // Saves a picture of the window; false when it cannot be written.
  bool SaveScreenshot(const QString& path);
  // Ends the modal loop: byClose when the user closed the window, false
  // when the program's own options (a screenshot) or a test end it.
  void EndModalLoop(bool byClose);
  bool EndedByClose() const { return endedByClose_; }
  // Whether start-up shows its last box ("Find device") now that the loop
  // has ended: after a close and after a quit (the device was removed),
  // not when the program's own options ended it.
  bool ShowsFindDevice() const { return endedByClose_ || endedByQuit_; }

  // The message side of the window (null until the window is initialised).
  MessageService* Messages() const { return messages_.get(); }
  // What the Help command opens the help document with (the desktop's
  // viewer; tests put their own). False when nothing could show it.
  static std::function<bool(const QUrl&)>& HelpOpener();
  // The help document of the active language, absolute; empty when none is
  // found.
  QString HelpDocumentPath() const;
  // The Help command of the system menu and the tray menu.
  void OpenHelp();

  // What the indicators, the card record, the Internet page and the
  // message store say now (the command line's "--status").
  DashboardStatus CurrentStatus() const;

  // The pages in the order they were made.
  CBasePage* Page(PageKind kind) const;

  // Opens the window that unlocks the card: the PIN entry for SIM state 20,
  // the unblock window for 21. atStartUp: the device initialisation waits
  // for it, and giving up lets it go on without the card. Nothing happens
  // while one is open.
  void OpenPinEntry(std::int16_t simState, bool atStartUp);
  QWidget* PinEntry() const { return pinEntry_; }
  // The indicator that says the card is locked (hidden while it is ready).
  QToolButton* CardIndicator() const { return cardIndicator_; }
  // Set by the dispatcher when "RING" or "+CLIP: " arrives, cleared by the
  // call page when the call has been answered, rejected or missed. Message
  // exchanges do not start while it is set.
  std::atomic<bool>& IncomingCallFlag() { return incomingCall_; }
  // Dials number on the call page (a later copy's request, the command
  // line); the page checks it.
  void DialNumber(const QString& number);
  void ShowCallPage();
  // Brings the page of kind to the front; false when the window has none.
  bool ShowPage(PageKind kind);
  // The call indicator: value 1 while a call rings or missed calls wait.
  void SetCallIndicator(int value, int missedCount);

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

  // The resume sequence after the system woke up.
  void OnResume();
  // The system is about to sleep.
  void OnSuspend();

public Q_SLOTS:
  void reject() override;

protected:
  void OnInitDialog() override;
  void OnCreatePages() override;
  void OnSysCommand(int command) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  // The pieces of OnCreatePages: the tab container and the bar under it
  // (once), the next page (none when every page is built), the tabs' watch.
  void BuildTabs();
  CBasePage* BuildNextPage();
  void FinishPages();
  // Routes the device sequences' messages and timers to both.
  struct DeviceRoute : WindowHandler {
    WindowHandler* commands = nullptr;
    WindowHandler* initializer = nullptr;
    WindowHandler* card = nullptr;
    void OnMessage(MessageId m, WParam w, LParam l) override;
    void OnTimer(TimerId id) override;
  };
  struct InfoRoute : WindowHandler {
    WindowHandler* query = nullptr;
    void OnMessage(MessageId m, WParam w, LParam l) override { query->OnMessage(m, w, l); }
    void OnTimer(TimerId id) override { query->OnTimer(id); }
  };

  void SetUpIcons();
  void CreateMessageService();
  void LoadCursor();
  void AddTrayIcon();
  void SetUpPortHooks();
  void SetUpInitializerHooks();
  void StartDeviceOrWait();
  void OnStatus(WParam indicator, LParam value);
  void OnTrayIcon(WParam id, LParam mouse);
  void OnCommand(WParam command);
  void OpenTrayMenu();
  void ToggleShown();
  void OnClose();
  void OnDeviceWaitTimer();
  void OnDeviceInitialised();
  void UpdateCardIndicator();
  void OnPinEntryClosed(std::int16_t openedFor, bool atStartUp);
  void ShowExitPicture();
  void HideExitPicture();
  void OpenAbout();
  void OpenLanguageDialog();
  void ShowLoadProblems();
  InternetPageLink* InternetPage() const;
  // Sends (calls at once) a message to a page's handler; false without one.
  bool SendToPage(PageKind kind, MessageId message, WParam wParam, LParam lParam);

  CModaraApp& app_;
  CDeviceStatus status_;
  DeviceRoute deviceRoute_;
  QtWindowPort deviceWindow_;
  CStatusCommands statusCommands_;
  CDeviceInitializer initializer_;
  CReplyExchange cardExchange_;
  CCardCommands card_;
  InfoRoute infoRoute_;
  QtWindowPort infoWindow_;
  CDeviceInfoQuery info_;

  QTabWidget* tabs_ = nullptr;
  std::size_t nextPage_ = 0;  // the next of kPageOrder to build
  CIndicatorStrip* indicators_ = nullptr;
  std::map<PageKind, QPointer<CBasePage>> pages_;
  QPointer<QWidget> pinEntry_;
  QToolButton* cardIndicator_ = nullptr;
  QTimer* cardWatch_ = nullptr;
  QSystemTrayIcon* tray_ = nullptr;
  QMenu* trayMenu_ = nullptr;
  QAction* toggleAction_ = nullptr;
  int showState_ = kShownState;
  std::optional<QCursor> cursor_;
  ConnSetDataFile connSetFile_;
  ConnSetData connSet_ = DefaultConnSetData();
  std::unique_ptr<CSleepMonitor> sleep_;
  std::unique_ptr<MessageService> messages_;
  QPointer<QWidget> exitPicture_;
  bool endedByClose_ = false;
  bool endedByQuit_ = false;
  bool ending_ = false;
  bool resuming_ = false;
  bool shownOnce_ = false;
  bool initialised_ = false;
  std::atomic<bool> incomingCall_{false};
  QWidget* shownPage_ = nullptr;
  // The last value of each status message indicator (-1 none yet).
  std::array<LParam, kIndicatorCount> lastIndicator_;
  bool switchingBack_ = false;
};

}  // namespace evdo
