#pragma once
// The numbered texts of the active language module, for the whole program.
// The module is chosen at start-up and may be switched by the language
// dialog; texts loaded afterwards come from the new module.
#include <string>

#include "ui/LanguageModuleAbi.h"
#include "ui/StringIds.h"

namespace evdo {

// Makes module the source of every text loaded afterwards; null leaves the
// program without one (every text is then empty). May be called from any
// thread; module must stay valid for the process's life.
void SetActiveLanguage(const LanguageExports* module);
const LanguageExports* ActiveLanguage();

// The active module's text of id in the system code page; empty when there is
// no active module or it has no such text.
std::string LoadString(StringId id);

// The built-in error shown when no language module fits the settings; the
// program then ends.
inline constexpr const char* kNoLanguageModuleTitle = "Error";
inline constexpr const char* kNoLanguageModuleText = "The specific dll is not found!";

}  // namespace evdo
