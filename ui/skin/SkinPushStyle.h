#pragma once
// Push buttons of a skinned window. With the theme's "Buttons" bitmap the
// button is that picture in nine parts (its fixed borders kept, the middle
// stretched), in one of four states stacked from top to bottom: normal,
// hover, pressed, disabled. The keyboard focus shows as a ring in the
// "ButtonFocus" colour inside the borders; so does the keyboard focus of the
// window's other buttons (check boxes, radio buttons, tool buttons) and tab
// bars, which take this style too. Without the bitmap the button is
// a flat face in "ButtonFace" ("ButtonHilight" under the mouse). The label
// takes "ButtonText".
#include <QImage>
#include <QProxyStyle>

#include "ui/skin/SkinPictureSet.h"

namespace evdo {

enum class PushButtonState { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };
constexpr int kPushButtonStates = 4;

class SkinPushStyle : public QProxyStyle {
public:
  SkinPushStyle(const SkinTheme& theme, const SkinPictureSet& pictures, const QPalette& palette);

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget = nullptr) const override;
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
  void polish(QWidget* widget) override;
  using QProxyStyle::polish;

  static PushButtonState StateOf(const QStyleOption& option);
  // The rows of the button bitmap that a state takes.
  QRect StateSource(PushButtonState state) const;

private:
  void DrawBevel(QPainter& p, const QRect& r, PushButtonState state) const;
  void DrawFocus(QPainter& p, const QRect& r) const;

  QImage bitmap_;
  PushButtonFrame frame_;
  QColor face_, hilight_, focus_, text_, disabledText_;
};

}  // namespace evdo
