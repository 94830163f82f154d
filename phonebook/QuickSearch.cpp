#include "phonebook/QuickSearch.h"

namespace evdo {

QuickSearch::QuickSearch(std::string_view pattern) : pattern_(pattern) {
  const std::size_t m = pattern_.size();
  shift_.fill(m + 1);
  for (std::size_t j = 0; j < m; ++j) shift_[static_cast<unsigned char>(pattern_[j])] = m - j;
}

std::size_t QuickSearch::Find(std::string_view text, std::size_t from) const {
  const std::size_t m = pattern_.size(), n = text.size();
  for (std::size_t i = from; i <= n && m <= n - i;) {
    std::size_t k = 0;
    while (k < m && text[i + k] == pattern_[k]) ++k;
    if (k == m) return i;
    if (i + m >= n) break;
    i += shift_[static_cast<unsigned char>(text[i + m])];
  }
  return std::string_view::npos;
}

}  // namespace evdo
