#include "skin/tools/SkinArt.h"

#include <QDir>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace evdo::skingen {
namespace {

QColor Hex(const char* hex) { return QColor(QString::fromLatin1(hex)); }

QString Rgb(const QColor& c) { return QStringLiteral("%1 %2 %3").arg(c.red()).arg(c.green()).arg(c.blue()); }

QImage Blank(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

QLinearGradient Vertical(qreal top, qreal bottom, const QColor& from, const QColor& to) {
  QLinearGradient g(0, top, 0, bottom);
  g.setColorAt(0, from);
  g.setColorAt(1, to);
  return g;
}

// A rectangle whose top corners (or bottom corners) are rounded.
QPainterPath RoundedEdge(const QRectF& r, qreal radius, bool top) {
  QPainterPath path;
  if (top) {
    path.moveTo(r.left(), r.bottom());
    path.lineTo(r.left(), r.top() + radius);
    path.arcTo(QRectF(r.left(), r.top(), 2 * radius, 2 * radius), 180, -90);
    path.lineTo(r.right() - radius, r.top());
    path.arcTo(QRectF(r.right() - 2 * radius, r.top(), 2 * radius, 2 * radius), 90, -90);
    path.lineTo(r.right(), r.bottom());
  } else {
    path.moveTo(r.left(), r.top());
    path.lineTo(r.left(), r.bottom() - radius);
    path.arcTo(QRectF(r.left(), r.bottom() - 2 * radius, 2 * radius, 2 * radius), 180, 90);
    path.lineTo(r.right() - radius, r.bottom());
    path.arcTo(QRectF(r.right() - 2 * radius, r.bottom() - 2 * radius, 2 * radius, 2 * radius), 270, 90);
    path.lineTo(r.right(), r.top());
  }
  path.closeSubpath();
  return path;
}

}  // namespace

void KeyOut(QImage& image) {
  image = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      line[x] = qAlpha(line[x]) < 128 ? qRgb(255, 0, 255) : (line[x] | 0xFF000000u);
  }
}

namespace {

// The two shipped skins side by side.
struct LookColour {
  QColor SkinLook::*field;
  const char* light;
  const char* dark;
};
const LookColour kLookColours[] = {
    {&SkinLook::titleTop, "#fbfcfe", "#343942"},
    {&SkinLook::titleBottom, "#e2eaf3", "#272b32"},
    {&SkinLook::titleTopInactive, "#f7f7f8", "#2e3137"},
    {&SkinLook::titleBottomInactive, "#e8e9eb", "#26282d"},
    {&SkinLook::accent, "#3d86d8", "#3fb8c9"},
    {&SkinLook::accentInactive, "#c3c8ce", "#474c54"},
    {&SkinLook::outline, "#7f95ad", "#101215"},
    {&SkinLook::outlineInactive, "#b3b7bd", "#1a1c20"},
    {&SkinLook::separator, "#c5d2e0", "#1b1e23"},
    {&SkinLook::glyph, "#2a3442", "#e4e8ee"},
    {&SkinLook::glyphInactive, "#9aa1aa", "#7b828c"},
    {&SkinLook::buttonHover, "#d3e0ee", "#404650"},
    {&SkinLook::buttonPressed, "#b7cadf", "#4d5460"},
    {&SkinLook::closeHover, "#e0443e", "#d9413b"},
    {&SkinLook::closePressed, "#b8322d", "#a9302b"},
    {&SkinLook::clientTop, "#f6f8fb", "#2c3037"},
    {&SkinLook::clientBottom, "#e9eef4", "#23262b"},
    {&SkinLook::logoTop, "#4b9ae6", "#47c7d6"},
    {&SkinLook::logoBottom, "#1f63b5", "#1f8a9e"},
    {&SkinLook::titleText, "#1e2835", "#e8ecf1"},
    {&SkinLook::inactiveTitleText, "#8a9098", "#8b929c"},
    {&SkinLook::bar, "#eef2f7", "#282b31"},
    {&SkinLook::menu, "#f7f9fb", "#30343b"},
    {&SkinLook::buttonFace, "#eaf0f6", "#3e434b"},
    {&SkinLook::buttonText, "#1b2530", "#e8ecf1"},
    {&SkinLook::buttonHilight, "#dbe7f5", "#4a505a"},
    {&SkinLook::buttonFocus, "#3d86d8", "#3fb8c9"},
};

// Push button states (normal, hover, pressed, disabled): top, bottom, border.
const char* const kLightPush[4][3] = {{"#ffffff", "#e3eaf2", "#9badc2"},
                                      {"#ffffff", "#d6e5f6", "#4d8fd6"},
                                      {"#d2deeb", "#e2e9f1", "#3f7cc0"},
                                      {"#f1f2f4", "#eceef1", "#cdd2d8"}};
const char* const kDarkPush[4][3] = {{"#4a505a", "#3c4149", "#1c1f24"},
                                     {"#545b67", "#464c57", "#3fb8c9"},
                                     {"#30343b", "#383c44", "#2f95a4"},
                                     {"#35383e", "#32353a", "#2a2d32"}};

SkinLook MakeLook(bool dark) {
  SkinLook look;
  look.name = dark ? QStringLiteral("dark") : QStringLiteral("light");
  look.description = dark ? QStringLiteral("Dark skin") : QStringLiteral("Light skin");
  for (const auto& c : kLookColours) look.*(c.field) = Hex(dark ? c.dark : c.light);
  const auto& push = dark ? kDarkPush : kLightPush;
  for (int state = 0; state < 4; ++state) {
    look.pushTop[state] = Hex(push[state][0]);
    look.pushBottom[state] = Hex(push[state][1]);
    look.pushBorder[state] = Hex(push[state][2]);
  }
  return look;
}

}  // namespace

