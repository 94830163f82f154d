#include "core/files/StoreFile.h"

namespace evdo {

LoadResult StoreFile::Load(const Decoder& decode) {
  refusal_.clear();
  Bytes content;
  LoadResult r = DataFile::Read(path_, content, maxBytes_);
  if (r.status == LoadStatus::Missing) return r;
  if (r.status == LoadStatus::Unreadable) {
    refusal_ = path_ + " could not be read and is left as it is";
    return r;
  }
  if (r.status == LoadStatus::Loaded) {
    std::string reason;
    if (decode(content, reason)) return r;
    r = {LoadStatus::Damaged, path_ + ": " + reason, {}};
  }
  r.keptAs = DataFile::SetAside(path_);
  if (r.keptAs.empty()) {
    refusal_ = path_ + " could not be set aside and is left as it is";
    r.error += "; it could not be set aside, so it is left as it is and changes are not saved";
  } else {
    r.error += "; kept as " + r.keptAs;
  }
  return r;
}

FileResult StoreFile::Save(const Bytes& content) const {
  if (!refusal_.empty()) return FileResult::Fail(refusal_ + "; not saved", FileFault::Refused);
  return DataFile::Write(path_, content, access_);
}

}  // namespace evdo
