#pragma once
// The message write window: the recipients field, the message centre, the
// text with its counters, the send and save buttons and the progress window
// of a send. The exchange itself is CSmsSender's; this window only shows it.
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sms/SmsSender.h"
#include "ui/skin/CBaseDlg.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace evdo {

class CAtDispatcher;

// What a write window works with; the pointers outlive the window.
struct SmsWriteServices {
  CCommandExchange* exchange = nullptr;
  CSmsData* store = nullptr;
  Event* notificationGate = nullptr;
  sms::CSmsLinkLock* link = nullptr;
  // The send splitter shared by every write window.
  sms::MessageSplitter* splitter = nullptr;
  // The conditions of a send, the settings and boxChanged/finished; the
  // window adds the progress window and the message boxes.
  sms::SendHooks hooks;
  // Picks numbers from the phonebook for the recipients field; empty: the
  // button is not shown.
  std::function<std::vector<std::string>(QWidget* parent)> pickContacts;
  // A language string (with the number for a refused one) for the user;
  // empty: a message box with caption 272.
  std::function<void(int stringId, const QString& detail)> showMessage;
  // The 600 Hz beep of a refused key; empty: the desktop's beep.
  std::function<void()> beep;
};

class CSmsWriteDlg : public CBaseDlg {
  Q_OBJECT

public:
  explicit CSmsWriteDlg(SmsWriteServices services, QWidget* parent = nullptr);
  ~CSmsWriteDlg() override;

  // What the window opens with (texts in Qt's form; numbers separated by ';').
  void SetRecipients(const QString& recipients);
  void SetText(const QString& text);
  // The window's message centre (the application's unless the opener gives one).
  void SetServiceCentre(const QString& number);

  QString Recipients() const;
  QString Text() const;
  QString ServiceCentre() const;
  // The counters beside the text: "(n / limit)", "(left)", "p/5" or "".
  QString CountText() const;
  QString LeftText() const;
  QString PartText() const;

  // The buttons' actions (also for the command line and tests).
  sms::SendStart Send();
  bool Save();
  bool IsSending() const { return sender_.IsSending(); }
  // The progress window while a send runs (null otherwise).
  QWidget* ProgressWindow() const { return progress_.data(); }
  QString ProgressText() const;
  int ProgressValue() const;

  QLineEdit* RecipientsField() const { return recipients_; }
  QPlainTextEdit* TextField() const { return text_; }
  QPushButton* SendButton() const { return send_; }
  QPushButton* SaveButton() const { return save_; }
  QPushButton* ContactsButton() const { return contacts_; }

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

protected:
  void OnInitDialog() override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

private:
  sms::SendHooks SenderHooks();
  void Show(int stringId, const QString& detail = {});
  void Beep();
  void RecipientsEdited();
  void TextChanged();
  void UpdateCounters();
  void PickContacts();
  void OpenProgress(int range);
  void StepProgress(const std::string& number, int position, int count);
  void CloseProgress();
  void SetBusy(bool busy);

  SmsWriteServices services_;
  sms::CSmsSender sender_;

  QLineEdit* recipients_ = nullptr;
  QLineEdit* centre_ = nullptr;
  QPlainTextEdit* text_ = nullptr;
  QLabel* count_ = nullptr;
  QLabel* left_ = nullptr;
  QLabel* part_ = nullptr;
  QPushButton* contacts_ = nullptr;
  QPushButton* send_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* close_ = nullptr;
  QPointer<CBaseDlg> progress_;
  QLabel* progressText_ = nullptr;
  QProgressBar* progressBar_ = nullptr;

  // The last accepted contents, put back when a change is refused.
  QString acceptedRecipients_;
  QString acceptedText_;
  bool restoring_ = false;
};

}  // namespace evdo
