#pragma once
// The row order of one list of the call history window: a display map from
// rows to slots of the store and the list's sort state.
//
// The default state is the start time column, newest first, which is the
// store's own order. Clicking the sorted column reverses the rows and flips
// the direction; clicking another column sorts ascending by it with
// neighbour-swap passes (equal rows keep their order).
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calls/HistData.h"

namespace evdo {

enum HistColumn : int {
  kHistNameColumn = 0,
  kHistNumberColumn = 1,
  kHistStartColumn = 2,
  kHistDurationColumn = 3,
  kHistRepeatColumn = 4,
};
constexpr int kHistColumnCount = 5;
constexpr std::size_t kHistNameMaxBytes = 32;

struct HistSortState {
  int column = kHistStartColumn;
  bool ascending = false;
};

// The contact name stored for a number, if any.
using HistNameLookup = std::function<std::optional<std::string>(std::string_view number)>;

// The name column of a record: the unknown-number text itself for a call
// without number (never looked up), else the contact name, else the number
// cut to 32 bytes.
std::string HistDisplayName(const HistRecord& record, std::string_view unknownText, const HistNameLookup& lookup);

class CHistListOrder {
public:
  // Rebuilds the map for the list's current sort state (after any change to
  // the list). names gives the name column of a record.
  void Rebuild(const CHistData& data, int list, const std::function<std::string(const HistRecord&)>& names);
  // A click on a column header.
  void ClickColumn(int column, const CHistData& data, int list,
                   const std::function<std::string(const HistRecord&)>& names);
  // Back to the default state (start time, newest first), map emptied.
  void Reset();

  int Rows() const { return rows_; }
  // The store slot shown in row, or -1.
  int SlotAt(int row) const { return row >= 0 && row < rows_ ? map_[row] : -1; }
  const HistSortState& State() const { return state_; }

  // Drops the row showing slot and renumbers the later slots, keeping the
  // order of the other rows (after Remove on that slot).
  void RemoveSlot(int slot);

private:
  void SortAscending(const CHistData& data, int list, const std::function<std::string(const HistRecord&)>& names);
  void Reverse();

  std::array<std::uint8_t, kHistListCapacity> map_{};
  int rows_ = 0;
  HistSortState state_;
};

// Deletes the calls shown in rows (any order) from list. The selection moves
// to the row that took the place of the last removed one, or to the new last
// row; -1 when the list is now empty. Stops at the first failed save.
struct HistDeleteResult {
  FileResult saved;
  int selectRow = -1;
};
HistDeleteResult DeleteHistRows(CHistData& data, int list, CHistListOrder& order, std::vector<int> rows);

}  // namespace evdo
