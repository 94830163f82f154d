#pragma once
// What the messages page and its read window show, without the drawing: the
// row order of each box (a position map from list rows to store indexes with
// the box's sort column and direction), the texts of a row, the deletion of
// rows with the map kept in step, the lines of the message export, the
// moves of the read window and the JSON listing of a box.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/DataFile.h"
#include "sms/SmsDataImage.h"
#include "sms/SmsRecord.h"

namespace evdo {

class CSmsData;

enum SmsColumn : int {
  kSmsNameColumn = 0,
  kSmsNumberColumn = 1,
  kSmsTimeColumn = 2,
  kSmsContentColumn = 3,
};
constexpr int kSmsColumnCount = 4;

// The content column holds at most this many bytes (part label and text).
constexpr std::size_t kSmsContentMaxBytes = 1550;

// Direction 1 sorts ascending (A before B, older before newer), 0 descending.
// A box starts on the time column, newest first: the store's own order.
struct SmsSortState {
  int column = kSmsTimeColumn;
  int direction = 0;
};

// The contact name the phonebook holds for a number, if any.
using SmsNameLookup = std::function<std::optional<std::string>(std::string_view number)>;

// Column 0: the contact's name when the record has a number the phonebook
// knows, otherwise unknownText.
std::string SmsDisplayName(const SmsRecord& record, std::string_view unknownText,
                           const SmsNameLookup& lookup);
// Column 1: the number, or unknownText when it is empty.
std::string SmsDisplayNumber(const SmsRecord& record, std::string_view unknownText);
// Column 3 and the read window's content: "(part/count)" before the text when
// the record is one part of a long message with a valid label, at most
// kSmsContentMaxBytes bytes, never cutting a double-byte character.
std::string SmsContentText(const SmsRecord& record);

class CSmsListOrder {
 public:
  // The map for the box's records in the current sort state (after any
  // change to the box).
  void Rebuild(const CSmsData& data, int box, const SmsNameLookup& lookup);
  // A click on a column header: the sorted column flips its direction,
  // another column becomes the sorted one, ascending. Then Rebuild.
  void ClickColumn(int column, const CSmsData& data, int box, const SmsNameLookup& lookup);

  int Rows() const { return rows_; }
  // The store index shown in row, or -1.
  int IndexAt(int row) const {
    return row >= 0 && row < rows_ ? map_[static_cast<std::size_t>(row)] : -1;
  }
  // The row showing store index, or -1.
  int RowOf(int index) const;
  const SmsSortState& State() const { return state_; }

  // The record at index was deleted from the store: its row goes, the rows
  // after it close the gap and every index above it drops by one.
  void RemoveIndex(int index);

 private:
  std::array<std::uint16_t, kSmsBoxCapacity> map_{};
  int rows_ = 0;
  SmsSortState state_;
};

// Deletes the records shown in rows (in the order the rows were selected,
// taken first to last), each with DeleteRecord, keeping order in step.
// With exactly one row, selectRow is that row again, or the row before it
// when it was the last; with several, the row that took the place of the
// last deleted one (or the new last row); -1 when the box is empty now or
// nothing was deleted. Stops at the first change that failed.
struct SmsDeleteResult {
  int deleted = 0;
  int selectRow = -1;
  ChangeResult failed;  // the failure, when one stopped it (changed false)
  bool ok = true;
};
SmsDeleteResult DeleteSmsRows(CSmsData& data, int box, CSmsListOrder& order, std::vector<int> rows);

// The message export: the four fields of a record (status name, number,
// time, text) for each chosen box (0..2, or AllBoxes) in box order and
// each record in store order. statusNames are the texts of statuses 0..3;
// any other status exports an empty name.
using SmsExportLine = std::array<std::string, 4>;
std::vector<SmsExportLine> SmsExportLines(
    const CSmsData& data, int choice, const std::array<std::string, 4>& statusNames,
    const std::function<std::string(const DateTime&)>& timeText);

// The read window's buttons.
enum class SmsReadMove { Previous, Next, First, Last };
// The row a move leads to from row among rows; -1 when nothing happens (at
// the first or last position already, or an empty list).
int SmsReadTarget(int row, int rows, SmsReadMove move);

// The first inbox record (in box order) carrying the new mark; -1 when none.
int FindNewMessage(const CSmsData& data);

// The box names of the listing ("inbox", "outbox", "saved"); -1 for an
// unknown name.
int SmsBoxFromName(std::string_view name);
const char* SmsBoxName(int box);

// The box as a JSON array of objects {box, index, status, number, name,
// time, text, part, parts}, in store order. Texts are converted from the
// system code page to UTF-8; name is null when the phonebook does not know
// the number, time null when the record's time is not valid (else ISO 8601
// local time with its offset), part and parts 0 for a whole message.
std::string SmsBoxJson(const CSmsData& data, int box, const SmsNameLookup& lookup);
// The time as ISO 8601 with the local offset ("2026-12-08T13:37:17+01:00");
// "" when it is not valid.
std::string SmsIsoTime(const DateTime& time);

}  // namespace evdo
