#include "tools/modemsim/ModemReply.h"

namespace evdo::modemsim {

void ModemReply::Info(std::string_view line) {
  bytes_ += "\r\n";
  bytes_ += line;
  bytes_ += "\r\n";
}

void ModemReply::Final(std::string_view line) { Info(line); }

void ModemReply::CmeError(int code) { Final("+CME ERROR: " + std::to_string(code)); }

void ModemReply::CmsError(int code) { Final("+CMS ERROR: " + std::to_string(code)); }

void ModemReply::Prompt(TextEntryHandler handler) {
  bytes_ += "\r\n> ";
  textEntry_ = std::move(handler);
}

}  // namespace evdo::modemsim
