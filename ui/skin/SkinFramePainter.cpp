#include "ui/skin/SkinFramePainter.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace evdo {
namespace {

constexpr int kLogoMargin = 6;
constexpr int kTitleGap = 6;

// Draws a horizontal strip of picture (rows [srcY, srcY + h) of columns
// [srcX, srcX + srcW)) over [x, x + width) at y, sliced along its width.
void DrawAcross(QPainter& p, const QImage& picture, QRect src, BorderSlice slice, QPoint at, int width) {
  for (const auto& s : SkinGeometry::ThreeSlice(src.width(), slice, width)) {
    if (s.srcLen <= 0 || s.dstLen <= 0) continue;
    p.drawImage(QRect(at.x() + s.dstPos, at.y(), s.dstLen, src.height()), picture,
                QRect(src.x() + s.srcPos, src.y(), s.srcLen, src.height()));
  }
}

// The same, down a vertical strip.
void DrawDown(QPainter& p, const QImage& picture, QRect src, BorderSlice slice, QPoint at, int height) {
  for (const auto& s : SkinGeometry::ThreeSlice(src.height(), slice, height)) {
    if (s.srcLen <= 0 || s.dstLen <= 0) continue;
    p.drawImage(QRect(at.x(), at.y() + s.dstPos, src.width(), s.dstLen), picture,
                QRect(src.x(), src.y() + s.srcPos, src.width(), s.srcLen));
  }
}

SkinPicture Pick(bool alternative, SkinPicture normal, SkinPicture alt) { return alternative ? alt : normal; }

bool IsDark(const QColor& c) { return c.lightnessF() < 0.5; }

}  // namespace

QColor ToQColor(const SkinRgb& rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

QColor ToQColor(const SkinColour& colour, const QColor& fallback) {
  return colour ? ToQColor(*colour) : fallback;
}

FrameMetrics SkinFramePainter::Metrics(QSize size, bool maximised) const {
  return SkinGeometry::Frame(theme_, maximised, size.width(), size.height());
}

void SkinFramePainter::PaintFrame(QPainter& p, QSize size, const FrameState& state) const {
  PaintSides(p, size, state);
  PaintBottom(p, size, state);
  PaintTop(p, size, state);
  PaintTitle(p, size, state);
  PaintButtons(p, size, state);
}

void SkinFramePainter::PaintTop(QPainter& p, QSize size, const FrameState& state) const {
  const QImage& top = pictures_.Picture(Pick(state.maximised, SkinPicture::Top, SkinPicture::Top2));
  int h = top.height() / 2;
  QRect src(0, state.active ? 0 : h, top.width(), h);
  DrawAcross(p, top, src, theme_.top, QPoint(0, 0), size.width());
}

void SkinFramePainter::PaintSides(QPainter& p, QSize size, const FrameState& state) const {
  FrameMetrics f = Metrics(size, state.maximised);
  int height = size.height() - f.top - f.bottom;
  const QImage& left = pictures_.Picture(Pick(state.maximised, SkinPicture::Left, SkinPicture::Left2));
  const QImage& right = pictures_.Picture(Pick(state.maximised, SkinPicture::Right, SkinPicture::Right2));
  DrawDown(p, left, QRect(state.active ? 0 : f.left, 0, f.left, left.height()), theme_.left,
           QPoint(0, f.top), height);
  DrawDown(p, right, QRect(state.active ? 0 : f.right, 0, f.right, right.height()), theme_.right,
           QPoint(size.width() - f.right, f.top), height);
}

void SkinFramePainter::PaintBottom(QPainter& p, QSize size, const FrameState& state) const {
  const QImage& bottom = pictures_.Picture(Pick(state.maximised, SkinPicture::Bottom, SkinPicture::Bottom2));
  int h = bottom.height() / 2;
  BorderSlice slice = state.maximised ? BorderSlice{theme_.bottom.start, theme_.bottom2End} : theme_.bottom;
  DrawAcross(p, bottom, QRect(0, state.active ? 0 : h, bottom.width(), h), slice,
             QPoint(0, size.height() - h), size.width());
  if (state.maximised) return;
  // "Bottomc" sits in the middle of the bottom edge.
  const QImage& centre = pictures_.Picture(SkinPicture::Bottomc);
  p.drawImage(QPoint((size.width() - centre.width()) / 2, size.height() - centre.height()), centre);
}

QRect SkinFramePainter::LogoRect(QSize size, bool maximised) const {
  FrameMetrics f = Metrics(size, maximised);
  const QImage& logo = pictures_.Picture(SkinPicture::TopLogo);
  int x = std::max(f.left, kLogoMargin);
  return QRect(x, std::max(0, (f.top - logo.height()) / 2), logo.width(), logo.height());
}

QRect SkinFramePainter::ButtonRect(TitleButton button, int width) const {
  SkinRect r = SkinGeometry::TitleButtonRect(theme_, button, width);
  return QRect(r.x, r.y, r.width, r.height);
}

void SkinFramePainter::PaintTitle(QPainter& p, QSize size, const FrameState& state) const {
  QRect logo = LogoRect(size, state.maximised);
  p.drawImage(logo.topLeft(), pictures_.Picture(SkinPicture::TopLogo));
  int right = size.width();
  for (std::size_t i = 0; i < kTitleButtonCount; ++i)
    if (state.shown[i]) right = std::min(right, ButtonRect(static_cast<TitleButton>(i), size.width()).left());
  FrameMetrics f = Metrics(size, state.maximised);
  QRect text(logo.right() + 1 + kTitleGap + theme_.textShift, theme_.textShiftVert, 0, f.top);
  text.setRight(right - kTitleGap);
  if (text.width() <= 0) return;
  QColor fallback = palette_.color(QPalette::Active, QPalette::WindowText);
  p.setPen(ToQColor(state.active ? theme_.titleText : theme_.inactiveTitleText, fallback));
  p.setFont(state.font);
  QString elided = QFontMetrics(state.font).elidedText(state.title, Qt::ElideRight, text.width());
  p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, elided);
}

