#include <gtest/gtest.h>

#include "ui/skin/SkinGeometry.h"

namespace evdo {
namespace {

struct SliceGeometryCase {
  int srcLen;
  BorderSlice slice;
  int dstLen;
  std::array<SliceSpan, 3> spans;
};

void PrintTo(const SliceGeometryCase& c, std::ostream* os) {
  *os << "src " << c.srcLen << " slice " << c.slice.start << "-" << c.slice.end << " dst " << c.dstLen;
}

class ThreeSliceTest : public ::testing::TestWithParam<SliceGeometryCase> {};

TEST_P(ThreeSliceTest, Spans) {
  const auto& c = GetParam();
  EXPECT_EQ(SkinGeometry::ThreeSlice(c.srcLen, c.slice, c.dstLen), c.spans);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ThreeSliceTest,
    ::testing::Values(
        // Fixed 10 and 20, middle 70 stretched over 470.
        SliceGeometryCase{100, {10, 80}, 500, {{{0, 10, 0, 10}, {10, 70, 10, 470}, {80, 20, 480, 20}}}},
        // The rule's 40/41 on 100: a one-pixel middle, 59 fixed at the end.
        SliceGeometryCase{100, {40, 41}, 300, {{{0, 40, 0, 40}, {40, 1, 40, 201}, {41, 59, 241, 59}}}},
        // Window shorter than both fixed parts: they share it 1:2.
        SliceGeometryCase{100, {10, 80}, 15, {{{0, 10, 0, 5}, {10, 70, 5, 0}, {80, 20, 5, 10}}}},
        // Start past the picture: all fixed, the last pixel stands in for the middle.
        SliceGeometryCase{100, {200, 201}, 120, {{{0, 100, 0, 100}, {99, 1, 100, 20}, {100, 0, 120, 0}}}},
        // Nothing to draw.
        SliceGeometryCase{0, {0, 1}, 50, {{{0, 0, 0, 0}, {0, 0, 0, 50}, {0, 0, 50, 0}}}},
        SliceGeometryCase{100, {0, 100}, 0, {{{0, 0, 0, 0}, {0, 100, 0, 0}, {100, 0, 0, 0}}}}));

TEST(ThreeSliceTest, SpansCoverTheDestinationForAnySize) {
  for (int src : {0, 1, 7, 64})
    for (int start : {-5, 0, 3, 64, 90})
      for (int end : {-1, 0, 4, 60, 70})
        for (int dst : {0, 1, 5, 63, 200}) {
          auto s = SkinGeometry::ThreeSlice(src, {start, end}, dst);
          EXPECT_EQ(s[0].dstPos, 0);
          EXPECT_EQ(s[0].dstPos + s[0].dstLen, s[1].dstPos);
          EXPECT_EQ(s[1].dstPos + s[1].dstLen, s[2].dstPos);
          EXPECT_EQ(s[2].dstPos + s[2].dstLen, dst);
          for (const auto& span : s) {
            EXPECT_GE(span.srcPos, 0);
            EXPECT_GE(span.srcLen, 0);
            EXPECT_GE(span.dstLen, 0);
            EXPECT_LE(span.srcPos + span.srcLen, src);
          }
        }
}

SkinTheme ThemeWithFrame() {
  SkinTheme t;
  t.pictures[static_cast<std::size_t>(SkinPicture::Top)] = {200, 60};
  t.pictures[static_cast<std::size_t>(SkinPicture::Left)] = {8, 40};
  t.pictures[static_cast<std::size_t>(SkinPicture::Right)] = {10, 40};
  t.pictures[static_cast<std::size_t>(SkinPicture::Bottom)] = {200, 12};
  t.pictures[static_cast<std::size_t>(SkinPicture::Top2)] = {200, 40};
  t.pictures[static_cast<std::size_t>(SkinPicture::Left2)] = {2, 40};
  t.pictures[static_cast<std::size_t>(SkinPicture::Right2)] = {2, 40};
  t.pictures[static_cast<std::size_t>(SkinPicture::Bottom2)] = {200, 2};
  t.pictures[static_cast<std::size_t>(SkinPicture::CloseButton)] = {78, 20};
  t.buttons[static_cast<std::size_t>(TitleButton::Close)] = {true, 4, 5};
  return t;
}

TEST(SkinGeometryTest, FrameIsOneStateOfEachBorder) {
  SkinTheme t = ThemeWithFrame();
  FrameMetrics f = SkinGeometry::Frame(t, false, 300, 200);
  EXPECT_EQ(f.top, 30);
  EXPECT_EQ(f.left, 4);
  EXPECT_EQ(f.right, 5);
  EXPECT_EQ(f.bottom, 6);
  FrameMetrics alt = SkinGeometry::Frame(t, true, 300, 200);
  EXPECT_EQ(alt.top, 20);
  EXPECT_EQ(alt.left, 1);
  EXPECT_EQ(alt.bottom, 1);
}

TEST(SkinGeometryTest, TitleButtonIsPlacedFromTheRightEdge) {
  SkinTheme t = ThemeWithFrame();
  EXPECT_EQ(SkinGeometry::TitleButtonRect(t, TitleButton::Close, 300), (SkinRect{270, 5, 26, 20}));
  t.buttonImgCount = 4;
  EXPECT_EQ(SkinGeometry::TitleButtonRect(t, TitleButton::Close, 300).width, 19);
  EXPECT_TRUE(SkinGeometry::TitleButtonRect(t, TitleButton::Minimise, 300).Empty());
  t.buttons[static_cast<std::size_t>(TitleButton::Close)].x = 2147483647;
  EXPECT_LT(SkinGeometry::TitleButtonRect(t, TitleButton::Close, 300).x, 0);
}

struct HitCase {
  int x, y;
  bool resizable;
  FrameHit hit;
};

void PrintTo(const HitCase& c, std::ostream* os) {
  *os << c.x << "," << c.y << (c.resizable ? " resizable" : "");
}

class HitTestTest : public ::testing::TestWithParam<HitCase> {};

TEST_P(HitTestTest, Hit) {
  FrameMetrics f{300, 200, 30, 4, 5, 6};
  EXPECT_EQ(SkinGeometry::HitTest(f, GetParam().x, GetParam().y, GetParam().resizable), GetParam().hit)
      << GetParam().x << "," << GetParam().y;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HitTestTest,
    ::testing::Values(HitCase{150, 100, true, FrameHit::Client}, HitCase{4, 30, true, FrameHit::Client},
                      HitCase{-1, 10, true, FrameHit::Outside}, HitCase{300, 10, true, FrameHit::Outside},
                      HitCase{150, 15, true, FrameHit::Caption}, HitCase{150, 2, true, FrameHit::Top},
                      HitCase{150, 2, false, FrameHit::Caption}, HitCase{2, 100, true, FrameHit::Left},
                      HitCase{2, 100, false, FrameHit::Border}, HitCase{296, 100, true, FrameHit::Right},
                      HitCase{150, 195, true, FrameHit::Bottom}, HitCase{150, 195, false, FrameHit::Border},
                      HitCase{1, 1, true, FrameHit::TopLeft}, HitCase{11, 3, true, FrameHit::TopLeft},
                      HitCase{299, 0, true, FrameHit::TopRight}, HitCase{2, 190, true, FrameHit::BottomLeft},
                      HitCase{295, 199, true, FrameHit::BottomRight},
                      HitCase{298, 5, true, FrameHit::TopRight}, HitCase{2, 20, true, FrameHit::Left}));

}  // namespace
}  // namespace evdo
