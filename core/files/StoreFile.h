#pragma once
// The file behind one store: the one way every store loads and saves.
// Loading hands the whole content to the store's decoder. Content the decoder
// refuses (or a file far larger than its format allows) is damaged: the file
// is set aside beside the original name so the store can start empty without
// destroying it. A file that exists but cannot be read (permission, I/O
// error, too many open files) is left where it is. Whatever could be neither
// read nor set aside is never overwritten: saves are refused until the next
// load.
#include <functional>
#include <string>

#include "core/files/DataFile.h"

namespace evdo {

class StoreFile {
public:
  // decode fills the store from content, or returns false with a reason.
  using Decoder = std::function<bool(const Bytes& content, std::string& error)>;

  // maxBytes: the largest file the format allows; a larger one is damaged.
  // access: who may read the saved file.
  explicit StoreFile(std::string path, std::size_t maxBytes = DataFile::kDefaultMaxBytes,
                     FileAccess access = FileAccess::Shared)
      : path_(std::move(path)), maxBytes_(maxBytes), access_(access) {}

  const std::string& Path() const { return path_; }
  void SetPath(std::string path) {
    path_ = std::move(path);
    refusal_.clear();
  }

  // Missing, Loaded, Damaged (set aside: keptAs; when that failed, keptAs is
  // "" and saves are refused) or Unreadable (left as it is, saves refused).
  LoadResult Load(const Decoder& decode);

  // Writes the whole content (temporary file and rename), unless refused.
  FileResult Save(const Bytes& content) const;

  bool SavesRefused() const { return !refusal_.empty(); }

private:
  std::string path_;
  std::size_t maxBytes_;
  FileAccess access_;
  std::string refusal_;  // why saving would destroy something, when it would
};

}  // namespace evdo