SkinLook LightLook() { return MakeLook(false); }

SkinLook DarkLook() { return MakeLook(true); }

QImage SkinArt::TopState(bool active, bool alternative) const {
  int h = alternative ? kTitleHeightMax : kTitleHeight;
  int border = alternative ? kBorderMax : kBorder;
  QImage image = Blank(kTopWidth, h);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QRectF r(0, 0, kTopWidth, h);
  QPainterPath shape = alternative ? QPainterPath() : RoundedEdge(r, kCornerRadius, true);
  if (alternative) shape.addRect(r);
  p.fillPath(shape, Vertical(0, h, active ? look_.titleTop : look_.titleTopInactive,
                              active ? look_.titleBottom : look_.titleBottomInactive));
  p.setClipPath(shape);
  p.fillRect(QRectF(0, 0, kTopWidth, 2), active ? look_.accent : look_.accentInactive);
  p.setClipping(false);
  if (!alternative) {
    p.setPen(QPen(active ? look_.outline : look_.outlineInactive, 1));
    p.drawPath(RoundedEdge(r.adjusted(0.5, 0.5, -0.5, 1), kCornerRadius - 0.5, true));
  } else {
    p.fillRect(QRect(0, 0, 1, h), active ? look_.outline : look_.outlineInactive);
    p.fillRect(QRect(kTopWidth - 1, 0, 1, h), active ? look_.outline : look_.outlineInactive);
  }
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(QRect(border - 1, h - 1, kTopWidth - 2 * (border - 1), 1), look_.separator);
  return image;
}

QImage SkinArt::Top(bool alternative) const {
  QImage active = TopState(true, alternative);
  QImage image = Blank(kTopWidth, active.height() * 2);
  QPainter p(&image);
  p.drawImage(0, 0, active);
  p.drawImage(0, active.height(), TopState(false, alternative));
  p.end();
  KeyOut(image);
  return image;
}

QImage SkinArt::Side(bool alternative, bool right) const {
  int w = alternative ? kBorderMax : kBorder;
  QImage image = Blank(2 * w, kTitleHeight);
  QPainter p(&image);
  for (int state = 0; state < 2; ++state) {
    bool active = state == 0;
    int x0 = state * w;
    QColor outline = active ? look_.outline : look_.outlineInactive;
    if (alternative) {
      p.fillRect(QRect(x0, 0, 1, kTitleHeight), outline);
      continue;
    }
    p.fillRect(QRect(x0, 0, w, kTitleHeight), active ? look_.titleBottom : look_.titleBottomInactive);
    p.fillRect(QRect(x0 + (right ? w - 1 : 0), 0, 1, kTitleHeight), outline);
    p.fillRect(QRect(x0 + (right ? 0 : w - 1), 0, 1, kTitleHeight), look_.separator);
  }
  return image;
}

