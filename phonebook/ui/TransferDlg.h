#pragma once
// CTransferDlg: the modem's phonebooks beside the PC contacts. It reads the
// card and the device memory first (with the wait window CWaitDlg) and
// shows itself only when both were read; then its four buttons copy or move
// the selected rows between its two panes. Everything runs on the event
// layer; the window stays responsive throughout.
#include <QPointer>

#include <memory>

#include "phonebook/PbTransfer.h"
#include "phonebook/ui/PhonebookServices.h"
#include "ui/skin/CBaseDlg.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace evdo {


// The wait window: a text and a progress bar while a memory is read.
class CWaitDlg : public CBaseDlg {
  Q_OBJECT

public:
  explicit CWaitDlg(QWidget* parent = nullptr);
  void SetText(const QString& text);
  void SetProgress(int done, int total);
  QProgressBar* Bar() const { return bar_; }

protected:
  void keyPressEvent(QKeyEvent* event) override;

private:
  QLabel* text_;
  QProgressBar* bar_;
  int done_ = 0;
  int total_ = 1;
  bool updateScheduled_ = false;
};

class CTransferDlg : public CBaseDlg {
  Q_OBJECT

public:
  CTransferDlg(const PhonebookServices& services, CPbData& store, QWidget* parent = nullptr);
  ~CTransferDlg() override;

  // The open transfer window, or null (only one exists at a time).
  static CTransferDlg* Current();

  // Starts reading the card and the device memory; the window shows when
  // both were read and closes (deleting itself) otherwise.
  void Start();

  CPbDeviceIo& Io() { return io_; }
  CPbTransfer& Transfer() { return transfer_; }
  CWaitDlg* WaitWindow() const { return wait_; }
  QTreeWidget* Pane(int side) const { return side == 0 ? left_ : right_; }
  QComboBox* Selector(int side) const { return side == 0 ? leftPlace_ : rightPlace_; }
  PbPlace PlaceOf(int side) const;
  void SetPlace(int side, PbPlace place);
  // The four buttons: copy (move) left to right, right to left.
  void CopyOrMove(bool leftToRight, bool move);
  bool IsReady() const { return ready_; }

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

private:
  PbTransferHooks Hooks();
  void Fill(int side);
  void FillBoth();
  void OnSelector(int side);
  void SetButtonsEnabled(bool enabled);
  void OnOpened(const PbResult& result);

  PhonebookServices services_;
  CPbData& store_;
  CPbDeviceIo io_;
  CPbTransfer transfer_;
  QPointer<CWaitDlg> wait_;
  QComboBox* leftPlace_;
  QComboBox* rightPlace_;
  QTreeWidget* left_;
  QTreeWidget* right_;
  QPushButton* buttons_[4];
  QProgressBar* progress_;
  bool ready_ = false;
  bool switching_ = false;
};

}  // namespace evdo
