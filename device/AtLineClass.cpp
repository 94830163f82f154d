#include "device/AtLineClass.h"

#include <cstring>

namespace evdo {

const char kLineClassTexts[kLineClassCount][kLineClassTextSize] = {
    "OK",
    "ERROR",
    "RING",
    "NO CARRIER",
    "NO DIALTONE",
    "+CME ERROR:",
    "+CMS ERROR:",
    "+CMTI: ",
    "+CMT: ",
    "+RSSI: ",
    "+CSMSS:",
    "+CPBSS:",
    "+CLIP: ",
    "Network status: ",
    "Network Service: ",
    "Roaming status: ",
    "HANDSET_NOTIFY: ",
    "SIM_READY: ",
    "Current PLMN: ",
    "Srv status: ",
    "+CDS: ",
};

namespace {

constexpr int kSlotOfClass[kLineClassCount] = {17, 17, 0, 3, 4, 17, 17, 1, 2, 5, 6,
                                               7,  8,  9, 10, 11, 12, 13, 14, 15, 16};

}  // namespace

int ClassifyLine(const char* line) {
  for (int cls = 0; cls < kLineClassCount; ++cls) {
    const char* text = kLineClassTexts[cls];
    bool match = cls < kFirstPrefixClass ? std::strcmp(line, text) == 0
                                         : std::strncmp(line, text, std::strlen(text)) == 0;
    if (match) return cls;
  }
  return kLineInformation;
}

bool IsFinalResult(int lineClass) {
  return lineClass == kLineOk || lineClass == kLineError || lineClass == kLineCmeError ||
         lineClass == kLineCmsError;
}

int SlotOfClass(int lineClass) {
  return lineClass >= 0 && lineClass < kLineClassCount ? kSlotOfClass[lineClass] : -1;
}

}  // namespace evdo
