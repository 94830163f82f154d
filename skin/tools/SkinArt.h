#pragma once
// Draws the pictures of one shipped skin and writes its theme file.
#include <QColor>
#include <QImage>
#include <QString>

namespace evdo::skingen {

// The colours of one skin.
struct SkinLook {
  QString name;
  QString description;
  QColor titleTop, titleBottom, titleTopInactive, titleBottomInactive;
  QColor accent, accentInactive;  // line along the top edge
  QColor outline, outlineInactive;
  QColor separator;                // between title bar and client area
  QColor glyph, glyphInactive;     // title-bar button symbols
  QColor buttonHover, buttonPressed, closeHover, closePressed;
  QColor clientTop, clientBottom;  // background picture
  QColor logoTop, logoBottom;
  // Push button: normal, hover, pressed, disabled (top, bottom, border each).
  QColor pushTop[4], pushBottom[4], pushBorder[4];
  // Theme colours, as written to the theme file.
  QColor titleText, inactiveTitleText, bar, menu, buttonFace, buttonText, buttonHilight, buttonFocus;
};

SkinLook LightLook();
SkinLook DarkLook();

// Fixed sizes of the shipped skins.
constexpr int kTitleHeight = 32;
constexpr int kTitleHeightMax = 28;  // alternative (maximised) set
constexpr int kBorder = 5;
constexpr int kBorderMax = 1;
constexpr int kTopWidth = 160;
constexpr int kTopFixed = 16;
constexpr int kBottomFixed = 10;
constexpr int kCornerRadius = 8;
constexpr int kButtonWidth = 34;
constexpr int kButtonHeight = 24;
constexpr int kButtonStates = 4;
constexpr int kPushWidth = 64;
constexpr int kPushHeight = 26;
constexpr int kPushBorder = 5;

class SkinArt {
public:
  explicit SkinArt(const SkinLook& look) : look_(look) {}

  QImage Top(bool alternative) const;
  QImage Side(bool alternative, bool right) const;
  QImage Bottom(bool alternative) const;
  QImage BottomCentre() const;
  QImage Logo(int size) const;
  QImage TitleButton(int glyph) const;  // 0 close, 1 maximise, 2 restore, 3 minimise
  QImage PushButton() const;
  QImage Client() const;
  QString ThemeFile() const;

  // Writes the theme file and every picture into folder. False on failure.
  bool WriteAll(const QString& folder) const;

private:
  QImage TopState(bool active, bool alternative) const;
  QImage ButtonState(int glyph, int state) const;
  QImage PushState(int state) const;
  const SkinLook& look_;
};

// Pixels less than half covered become the transparent colour key
// (magenta); the rest become opaque. Gives the hard edges a colour key needs.
void KeyOut(QImage& image);

}  // namespace evdo::skingen
