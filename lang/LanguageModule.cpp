// A language module: its identity and its numbered texts. Built once per
// language with EVDO_LANG_COMPANY and EVDO_LANG_CODE defined and the
// generated string table linked in.
#include <algorithm>
#include <type_traits>

#include "lang/ModuleStrings.h"
#include "ui/LanguageModuleAbi.h"

#define EVDO_LANG_EXPORT extern "C" __attribute__((visibility("default")))

EVDO_LANG_EXPORT std::int32_t GetComp() { return EVDO_LANG_COMPANY; }

EVDO_LANG_EXPORT std::int32_t GetLang() { return EVDO_LANG_CODE; }

EVDO_LANG_EXPORT const char* GetString(std::int32_t id) {
  using evdo::kModuleStringCount;
  using evdo::kModuleStrings;
  const evdo::ModuleString* end = kModuleStrings + kModuleStringCount;
  const evdo::ModuleString* found = std::lower_bound(
      kModuleStrings, end, id, [](const evdo::ModuleString& s, std::int32_t value) { return s.id < value; });
  return found != end && found->id == id ? found->text : nullptr;
}

static_assert(std::is_same_v<decltype(&GetComp), evdo::GetCompFunction>);
static_assert(std::is_same_v<decltype(&GetLang), evdo::GetLangFunction>);
static_assert(std::is_same_v<decltype(&GetString), evdo::GetStringFunction>);
