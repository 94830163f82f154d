#include "ui/LanguageModules.h"

#include <glob.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>

#include "ui/LanguageStrings.h"

namespace evdo {

namespace {

std::string CurrentDirectory() {
  std::string buffer(4096, '\0');
  if (getcwd(buffer.data(), buffer.size()) == nullptr) return {};
  buffer.resize(buffer.find('\0'));
  return buffer;
}

std::string FullPath(const std::string& cwd, const std::string& path) {
  if (path.empty() || path.front() == '/' || cwd.empty()) return path;
  return cwd.back() == '/' ? cwd + path : cwd + "/" + path;
}

}  // namespace

std::string LanguageModulePattern(const std::string& folder) {
  std::string pattern = folder;
  if (pattern.empty() || pattern.back() != '/') pattern += '/';
  return pattern + kLanguageModulePattern;
}

std::vector<std::string> ListLanguageModuleFiles(const std::string& folder) {
  std::vector<std::string> files;
  glob_t found{};
  if (glob(LanguageModulePattern(folder).c_str(), GLOB_NOSORT, nullptr, &found) == 0) {
    const std::string cwd = CurrentDirectory();
    for (std::size_t i = 0; i < found.gl_pathc; ++i) files.push_back(FullPath(cwd, found.gl_pathv[i]));
  }
  globfree(&found);
  std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
    const int folded = strcasecmp(a.c_str(), b.c_str());
    return folded != 0 ? folded < 0 : a < b;
  });
  return files;
}

CLanguageModules::CLanguageModules(LanguageLibraryLoader& loader) : loader_(loader) {}

bool CLanguageModules::ScanAndSelect(std::int32_t company, std::int32_t language,
                                     const std::string& folder) {
  return ScanFiles(ListLanguageModuleFiles(folder), company, language);
}

bool CLanguageModules::ScanFiles(const std::vector<std::string>& files, std::int32_t company,
                                 std::int32_t language) {
  accepted_.clear();
  for (const std::string& path : files) {
    const LanguageExports* module = loader_.Load(path);
    if (module == nullptr || module->getComp() != company) continue;
    accepted_.push_back(path);
    if (module->getLang() == language) return Activate(path);
  }
  return false;
}

bool CLanguageModules::Activate(const std::string& path) {
  const LanguageExports* module = loader_.Load(path);
  if (module == nullptr) return false;
  SetActiveLanguage(module);
  active_ = path;
  return true;
}

}  // namespace evdo
