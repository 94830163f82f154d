#pragma once
// The kinds of lines the modem sends, recognised by their text, and the
// handler slot that receives a block whose last line is of each kind.
#include <cstddef>

namespace evdo {

enum LineClass : int {
  kLineOk = 0,
  kLineError = 1,
  kLineRing = 2,
  kLineNoCarrier = 3,
  kLineNoDialtone = 4,
  kLineCmeError = 5,
  kLineCmsError = 6,
  kLineCmti = 7,
  kLineCmt = 8,
  kLineRssi = 9,
  kLineCsmss = 10,
  kLineCpbss = 11,
  kLineClip = 12,
  kLineNetworkStatus = 13,
  kLineNetworkService = 14,
  kLineRoamingStatus = 15,
  kLineHandsetNotify = 16,
  kLineSimReady = 17,
  kLineCurrentPlmn = 18,
  kLineSrvStatus = 19,
  kLineCds = 20,
  // No text matched: an information line, kept in the block.
  kLineInformation = 21,
};

constexpr int kLineClassCount = 21;
constexpr std::size_t kLineClassTextSize = 60;
// Classes below this match only the whole line; the others match its start.
constexpr int kFirstPrefixClass = kLineCmeError;

// The texts of the classes, in search order.
extern const char kLineClassTexts[kLineClassCount][kLineClassTextSize];

// The class of a zero-terminated line: the first text that matches, or
// kLineInformation.
int ClassifyLine(const char* line);

// True for the classes that end a command's answer (the prompt "> " counts
// as kLineOk).
bool IsFinalResult(int lineClass);

// The handler slot for a class (kLineClassCount entries).
int SlotOfClass(int lineClass);

}  // namespace evdo
