#include "ui/LanguageLibrary.h"

#include <dlfcn.h>

namespace evdo {

namespace {

template <typename Function>
Function Lookup(void* handle, const char* name) {
  return reinterpret_cast<Function>(dlsym(handle, name));
}

}  // namespace

const LanguageExports* DlopenLanguageLoader::Load(const std::string& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return nullptr;
  std::lock_guard lock(mutex_);
  auto found = loaded_.find(handle);
  if (found != loaded_.end()) return found->second.get();
  LanguageExports exports{Lookup<GetCompFunction>(handle, kGetCompExport),
                          Lookup<GetLangFunction>(handle, kGetLangExport),
                          Lookup<GetStringFunction>(handle, kGetStringExport)};
  if (!exports.getComp || !exports.getLang || !exports.getString) {
    dlclose(handle);  // not a language module
    return nullptr;
  }
  auto stored = std::make_unique<LanguageExports>(exports);
  const LanguageExports* result = stored.get();
  loaded_.emplace(handle, std::move(stored));
  return result;
}

DlopenLanguageLoader& DlopenLanguageLoader::Instance() {
  static DlopenLanguageLoader* instance = new DlopenLanguageLoader();  // lives for the whole process
  return *instance;
}

}  // namespace evdo
