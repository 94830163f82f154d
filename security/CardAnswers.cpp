#include "security/CardAnswers.h"

#include <cctype>
#include <string>

#include "security/SecurityIds.h"

namespace evdo {

namespace {

bool ContainsNoCase(std::string_view text, std::string_view what) {
  if (what.empty() || text.size() < what.size()) return false;
  for (std::size_t at = 0; at + what.size() <= text.size(); ++at) {
    std::size_t i = 0;
    while (i < what.size() &&
           std::tolower(static_cast<unsigned char>(text[at + i])) ==
               std::tolower(static_cast<unsigned char>(what[i]))) {
      ++i;
    }
    if (i == what.size()) return true;
  }
  return false;
}

// A decimal number with leading blanks skipped; false without digits.
bool ReadNumber(std::string_view text, int& out) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  int value = 0;
  std::size_t digits = 0;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 6) {
    value = value * 10 + (text[at] - '0');
    ++at;
    ++digits;
  }
  if (digits == 0) return false;
  out = value;
  return true;
}

// The number of a "+CME ERROR: n" final result, or -1.
int CmeCode(const CommandReply& reply) {
  std::string_view final = reply.FinalResult();
  constexpr std::string_view kCme = "+CME ERROR:";
  if (final.substr(0, kCme.size()) != kCme) return -1;
  int code = -1;
  return ReadNumber(final.substr(kCme.size()), code) ? code : -1;
}

bool IsErrorAnswer(const CommandReply& reply) {
  std::string_view final = reply.FinalResult();
  return final == "ERROR" || final.substr(0, 11) == "+CME ERROR:" || final.substr(0, 11) == "+CMS ERROR:";
}

void Decrement(std::atomic<std::uint16_t>& counter) {
  std::uint16_t value = counter.load();
  if (value == kAttemptsUnset || value == 0) return;  // unknown stays unknown, zero stays zero
  counter = static_cast<std::uint16_t>(value - 1);
}

std::string InfoText(const CommandReply& reply) {
  std::string text;
  std::size_t lines = reply.lineCount;
  if (lines > 0) --lines;  // the final result
  for (std::size_t i = 0; i < lines; ++i) {
    text += reply.Line(i);
    text += '\n';
  }
  return text;
}

std::string AllText(const CommandReply& reply) {
  std::string text;
  for (std::size_t i = 0; i < reply.lineCount; ++i) {
    text += reply.Line(i);
    text += '\n';
  }
  return text;
}

void ApplyCodeAnswer(const CommandReply& reply, CPinStatus& pin) {
  if (IsOkAnswer(reply)) {
    pin.pinAttempts = kPinAttemptsFull;
  } else if (AnswerSays(reply, "incorrect password", kCmeIncorrectPassword)) {
    Decrement(pin.pinAttempts);
  } else if (AnswerSays(reply, "SIM PUK required", kCmeSimPukRequired)) {
    pin.pinAttempts = 0;
    pin.simState = kSimStatePukRequired;
  }
}

}  // namespace

CardVerdict VerdictOf(const CommandReply& reply) {
  if (IsOkAnswer(reply)) return CardVerdict::Ok;
  if (AnswerSays(reply, "incorrect password", kCmeIncorrectPassword)) return CardVerdict::WrongCode;
  if (AnswerSays(reply, "SIM PUK required", kCmeSimPukRequired)) return CardVerdict::NeedsPuk;
  if (AnswerSays(reply, "SIM Destroyed", -1)) return CardVerdict::Destroyed;
  return CardVerdict::Other;
}

bool IsOkAnswer(const CommandReply& reply) {
  return reply.lineCount > 0 && std::string_view(reply.FinalResult()) == "OK";
}

bool AnswerSays(const CommandReply& reply, std::string_view text, int cmeCode) {
  if (cmeCode >= 0 && CmeCode(reply) == cmeCode) return true;
  for (std::size_t i = 0; i < reply.lineCount; ++i) {
    if (ContainsNoCase(reply.Line(i), text)) return true;
  }
  return false;
}

