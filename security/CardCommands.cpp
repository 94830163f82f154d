#include "security/CardCommands.h"

#include <utility>

#include "security/PinCode.h"
#include "security/SecurityIds.h"

namespace evdo {

std::string CCardCommands::CommandText(CardRequest request, std::string_view first,
                                       std::string_view second) {
  auto one = [&](const char* prefix) {
    return IsPinCode(first) ? std::string(prefix) + std::string(first) + kCodeEnd : std::string();
  };
  auto two = [&](const char* prefix) {
    if (!IsPinCode(first) || !IsPinCode(second)) return std::string();
    return std::string(prefix) + std::string(first) + kCodeSeparator + std::string(second) + kCodeEnd;
  };
  switch (request) {
    case CardRequest::SimState: return kCmdQuerySimState;
    case CardRequest::LockState: return kCmdQueryLockState;
    case CardRequest::Attempts: return kCmdQueryAttempts;
    case CardRequest::EnterPin: return one(kCmdEnterPinPrefix);
    case CardRequest::LockOn: return one(kCmdLockOnPrefix);
    case CardRequest::LockOff: return one(kCmdLockOffPrefix);
    case CardRequest::ChangePin: return two(kCmdChangePinPrefix);
    case CardRequest::Unblock: return two(kCmdEnterPinPrefix);
  }
  return {};
}

void CCardCommands::Run(CardRequest request, const std::string& command, std::uint32_t waitMs,
                        Done done) {
  verdict_ = CardVerdict::Other;
  if (command.empty()) {
    done(CommandOutcome::NotWritten);
    return;
  }
  exchange_.Send(command, kCardCommandTimer, waitMs,
                 [this, request, done = std::move(done)](CommandOutcome outcome,
                                                         const CommandReply& reply) {
                   if (outcome == CommandOutcome::Answered) {
                     verdict_ = VerdictOf(reply);
                     ApplyCardAnswer(request, reply, pin_);
                   }
                   done(outcome);
                 });
}

void CCardCommands::QuerySimState(Done done) {
  Run(CardRequest::SimState, CommandText(CardRequest::SimState), kCardQueryWaitMs, std::move(done));
}

void CCardCommands::QueryLockState(Done done) {
  Run(CardRequest::LockState, CommandText(CardRequest::LockState), kCardQueryWaitMs,
      std::move(done));
}

void CCardCommands::QueryAttempts(Done done) {
  Run(CardRequest::Attempts, CommandText(CardRequest::Attempts), kCardQueryWaitMs, std::move(done));
}

void CCardCommands::EnterPin(std::string_view pin, Done done) {
  Run(CardRequest::EnterPin, CommandText(CardRequest::EnterPin, pin), kEnterPinWaitMs,
      std::move(done));
}

void CCardCommands::SwitchLock(bool on, std::string_view pin, Done done) {
  CardRequest request = on ? CardRequest::LockOn : CardRequest::LockOff;
  Run(request, CommandText(request, pin), kSwitchLockWaitMs, std::move(done));
}

void CCardCommands::ChangePin(std::string_view oldPin, std::string_view newPin, Done done) {
  Run(CardRequest::ChangePin, CommandText(CardRequest::ChangePin, oldPin, newPin),
      kChangePinWaitMs, std::move(done));
}

void CCardCommands::Unblock(std::string_view puk, std::string_view newPin, Done done) {
  Run(CardRequest::Unblock, CommandText(CardRequest::Unblock, puk, newPin), kUnblockWaitMs,
      std::move(done));
}

}  // namespace evdo
