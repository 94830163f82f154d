#pragma once
// Geometry of a skinned window: how border pictures are laid over the
// window's edges, where the frame and the title-bar buttons are, and what
// each point of the frame does under the mouse.
#include <array>

#include "ui/skin/SkinTheme.h"

namespace evdo {

struct SkinRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool Contains(int px, int py) const {
    return px >= x && py >= y && px < x + width && py < y + height;
  }
  bool Empty() const { return width <= 0 || height <= 0; }
  friend bool operator==(const SkinRect&, const SkinRect&) = default;
};

// A run of a picture (srcPos, srcLen) drawn over a run of the window
// (dstPos, dstLen), along one axis.
struct SliceSpan {
  int srcPos = 0;
  int srcLen = 0;
  int dstPos = 0;
  int dstLen = 0;
  friend bool operator==(const SliceSpan&, const SliceSpan&) = default;
};

// The frame's thickness on each side of a window of a given size.
struct FrameMetrics {
  int width = 0;
  int height = 0;
  int top = 0;  // the title bar
  int left = 0;
  int right = 0;
  int bottom = 0;
};

enum class FrameHit {
  Outside,
  Client,
  Caption,  // moves the window
  Border,   // frame that does nothing
  Left,
  Right,
  Top,
  Bottom,
  TopLeft,
  TopRight,
  BottomLeft,
  BottomRight,
};

// Thickness of the resizing strip along the top of the title bar.
constexpr int kTopResizeStrip = 4;
// Length of the corner zones along each edge.
constexpr int kResizeCorner = 12;

class SkinGeometry {
public:
  // The fixed start, the stretching middle and the fixed end of a picture of
  // srcLen laid over dstLen. When the window is shorter than both fixed
  // parts, they share it in proportion and the middle is empty.
  static std::array<SliceSpan, 3> ThreeSlice(int srcLen, BorderSlice slice, int dstLen);

  // The frame of a window of width x height: the state size of the border
  // pictures (the alternative set when alternative is true).
  static FrameMetrics Frame(const SkinTheme& theme, bool alternative, int width, int height);

  // Where a title-bar button is in a window width pixels wide: "XCoord" is
  // the distance of the button's right side from the window's right edge,
  // "YCoord" the distance of its top from the window's top. Empty when the
  // theme has no such button.
  static SkinRect TitleButtonRect(const SkinTheme& theme, TitleButton button, int width);

  // What the point (x, y) of the window is. Without resizable the edges are
  // plain frame (Caption along the title bar).
  static FrameHit HitTest(const FrameMetrics& frame, int x, int y, bool resizable);
};

}  // namespace evdo
