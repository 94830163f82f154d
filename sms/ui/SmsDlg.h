#pragma once
// The messages page (CSmsDlg): the three boxes of the message store as a
// list with status icons, contact names and part labels, sortable by each
// column; reading, replying, forwarding, sending again, calling back,
// deleting, exporting; and the ways to the write and transfer windows and
// to the phonebook. Its logic is sms/MessageList; this page only shows it.
#include <QDialog>
#include <QPointer>

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "sms/MessageList.h"
#include "sms/ui/SmsReadDlg.h"
#include "ui/skin/CBaseDlg.h"
#include "ui/skin/CBasePage.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QTabBar;
class QTreeWidget;

namespace evdo {

class CPbData;
class CSmsData;
class CSmsReadDlg;

// The read window is handed another message: wParam the box, lParam the row.
constexpr MessageId kMsgShowSmsRecord = WM_USER + 13;

// What the page needs from the application around it.
struct MessagesPageServices {
  CSmsData* sms = nullptr;
  CPbData* phonebook = nullptr;  // may be null
  // True when the port is Ready; otherwise it has shown why not.
  std::function<bool()> portReady;
  // Hands a number (system code page) to the call page, which dials it.
  std::function<void(const std::string& number)> dial;
  // Refreshes the main window's unread and inbox-full indicators.
  std::function<void()> indicatorsChanged;
  // The windows of the message exchanges; a command whose window is not
  // there is switched off.
  std::function<void(const QString& recipients, const QString& text)> openWriteWindow;
  std::function<void()> openTransferWindow;
  // Makes a new contact of a number through the phonebook (its position
  // dialog and editor) over the window given.
  std::function<void(const std::string& number, QWidget* over)> saveNumber;
};

class CSmsDlg : public CBasePage {
  Q_OBJECT

 public:
  explicit CSmsDlg(MessagesPageServices services, QWidget* parent = nullptr);
  ~CSmsDlg() override;

  // The windows of the message exchanges, when they come later than the page.
  void SetWriteWindow(std::function<void(const QString& recipients, const QString& text)> open);
  void SetTransferWindow(std::function<void()> open);
  void SetSaveNumber(std::function<void(const std::string& number, QWidget* over)> save);

  // A box changed in the store (AllBoxes: any): its rows are rebuilt in
  // their sort order, and the main window's indicators follow.
  void RefreshBox(int box);
  // Opens the first inbox message marked new (the mark is cleared in the
  // whole inbox); message 323 when none is marked.
  void ShowNewMessage();

  int CurrentBox() const { return box_; }
  void ShowBox(int box);
  QTreeWidget& Rows() { return *rows_; }
  const CSmsListOrder& Order(int box) const { return orders_[static_cast<std::size_t>(box)]; }
  CSmsReadDlg* ReadWindow() const { return read_.data(); }
  QPushButton* Button(const char* name) const;

  // The commands, as their buttons run them.
  void Read();
  void Reply();
  void Forward();
  void Resend();
  void CallBack();
  void DeleteSelected();
  // Empties the shown box after question 122.
  void DeleteAll();
  void NewMessage();
  void Transfer();
  void SaveNumber();
  void Export();
  void ClickColumn(int column);

  // The export of a choice (a box, or AllBoxes) to path: 0 when written,
  // 193 when the choice holds no message, else the writer's message.
  int ExportTo(int choice, const std::string& path);
  bool ChoiceIsEmpty(int choice) const;
  // The save dialog of the export; "" when cancelled.
  QString ChooseExportFile();

  // What the read window shows of a record.
  std::optional<SmsRecord> RecordAt(int box, int row) const;
  QString NameText(const SmsRecord& record) const;
  QString NumberText(const SmsRecord& record) const;
  // An unread record shown in the read window becomes read at once.
  void MarkRead(int box, int row);
  // Marks row as the one selected (the read window's message).
  void SelectRow(int box, int row);
  bool CanWrite() const;
  // Opens the write window (the hooks).
  void OpenWrite(const QString& recipients, const QString& text);

  // Asks the user; replaced by tests. Returns true for Yes.
  std::function<bool(int questionId)> ask;
  std::function<void(int messageId)> tell;
  // Shows a problem with the store (its own text).
  std::function<void(const QString& problem)> warn;
  // The export's choice of box (CSmsExportSel); replaced by tests.
  std::function<QString()> chooseFile;
  // Which of the numbers found in a message goes into the phonebook; empty:
  // none (the numbers window, replaceable for tests).
  std::function<std::string(const std::vector<std::string>& numbers)> chooseNumber;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildWindow();
  void Fill();
  void FitContentColumn();
  void KeepSelectionVisible();
  void UpdateButtons();
  void Rebuild(int box);
  SmsNameLookup Lookup() const;
  // The record of the selected row (the current one when selected, else the
  // first selected); false with message 391 shown when none is.
  bool Selected(int& row, SmsRecord& out);
  void OpenRead(int box, int row);
  void ReportFailure(const ChangeResult& change);

  MessagesPageServices services_;
  std::array<CSmsListOrder, kSmsBoxCount> orders_{};
  int box_ = Inbox;
  QPointer<CSmsReadDlg> read_;

  QTabBar* tabs_ = nullptr;
  QTreeWidget* rows_ = nullptr;
  QPushButton* readButton_ = nullptr;
  QPushButton* reply_ = nullptr;   // control 1070, the inbox only
  QPushButton* resend_ = nullptr;  // control 1071, the other boxes
  QPushButton* forward_ = nullptr;
  QPushButton* callBack_ = nullptr;
  QPushButton* saveNumber_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* deleteAll_ = nullptr;
  QPushButton* new_ = nullptr;
  QPushButton* showNew_ = nullptr;
  QPushButton* transfer_ = nullptr;
  QPushButton* export_ = nullptr;
};

// The export's choice (CSmsExportSel): the inbox, the outbox, the saved box
// or all boxes. OK with an empty choice shows message 193 and stays; else
// the window hides while the export runs, then closes.
class CSmsExportSel : public CBaseDlg {
  Q_OBJECT

 public:
  explicit CSmsExportSel(CSmsDlg& page, QWidget* parent = nullptr);

  int Choice() const;
  void SetChoice(int choice);
  // The OK button.
  void Run();

 protected:
  void OnInitDialog() override;

 private:
  CSmsDlg& page_;
  QButtonGroup* choices_ = nullptr;
};

}  // namespace evdo
