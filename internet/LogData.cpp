#include "internet/LogData.h"

namespace evdo {

ChangeResult CLogData::AddConnection(const LogRecord& r, CMonthLogData& months) {
  if (!FitsArchiveSeconds(r.duration)) return DurationRefused(Path(), r.duration);
  Append(r);
  SetDirty();
  FileResult logged = Save();
  ChangeResult month = months.AddToMonth(r);
  if (logged && month.saved) return ChangeResult::Saved(logged);
  std::string error = logged.error;
  if (!month.saved) error += (error.empty() ? "" : "; ") + month.Error();
  return ChangeResult::Saved(FileResult::Fail(error));
}

int CLogData::FindConnection(const DateTime& start) const {
  for (int i = 0; i < Count(); ++i)
    if (At(i).start == start) return i;
  return -1;
}

ChangeResult CLogData::DeleteConnection(int index) {
  if (index < 0 || index >= Count()) return ChangeResult::Refused("no connection " + std::to_string(index) + " in the log");
  RemoveAt(index);
  SetDirty();
  return ChangeResult::Saved(Save());
}

LogDeleteResult DeleteConnections(CLogData& log, const std::vector<DateTime>& starts) {
  LogDeleteResult result;
  for (const DateTime& start : starts) {
    const int index = log.FindConnection(start);
    if (index < 0) {
      result.message = kMsgNoLogSelection;
      break;
    }
    result.saved = log.DeleteConnection(index).saved;
    ++result.deleted;
    if (!result.saved) break;
  }
  return result;
}

}  // namespace evdo
