#pragma once
// A settings file that is exactly one raw record. Absent: the defaults. Not
// exactly the record's size: set aside, the defaults, and status Damaged.
#include <string>

#include "core/files/RawRecord.h"
#include "core/files/StoreFile.h"

namespace evdo {

template <class Record>
class RawRecordFile {
public:
  explicit RawRecordFile(std::string path, FileAccess access = FileAccess::Shared)
      : file_(std::move(path), sizeof(Record), access) {}

  // data becomes the file's record when the file is sound, else defaults.
  LoadResult Load(Record& data, const Record& defaults) {
    data = defaults;
    return file_.Load([&data](const Bytes& c, std::string& e) { return Decode(c, data, e); });
  }
  FileResult Save(const Record& data) const {
    Bytes out;
    AppendRecord(out, data);
    return file_.Save(out);
  }
  static bool Decode(const Bytes& content, Record& data, std::string& error) {
    if (content.size() != sizeof(Record)) {
      error = "holds " + std::to_string(content.size()) + " bytes instead of " + std::to_string(sizeof(Record));
      return false;
    }
    data = ReadRecord<Record>(content.data());
    return true;
  }
  const std::string& Path() const { return file_.Path(); }

private:
  StoreFile file_;
};

}  // namespace evdo
