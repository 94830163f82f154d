#pragma once
// The read window (CSmsReadDlg): one message of a box, found through the
// messages page's row order: name, number, time and content (part label and
// text) with its character count. Previous and next move along the list;
// in the inbox the other two buttons reply and close, in the other boxes
// they go to the first and the last message.
#include "sms/MessageList.h"
#include "ui/skin/CBaseDlg.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace evdo {

class CSmsDlg;

class CSmsReadDlg : public CBaseDlg {
  Q_OBJECT

 public:
  CSmsReadDlg(CSmsDlg& page, int box, int row, QWidget* parent = nullptr);

  // Shows the record at row of box (an unread one becomes read).
  void ShowRow(int box, int row);
  int Box() const { return box_; }
  int Row() const { return row_; }

  void Move(SmsReadMove move);
  // The two buttons that depend on the box.
  void FirstButton();
  void SecondButton();

  QString NameText() const;
  QString NumberText() const;
  QString TimeText() const;
  QString ContentText() const;
  QPushButton* Button(const char* name) const;

  // WM_USER+13: wParam the box, lParam the row.
  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;

 protected:
  void OnInitDialog() override;

 private:
  CSmsDlg& page_;
  int box_;
  int row_;
  QLabel* name_ = nullptr;
  QLabel* number_ = nullptr;
  QLabel* time_ = nullptr;
  QLabel* count_ = nullptr;
  QPlainTextEdit* content_ = nullptr;
  QPushButton* previous_ = nullptr;
  QPushButton* next_ = nullptr;
  QPushButton* first_ = nullptr;   // reply in the inbox, else first
  QPushButton* second_ = nullptr;  // close in the inbox, else last
};

}  // namespace evdo
