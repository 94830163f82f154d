#pragma once
// Where the Help command finds its document. The program ships one help
// document per language ("help/help_en.html", "help/help_zh.html") in the
// folder "help" beside the language modules; the launcher links the folder
// into the data folder, and a program run from the build tree finds it in
// the build folder.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace evdo {

inline constexpr const char* kHelpFolder = "help";

// The document's file name for a language code of the language modules
// (Chinese 16; every other language reads the English one).
std::string HelpFileName(int language);

// The document to open: the file EVDO.ini names (Main_szHelpFile, a path
// in the file system's form) when it can be read; else the language's
// document in the first of folders that has it; else the English one there.
// Empty when none can be read. readable decides whether a path can be read.
std::string FindHelpDocument(std::string_view configured, int language, const std::vector<std::string>& folders,
                             const std::function<bool(const std::string&)>& readable);

// The same with the file system's answer.
std::string FindHelpDocument(std::string_view configured, int language, const std::vector<std::string>& folders);

}  // namespace evdo
