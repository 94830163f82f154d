#include <gtest/gtest.h>

#include "app/IndicatorPictures.h"
#include "app/StatusIndicators.h"

namespace evdo {
namespace {

using Show = IndicatorChange::Show;

struct PictureCase {
  int indicator;
  LParam value;
  int picture;  // 0: nothing changes
};

class IndicatorPictures : public ::testing::TestWithParam<PictureCase> {};

TEST_P(IndicatorPictures, ValueSelectsPictureAndOutOfTableChangesNothing) {
  const auto& c = GetParam();
  IndicatorChange change = ResolveIndicator(c.indicator, c.value, {true, ""});
  if (c.picture == 0) {
    EXPECT_EQ(change.show, Show::Nothing);
  } else {
    EXPECT_EQ(change.show, Show::Picture);
    EXPECT_EQ(change.pictureId, c.picture);
    EXPECT_EQ(change.indicator, c.indicator);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, IndicatorPictures, ::testing::Values(
    PictureCase{2, 0, 242}, PictureCase{2, 1, 254}, PictureCase{2, 2, 254},
    PictureCase{2, 3, 229}, PictureCase{2, 8, 234}, PictureCase{2, 9, 242},
    PictureCase{2, 10, 0}, PictureCase{2, -1, 0},
    PictureCase{3, 0, 242}, PictureCase{3, 1, 235}, PictureCase{3, 2, 0},
    PictureCase{4, 0, 242}, PictureCase{4, 1, 238}, PictureCase{4, 2, 242},
    PictureCase{4, 3, 240}, PictureCase{4, 4, 241}, PictureCase{4, 5, 0},
    PictureCase{7, 0, 242}, PictureCase{7, 1, 246}, PictureCase{7, 2, 242},
    PictureCase{7, 3, 4084}, PictureCase{7, 4, 4083}, PictureCase{7, 5, 0},
    PictureCase{8, 0, 242}, PictureCase{8, 1, 4084}, PictureCase{8, 2, 4083},
    PictureCase{8, 3, 0},
    PictureCase{13, 1, 4064}, PictureCase{13, 7, 4064}, PictureCase{13, 0, 4065},
    PictureCase{1, 1, 0}, PictureCase{14, 0, 0}, PictureCase{-3, 0, 0}),
    [](const auto& info) {
      const PictureCase& c = info.param;
      return "Indicator" + std::to_string(c.indicator < 0 ? 99 : c.indicator) + "Value" +
             (c.value < 0 ? "Minus" : "") + std::to_string(c.value < 0 ? -c.value : c.value);
    });

TEST(Indicators, CallIndicatorIgnoresUpdatesWithoutTheCallPage) {
  EXPECT_EQ(ResolveIndicator(kIndicatorCall, 1, {false, ""}).show, Show::Nothing);
  EXPECT_FALSE(ResolveIndicator(kIndicatorCall, 1, {false, ""}).IsValid());
}

TEST(Indicators, SignalAndNetworkTypeGoToTheInternetPage) {
  IndicatorChange signal = ResolveIndicator(kIndicatorSignal, 3, {});
  EXPECT_TRUE(signal.forward);
  EXPECT_EQ(signal.forwardKind, 16u);
  EXPECT_EQ(signal.pictureId, 232);
  EXPECT_EQ(ResolveIndicator(kIndicatorSignal, 6, {}).pictureId, kPicSignalNone);
  EXPECT_FALSE(ResolveIndicator(kIndicatorSignal, 7, {}).forward);
  EXPECT_FALSE(ResolveIndicator(kIndicatorSignal, -1, {}).IsValid());

  IndicatorChange type = ResolveIndicator(kIndicatorNetworkType, 2, {});
  EXPECT_TRUE(type.forward);
  EXPECT_EQ(type.forwardKind, 15u);
  EXPECT_FALSE(ResolveIndicator(kIndicatorNetworkType, 3, {}).forward);
}

struct TextCase {
  int indicator;
  LParam value;
  const char* operatorText;
  int stringId;
  const char* text;
};

class IndicatorTexts : public ::testing::TestWithParam<TextCase> {};

TEST_P(IndicatorTexts, ShowStringAndFormattedValue) {
  const auto& c = GetParam();
  IndicatorChange change = ResolveIndicator(c.indicator, c.value, {true, c.operatorText});
  ASSERT_EQ(change.show, Show::Text);
  EXPECT_EQ(change.stringId, c.stringId);
  EXPECT_EQ(change.text, c.text);
}

INSTANTIATE_TEST_SUITE_P(Table, IndicatorTexts, ::testing::Values(
    TextCase{5, 1, "Demo Telecom", 0, "Demo Telecom"},
    TextCase{5, 1, "", 407, ""},
    TextCase{5, 0, "Demo Telecom", 407, ""},
    TextCase{6, 0, "", 387, ""},
    TextCase{6, 1, "", 388, ""},
    TextCase{6, 2, "", 0, ""},
    TextCase{9, 0, "", 0, "0 bps"},
    TextCase{10, 153600, "", 0, "153600 bps"},
    TextCase{11, 12, "", 412, " 12 KB"},
    TextCase{12, 0, "", 411, " 0 KB"}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

// Every picture an indicator can show is a file of the skin's indicator set,
// except the blank picture and the two storage states the set does not draw.
TEST(IndicatorPictures, EveryPictureOfTheTablesHasItsFile) {
  for (int indicator = 0; indicator < kIndicatorCount; ++indicator) {
    for (LParam value = -1; value <= 10; ++value) {
      IndicatorChange c = ResolveIndicator(indicator, value, {true, ""});
      if (c.show != Show::Picture || c.pictureId == kPicBlank) continue;
      if (c.pictureId == 240 || c.pictureId == 241) continue;
      EXPECT_NE(IndicatorPicturePath(c.pictureId), "") << "picture " << c.pictureId;
    }
  }
  EXPECT_EQ(IndicatorPicturePath(kPicBlank), "");
  EXPECT_EQ(IndicatorPicturePath(kPicTrayIcon), "skin/indicators/tray.png");
}

}  // namespace
}  // namespace evdo
