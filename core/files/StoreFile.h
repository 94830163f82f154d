#pragma once
// The file behind one store. Loading hands the whole content to the store's
// decoder; a file the decoder refuses is set aside beside the original name
// so the store can start empty without destroying it. A file that could not be
// read, or could not be set aside, is never overwritten: saves are refused.
#include <functional>
#include <string>

#include "core/files/DataFile.h"

namespace evdo {

class StoreFile {
public:
  // decode fills the store from content, or returns false with a reason.
  using Decoder = std::function<bool(const Bytes& content, std::string& error)>;

  explicit StoreFile(std::string path, FileAccess access = FileAccess::Shared)
      : path_(std::move(path)), access_(access) {}

  const std::string& Path() const { return path_; }

  // Missing: status Missing. Read error: Failed and saves refused. Refused by
  // decode: the file is set aside and the error says where it was kept
  // (saves are refused only when setting aside failed).
  LoadResult Load(const Decoder& decode);

  // Writes the whole content (temporary file and rename), unless refused.
  FileResult Save(const Bytes& content) const;

  bool SavesRefused() const { return !refusal_.empty(); }

private:
  std::string path_;
  FileAccess access_;
  std::string refusal_;  // why saving would destroy something, when it would
};

}  // namespace evdo
