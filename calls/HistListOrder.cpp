#include "calls/HistListOrder.h"

#include <algorithm>

namespace evdo {
namespace {

using NameOf = std::function<std::string(const HistRecord&)>;

// Compares two records by one column: negative, 0 or positive; start times
// that cannot be ordered compare equal.
int CompareBy(int column, const HistRecord& a, const HistRecord& b, const std::string& nameA,
              const std::string& nameB) {
  switch (column) {
    case kHistNameColumn: return nameA.compare(nameB);
    case kHistNumberColumn: return a.Number().compare(b.Number());
    case kHistStartColumn: {
      auto c = a.Start() <=> b.Start();
      return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    case kHistDurationColumn: return a.duration < b.duration ? -1 : a.duration > b.duration ? 1 : 0;
    default: return int{a.repeatCount} - int{b.repeatCount};
  }
}

}  // namespace

std::string HistDisplayName(const HistRecord& record, std::string_view unknownText, const HistNameLookup& lookup) {
  const std::string_view number = record.Number();
  if (number == unknownText) return std::string(unknownText);
  if (lookup) {
    if (auto name = lookup(number)) return *name;
  }
  return std::string(CutToBytes(number, kHistNameMaxBytes));
}

void CHistListOrder::Rebuild(const CHistData& data, int list, const NameOf& names) {
  rows_ = data.Count(list);
  for (int r = 0; r < rows_; ++r) map_[r] = static_cast<std::uint8_t>(r);
  if (state_.column == kHistStartColumn && !state_.ascending) return;  // the store's order
  SortAscending(data, list, names);
  if (!state_.ascending) Reverse();
}

void CHistListOrder::ClickColumn(int column, const CHistData& data, int list, const NameOf& names) {
  if (column < 0 || column >= kHistColumnCount) return;
  if (column == state_.column) {
    Reverse();
    state_.ascending = !state_.ascending;
    return;
  }
  state_ = {column, true};
  Rebuild(data, list, names);
}

void CHistListOrder::Reset() {
  rows_ = 0;
  state_ = HistSortState{};
}

void CHistListOrder::RemoveSlot(int slot) {
  int out = 0;
  for (int r = 0; r < rows_; ++r) {
    if (map_[r] == slot) continue;
    map_[out++] = static_cast<std::uint8_t>(map_[r] > slot ? map_[r] - 1 : map_[r]);
  }
  rows_ = out;
}

void CHistListOrder::SortAscending(const CHistData& data, int list, const NameOf& names) {
  std::array<HistRecord, kHistListCapacity> records{};
  std::vector<std::string> shown(rows_);
  for (int s = 0; s < rows_; ++s) {
    data.Get(list, s, records[s]);
    if (state_.column == kHistNameColumn && names) shown[s] = names(records[s]);
  }
  for (bool swapped = true; swapped;) {
    swapped = false;
    for (int r = 0; r + 1 < rows_; ++r) {
      const int a = map_[r], b = map_[r + 1];
      if (CompareBy(state_.column, records[a], records[b], shown[a], shown[b]) > 0) {
        std::swap(map_[r], map_[r + 1]);
        swapped = true;
      }
    }
  }
}

void CHistListOrder::Reverse() { std::reverse(map_.begin(), map_.begin() + rows_); }

HistDeleteResult DeleteHistRows(CHistData& data, int list, CHistListOrder& order, std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  rows.erase(std::remove_if(rows.begin(), rows.end(), [&](int r) { return order.SlotAt(r) < 0; }), rows.end());
  HistDeleteResult result;
  if (rows.empty()) {
    result.selectRow = order.Rows() > 0 ? 0 : -1;
    return result;
  }
  // Slots first: removing one renumbers the others.
  std::vector<int> slots;
  slots.reserve(rows.size());
  for (int r : rows) slots.push_back(order.SlotAt(r));
  std::sort(slots.rbegin(), slots.rend());
  for (int slot : slots) {
    result.saved = data.Remove(list, slot).saved;
    order.RemoveSlot(slot);
    if (!result.saved) break;
  }
  const int place = rows.back() - static_cast<int>(rows.size()) + 1;
  result.selectRow = order.Rows() == 0 ? -1 : std::min(place, order.Rows() - 1);
  return result;
}

}  // namespace evdo
