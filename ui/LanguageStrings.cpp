#include "ui/LanguageStrings.h"

#include <atomic>

namespace evdo {

namespace {

std::atomic<const LanguageExports*> g_active{nullptr};

}  // namespace

void SetActiveLanguage(const LanguageExports* module) { g_active.store(module); }

const LanguageExports* ActiveLanguage() { return g_active.load(); }

std::string LoadString(StringId id) {
  const LanguageExports* module = g_active.load();
  if (module == nullptr) return {};
  const char* text = module->getString(id);
  return text ? std::string(text) : std::string();
}

}  // namespace evdo
