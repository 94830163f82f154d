#pragma once
// Contact pictures: each contact's picture is a copy in the folder "pic",
// named after the moment of the copy as MMDDYYYYHHMMSS.jpg. A contact
// without its own picture shows "default.jpg" from the current directory.
#include <string>
#include <string_view>

#include "core/time/DateTime.h"

namespace evdo {

inline constexpr const char* kPictureFolder = "pic";
inline constexpr const char* kDefaultPicture = "default.jpg";

struct PictureCopy {
  int message = 0;   // 0, or 208 when the copy failed
  std::string path;  // full path of the copy
  std::string error;
};

class ContactPicture {
public:
  // "MMDDYYYYHHMMSS.jpg" for the local time of when; "" when when is not valid.
  static std::string FileNameFor(const DateTime& when);

  // Copies source into folder (created when missing) under the name for
  // when, and makes the copy writable. When another picture already has that
  // name, the time stamp moves on by a second until the name is free, so no
  // contact's picture is ever replaced by another's.
  static PictureCopy CopyIn(const std::string& source, const std::string& folder, const DateTime& when);

  // The editor's OK with a newly chosen picture (or a new contact): chosen is
  // copied in, and then the contact's previous picture is deleted. On a
  // failed copy (message 208) nothing is deleted.
  static PictureCopy TakeChoice(const std::string& chosen, const std::string& previous, const std::string& folder,
                                const DateTime& when);

  // True for an empty path and for the default picture.
  static bool IsDefault(std::string_view path);

  // Deletes the picture a contact had before an edit, unless it is the
  // default or the same file as the new one. Failures are ignored.
  static void DeletePrevious(const std::string& previous, const std::string& current);

  // Deletes every file (not folders) in folder. Failures are ignored.
  static void DeleteAllIn(const std::string& folder);
};

}  // namespace evdo
