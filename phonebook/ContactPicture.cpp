#include "phonebook/ContactPicture.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "phonebook/PhonebookMessages.h"

namespace evdo {
namespace {

namespace fs = std::filesystem;

// A day of seconds: more pictures than that in one folder at one moment
// cannot happen in practice.
constexpr int kMaxNameTries = 86400;

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec) && !ec;
}

}  // namespace

std::string ContactPicture::FileNameFor(const DateTime& when) {
  std::string stamp = when.Format("%m-%d-%Y %H:%M:%S");
  if (stamp.empty()) return {};
  std::erase_if(stamp, [](char c) { return c == '-' || c == ' ' || c == ':'; });
  return stamp + ".jpg";
}

PictureCopy ContactPicture::CopyIn(const std::string& source, const std::string& folder, const DateTime& when) {
  PictureCopy result;
  std::error_code ec;
  fs::create_directories(folder, ec);
  fs::path dir = fs::absolute(folder, ec);
  DateTime stamp = when;
  fs::path target;
  for (int tries = 0; tries < kMaxNameTries; ++tries, stamp = stamp.AddSeconds(1)) {
    std::string name = FileNameFor(stamp);
    if (name.empty()) break;
    target = dir / name;
    if (!fs::exists(target, ec)) break;
    target.clear();
  }
  if (target.empty() || !fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec)) {
    result.message = pbmsg::kPictureFailed;
    result.error = "cannot copy " + source + (ec ? ": " + ec.message() : std::string());
    return result;
  }
  // The copy must stay deletable and replaceable, whatever the source's mode.
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
  result.path = target.string();
  return result;
}

PictureCopy ContactPicture::TakeChoice(const std::string& chosen, const std::string& previous,
                                       const std::string& folder, const DateTime& when) {
  PictureCopy copy = CopyIn(chosen, folder, when);
  if (copy.message == 0) DeletePrevious(previous, copy.path);
  return copy;
}

bool ContactPicture::IsDefault(std::string_view path) {
  return path.empty() || fs::path(path).filename() == kDefaultPicture;
}

void ContactPicture::DeletePrevious(const std::string& previous, const std::string& current) {
  if (IsDefault(previous) || previous == current || SameFile(previous, current)) return;
  std::error_code ec;
  fs::remove(previous, ec);
}

void ContactPicture::DeleteAllIn(const std::string& folder) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ignored;
    if (!it->is_directory(ignored)) fs::remove(it->path(), ignored);
  }
}

}  // namespace evdo
