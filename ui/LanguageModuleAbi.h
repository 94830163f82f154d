#pragma once
// What a language module exports. A language module is a shared object in the
// folder "lang" with three C functions: "GetComp" (the edition it belongs to),
// "GetLang" (the language code of its texts) and "GetString" (the text of a
// numbered string in the system code page, or null when it has none).
#include <cstdint>

namespace evdo {

using GetCompFunction = std::int32_t (*)();
using GetLangFunction = std::int32_t (*)();
using GetStringFunction = const char* (*)(std::int32_t id);

inline constexpr const char* kGetCompExport = "GetComp";
inline constexpr const char* kGetLangExport = "GetLang";
inline constexpr const char* kGetStringExport = "GetString";

// The exports of one loaded module.
struct LanguageExports {
  GetCompFunction getComp;
  GetLangFunction getLang;
  GetStringFunction getString;
};

// Language codes with a display name in the language dialog.
inline constexpr std::int32_t kLanguageEnglish = 9;
inline constexpr std::int32_t kLanguageChinese = 16;

}  // namespace evdo
