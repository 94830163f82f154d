#pragma once
// Moving a frameless window by its title bar and resizing it by its skinned
// edges. The platform's own move and resize are used where it offers them;
// otherwise the window follows the mouse until the button is released.
#include <QPoint>
#include <QRect>

#include "ui/skin/SkinGeometry.h"

class QWidget;

namespace evdo {

class SkinFrameMouse {
public:
  explicit SkinFrameMouse(QWidget& window) : window_(window) {}

  // A press on a part of the frame; false when that part neither moves nor
  // resizes the window.
  bool Begin(FrameHit hit, const QPoint& globalPos);
  // True while the window follows the mouse.
  bool Dragging() const { return dragging_; }
  void Follow(const QPoint& globalPos);
  void End() { dragging_ = false; }

  static Qt::CursorShape CursorFor(FrameHit hit);
  static Qt::Edges EdgesOf(FrameHit hit);
  // The geometry after dragging edges of start by delta, kept at least
  // minimum in size (the opposite edges stay put).
  static QRect Resized(const QRect& start, Qt::Edges edges, const QPoint& delta, const QSize& minimum);

private:
  QWidget& window_;
  bool dragging_ = false;
  FrameHit hit_ = FrameHit::Outside;
  QPoint startPos_;
  QRect startGeometry_;
  QPoint startWindowPos_;
};

}  // namespace evdo
