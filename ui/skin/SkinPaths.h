#pragma once
// Where a skin's files are: the theme file chosen by the skin style, the
// theme's folder, and the file of each picture the theme names.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace evdo {

// Looks up a numbered string of the active language module.
using SkinStringLookup = std::function<std::string(int)>;

constexpr int kLightThemeString = 330;  // theme path for skin style 0
constexpr int kDarkThemeString = 331;   // theme path for skin style 1

// Used when no language module is connected.
constexpr const char* kDefaultLightTheme = "skin\\light\\theme.ini";
constexpr const char* kDefaultDarkTheme = "skin\\dark\\theme.ini";

class SkinPaths {
public:
  // The theme file path (as the language module gives it) for a skin
  // style: 0 and 1 take their language strings, any other style has no
  // skin and gives "". An empty lookup gives the shipped defaults.
  static std::string ThemePathForStyle(std::int32_t skinStyle, const SkinStringLookup& lookup);

  // A path in the system code page with '\' or '/' separators, as a file
  // system path: UTF-8 with '/' separators.
  static std::string FileSystemPath(std::string_view ansiPath);

  // The part of a file system path before its last '/' ("" when none).
  static std::string ThemeFolder(std::string_view themeFile);

  // The file that a picture value names: the theme folder, '/', and the
  // value's file name (a folder given in the value is ignored). "" when the
  // value names no file.
  static std::string PicturePath(std::string_view themeFolder, std::string_view ansiValue);
};

}  // namespace evdo
