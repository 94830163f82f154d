#pragma once
// The phonebook list's column-header clicks: a click on another column sorts
// it ascending and remembers it; a second click on the same column sorts
// descending and forgets it, so a third click sorts ascending again.
namespace evdo {

class SortToggle {
public:
  // True when the click sorts column ascending.
  bool Click(int column) {
    if (column == last_) {
      last_ = kNone;
      return false;
    }
    last_ = column;
    return true;
  }

private:
  static constexpr int kNone = -1;
  int last_ = kNone;
};

}  // namespace evdo