int SkinFramePainter::ButtonStateIndex(TitleButton button, const FrameState& state) const {
  auto index = TitleButtonState::Normal;
  if (state.pressed == button && state.hovered == button)
    index = TitleButtonState::Pressed;
  else if (state.hovered == button && !state.pressed)
    index = TitleButtonState::Hover;
  else if (!state.active)
    index = TitleButtonState::Inactive;
  int i = static_cast<int>(index);
  return i < theme_.buttonImgCount ? i : 0;
}

void SkinFramePainter::PaintButtons(QPainter& p, QSize size, const FrameState& state) const {
  for (std::size_t i = 0; i < kTitleButtonCount; ++i) {
    if (!state.shown[i]) continue;
    auto button = static_cast<TitleButton>(i);
    QRect r = ButtonRect(button, size.width());
    if (r.isEmpty()) continue;
    QRect src(ButtonStateIndex(button, state) * r.width(), 0, r.width(), r.height());
    p.drawImage(r.topLeft(), pictures_.Picture(PictureOf(button)), src);
  }
}

void SkinFramePainter::PaintBackground(QPainter& p, const QRect& client) const {
  p.fillRect(client, ToQColor(theme_.barColour));
  const QImage& back = pictures_.Picture(SkinPicture::DialogBmp);
  if (back.isNull()) return;
  p.save();
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(client, back);
  p.restore();
}

QRegion SkinFramePainter::Shape(QSize size, const FrameState& state) const {
  QImage frame(size, QImage::Format_ARGB32);
  frame.fill(Qt::transparent);
  {
    QPainter p(&frame);
    PaintFrame(p, size, state);
  }
  FrameMetrics f = Metrics(size, state.maximised);
  int w = size.width();
  QList<QRect> holes;  // in y-x order, as QRegion::setRects wants them
  auto addRuns = [&](const QRgb* line, int y, int from, int to) {
    for (int x = std::max(from, 0); x < to;) {
      int start = x;
      while (x < to && qAlpha(line[x]) == 0) ++x;
      if (x > start) holes.append(QRect(start, y, x - start, 1));
      else ++x;
    }
  };
  for (int y = 0; y < size.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
    if (y < f.top || y >= size.height() - f.bottom) {
      addRuns(line, y, 0, w);
    } else {
      addRuns(line, y, 0, std::min(f.left, w));
      addRuns(line, y, std::max(w - f.right, f.left), w);
    }
  }
  QRegion cut;
  cut.setRects(holes.constData(), static_cast<int>(holes.size()));
  return QRegion(0, 0, w, size.height()).subtracted(cut);
}

QPalette SkinPalette(const SkinTheme& theme, const SkinPictureSet& pictures, const QPalette& base) {
  QPalette pal = base;
  QColor window = ToQColor(theme.barColour);
  const QImage& back = pictures.Picture(SkinPicture::DialogBmp);
  if (!back.isNull()) window = back.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixelColor(0, 0);
  bool dark = IsDark(window);
  QColor text = dark ? QColor(235, 238, 242) : QColor(25, 28, 32);
  pal.setColor(QPalette::Window, window);
  pal.setColor(QPalette::WindowText, text);
  pal.setColor(QPalette::Text, text);
  pal.setColor(QPalette::Base, dark ? window.lighter(135) : QColor(Qt::white));
  pal.setColor(QPalette::AlternateBase, dark ? window.lighter(120) : window.lighter(108));
  pal.setColor(QPalette::Button, ToQColor(theme.buttonFace, base.color(QPalette::Button)));
  pal.setColor(QPalette::ButtonText, ToQColor(theme.buttonText, base.color(QPalette::ButtonText)));
  pal.setColor(QPalette::Disabled, QPalette::WindowText, dark ? text.darker(170) : text.lighter(300));
  pal.setColor(QPalette::Disabled, QPalette::Text, dark ? text.darker(170) : text.lighter(300));
  return pal;
}

}  // namespace evdo
