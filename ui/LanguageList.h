#pragma once
// The language dialog's list: one line per accepted module, named by its
// language code, and the switch to the chosen module.
#include <string>
#include <vector>

#include "ui/LanguageModules.h"
#include "ui/StringIds.h"

namespace evdo {

// The display name string of a language code; 0 for a code without one.
StringId LanguageNameString(std::int32_t languageCode);

class CLanguageList {
public:
  explicit CLanguageList(CLanguageModules& modules) : modules_(modules) {}

  // The list box lines, one per accepted module in list order, in the active
  // module's language. A module whose code has no display name (or that no
  // longer loads) repeats the line before it; the first line is then empty.
  std::vector<std::string> Lines() const;

  // OK with the selected line: activates that module. False, and the active
  // module stays, when no line is selected (a negative index), the index is
  // past the list, or the module cannot be loaded.
  bool Choose(int index);

private:
  CLanguageModules& modules_;
};

}  // namespace evdo
