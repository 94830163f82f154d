#include "app/StoreLoadMessage.h"

#include <filesystem>

namespace evdo {

std::string FillPlaceholders(std::string_view text, std::initializer_list<std::string_view> args) {
  std::string out;
  auto next = args.begin();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's') {
      if (next != args.end()) out.append(*next++);
      ++i;
      continue;
    }
    out += text[i];
  }
  return out;
}

std::string StoreLoadMessage(const StoreLoadTexts& texts, std::string_view file, const LoadResult& r) {
  switch (r.status) {
    case LoadStatus::Missing:
    case LoadStatus::Loaded:
      return {};
    case LoadStatus::Unreadable:
      return FillPlaceholders(texts.unreadable, {file});
    case LoadStatus::Damaged:
      break;
  }
  if (r.keptAs.empty()) return FillPlaceholders(texts.damagedLeft, {file});
  const std::string kept = std::filesystem::path(r.keptAs).filename().string();
  return FillPlaceholders(texts.damagedKept, {file, kept});
}

}  // namespace evdo
