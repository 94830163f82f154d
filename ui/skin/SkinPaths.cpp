#include "ui/skin/SkinPaths.h"

#include <algorithm>

#include "core/text/CodePage.h"

namespace evdo {

std::string SkinPaths::ThemePathForStyle(std::int32_t skinStyle, const SkinStringLookup& lookup) {
  int stringId = 0;
  const char* fallback = nullptr;
  if (skinStyle == 0) {
    stringId = kLightThemeString;
    fallback = kDefaultLightTheme;
  } else if (skinStyle == 1) {
    stringId = kDarkThemeString;
    fallback = kDefaultDarkTheme;
  } else {
    return {};
  }
  return lookup ? lookup(stringId) : std::string(fallback);
}

std::string SkinPaths::FileSystemPath(std::string_view ansiPath) {
  // Convert first: in a double-byte code page a trail byte may equal '\'.
  std::string path = ToUtf8(ansiPath);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string SkinPaths::ThemeFolder(std::string_view themeFile) {
  auto slash = themeFile.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(themeFile.substr(0, slash));
}

std::string SkinPaths::PicturePath(std::string_view themeFolder, std::string_view ansiValue) {
  std::string value = FileSystemPath(ansiValue);
  auto slash = value.rfind('/');
  std::string name = slash == std::string::npos ? value : value.substr(slash + 1);
  if (name.empty()) return {};
  if (themeFolder.empty()) return name;
  return std::string(themeFolder) + "/" + name;
}

}  // namespace evdo