QImage SkinArt::Bottom(bool alternative) const {
  int h = alternative ? kBorderMax : kBorder;
  QImage image = Blank(kTopWidth, 2 * h);
  QPainter p(&image);
  for (int state = 0; state < 2; ++state) {
    bool active = state == 0;
    QColor outline = active ? look_.outline : look_.outlineInactive;
    int y0 = state * h;
    if (alternative) {
      p.fillRect(QRect(0, y0, kTopWidth, 1), outline);
      continue;
    }
    QRectF r(0, y0, kTopWidth, h);
    p.setClipRect(QRect(0, y0, kTopWidth, h));
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(RoundedEdge(r, kBorder, false), active ? look_.titleBottom : look_.titleBottomInactive);
    p.setPen(QPen(outline, 1));
    p.drawPath(RoundedEdge(r.adjusted(0.5, -1, -0.5, -0.5), kBorder - 0.5, false));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(kBorder - 1, y0, kTopWidth - 2 * (kBorder - 1), 1), look_.separator);
  }
  p.end();
  KeyOut(image);
  return image;
}

QImage SkinArt::BottomCentre() const {
  QImage image = Blank(36, kBorder);
  QPainter p(&image);
  QColor dot = look_.outline;
  dot.setAlpha(150);
  for (int i = 0; i < 5; ++i) p.fillRect(QRect(8 + i * 4, 2, 2, 1), dot);
  return image;
}

QImage SkinArt::Logo(int size) const {
  QImage image = Blank(size, size);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  qreal s = size;
  QRectF badge(0.5, 0.5, s - 1, s - 1);
  p.setPen(QPen(look_.logoBottom.darker(125), 1));
  p.setBrush(Vertical(0, s, look_.logoTop, look_.logoBottom));
  p.drawRoundedRect(badge, s / 4.5, s / 4.5);
  QPointF centre(s * 0.30, s * 0.72);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(centre, s * 0.085, s * 0.085);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(Qt::white, std::max(1.4, s * 0.085), Qt::SolidLine, Qt::RoundCap));
  for (qreal radius : {0.24, 0.40, 0.56}) {
    QRectF arc(centre.x() - radius * s, centre.y() - radius * s, 2 * radius * s, 2 * radius * s);
    p.drawArc(arc, 0, 90 * 16);
  }
  return image;
}

