#include "tests/ui/LanguageTestSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace evdo::test {

ScopedProgramFolder::ScopedProgramFolder() : path_(folder_.Path()) {}

void ScopedProgramFolder::MakeLangFolder() const { std::filesystem::create_directories(LangFolder()); }

void ScopedProgramFolder::AddModule(const std::filesystem::path& built, const std::string& name) const {
  MakeLangFolder();
  std::filesystem::create_symlink(built, LangFolder() / name);
}

void ScopedProgramFolder::AddFile(const std::string& name, const std::string& content) const {
  MakeLangFolder();
  std::ofstream(LangFolder() / name, std::ios::binary) << content;
}

std::filesystem::path ShippedModule(const std::string& fileName) {
  return std::filesystem::path(EVDO_LANG_MODULE_DIR) / fileName;
}

std::filesystem::path TestModule(const std::string& fileName) {
  return std::filesystem::path(EVDO_TEST_MODULE_DIR) / fileName;
}

const LanguageExports* FakeLanguageLoader::Load(const std::string& path) {
  loads_.push_back(path);
  auto found = modules_.find(path);
  return found == modules_.end() ? nullptr : &found->second;
}

std::int32_t CompanyOne() { return 1; }
std::int32_t CompanyTwo() { return 2; }
std::int32_t LanguageSeven() { return 7; }
std::int32_t LanguageNine() { return 9; }
std::int32_t LanguageSixteen() { return 16; }

const char* EnglishNames(std::int32_t id) {
  return id == 201 ? "English" : id == 207 ? "Chinese" : nullptr;
}

const char* ChineseNames(std::int32_t id) {
  return id == 201 ? "Yingwen" : id == 207 ? "Zhongwen" : nullptr;
}

}  // namespace evdo::test
