#include "ui/skin/SkinFrameMouse.h"

#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace evdo {

Qt::Edges SkinFrameMouse::EdgesOf(FrameHit hit) {
  switch (hit) {
    case FrameHit::Left: return Qt::LeftEdge;
    case FrameHit::Right: return Qt::RightEdge;
    case FrameHit::Top: return Qt::TopEdge;
    case FrameHit::Bottom: return Qt::BottomEdge;
    case FrameHit::TopLeft: return Qt::TopEdge | Qt::LeftEdge;
    case FrameHit::TopRight: return Qt::TopEdge | Qt::RightEdge;
    case FrameHit::BottomLeft: return Qt::BottomEdge | Qt::LeftEdge;
    case FrameHit::BottomRight: return Qt::BottomEdge | Qt::RightEdge;
    default: return {};
  }
}

Qt::CursorShape SkinFrameMouse::CursorFor(FrameHit hit) {
  switch (hit) {
    case FrameHit::Left:
    case FrameHit::Right: return Qt::SizeHorCursor;
    case FrameHit::Top:
    case FrameHit::Bottom: return Qt::SizeVerCursor;
    case FrameHit::TopLeft:
    case FrameHit::BottomRight: return Qt::SizeFDiagCursor;
    case FrameHit::TopRight:
    case FrameHit::BottomLeft: return Qt::SizeBDiagCursor;
    default: return Qt::ArrowCursor;
  }
}

bool SkinFrameMouse::Begin(FrameHit hit, const QPoint& globalPos) {
  Qt::Edges edges = EdgesOf(hit);
  if (hit != FrameHit::Caption && !edges) return false;
  QWindow* handle = window_.windowHandle();
  if (handle && (hit == FrameHit::Caption ? handle->startSystemMove() : handle->startSystemResize(edges)))
    return true;
  dragging_ = true;
  hit_ = hit;
  startPos_ = globalPos;
  startGeometry_ = window_.geometry();
  startWindowPos_ = window_.pos();
  return true;
}

void SkinFrameMouse::Follow(const QPoint& globalPos) {
  if (!dragging_) return;
  QPoint delta = globalPos - startPos_;
  if (hit_ == FrameHit::Caption) {
    window_.move(startWindowPos_ + delta);
    return;
  }
  QSize minimum = window_.minimumSize().expandedTo(window_.minimumSizeHint()).expandedTo(QSize(1, 1));
  window_.setGeometry(Resized(startGeometry_, EdgesOf(hit_), delta, minimum));
}

QRect SkinFrameMouse::Resized(const QRect& start, Qt::Edges edges, const QPoint& delta, const QSize& minimum) {
  QRect r = start;
  if (edges & Qt::LeftEdge) r.setLeft(std::min(start.left() + delta.x(), start.right() + 1 - minimum.width()));
  if (edges & Qt::RightEdge) r.setRight(std::max(start.right() + delta.x(), start.left() - 1 + minimum.width()));
  if (edges & Qt::TopEdge) r.setTop(std::min(start.top() + delta.y(), start.bottom() + 1 - minimum.height()));
  if (edges & Qt::BottomEdge)
    r.setBottom(std::max(start.bottom() + delta.y(), start.top() - 1 + minimum.height()));
  return r;
}

}  // namespace evdo
