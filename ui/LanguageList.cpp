#include "ui/LanguageList.h"

#include "ui/LanguageStrings.h"

namespace evdo {

StringId LanguageNameString(std::int32_t languageCode) {
  switch (languageCode) {
    case kLanguageEnglish: return kStrLanguageEnglish;
    case kLanguageChinese: return kStrLanguageChinese;
    default: return 0;
  }
}

std::vector<std::string> CLanguageList::Lines() const {
  std::vector<std::string> lines;
  std::string previous;
  for (const std::string& path : modules_.AcceptedModules()) {
    const LanguageExports* module = modules_.Loader().Load(path);
    StringId name = module ? LanguageNameString(module->getLang()) : 0;
    if (name != 0) previous = LoadString(name);
    lines.push_back(previous);
  }
  return lines;
}

bool CLanguageList::Choose(int index) {
  const auto& accepted = modules_.AcceptedModules();
  if (index < 0 || static_cast<std::size_t>(index) >= accepted.size()) return false;
  return modules_.Activate(accepted[static_cast<std::size_t>(index)]);
}

}  // namespace evdo
