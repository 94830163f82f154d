#pragma once
// The installed language modules: the start-up scan of the folder "lang", the
// list of modules of this edition, and the module that supplies the texts.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/LanguageLibrary.h"

namespace evdo {

inline constexpr const char* kLanguageFolder = "lang";
inline constexpr const char* kLanguageModulePattern = "*.so";

// "lang" with a separator and the module pattern: "lang/*.so".
std::string LanguageModulePattern(const std::string& folder);

// The files matching the module pattern in folder, as full paths, ordered by
// name without regard to letter case (the order in which the original
// platform's file system lists a folder), so that the choice between two
// fitting modules never depends on how a folder happens to store its entries.
// A missing folder gives none.
std::vector<std::string> ListLanguageModuleFiles(const std::string& folder);

class CLanguageModules {
public:
  explicit CLanguageModules(LanguageLibraryLoader& loader = DlopenLanguageLoader::Instance());

  // Start-up: goes through the module files of folder (relative to the
  // current directory) in listing order. Every module of the edition company
  // joins the accepted list; the first one that also has language ends the
  // scan and is activated. Files that are not language modules are skipped.
  // False when no module matched: the caller shows the built-in error
  // (kNoLanguageModuleTitle, kNoLanguageModuleText) and ends the program.
  bool ScanAndSelect(std::int32_t company, std::int32_t language,
                     const std::string& folder = kLanguageFolder);
  // The same over a given list of module files, in that order.
  bool ScanFiles(const std::vector<std::string>& files, std::int32_t company, std::int32_t language);

  // Loads the module at path and makes it the source of all texts loaded
  // afterwards. False, and nothing changes, when it cannot be loaded.
  bool Activate(const std::string& path);

  // The modules of this edition in the order the scan found them.
  const std::vector<std::string>& AcceptedModules() const { return accepted_; }
  // The path of the active module; empty before the first activation.
  const std::string& ActiveModule() const { return active_; }

  LanguageLibraryLoader& Loader() { return loader_; }

private:
  LanguageLibraryLoader& loader_;
  std::vector<std::string> accepted_;
  std::string active_;
};

}  // namespace evdo
