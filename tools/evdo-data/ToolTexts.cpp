#include "tools/evdo-data/ToolTexts.h"

#include <algorithm>
#include <cstdint>

#include "core/text/CodePage.h"
#include "lang/ModuleStrings.h"
#include "ui/LanguageLibrary.h"

namespace evdo::datatool {
namespace {

// The module's texts are in code page 936, as the dashboard reads them.
constexpr CodePage kModuleCodePage = CodePage::Cp936;

const LanguageExports*& Module() {
  static const LanguageExports* module = nullptr;
  return module;
}

const char* BuiltIn(int id) {
  const ModuleString* end = kModuleStrings + kModuleStringCount;
  const ModuleString* found = std::lower_bound(kModuleStrings, end, id, [](const ModuleString& s, std::int32_t v) {
    return s.id < v;
  });
  return found != end && found->id == id ? found->text : nullptr;
}

}  // namespace

bool UseLanguageModule(const std::string& path, std::string& error) {
  const LanguageExports* module = DlopenLanguageLoader::Instance().Load(path);
  if (module == nullptr) {
    error = path + ": not a language module";
    return false;
  }
  Module() = module;
  return true;
}

void UseBuiltInTexts() { Module() = nullptr; }

std::string MessageText(int id) {
  if (const LanguageExports* module = Module()) {
    if (const char* text = module->getString(static_cast<std::int32_t>(id))) return ToUtf8(text, kModuleCodePage);
  }
  if (const char* text = BuiltIn(id)) return text;
  return "message " + std::to_string(id);
}

}  // namespace evdo::datatool
