#include "ui/skin/SkinPushStyle.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QWidget>

#include "ui/skin/SkinFramePainter.h"
#include "ui/skin/SkinGeometry.h"

namespace evdo {

SkinPushStyle::SkinPushStyle(const SkinTheme& theme, const SkinPictureSet& pictures, const QPalette& palette)
    : frame_(theme.pushButton) {
  if (theme.hasPushButton) bitmap_ = pictures.Picture(SkinPicture::PushButton);
  QColor platformFace = palette.color(QPalette::Button);
  face_ = ToQColor(theme.buttonFace, platformFace);
  hilight_ = ToQColor(theme.buttonHilight, platformFace);
  focus_ = ToQColor(theme.buttonFocus, platformFace);
  text_ = ToQColor(theme.buttonText, palette.color(QPalette::ButtonText));
  disabledText_ = text_;
  disabledText_.setAlpha(110);
}

PushButtonState SkinPushStyle::StateOf(const QStyleOption& option) {
  if (!(option.state & State_Enabled)) return PushButtonState::Disabled;
  if (option.state & (State_Sunken | State_On)) return PushButtonState::Pressed;
  if (option.state & State_MouseOver) return PushButtonState::Hover;
  return PushButtonState::Normal;
}

QRect SkinPushStyle::StateSource(PushButtonState state) const {
  int h = bitmap_.height() / kPushButtonStates;
  if (h <= 0) return bitmap_.rect();  // too small to hold the states: one for all
  return QRect(0, static_cast<int>(state) * h, bitmap_.width(), h);
}

void SkinPushStyle::DrawBevel(QPainter& p, const QRect& r, PushButtonState state) const {
  if (bitmap_.isNull()) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QColor fill = state == PushButtonState::Hover ? hilight_ : face_;
    if (state == PushButtonState::Pressed) fill = face_.darker(115);
    p.setPen(fill.darker(140));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    p.restore();
    return;
  }
  QRect src = StateSource(state);
  auto across = SkinGeometry::ThreeSlice(src.width(), {frame_.leftWidth, src.width() - frame_.rightWidth}, r.width());
  auto down = SkinGeometry::ThreeSlice(src.height(), {frame_.topHeight, src.height() - frame_.bottomHeight},
                                       r.height());
  for (const auto& col : across)
    for (const auto& row : down) {
      if (col.srcLen <= 0 || row.srcLen <= 0 || col.dstLen <= 0 || row.dstLen <= 0) continue;
      p.drawImage(QRect(r.x() + col.dstPos, r.y() + row.dstPos, col.dstLen, row.dstLen), bitmap_,
                  QRect(src.x() + col.srcPos, src.y() + row.srcPos, col.srcLen, row.srcLen));
    }
}

void SkinPushStyle::DrawFocus(QPainter& p, const QRect& r) const {
  int inset = 3;
  QRect ring = r.adjusted(std::max(frame_.leftWidth / 2, inset), std::max(frame_.topHeight / 2, inset),
                          -std::max(frame_.rightWidth / 2, inset), -std::max(frame_.bottomHeight / 2, inset));
  if (ring.width() <= 2 || ring.height() <= 2) return;
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(focus_, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(ring).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
  p.restore();
}

void SkinPushStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const {
  const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
  if (element != CE_PushButton || !button || (button->features & QStyleOptionButton::Flat)) {
    QProxyStyle::drawControl(element, option, painter, widget);
    return;
  }
  PushButtonState state = StateOf(*button);
  DrawBevel(*painter, button->rect, state);
  if ((button->state & State_HasFocus) && state != PushButtonState::Disabled) DrawFocus(*painter, button->rect);
  QStyleOptionButton label = *button;
  QColor text = state == PushButtonState::Disabled ? disabledText_ : text_;
  label.palette.setColor(QPalette::ButtonText, text);
  label.palette.setColor(QPalette::Disabled, QPalette::ButtonText, text);
  label.rect = subElementRect(SE_PushButtonContents, button, widget);
  if (state == PushButtonState::Pressed) label.rect.translate(1, 1);
  label.state &= ~State_HasFocus;
  proxy()->drawControl(CE_PushButtonLabel, &label, painter, widget);
}

void SkinPushStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                  const QWidget* widget) const {
  if (element != PE_FrameFocusRect) return QProxyStyle::drawPrimitive(element, option, painter, widget);
  // A clear ring in the skin's focus colour (the platform's is faint).
  const QRect r = option->rect.adjusted(0, 0, -1, -1);
  if (r.width() <= 2 || r.height() <= 2) return;
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  painter->setPen(QPen(focus_, 1));
  painter->setBrush(Qt::NoBrush);
  painter->drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
  painter->restore();
}

void SkinPushStyle::polish(QWidget* widget) {
  QProxyStyle::polish(widget);
  widget->setAttribute(Qt::WA_Hover);
}

}  // namespace evdo
