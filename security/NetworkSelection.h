#pragma once
// The network page without its window: search for operators, register
// automatically or with the chosen operator, and set the system preference.
// Commands run on the page's event layer (guard timers 32 and 33, the
// progress animation on timer 50); the end of each posts WM_USER+31 with the
// command mode to the page, which then enables its controls again.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "security/OperatorList.h"
#include "security/ReplyExchange.h"
#include "ui/StringIds.h"

namespace evdo {

// Command modes.
inline constexpr int kNetworkRegister = 0;
inline constexpr int kNetworkSearch = 2;
inline constexpr int kNetworkPreference = 3;
inline constexpr int kNetworkIdle = -1;

// The network page's controls that the commands disable and enable.
inline constexpr int kCtlPreferenceGroup[] = {1196, 1190, 1191, 1188, 1189, 1177};
inline constexpr int kCtlSelectionGroup[] = {1186, 1187, 1176, 1086, 1087};

// How many characters of a progress text show at a step of the animation:
// the last six appear one by one.
std::size_t ProgressVisibleChars(std::size_t totalChars, int counter);

struct NetworkPageView {
  std::function<void(const std::vector<int>& controls, bool enabled)> enable;
  std::function<void(StringId text, int counter)> showProgress;
  std::function<void()> hideProgress;
  // Fills the operator list (empty list: clears it).
  std::function<void(const OperatorList& list)> fillList;
  std::function<void(StringId message)> showMessage;
};

class CNetworkSelection : public WindowHandler {
public:
  CNetworkSelection(CCommandExchange& exchange, WindowPort& self, NetworkPageView view);

  // The page opens: everything disabled with message 119 while the dial-up
  // connection is up; otherwise the controls of the chosen mode enabled.
  void Open(bool connected);
  // 0 automatic (list and search disabled, list emptied), 1 manual.
  void SetMode(int mode);
  int Mode() const { return mode_; }
  void Search();
  // selectedRow: -1 when none; shortName: that row's operator (column 1).
  void Register(int selectedRow, std::string_view shortName);
  void SetPreference(int index);

  int CommandMode() const { return command_; }
  std::size_t EntryCount() const { return entryCount_; }
  int Counter() const { return counter_; }
  bool IsBusy() const { return exchange_.IsOutstanding(); }

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

private:
  void Enable(const std::vector<int>& controls, bool enabled);
  void Message(StringId id);
  void StartProgress(StringId text);
  void ShowProgress();
  void Finished(int mode);
  void OnSearchAnswer(CommandOutcome outcome, const CommandReply& reply);
  void OnRegisterAnswer(CommandOutcome outcome, const CommandReply& reply);
  void OnPreferenceAnswer(CommandOutcome outcome, const CommandReply& reply);

  CReplyExchange exchange_;
  WindowPort& self_;
  NetworkPageView view_;
  int mode_ = 0;
  int command_ = kNetworkIdle;
  std::size_t entryCount_ = 0;
  int counter_ = 0;
  StringId progressText_ = 0;
};

}  // namespace evdo
