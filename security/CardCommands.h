#pragma once
// The card lock record's queries and the code commands of the PIN dialogs,
// each an exchange on the event layer: the answer moves the record on the
// window's thread and done reports the outcome (answered, not written, timed
// out). A code that is not 4 to 8 digits is never written.
#include <functional>
#include <string>
#include <string_view>

#include "device/status/PinStatus.h"
#include "security/CardAnswers.h"
#include "security/ReplyExchange.h"

namespace evdo {

class CCardCommands {
public:
  using Done = std::function<void(CommandOutcome)>;

  CCardCommands(CPinStatus& pin, CReplyExchange& exchange) : pin_(pin), exchange_(exchange) {}

  CPinStatus& Pin() { return pin_; }
  // What the card said to the last answered command.
  CardVerdict LastVerdict() const { return verdict_; }
  bool IsBusy() const { return exchange_.IsOutstanding(); }

  void QuerySimState(Done done);
  void QueryLockState(Done done);
  void QueryAttempts(Done done);
  void EnterPin(std::string_view pin, Done done);
  void SwitchLock(bool on, std::string_view pin, Done done);
  void ChangePin(std::string_view oldPin, std::string_view newPin, Done done);
  void Unblock(std::string_view puk, std::string_view newPin, Done done);

  // The command line of a request with its codes; empty when a code is not
  // 4 to 8 digits.
  static std::string CommandText(CardRequest request, std::string_view first = {},
                                 std::string_view second = {});

private:
  void Run(CardRequest request, const std::string& command, std::uint32_t waitMs, Done done);

  CPinStatus& pin_;
  CReplyExchange& exchange_;
  CardVerdict verdict_ = CardVerdict::Other;
};

}  // namespace evdo
