#pragma once
// A skin theme as its theme file describes it: which pictures it has and how
// they divide into fixed and stretching parts, the title-bar buttons, the
// title text placement and the colours. The pictures themselves are held by
// a SkinPictureSink; this record keeps their sizes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "ui/skin/SkinColour.h"

namespace evdo {

class ProfileFile;

// The pictures of a skin. Border pictures hold two states: "Top", "Bottom"
// and their alternatives stacked vertically, "Left" and "Right" and their
// alternatives side by side.
enum class SkinPicture : std::uint8_t {
  DialogBmp,
  Top,
  Left,
  Right,
  Bottom,
  Bottomc,
  Top2,
  Left2,
  Right2,
  Bottom2,
  TopLogo,
  CloseButton,
  MinimiseButton,
  MaximiseButton,
  RestoreButton,
  ExtraButton1,
  ExtraButton2,
  PushButton,
};
constexpr std::size_t kSkinPictureCount = 18;

// The title-bar buttons by what they do.
enum class TitleButton : std::uint8_t { Close, Minimise, Maximise, Restore, Extra1, Extra2 };
constexpr std::size_t kTitleButtonCount = 6;
SkinPicture PictureOf(TitleButton button);

// "Action" values of the button sections.
constexpr std::int32_t kActionClose = 0;
constexpr std::int32_t kActionMaximiseRestore = 1;
constexpr std::int32_t kActionMinimise = 2;
constexpr std::int32_t kActionExtra1 = 3;
constexpr std::int32_t kActionExtra2 = 4;

// Button sections read at most, whatever "ButtonCount" says.
constexpr std::int32_t kMaxButtonSections = 64;

struct PictureSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const PictureSize&, const PictureSize&) = default;
};

// Receives the pictures of a skin while it loads.
class SkinPictureSink {
public:
  virtual ~SkinPictureSink() = default;
  // Drops every picture held.
  virtual void ReleaseAll() = 0;
  // Reads and decodes the file at path (UTF-8, '/' separators) as the
  // picture of slot. Its size, or nullopt when it cannot be read or decoded.
  virtual std::optional<PictureSize> Load(SkinPicture slot, const std::string& path) = 0;
};

// A border picture divided along its length: [0, start) fixed, [start, end)
// follows the window's size, [end, length) fixed.
struct BorderSlice {
  int start = 0;
  int end = 1;
  friend bool operator==(const BorderSlice&, const BorderSlice&) = default;
};

struct TitleButtonPlace {
  bool present = false;
  int x = 0;  // "XCoord"
  int y = 0;  // "YCoord"
};

// The fixed border sizes of the push button picture ("Buttons" section).
struct PushButtonFrame {
  int topHeight = 0;
  int bottomHeight = 0;
  int leftWidth = 0;
  int rightWidth = 0;
  int trans = 0;
};

constexpr SkinRgb kDefaultBarColour{207, 207, 207};
constexpr SkinRgb kDefaultTransColour{255, 0, 255};
constexpr std::int32_t kDefaultButtonImgCount = 3;

struct SkinTheme {
  bool loaded = false;
  std::array<PictureSize, kSkinPictureCount> pictures{};  // {0, 0}: absent

  BorderSlice top, left, right, bottom;
  int bottom2End = 1;  // end of the fixed start of "Bottom2"
  std::int32_t buttonImgCount = kDefaultButtonImgCount;
  std::array<TitleButtonPlace, kTitleButtonCount> buttons{};

  std::int32_t textShift = 0;
  std::int32_t textShiftVert = 0;
  bool usesTran = false;

  SkinColour titleText;          // nullopt: the platform's caption text colour
  SkinColour inactiveTitleText;  // nullopt: the platform's caption text colour
  SkinRgb transColour = kDefaultTransColour;
  SkinRgb barColour = kDefaultBarColour;
  SkinRgb menuColour = kDefaultBarColour;
  SkinColour buttonFace;     // nullopt: the platform's button face colour
  SkinColour buttonText;     // nullopt: the platform's button text colour
  SkinColour buttonHilight;  // nullopt: the platform's button face colour
  SkinColour buttonFocus;    // nullopt: the platform's button face colour

  bool hasPushButton = false;
  PushButtonFrame pushButton;

  bool Has(SkinPicture p) const { return Size(p).width > 0 && Size(p).height > 0; }
  PictureSize Size(SkinPicture p) const { return pictures[static_cast<std::size_t>(p)]; }
  const TitleButtonPlace& Button(TitleButton b) const { return buttons[static_cast<std::size_t>(b)]; }
};

class SkinThemeLoader {
public:
  // Loads the theme file at themeFile (a file system path; "" loads
  // nothing). The sink first drops the pictures of any earlier skin. On
  // failure the result has loaded == false and the sink holds no picture.
  static SkinTheme Load(const std::string& themeFile, SkinPictureSink& sink);

  // Loads a theme already read, with pictures looked up in themeFolder.
  static SkinTheme Load(const ProfileFile& profile, const std::string& themeFolder,
                        SkinPictureSink& sink);
};

}  // namespace evdo
