#pragma once
// The string table compiled into a language module, sorted by id. Generated
// from the table source by evdo-lang-table.
#include <cstddef>
#include <cstdint>

namespace evdo {

struct ModuleString {
  std::int32_t id;
  const char* text;  // in the module's code page
};

extern const ModuleString kModuleStrings[];
extern const std::size_t kModuleStringCount;

}  // namespace evdo
