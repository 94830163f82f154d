#pragma once
// The call history window (CCallHistoryDlg): the missed, received and
// dialled calls in tabs, sortable by each column; call back, save the number
// into the phonebook, delete the selected calls or the whole list.
#include <QPointer>

#include <array>
#include <functional>
#include <string>

#include "calls/HistListOrder.h"
#include "ui/skin/CBaseDlg.h"

class QTabBar;
class QTreeWidget;
class QPushButton;

namespace evdo {

class CHistData;
class CPbData;

struct HistoryWindowServices {
  CHistData* history = nullptr;
  CPbData* phonebook = nullptr;  // may be null
  // Dials a number on the call page (the page checks it); true when sent.
  std::function<bool(const std::string& number)> dial;
  // Opens the message writing window with the number as recipient; empty:
  // the send command is not offered.
  std::function<void(const std::string& number)> writeMessage;
  // Makes a new contact of the number through the phonebook's position
  // dialog and editor, over the window given.
  std::function<void(const std::string& number, QWidget* over)> saveToPhonebook;
};

class CCallHistoryDlg : public CBaseDlg {
  Q_OBJECT

public:
  CCallHistoryDlg(HistoryWindowServices services, QWidget* parent = nullptr);

  // The list shown (0 missed, 1 received, 2 dialled).
  int ShownList() const { return shown_; }
  void ShowList(int list);
  QTreeWidget& Rows() { return *rows_; }
  const CHistListOrder& Order(int list) const { return orders_[list]; }

  // The commands, as their buttons run them.
  void CallBack();
  void SendMessage();
  void SaveToPhonebook();
  void DeleteSelected();
  void DeleteAll();
  void ClickColumn(int column);

  // WM_USER+14 from the call page: wParam = the list that changed (3: all).
  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;

  // Asks the user; replaced by tests. Returns true for Yes.
  std::function<bool(int questionId)> ask;
  std::function<void(int messageId)> tell;

protected:
  void OnInitDialog() override;

private:
  void Rebuild(int list);
  void Redisplay();
  std::string NameOf(const HistRecord& record) const;
  // The record of the selected row; false (message 151 shown) without one.
  bool Selected(HistRecord& out);
  bool UsableNumber(const HistRecord& record) const;

  HistoryWindowServices services_;
  std::array<CHistListOrder, kHistListCount> orders_{};
  int shown_ = kMissedCalls;
  QTabBar* tabs_ = nullptr;
  QTreeWidget* rows_ = nullptr;
  QPushButton* callBack_ = nullptr;
  QPushButton* message_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* deleteAll_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace evdo
