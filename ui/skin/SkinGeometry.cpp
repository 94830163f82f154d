#include "ui/skin/SkinGeometry.h"

#include <algorithm>
#include <cstdint>

namespace evdo {

std::array<SliceSpan, 3> SkinGeometry::ThreeSlice(int srcLen, BorderSlice slice, int dstLen) {
  srcLen = std::max(srcLen, 0);
  dstLen = std::max(dstLen, 0);
  int start = std::clamp(slice.start, 0, srcLen);
  int end = std::clamp(slice.end, start, srcLen);
  int head = start;
  int tail = srcLen - end;
  int headDst = head;
  int tailDst = tail;
  if (head + tail > dstLen) {
    headDst = static_cast<int>(static_cast<std::int64_t>(dstLen) * head / (head + tail));
    tailDst = dstLen - headDst;
  }
  int middleDst = dstLen - headDst - tailDst;
  // A middle that the slice leaves empty takes the pixel at its place.
  int middleSrcPos = end > start ? start : std::min(start, std::max(srcLen - 1, 0));
  int middleSrcLen = end > start ? end - start : (srcLen > 0 ? 1 : 0);
  return {SliceSpan{0, head, 0, headDst},
          SliceSpan{middleSrcPos, middleSrcLen, headDst, middleDst},
          SliceSpan{end, tail, dstLen - tailDst, tailDst}};
}

FrameMetrics SkinGeometry::Frame(const SkinTheme& theme, bool alternative, int width, int height) {
  auto pick = [&](SkinPicture normal, SkinPicture alt) { return theme.Size(alternative ? alt : normal); };
  FrameMetrics f;
  f.width = width;
  f.height = height;
  f.top = pick(SkinPicture::Top, SkinPicture::Top2).height / 2;
  f.left = pick(SkinPicture::Left, SkinPicture::Left2).width / 2;
  f.right = pick(SkinPicture::Right, SkinPicture::Right2).width / 2;
  f.bottom = pick(SkinPicture::Bottom, SkinPicture::Bottom2).height / 2;
  return f;
}

SkinRect SkinGeometry::TitleButtonRect(const SkinTheme& theme, TitleButton button, int width) {
  const auto& place = theme.Button(button);
  if (!place.present) return {};
  PictureSize size = theme.Size(PictureOf(button));
  int stateWidth = size.width / std::max(theme.buttonImgCount, 1);
  std::int64_t x = static_cast<std::int64_t>(width) - place.x - stateWidth;
  x = std::clamp<std::int64_t>(x, INT32_MIN / 2, INT32_MAX / 2);
  return {static_cast<int>(x), std::min(place.y, INT32_MAX / 2), stateWidth, size.height};
}

namespace {

FrameHit Corner(bool top, bool left) {
  if (top) return left ? FrameHit::TopLeft : FrameHit::TopRight;
  return left ? FrameHit::BottomLeft : FrameHit::BottomRight;
}

}  // namespace

FrameHit SkinGeometry::HitTest(const FrameMetrics& f, int x, int y, bool resizable) {
  if (x < 0 || y < 0 || x >= f.width || y >= f.height) return FrameHit::Outside;
  bool inLeft = x < f.left;
  bool inRight = x >= f.width - f.right;
  bool inTitle = y < f.top;
  bool inBottom = y >= f.height - f.bottom;
  if (!inLeft && !inRight && !inTitle && !inBottom) return FrameHit::Client;
  if (!resizable) return inTitle ? FrameHit::Caption : FrameHit::Border;

  bool atTop = y < std::min(kTopResizeStrip, f.top);
  bool nearLeft = x < kResizeCorner;
  bool nearRight = x >= f.width - kResizeCorner;
  bool nearTop = y < kResizeCorner;
  bool nearBottom = y >= f.height - kResizeCorner;
  if ((atTop || inBottom) && (nearLeft || nearRight)) return Corner(atTop, nearLeft);
  if ((inLeft || inRight) && (nearTop || nearBottom)) return Corner(nearTop, inLeft);
  if (atTop) return FrameHit::Top;
  if (inBottom) return FrameHit::Bottom;
  if (inLeft) return FrameHit::Left;
  if (inRight) return FrameHit::Right;
  return FrameHit::Caption;
}

}  // namespace evdo
