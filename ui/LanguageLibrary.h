#pragma once
// Loading of language modules. A library, once loaded, stays loaded until the
// process ends, so the exports handed out stay valid for the process's life.
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "ui/LanguageModuleAbi.h"

namespace evdo {

class LanguageLibraryLoader {
public:
  virtual ~LanguageLibraryLoader() = default;
  // The exports of the library at path; null when the file is not a loadable
  // library or lacks one of the three exports.
  virtual const LanguageExports* Load(const std::string& path) = 0;
};

// Loads shared objects with dlopen.
class DlopenLanguageLoader final : public LanguageLibraryLoader {
public:
  const LanguageExports* Load(const std::string& path) override;

  // The loader of the process.
  static DlopenLanguageLoader& Instance();

private:
  std::mutex mutex_;
  // Keyed by the library handle: a library loaded again under another path
  // gives the same exports.
  std::map<void*, std::unique_ptr<LanguageExports>> loaded_;
};

}  // namespace evdo
