#pragma once
// Where the pictures of the main window's indicators and icons are: files of
// the skin's indicator set ("skin/indicators"), named by picture id.
#include <string>

namespace evdo {

constexpr const char* kIndicatorFolder = "skin/indicators";

// Picture ids of the icons.
constexpr int kPicMainIcon = 128;
constexpr int kPicTrayIcon = 297;
// The signal bars, level 0..5 (the six pictures the roaming table also
// names); level 6, no signal, has a picture of its own.
constexpr int kPicSignalLevel0 = 229;
constexpr int kPicSignalNone = 4100;

// The signal picture for a level 0..6; 0 for any other value.
int SignalPicture(long level);

// The file name (without folder) of a picture id; "" for the blank picture
// 242 and for ids the indicator set has no picture for.
std::string IndicatorPictureFile(int pictureId);

// kIndicatorFolder/file, or "" when the id has no file.
std::string IndicatorPicturePath(int pictureId);

}  // namespace evdo
