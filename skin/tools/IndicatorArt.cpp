#include "skin/tools/IndicatorArt.h"

#include <QDir>
#include <QPainter>
#include <QPainterPath>

#include <vector>

#include "skin/tools/SkinArt.h"

namespace evdo::skingen {
namespace {

const QColor kInk(43, 108, 176);
const QColor kOff(190, 196, 204);
const QColor kGood(46, 157, 79);
const QColor kWarn(224, 138, 0);
const QColor kBad(214, 58, 52);

QImage Blank(int w = kIndicatorWidth, int h = kIndicatorHeight) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

void Smooth(QPainter& p) { p.setRenderHint(QPainter::Antialiasing); }

// Stroke glyphs of the few characters the badges need, in a 5 x 8 cell.
QPainterPath Glyph(char c, qreal x, qreal y) {
  QPainterPath path;
  switch (c) {
    case '1':
      path.moveTo(x + 1, y + 1.6);
      path.lineTo(x + 3, y);
      path.lineTo(x + 3, y + 8);
      break;
    case 'X':
      path.moveTo(x, y);
      path.lineTo(x + 5, y + 8);
      path.moveTo(x + 5, y);
      path.lineTo(x, y + 8);
      break;
    case '3':
      path.moveTo(x + 0.2, y + 0.8);
      path.cubicTo(x + 1.5, y - 0.4, x + 5, y - 0.2, x + 4.8, y + 2);
      path.cubicTo(x + 4.7, y + 3.6, x + 3, y + 3.8, x + 2, y + 3.8);
      path.cubicTo(x + 3.6, y + 3.8, x + 5.2, y + 4.6, x + 5, y + 6);
      path.cubicTo(x + 4.8, y + 8.4, x + 1.2, y + 8.4, x + 0, y + 7.2);
      break;
    case 'G':
      path.moveTo(x + 5, y + 1.2);
      path.cubicTo(x + 3.6, y - 0.6, x, y - 0.2, x, y + 4);
      path.cubicTo(x, y + 8.4, x + 4.2, y + 8.6, x + 5, y + 6.6);
      path.lineTo(x + 5, y + 4.4);
      path.lineTo(x + 2.8, y + 4.4);
      break;
    default: break;
  }
  return path;
}

void Badge(QPainter& p, const QColor& colour, const char* text) {
  Smooth(p);
  QRectF r(1.5, 1.5, kIndicatorWidth - 3, kIndicatorHeight - 3);
  p.setPen(QPen(colour, 1));
  p.setBrush(text ? colour : QColor(Qt::transparent));
  p.drawRoundedRect(r, 3, 3);
  if (!text) {
    p.drawLine(QPointF(8.5, 8), QPointF(15.5, 8));
    return;
  }
  p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(Glyph(text[0], 5.5, 4));
  p.drawPath(Glyph(text[1], 13, 4));
}

// An envelope in ink on paper, with a round mark at its top right corner.
void Envelope(QPainter& p, const QColor& ink, const QColor& paper, const QColor& mark, qreal markRadius) {
  Smooth(p);
  QRectF r(3.5, 3.5, 15, 10);
  QPainterPath path;
  path.addRoundedRect(r, 1.5, 1.5);
  path.moveTo(r.left() + 0.5, r.top() + 0.5);
  path.lineTo(r.center().x(), r.top() + r.height() * 0.55);
  path.lineTo(r.right() - 0.5, r.top() + 0.5);
  p.setPen(QPen(ink, 1.2));
  p.setBrush(paper);
  p.drawPath(path);
  p.setPen(QPen(Qt::white, 1));
  p.setBrush(mark);
  p.drawEllipse(QPointF(18.5, 5), markRadius, markRadius);
}

void Globe(QPainter& p, const QColor& colour, const QPointF& c, qreal radius) {
  Smooth(p);
  p.setPen(QPen(colour, 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(c, radius, radius);
  p.drawEllipse(c, radius * 0.45, radius);
  p.drawLine(QPointF(c.x() - radius, c.y()), QPointF(c.x() + radius, c.y()));
}

void Handset(QPainter& p, const QColor& colour, const QPointF& c) {
  Smooth(p);
  p.save();
  p.translate(c);
  p.rotate(45);
  QPainterPath path;
  path.moveTo(-6, -1.5);
  path.cubicTo(-3, 2.5, 3, 2.5, 6, -1.5);
  p.setPen(QPen(colour, 2.6, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(path);
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawRoundedRect(QRectF(-7.6, -3.6, 4, 3.4), 1.2, 1.2);
  p.drawRoundedRect(QRectF(3.6, -3.6, 4, 3.4), 1.2, 1.2);
  p.restore();
}

void Slash(QPainter& p) {
  Smooth(p);
  p.setPen(QPen(kBad, 1.8, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(5, 14), QPointF(19, 2));
}

}  // namespace

QImage IndicatorArt::Signal(int level) {
  QImage image = Blank();
  QPainter p(&image);
  for (int bar = 0; bar < 5; ++bar) {
    int h = 3 + bar * 3;
    QRect r(2 + bar * 4, kIndicatorHeight - 1 - h, 3, h);
    p.fillRect(r, bar < level ? kInk : kOff);
  }
  return image;
}

QImage IndicatorArt::NoService() {
  QImage image = Signal(0);
  QPainter p(&image);
  Smooth(p);
  p.setPen(QPen(kBad, 1.6, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(2.5, 2.5), QPointF(7.5, 7.5));
  p.drawLine(QPointF(7.5, 2.5), QPointF(2.5, 7.5));
  return image;
}

QImage IndicatorArt::Roaming(bool on) {
  QImage image = Blank();
  QPainter p(&image);
  QColor colour = on ? kWarn : kOff;
  Globe(p, colour, QPointF(10, 8), 6);
  p.setPen(QPen(colour, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF({QPointF(17, 3.5), QPointF(21.5, 3.5), QPointF(21.5, 8)}));
  p.drawLine(QPointF(21.5, 3.5), QPointF(16.5, 8.5));
  return image;
}

QImage IndicatorArt::Network(int kind) {
  QImage image = Blank();
  QPainter p(&image);
  if (kind == 1) Badge(p, kInk, "1X");
  else if (kind == 2) Badge(p, kGood, "3G");
  else Badge(p, kOff, nullptr);
  return image;
}

QImage IndicatorArt::Unread() {
  QImage image = Blank();
  QPainter p(&image);
  Envelope(p, kInk, QColor(232, 241, 251), kWarn, 3.5);
  return image;
}

QImage IndicatorArt::InboxFull() {
  QImage image = Blank();
  QPainter p(&image);
  Envelope(p, kBad, QColor(252, 232, 231), kBad, 4.5);
  p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(18.5, 2.8), QPointF(18.5, 5.6));
  p.drawPoint(QPointF(18.5, 7.6));
  return image;
}

QImage IndicatorArt::Call(int state) {
  QImage image = Blank();
  QPainter p(&image);
  QColor colour = state == 0 ? kOff : kGood;
  Handset(p, colour, QPointF(9, 9));
  if (state == 1) {
    p.setPen(QPen(colour, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    for (qreal r : {3.5, 6.5}) p.drawArc(QRectF(14 - r, 6 - r, 2 * r, 2 * r), -10 * 16, 100 * 16);
  }
  if (state == 2) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (int i = 0; i < 3; ++i) p.drawEllipse(QPointF(15 + i * 3, 4), 1.1, 1.1);
  }
  return image;
}

QImage IndicatorArt::Connection(bool connected) {
  QImage image = Blank();
  QPainter p(&image);
  Globe(p, connected ? kGood : kOff, QPointF(12, 8), 6.5);
  if (!connected) Slash(p);
  return image;
}

QImage IndicatorArt::TrayIcon() { return SkinArt(LightLook()).Logo(16); }

QImage IndicatorArt::AppIcon(int size) { return SkinArt(LightLook()).Logo(size); }

bool IndicatorArt::WriteAll(const QString& folder) {
  if (!QDir().mkpath(folder)) return false;
  std::vector<std::pair<QString, QImage>> pictures;
  for (int level = 0; level <= 5; ++level)
    pictures.emplace_back(QStringLiteral("signal_%1.png").arg(level), Signal(level));
  pictures.emplace_back(QStringLiteral("signal_none.png"), NoService());
  pictures.emplace_back(QStringLiteral("roaming_on.png"), Roaming(true));
  pictures.emplace_back(QStringLiteral("roaming_off.png"), Roaming(false));
  pictures.emplace_back(QStringLiteral("net_none.png"), Network(0));
  pictures.emplace_back(QStringLiteral("net_1x.png"), Network(1));
  pictures.emplace_back(QStringLiteral("net_evdo.png"), Network(2));
  pictures.emplace_back(QStringLiteral("sms_unread.png"), Unread());
  pictures.emplace_back(QStringLiteral("sms_full.png"), InboxFull());
  pictures.emplace_back(QStringLiteral("call_idle.png"), Call(0));
  pictures.emplace_back(QStringLiteral("call_incoming.png"), Call(1));
  pictures.emplace_back(QStringLiteral("call_active.png"), Call(2));
  pictures.emplace_back(QStringLiteral("connected.png"), Connection(true));
  pictures.emplace_back(QStringLiteral("disconnected.png"), Connection(false));
  pictures.emplace_back(QStringLiteral("tray.png"), TrayIcon());
  pictures.emplace_back(QStringLiteral("app_icon.png"), AppIcon(128));
  for (const auto& [file, image] : pictures)
    if (!image.save(folder + "/" + file, "PNG")) return false;
  return true;
}

}  // namespace evdo::skingen
