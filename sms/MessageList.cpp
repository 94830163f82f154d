#include "sms/MessageList.h"

#include <algorithm>
#include <ctime>
#include <numeric>

#include <nlohmann/json.hpp>

#include "core/text/CodePage.h"
#include "sms/SmsCodec.h"
#include "sms/SmsData.h"

namespace evdo {

std::string SmsDisplayName(const SmsRecord& record, std::string_view unknownText,
                           const SmsNameLookup& lookup) {
  if (!record.Number().empty() && lookup) {
    if (std::optional<std::string> name = lookup(record.Number())) return *name;
  }
  return std::string(unknownText);
}

std::string SmsDisplayNumber(const SmsRecord& record, std::string_view unknownText) {
  return record.Number().empty() ? std::string(unknownText) : std::string(record.Number());
}

std::string SmsContentText(const SmsRecord& record) {
  std::string out;
  if (record.HasPartInfo()) sms::FormatPartLabel(record.partIndex, record.partCount, out);
  out += record.Text();
  return std::string(CutToBytes(out, kSmsContentMaxBytes));
}

namespace {

// The sort key of a record in a column: names and texts as bytes, the time
// as the record's date-time.
struct SortKey {
  std::string text;
  DateTime time;
};

}  // namespace

void CSmsListOrder::Rebuild(const CSmsData& data, int box, const SmsNameLookup& lookup) {
  rows_ = std::clamp(data.Count(box), 0, kSmsBoxCapacity);
  std::vector<SortKey> keys(static_cast<std::size_t>(rows_));
  for (int i = 0; i < rows_; ++i) {
    std::optional<SmsRecord> r = data.GetRecord(box, i);
    if (!r) continue;
    SortKey& key = keys[static_cast<std::size_t>(i)];
    switch (state_.column) {
      case kSmsNameColumn:
        if (!r->Number().empty() && lookup) key.text = lookup(r->Number()).value_or(std::string());
        break;
      case kSmsNumberColumn: key.text = r->Number(); break;
      case kSmsTimeColumn: key.time = r->Time(); break;
      default: key.text = SmsContentText(*r); break;
    }
  }
  std::vector<int> order(static_cast<std::size_t>(rows_));
  std::iota(order.begin(), order.end(), 0);
  const bool byTime = state_.column == kSmsTimeColumn;
  auto less = [&](int a, int b) {
    const SortKey& x = keys[static_cast<std::size_t>(a)];
    const SortKey& y = keys[static_cast<std::size_t>(b)];
    return byTime ? x.time < y.time : x.text < y.text;
  };
  // Stable both ways: equal values keep the store's order.
  if (state_.direction == 1)
    std::stable_sort(order.begin(), order.end(), less);
  else
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return less(b, a); });
  for (int row = 0; row < rows_; ++row)
    map_[static_cast<std::size_t>(row)] =
        static_cast<std::uint16_t>(order[static_cast<std::size_t>(row)]);
}

void CSmsListOrder::ClickColumn(int column, const CSmsData& data, int box,
                                const SmsNameLookup& lookup) {
  if (column < 0 || column >= kSmsColumnCount) return;
  if (column == state_.column) {
    state_.direction = state_.direction == 1 ? 0 : 1;
  } else {
    state_.column = column;
    state_.direction = 1;
  }
  Rebuild(data, box, lookup);
}

int CSmsListOrder::RowOf(int index) const {
  for (int row = 0; row < rows_; ++row)
    if (map_[static_cast<std::size_t>(row)] == index) return row;
  return -1;
}

void CSmsListOrder::RemoveIndex(int index) {
  const int row = RowOf(index);
  if (row < 0) return;
  std::copy(map_.begin() + row + 1, map_.begin() + rows_, map_.begin() + row);
  --rows_;
  map_[static_cast<std::size_t>(rows_)] = 0;
  for (int r = 0; r < rows_; ++r) {
    std::uint16_t& entry = map_[static_cast<std::size_t>(r)];
    if (entry > index) --entry;
  }
}

SmsDeleteResult DeleteSmsRows(CSmsData& data, int box, CSmsListOrder& order,
                              std::vector<int> rows) {
  SmsDeleteResult result;
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::vector<int> indexes;
  for (int row : rows)
    if (int index = order.IndexAt(row); index >= 0) indexes.push_back(index);
  int lastRow = -1;
  for (std::size_t k = 0; k < indexes.size(); ++k) {
    const int index = indexes[k];
    const int row = order.RowOf(index);
    ChangeResult change = data.DeleteRecord(box, index);
    if (change.changed) {
      // The record is gone from memory even when the save failed: the map
      // follows the store so every row still shows its own record.
      order.RemoveIndex(index);
      for (std::size_t j = k + 1; j < indexes.size(); ++j)
        if (indexes[j] > index) --indexes[j];
      ++result.deleted;
      lastRow = row;
    }
    if (!change) {
      result.ok = false;
      result.failed = std::move(change);
      break;
    }
  }
  if (result.deleted > 0 && order.Rows() > 0)
    result.selectRow = std::min(lastRow, order.Rows() - 1);
  return result;
}

