#pragma once
// Helpers of the phonebook tests: a scratch folder, contacts from texts and
// whole-file reads and writes that do not go through the code under test.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/files/DataFile.h"
#include "phonebook/ContactRecord.h"
#include "phonebook/PbData.h"

namespace evdo::test {

class TempDir {
public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pbtest-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string operator/(std::string_view name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

private:
  std::filesystem::path path_;
};

inline ContactRecord Contact(std::string_view name, std::string_view mobile = {}, std::string_view home = {},
                             std::string_view company = {}, std::string_view email = {},
                             std::string_view remark = {}, std::string_view picture = {}) {
  ContactRecord r = EmptyContact();
  SetFieldValue(r, ContactField::Name, name);
  SetFieldValue(r, ContactField::Mobile, mobile);
  SetFieldValue(r, ContactField::Home, home);
  SetFieldValue(r, ContactField::Company, company);
  SetFieldValue(r, ContactField::Email, email);
  SetFieldValue(r, ContactField::Remark, remark);
  SetFieldValue(r, ContactField::Picture, picture);
  return r;
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteText(const std::string& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// A store whose saves go nowhere, for tests that do not look at the file.
inline void KeepInMemory(CPbData& store) {
  store.SetSaveFunction([](const std::string&, const Bytes&) { return FileResult::Ok(); });
}

inline std::string Name(const CPbData& store, int index) {
  ContactRecord r;
  if (!store.Get(index, r)) return "<none>";
  return std::string(FieldValue(r, ContactField::Name));
}

}  // namespace evdo::test