QImage SkinArt::ButtonState(int glyph, int state) const {
  QImage image = Blank(kButtonWidth, kButtonHeight);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  bool close = glyph == 0;
  QColor glyphColour = state == 3 ? look_.glyphInactive : look_.glyph;
  if (state == 1 || state == 2) {
    QColor back = close ? (state == 1 ? look_.closeHover : look_.closePressed)
                        : (state == 1 ? look_.buttonHover : look_.buttonPressed);
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(QRectF(1, 0, kButtonWidth - 2, kButtonHeight), 4, 4);
    if (close) glyphColour = Qt::white;
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(glyphColour, close ? 1.4 : 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  switch (glyph) {
    case 0:
      p.drawLine(QPointF(12.5, 7.5), QPointF(21.5, 16.5));
      p.drawLine(QPointF(21.5, 7.5), QPointF(12.5, 16.5));
      break;
    case 1: p.drawRect(QRectF(12.5, 7.5, 9, 9)); break;
    case 2:
      p.drawRect(QRectF(12.5, 9.5, 7, 7));
      p.drawPolyline(QPolygonF({QPointF(14.5, 9.5), QPointF(14.5, 7.5), QPointF(21.5, 7.5),
                                QPointF(21.5, 14.5), QPointF(19.5, 14.5)}));
      break;
    default: p.drawLine(QPointF(12.5, 12.5), QPointF(21.5, 12.5)); break;
  }
  return image;
}

QImage SkinArt::TitleButton(int glyph) const {
  QImage image = Blank(kButtonWidth * kButtonStates, kButtonHeight);
  QPainter p(&image);
  for (int state = 0; state < kButtonStates; ++state) p.drawImage(state * kButtonWidth, 0, ButtonState(glyph, state));
  return image;
}

QImage SkinArt::PushState(int state) const {
  QImage image = Blank(kPushWidth, kPushHeight);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QRectF r(0.5, 0.5, kPushWidth - 1, kPushHeight - 1);
  p.setPen(QPen(look_.pushBorder[state], 1));
  p.setBrush(Vertical(0, kPushHeight, look_.pushTop[state], look_.pushBottom[state]));
  p.drawRoundedRect(r, 4, 4);
  if (state != 2 && state != 3) {
    p.setPen(QPen(QColor(255, 255, 255, 50), 1));
    p.drawLine(QPointF(4, 1.5), QPointF(kPushWidth - 4, 1.5));
  }
  return image;
}

QImage SkinArt::PushButton() const {
  QImage image = Blank(kPushWidth, kPushHeight * 4);
  QPainter p(&image);
  for (int state = 0; state < 4; ++state) p.drawImage(0, state * kPushHeight, PushState(state));
  return image;
}

QImage SkinArt::Client() const {
  QImage image = Blank(16, 256);
  QPainter p(&image);
  p.fillRect(image.rect(), Vertical(0, 256, look_.clientTop, look_.clientBottom));
  return image;
}

QString SkinArt::ThemeFile() const {
  QString t;
  t += QStringLiteral("; %1, drawn by skin/tools/skingen.\n").arg(look_.description);
  t += QStringLiteral("[Personality]\nDialogBmp=client.png\nTop=top.png\nLeft=left.png\nRight=right.png\n");
  t += QStringLiteral("Bottom=bottom.png\nBottomc=bottomc.png\nTop2=top2.png\nLeft2=left2.png\n");
  t += QStringLiteral("Right2=right2.png\nBottom2=bottom2.png\nTopLogo=logo.png\n");
  t += QStringLiteral("TopTopHeight=%1\nTopBotHeight=%1\n").arg(kTopFixed);
  t += QStringLiteral("LeftTopHeight=0\nLeftBotHeight=0\nRightTopHeight=0\nRightBotHeight=0\n");
  t += QStringLiteral("BottomTopHeight=%1\nBottomBotHeight=%1\n").arg(kBottomFixed);
  t += QStringLiteral("ButtonCount=4\nButtonImgCount=%1\nTextShift=0\nTextShiftVert=0\nUsesTran=1\n\n")
           .arg(kButtonStates);
  const char* images[4] = {"close.png", "maximize.png", "restore.png", "minimize.png"};
  const int actions[4] = {0, 1, 1, 2};
  const int xs[4] = {kBorder, kBorder + kButtonWidth, kBorder + kButtonWidth, kBorder + 2 * kButtonWidth};
  for (int i = 0; i < 4; ++i)
    t += QStringLiteral("[Button%1]\nButtonImage=%2\nAction=%3\nXCoord=%4\nYCoord=%5\n\n")
             .arg(i).arg(QLatin1String(images[i])).arg(actions[i]).arg(xs[i])
             .arg((kTitleHeight - kButtonHeight) / 2);
  t += QStringLiteral("[Colours]\nTitleText=%1\nInactiveTitleText=%2\nTransColor=255 0 255\n")
           .arg(Rgb(look_.titleText), Rgb(look_.inactiveTitleText));
  t += QStringLiteral("BarColor=%1\nMenuColor=%2\nButtonFace=%3\nButtonText=%4\nButtonHilight=%5\n")
           .arg(Rgb(look_.bar), Rgb(look_.menu), Rgb(look_.buttonFace), Rgb(look_.buttonText),
                Rgb(look_.buttonHilight));
  t += QStringLiteral("ButtonFocus=%1\n\n").arg(Rgb(look_.buttonFocus));
  t += QStringLiteral("[Buttons]\nBitmap=button.png\nTopHeight=%1\nBottomHeight=%1\nLeftWidth=%1\n"
                      "RightWidth=%1\nTrans=0\n")
           .arg(kPushBorder);
  return t;
}

bool SkinArt::WriteAll(const QString& folder) const {
  if (!QDir().mkpath(folder)) return false;
  struct Picture {
    const char* file;
    QImage image;
  };
  const Picture pictures[] = {
      {"top.png", Top(false)},          {"top2.png", Top(true)},
      {"left.png", Side(false, false)}, {"left2.png", Side(true, false)},
      {"right.png", Side(false, true)}, {"right2.png", Side(true, true)},
      {"bottom.png", Bottom(false)},    {"bottom2.png", Bottom(true)},
      {"bottomc.png", BottomCentre()},  {"logo.png", Logo(20)},
      {"close.png", TitleButton(0)},    {"maximize.png", TitleButton(1)},
      {"restore.png", TitleButton(2)},  {"minimize.png", TitleButton(3)},
      {"button.png", PushButton()},     {"client.png", Client()},
  };
  for (const auto& picture : pictures)
    if (!picture.image.save(folder + "/" + QLatin1String(picture.file), "PNG")) return false;
  QFile theme(folder + "/theme.ini");
  if (!theme.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return theme.write(ThemeFile().toUtf8()) >= 0;
}

}  // namespace evdo::skingen
