#pragma once
// The call page (CCallDlg): the display, the number field with its keypad,
// dial and end, the volume slider, the way to the contacts and to the call
// history; and the incoming-call pop-up. Its logic is CCallControl; this
// page only shows it and hands it the user's actions.
#include <QElapsedTimer>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>

#include "calls/CallControl.h"
#include "ui/skin/CBasePage.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace evdo {

class CAtDispatcher;
class CCallHistoryDlg;
class CPbData;
class CPopDlg;
class DesktopNotifier;

// What the page needs from the application around it.
struct CallPageServices {
  CCommandExchange* exchange = nullptr;
  CAtDispatcher* dispatcher = nullptr;
  CHistData* history = nullptr;      // may be null
  CPbData* phonebook = nullptr;      // may be null
  std::shared_ptr<DesktopNotifier> notifier;  // may be null
  std::function<std::string()> identityText;
  std::function<std::string()> versionText;
  std::function<bool()> cardReady;
  std::function<int()> powerManagement;
  std::function<void()> clearIncomingFlag;
  // The call indicator of the main window: 1 ringing or missed calls not yet
  // looked at, 0 otherwise; count is the number of those missed calls.
  std::function<void(int value, int missedCount)> callIndicator;
  // Shows the page (an incoming call is answered from the pop-up).
  std::function<void()> showPage;
  // Opens the message writing window with the number as recipient; empty:
  // messages cannot be written from here.
  std::function<void(const std::string& number)> writeMessage;
  // Makes a new contact of the number through the phonebook (the position
  // dialog, then the editor), over the window given; empty: no phonebook.
  std::function<void(const std::string& number, QWidget* over)> saveToPhonebook;
};

class CCallDlg : public CBasePage {
  Q_OBJECT

public:
  CCallDlg(CallPageServices services, QWidget* parent = nullptr);
  ~CCallDlg() override;

  CCallControl& Control() { return *control_; }
  CPopDlg& Popup() { return *popup_; }
  CCallHistoryDlg* HistoryWindow() const;
  int MissedUnseen() const { return missedUnseen_; }

  // Registers the notification handlers (after the main window's own).
  void RegisterNotifications();
  // Asked before another page is shown; false keeps this one.
  bool AskLeave();
  // Opens the call history window (modeless), on the missed calls.
  CCallHistoryDlg* OpenHistory();
  // Text of the display, as shown.
  QString DisplayText() const;

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  void BuildWindow();
  void Refresh();
  void UpdateIndicator();
  void ShowMessage(int id);
  void OpenInfoDialog(int mode);
  void PickContact();
  std::optional<std::string> ContactName(std::string_view number) const;
  void OnRinging(const std::string& number);
  void OnMissed(const std::string& number);

  CallPageServices services_;
  std::unique_ptr<CCallControl> control_;
  CPopDlg* popup_ = nullptr;
  QPointer<CCallHistoryDlg> history_;
  int missedUnseen_ = 0;

  QLabel* display_ = nullptr;
  QLineEdit* field_ = nullptr;
  QPushButton* erase_ = nullptr;
  QPushButton* dial_ = nullptr;
  QPushButton* end_ = nullptr;
  QPushButton* contacts_ = nullptr;
  QPushButton* historyButton_ = nullptr;
  QPushButton* message_ = nullptr;
  QSlider* volume_ = nullptr;
  QLabel* volumeLabel_ = nullptr;
  QList<QPushButton*> keys_;
  QElapsedTimer held_;
  bool refreshing_ = false;
};

}  // namespace evdo
