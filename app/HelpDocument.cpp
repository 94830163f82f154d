#include "app/HelpDocument.h"

#include <unistd.h>

#include "ui/LanguageModuleAbi.h"

namespace evdo {

std::string HelpFileName(int language) {
  return language == kLanguageChinese ? "help_zh.html" : "help_en.html";
}

std::string FindHelpDocument(std::string_view configured, int language, const std::vector<std::string>& folders,
                             const std::function<bool(const std::string&)>& readable) {
  if (!configured.empty() && readable(std::string(configured))) return std::string(configured);
  for (const std::string& name : {HelpFileName(language), HelpFileName(kLanguageEnglish)}) {
    for (const std::string& folder : folders) {
      if (folder.empty()) continue;
      std::string path = folder;
      path += '/';
      path += name;
      if (readable(path)) return path;
    }
  }
  return {};
}

std::string FindHelpDocument(std::string_view configured, int language, const std::vector<std::string>& folders) {
  return FindHelpDocument(configured, language, folders,
                          [](const std::string& path) { return ::access(path.c_str(), R_OK) == 0; });
}

}  // namespace evdo
