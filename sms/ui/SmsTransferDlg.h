#pragma once
// The transfer window (CSmsTransferDlg): two panes, each showing one
// storage (the computer with its box chooser, the modem's memory "ME" or the
// card "SM"; a storage shown in one pane is not offered in the other), with
// used and total counts of the device storages, copy and move buttons in
// both directions, a delete button under each pane and the progress of the
// running operation. All work is the CSmsTransfer exchange's; the window
// only shows its lists and hands it the user's choices.
#include <functional>
#include <memory>

#include "core/event/Event.h"
#include "device/CommandExchange.h"
#include "sms/SmsChannel.h"
#include "sms/SmsData.h"
#include "sms/SmsTransfer.h"
#include "ui/skin/CBaseDlg.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace evdo::sms {

// What the window needs from the application.
struct TransferServices {
  CCommandExchange* exchange = nullptr;
  CSmsData* store = nullptr;
  Event* notificationGate = nullptr;
  CSmsLinkLock* link = nullptr;
  // The card state is ready (22), the incoming-call flag, the port is open.
  std::function<bool()> cardReady;
  std::function<bool()> incomingCall;
  std::function<bool()> portOpen;
  // A computer box changed (the messages page shows it again) and the main
  // window's unread and full indicators.
  std::function<void(int box)> boxChanged;
  std::function<void()> indicatorsChanged;
};

class CSmsTransferDlg : public CBaseDlg {
  Q_OBJECT

public:
  enum Pane { kLeft = 0, kRight = 1 };

  // The window opens only when the card is ready, no call is flagged and
  // the port is open.
  static bool CanOpen(const TransferServices& services);

  explicit CSmsTransferDlg(TransferServices services, QWidget* parent = nullptr);
  ~CSmsTransferDlg() override;

  CSmsTransfer& Transfer() { return *transfer_; }
  // The storage code a pane shows (kStoragePc, kStorageMe, kStorageSm).
  int Storage(Pane pane) const;
  void ChooseStorage(Pane pane, int storage);
  void ChooseBox(int box);
  QTreeWidget* List(Pane pane) const { return lists_[pane]; }
  QLabel* Counts(Pane pane) const { return counts_[pane]; }
  QPushButton* CopyButton(Pane from) const { return copy_[from]; }
  QPushButton* MoveButton(Pane from) const { return move_[from]; }
  QPushButton* DeleteButton(Pane pane) const { return delete_[pane]; }
  QProgressBar* Progress() const { return progress_; }
  QLabel* ProgressText() const { return progressText_; }

  // The buttons: copy or move the selection of pane from to the other one;
  // delete the selection of a pane (after the question).
  void CopyOrMove(Pane from, bool move);
  void DeleteSelection(Pane pane, bool ask = true);

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  QWidget* BuildPane(Pane pane);
  void OnStorageChosen(Pane pane);
  void Fill(Pane pane);
  void FillAll();
  void EnableButtons();
  std::vector<int> Selection(Pane pane) const;
  TransferHooks Hooks();

  TransferServices services_;
  std::unique_ptr<CSmsTransfer> transfer_;
  QComboBox* storages_[2] = {};
  QComboBox* boxes_[2] = {};
  QTreeWidget* lists_[2] = {};
  QLabel* counts_[2] = {};
  QPushButton* copy_[2] = {};
  QPushButton* move_[2] = {};
  QPushButton* delete_[2] = {};
  QProgressBar* progress_ = nullptr;
  QLabel* progressText_ = nullptr;
  bool read_ = false;
  bool filling_ = false;
};

}  // namespace evdo::sms
