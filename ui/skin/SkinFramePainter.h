#pragma once
// Paints a skinned window: the border pictures with their fixed ends and
// stretched middles, the active or inactive state, the logo, the title text
// and the title-bar buttons, and the client area's background.
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QRegion>
#include <QString>

#include <array>
#include <optional>

#include "ui/skin/SkinGeometry.h"
#include "ui/skin/SkinPictureSet.h"

class QPainter;

namespace evdo {

struct FrameState {
  bool active = true;
  bool maximised = false;  // draws the alternative border set
  QString title;
  QFont font;
  std::array<bool, kTitleButtonCount> shown{};  // which title-bar buttons show
  std::optional<TitleButton> hovered;
  std::optional<TitleButton> pressed;
};

// Title-bar button picture states by "ButtonImgCount", side by side.
enum class TitleButtonState { Normal = 0, Hover = 1, Pressed = 2, Inactive = 3 };

class SkinFramePainter {
public:
  SkinFramePainter(const SkinTheme& theme, const SkinPictureSet& pictures, const QPalette& palette)
      : theme_(theme), pictures_(pictures), palette_(palette) {}

  void PaintFrame(QPainter& p, QSize size, const FrameState& state) const;
  // "DialogBmp" stretched over the client area, on the bar colour.
  void PaintBackground(QPainter& p, const QRect& client) const;

  QRect LogoRect(QSize size, bool maximised) const;
  QRect ButtonRect(TitleButton button, int width) const;
  // The window's shape: everything but the frame pixels that the
  // transparent colour cleared.
  QRegion Shape(QSize size, const FrameState& state) const;
  // The state picture index a title-bar button shows.
  int ButtonStateIndex(TitleButton button, const FrameState& state) const;

private:
  void PaintTop(QPainter& p, QSize size, const FrameState& state) const;
  void PaintSides(QPainter& p, QSize size, const FrameState& state) const;
  void PaintBottom(QPainter& p, QSize size, const FrameState& state) const;
  void PaintTitle(QPainter& p, QSize size, const FrameState& state) const;
  void PaintButtons(QPainter& p, QSize size, const FrameState& state) const;
  FrameMetrics Metrics(QSize size, bool maximised) const;

  const SkinTheme& theme_;
  const SkinPictureSet& pictures_;
  QPalette palette_;
};

// The palette of a skinned window: the bar colour (or the background
// picture's average) as the window colour with a readable text colour, and
// the theme's button colours.
QPalette SkinPalette(const SkinTheme& theme, const SkinPictureSet& pictures, const QPalette& base);

// A colour of the theme, or fallback when it takes the platform's.
QColor ToQColor(const SkinColour& colour, const QColor& fallback);
QColor ToQColor(const SkinRgb& rgb);

}  // namespace evdo
