#include "core/files/StoreFile.h"

namespace evdo {

LoadResult StoreFile::Load(const Decoder& decode) {
  refusal_.clear();
  Bytes content;
  LoadResult r = DataFile::Read(path_, content);
  if (r.status != LoadStatus::Loaded) {
    if (r.status == LoadStatus::Failed)
      refusal_ = path_ + " could not be read and is left as it is";
    return r;
  }
  std::string reason;
  if (decode(content, reason)) return r;
  std::string message = path_ + " refused: " + reason;
  std::string kept = DataFile::SetAside(path_);
  if (kept.empty()) {
    refusal_ = path_ + " could not be set aside and is left as it is";
    message += "; it could not be set aside, so it is left as it is and changes are not saved";
  } else {
    message += "; kept as " + kept + ", starting empty";
  }
  return {LoadStatus::Failed, message};
}

FileResult StoreFile::Save(const Bytes& content) const {
  if (!refusal_.empty()) return FileResult::Fail(refusal_ + "; not saved");
  return DataFile::Write(path_, content, access_);
}

}  // namespace evdo
