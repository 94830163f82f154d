#include "internet/LogData.h"

namespace evdo {

FileResult CLogData::AddConnection(const LogRecord& r, CMonthLogData& months) {
  if (!FitsArchiveSeconds(r.duration)) return DurationRefused(Path(), r.duration);
  Append(r);
  SetDirty();
  FileResult logged = Save();
  FileResult month = months.AddToMonth(r);
  if (logged && month) return logged;
  std::string error = logged.error;
  if (!month) error += (error.empty() ? "" : "; ") + month.error;
  return FileResult::Fail(error);
}

int CLogData::FindConnection(const DateTime& start) const {
  for (int i = 0; i < Count(); ++i)
    if (At(i).start == start) return i;
  return -1;
}

FileResult CLogData::DeleteConnection(int index) {
  if (index < 0 || index >= Count()) return FileResult::Fail("no connection " + std::to_string(index) + " in the log");
  RemoveAt(index);
  SetDirty();
  return Save();
}

LogDeleteResult DeleteConnections(CLogData& log, const std::vector<DateTime>& starts) {
  LogDeleteResult result;
  for (const DateTime& start : starts) {
    const int index = log.FindConnection(start);
    if (index < 0) {
      result.message = kMsgNoLogSelection;
      break;
    }
    result.saved = log.DeleteConnection(index);
    ++result.deleted;
    if (!result.saved) break;
  }
  return result;
}

}  // namespace evdo