std::vector<SmsExportLine> SmsExportLines(
    const CSmsData& data, int choice, const std::array<std::string, 4>& statusNames,
    const std::function<std::string(const DateTime&)>& timeText) {
  std::vector<SmsExportLine> lines;
  for (int box = 0; box < kSmsBoxCount; ++box) {
    if (choice != AllBoxes && choice != box) continue;
    const int count = data.Count(box);
    for (int i = 0; i < count; ++i) {
      std::optional<SmsRecord> r = data.GetRecord(box, i);
      if (!r) continue;
      SmsExportLine line;
      if (r->status >= 0 && r->status < 4)
        line[0] = statusNames[static_cast<std::size_t>(r->status)];
      line[1] = r->Number();
      line[2] = timeText ? timeText(r->Time()) : std::string();
      line[3] = r->Text();
      lines.push_back(std::move(line));
    }
  }
  return lines;
}

int SmsReadTarget(int row, int rows, SmsReadMove move) {
  if (rows <= 0 || row < 0 || row >= rows) return -1;
  switch (move) {
    case SmsReadMove::Previous: return row > 0 ? row - 1 : -1;
    case SmsReadMove::Next: return row + 1 < rows ? row + 1 : -1;
    case SmsReadMove::First: return row != 0 ? 0 : -1;
    case SmsReadMove::Last: return row != rows - 1 ? rows - 1 : -1;
  }
  return -1;
}

int FindNewMessage(const CSmsData& data) {
  const int count = data.Count(Inbox);
  for (int i = 0; i < count; ++i) {
    std::optional<SmsRecord> r = data.GetRecord(Inbox, i);
    if (r && (r->flags & kSmsFlagNew) != 0) return i;
  }
  return -1;
}

namespace {
constexpr const char* kBoxNames[kSmsBoxCount] = {"inbox", "outbox", "saved"};
}  // namespace

int SmsBoxFromName(std::string_view name) {
  for (int box = 0; box < kSmsBoxCount; ++box)
    if (name == kBoxNames[box]) return box;
  return -1;
}

const char* SmsBoxName(int box) { return box >= 0 && box < kSmsBoxCount ? kBoxNames[box] : ""; }

std::string SmsIsoTime(const DateTime& time) {
  std::optional<std::time_t> t = time.ToTimeT();
  if (!t) return {};
  std::tm tm{};
  if (localtime_r(&*t, &tm) == nullptr) return {};
  char buf[64];
  std::size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S%z", &tm);
  std::string out(buf, n);
  // "+0100" becomes "+01:00".
  if (out.size() >= 5 && (out[out.size() - 5] == '+' || out[out.size() - 5] == '-'))
    out.insert(out.size() - 2, ":");
  return out;
}

std::string SmsBoxJson(const CSmsData& data, int box, const SmsNameLookup& lookup) {
  nlohmann::json list = nlohmann::json::array();
  const int count = box >= 0 && box < kSmsBoxCount ? data.Count(box) : 0;
  for (int i = 0; i < count; ++i) {
    std::optional<SmsRecord> r = data.GetRecord(box, i);
    if (!r) continue;
    nlohmann::json item;
    item["box"] = SmsBoxName(box);
    item["index"] = i;
    item["status"] = sms::StatusName(r->status);
    item["number"] = ToUtf8(r->Number());
    std::optional<std::string> name;
    if (!r->Number().empty() && lookup) name = lookup(r->Number());
    item["name"] = name ? nlohmann::json(ToUtf8(*name)) : nlohmann::json(nullptr);
    const std::string iso = SmsIsoTime(r->Time());
    item["time"] = iso.empty() ? nlohmann::json(nullptr) : nlohmann::json(iso);
    item["text"] = ToUtf8(r->Text());
    const bool parts =
        r->HasPartInfo() && r->partIndex != 0 && r->partCount != 0 && r->partIndex <= r->partCount;
    item["part"] = parts ? r->partIndex : 0;
    item["parts"] = parts ? r->partCount : 0;
    list.push_back(std::move(item));
  }
  return list.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace evdo
