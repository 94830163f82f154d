#pragma once
// Helpers of the phonebook tests: contacts from texts and stores kept in
// memory. Scratch folders and whole-file reads: tests/support/TempDir.h.
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
#include "tests/support/TempDir.h"

namespace evdo::test {

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
