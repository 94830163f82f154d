#pragma once
// Quick-search (Sunday) substring search: on a mismatch the window moves by
// the shift of the text byte just after it.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace evdo {

class QuickSearch {
public:
  explicit QuickSearch(std::string_view pattern);
  // First position at or after from where the pattern occurs; npos if none.
  std::size_t Find(std::string_view text, std::size_t from = 0) const;

private:
  std::string pattern_;
  std::array<std::size_t, 256> shift_;
};

}  // namespace evdo
