#pragma once
// What the user is told about a store whose file did not load: one line per
// file, from the language module's texts (each with "%s" for the file name,
// and the damaged-and-kept text a second "%s" for where it was kept).
#include <string>
#include <string_view>

#include "core/files/DataFile.h"

namespace evdo {

struct StoreLoadTexts {
  std::string damagedKept;    // "%s was damaged and has been kept as %s."
  std::string damagedLeft;    // "%s is damaged and could not be moved aside ..."
  std::string unreadable;     // "%s could not be read ..."
};

// Empty when there is nothing to tell (loaded, or missing and created).
std::string StoreLoadMessage(const StoreLoadTexts& texts, std::string_view file, const LoadResult& r);

// text with each "%s" replaced by the next of args (missing ones by "").
std::string FillPlaceholders(std::string_view text, std::initializer_list<std::string_view> args);

}  // namespace evdo
