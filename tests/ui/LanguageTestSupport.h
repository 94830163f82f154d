#pragma once
// Helpers of the language tests: a temporary program folder with a "lang"
// folder that the test makes the current directory, and a loader whose
// modules are plain functions.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "ui/LanguageLibrary.h"

namespace evdo::test {

// A fresh folder made the current directory for the test's life; the
// previous current directory comes back afterwards.
class ScopedProgramFolder {
public:
  ScopedProgramFolder();
  ScopedProgramFolder(const ScopedProgramFolder&) = delete;
  ScopedProgramFolder& operator=(const ScopedProgramFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path LangFolder() const { return path_ / "lang"; }
  // Creates the "lang" folder.
  void MakeLangFolder() const;
  // Links a built module into "lang" under name.
  void AddModule(const std::filesystem::path& built, const std::string& name) const;
  // Writes a plain file into "lang".
  void AddFile(const std::string& name, const std::string& content) const;

private:
  TempDir folder_{true};
  std::filesystem::path path_;
};

// Where the build put the shipped modules and the test modules.
std::filesystem::path ShippedModule(const std::string& fileName);
std::filesystem::path TestModule(const std::string& fileName);

// A loader over modules made of plain functions, recording every load.
class FakeLanguageLoader final : public LanguageLibraryLoader {
public:
  void Add(const std::string& path, LanguageExports exports) { modules_[path] = exports; }
  void Remove(const std::string& path) { modules_.erase(path); }
  const LanguageExports* Load(const std::string& path) override;
  const std::vector<std::string>& Loads() const { return loads_; }

private:
  std::map<std::string, LanguageExports> modules_;
  std::vector<std::string> loads_;
};

// Fake module identities and texts.
std::int32_t CompanyOne();
std::int32_t CompanyTwo();
std::int32_t LanguageSeven();
std::int32_t LanguageNine();
std::int32_t LanguageSixteen();
// Texts of a module in English: 201 "English", 207 "Chinese".
const char* EnglishNames(std::int32_t id);
// Texts of a module in Chinese (as ASCII stand-ins): 201 "Yingwen", 207 "Zhongwen".
const char* ChineseNames(std::int32_t id);

}  // namespace evdo::test
