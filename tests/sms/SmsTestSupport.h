#pragma once
// Helpers shared by the message tests: records, and a count of the saves
// that reach the disk. Scratch folders: tests/support/TempDir.h.
#include <string>

#include "core/text/CodePage.h"
#include "core/files/DataFile.h"
#include "sms/SmsRecord.h"
#include "tests/support/TempDir.h"

namespace evdo::test {

inline SmsRecord MakeRecord(std::int32_t status, std::string_view number, const DateTime& time,
                            std::string_view text = {}) {
  SmsRecord r = ZeroSmsRecord();
  r.status = status;
  SetFullFieldText(r.number, number);
  r.time.Set(time);
  SetFieldText(r.text, text);
  return r;
}

// Counts the saves that reach the rename; can make them fail instead.
class SaveWatch {
public:
  SaveWatch() {
    saves_ = 0;
    fail_ = false;
    DataFile::SetBeforeRenameHook(&Hook);
  }
  ~SaveWatch() { DataFile::SetBeforeRenameHook(nullptr); }
  int Saves() const { return saves_; }
  void FailSaves(bool fail) { fail_ = fail; }

private:
  static bool Hook(const std::string&) {
    ++saves_;
    return !fail_;
  }
  static inline int saves_ = 0;
  static inline bool fail_ = false;
};

// Selects a code page for one test and restores code page 936 after it.
class CodePageScope {
public:
  explicit CodePageScope(CodePage cp) { SelectSystemCodePage(cp); }
  ~CodePageScope() { SelectSystemCodePage(CodePage::Cp936); }
};

}  // namespace evdo::test