bool ParseAttempts(std::string_view line, std::uint16_t& pinAttempts, std::uint16_t& pukAttempts) {
  std::size_t last = line.rfind(',');
  if (last == std::string_view::npos) return false;
  std::string_view before = line.substr(0, last);
  std::size_t previous = before.rfind(',');
  std::string_view pinText;
  if (previous != std::string_view::npos) {
    pinText = before.substr(previous + 1);
  } else {
    std::size_t colon = before.find(':');
    if (colon == std::string_view::npos) return false;
    pinText = before.substr(colon + 1);
  }
  int pinValue = 0;
  int pukValue = 0;
  if (!ReadNumber(pinText, pinValue) || !ReadNumber(line.substr(last + 1), pukValue)) return false;
  if (pinValue > 99 || pukValue > 99) return false;
  pinAttempts = static_cast<std::uint16_t>(pinValue);
  pukAttempts = static_cast<std::uint16_t>(pukValue);
  return true;
}

void ApplyCardAnswer(CardRequest request, const CommandReply& reply, CPinStatus& pin) {
  switch (request) {
    case CardRequest::SimState: {
      std::string text = AllText(reply);
      if (ContainsNoCase(text, "SIM PIN") || CmeCode(reply) == kCmeSimPinRequired) {
        pin.simState = kSimStatePinRequired;
      } else if (ContainsNoCase(text, "SIM PUK") || CmeCode(reply) == kCmeSimPukRequired) {
        pin.simState = kSimStatePukRequired;
      } else if (ContainsNoCase(text, "READY")) {
        pin.simState = kSimStateReady;
      }
      return;
    }
    case CardRequest::LockState: {
      if (IsErrorAnswer(reply)) return;
      std::string text = InfoText(reply);
      if (text.find('1') != std::string::npos) {
        pin.pinLock = kPinLockOn;
      } else if (text.find('0') != std::string::npos) {
        pin.pinLock = kPinLockOff;
      }
      return;
    }
    case CardRequest::Attempts: {
      if (!IsOkAnswer(reply)) return;
      for (std::size_t i = 0; i + 1 < reply.lineCount; ++i) {
        std::uint16_t pinCount = 0;
        std::uint16_t pukCount = 0;
        if (ParseAttempts(reply.Line(i), pinCount, pukCount)) {
          pin.pinAttempts = pinCount;
          pin.pukAttempts = pukCount;
          return;
        }
      }
      return;
    }
    case CardRequest::EnterPin:
      if (IsOkAnswer(reply)) {
        pin.simState = kSimStateReady;
        pin.pinAttempts = kPinAttemptsFull;
      } else if (AnswerSays(reply, "incorrect password", kCmeIncorrectPassword)) {
        Decrement(pin.pinAttempts);
      } else if (AnswerSays(reply, "SIM PUK required", kCmeSimPukRequired)) {
        pin.pinAttempts = 0;
      }
      return;
    case CardRequest::LockOn:
    case CardRequest::LockOff:
      ApplyCodeAnswer(reply, pin);
      if (IsOkAnswer(reply)) pin.pinLock = request == CardRequest::LockOn ? kPinLockOn : kPinLockOff;
      return;
    case CardRequest::ChangePin:
      ApplyCodeAnswer(reply, pin);
      return;
    case CardRequest::Unblock:
      if (IsOkAnswer(reply)) {
        pin.simState = kSimStateReady;
        pin.pukAttempts = kPukAttemptsFull;
        pin.pinAttempts = kPinAttemptsFull;
      } else if (AnswerSays(reply, "SIM Destroyed", -1) ||
                 AnswerSays(reply, "SIM failure", kCmeSimFailure)) {
        pin.pukAttempts = 0;
        pin.simState = kSimStateDestroyed;
      } else if (AnswerSays(reply, "incorrect password", kCmeIncorrectPassword)) {
        Decrement(pin.pukAttempts);
      }
      return;
  }
}

}  // namespace evdo
