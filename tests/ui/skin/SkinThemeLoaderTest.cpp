#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/settings/ProfileFile.h"
#include "tests/support/TempDir.h"
#include "tests/ui/skin/FakePictureSink.h"
#include "tests/ui/skin/TestText.h"
#include "ui/skin/SkinTheme.h"

namespace evdo {
namespace {

using test::FakePictureSink;

// A complete theme: every required picture, readable from folder "th".
const char* kTheme =
    "[Personality]\n"
    "DialogBmp=back.bmp\n"
    "Top=top.bmp\nLeft=left.bmp\nRight=right.bmp\nBottom=bottom.bmp\nBottomc=bottomc.bmp\n"
    "Top2=top2.bmp\nLeft2=left2.bmp\nRight2=right2.bmp\nBottom2=bottom2.bmp\nTopLogo=logo.bmp\n";

const char* kRequiredFiles[] = {"top.bmp",  "left.bmp",   "right.bmp",  "bottom.bmp",
                                "bottomc.bmp", "top2.bmp", "left2.bmp", "right2.bmp",
                                "bottom2.bmp", "logo.bmp"};

class SkinThemeLoaderTest : public ::testing::Test {
protected:
  void SetUp() override {
    sink.files["th/back.bmp"] = {64, 64};
    for (const char* f : kRequiredFiles) sink.files[std::string("th/") + f] = {100, 40};
  }
  SkinTheme Load(const std::string& extra) {
    return SkinThemeLoader::Load(ProfileFile::Parse(std::string(kTheme) + extra), "th", sink);
  }
  FakePictureSink sink;
};

TEST_F(SkinThemeLoaderTest, CompleteThemeLoadsPicturesInOrder) {
  SkinTheme theme = Load("");
  ASSERT_TRUE(theme.loaded);
  std::vector<std::string> expected{"th/back.bmp"};
  for (const char* f : kRequiredFiles) expected.push_back(std::string("th/") + f);
  EXPECT_EQ(sink.LoadedPaths(), expected);
  EXPECT_TRUE(theme.Has(SkinPicture::DialogBmp));
  EXPECT_EQ(theme.Size(SkinPicture::TopLogo), (PictureSize{100, 40}));
  EXPECT_EQ(theme.buttonImgCount, 3);
  EXPECT_FALSE(theme.hasPushButton);
}

TEST_F(SkinThemeLoaderTest, DialogBackgroundIsOptional) {
  sink.files.erase("th/back.bmp");
  SkinTheme theme = Load("");
  EXPECT_TRUE(theme.loaded);
  EXPECT_FALSE(theme.Has(SkinPicture::DialogBmp));
}

// Each required picture in turn: missing from the theme or unreadable, the
// load fails at it, loads nothing after it and keeps no picture.
class RequiredPictureTest : public SkinThemeLoaderTest, public ::testing::WithParamInterface<int> {};

TEST_P(RequiredPictureTest, FirstMissingPictureFailsTheLoad) {
  std::string file = kRequiredFiles[GetParam()];
  sink.files.erase("th/" + file);
  SkinTheme theme = Load("");
  EXPECT_FALSE(theme.loaded);
  EXPECT_EQ(sink.LoadedPaths().back(), "th/" + file);
  EXPECT_EQ(sink.loads.size(), static_cast<std::size_t>(GetParam()) + 2);
  EXPECT_TRUE(sink.held.empty());
  EXPECT_FALSE(theme.Has(SkinPicture::Top));
}
INSTANTIATE_TEST_SUITE_P(EachRequired, RequiredPictureTest, ::testing::Range(0, 10));

TEST_F(SkinThemeLoaderTest, MissingOrEmptyKeyFailsTheLoad) {
  for (const char* text : {"[Personality]\nTop=\n", "[Personality]\nTop=skins\\\n", "[Other]\nTop=top.bmp\n"}) {
    SkinTheme theme = SkinThemeLoader::Load(ProfileFile::Parse(text), "th", sink);
    EXPECT_FALSE(theme.loaded) << text;
  }
}

TEST_F(SkinThemeLoaderTest, FolderInAPictureValueIsIgnored) {
  std::string text = kTheme;
  text.replace(text.find("Top=top.bmp"), 11, "Top=..\\elsewhere\\deep/top.bmp");
  SkinTheme theme = SkinThemeLoader::Load(ProfileFile::Parse(text), "th", sink);
  EXPECT_TRUE(theme.loaded);
  EXPECT_EQ(sink.held[SkinPicture::Top], "th/top.bmp");
}

struct SliceCase {
  const char* keys;
  BorderSlice top, left, right, bottom;
  int bottom2End;
};

void PrintTo(const SliceCase& c, std::ostream* os) {
  *os << (*c.keys ? test::Escaped(c.keys) : "no keys");
}

class BorderSliceTest : public SkinThemeLoaderTest, public ::testing::WithParamInterface<SliceCase> {};

TEST_P(BorderSliceTest, FixedPartsFollowTheRule) {
  // "Top", "Bottom" and "Bottom2" are 100 wide; "Left" and "Right" 40 high.
  sink.files["th/bottom2.bmp"] = {90, 40};
  SkinTheme theme = Load(GetParam().keys);
  ASSERT_TRUE(theme.loaded);
  EXPECT_EQ(theme.top, GetParam().top);
  EXPECT_EQ(theme.left, GetParam().left);
  EXPECT_EQ(theme.right, GetParam().right);
  EXPECT_EQ(theme.bottom, GetParam().bottom);
  EXPECT_EQ(theme.bottom2End, GetParam().bottom2End);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BorderSliceTest,
    ::testing::Values(
        SliceCase{"", {0, 100}, {0, 40}, {0, 40}, {0, 100}, 90},
        SliceCase{"TopTopHeight=40\nTopBotHeight=80\n", {40, 41}, {0, 40}, {0, 40}, {0, 100}, 90},
        SliceCase{"TopTopHeight=10\nTopBotHeight=10\nLeftTopHeight=5\nLeftBotHeight=6\n"
                  "RightTopHeight=7\nRightBotHeight=8\nBottomTopHeight=12\nBottomBotHeight=20\n",
                  {10, 90}, {5, 34}, {7, 32}, {12, 80}, 70},
        // Start equal to end, start past the picture, end before zero.
        SliceCase{"TopTopHeight=50\nTopBotHeight=50\nLeftTopHeight=200\nRightBotHeight=300\n"
                  "BottomTopHeight=85\nBottomBotHeight=10\n",
                  {50, 51}, {200, 201}, {0, 1}, {85, 90}, 86}));

TEST_F(SkinThemeLoaderTest, TitleButtonsAreFiledByAction) {
  for (const char* f : {"close.bmp", "min.bmp", "max.bmp", "restore.bmp", "third.bmp", "x3.bmp", "x4.bmp"})
    sink.files[std::string("th/") + f] = {48, 16};
  SkinTheme theme = Load(
      "ButtonCount=8\n"
      "[Button0]\nButtonImage=max.bmp\nAction=1\nXCoord=40\nYCoord=3\n"
      "[Button1]\nButtonImage=close.bmp\nXCoord=4\nYCoord=5\n"
      "[Button2]\nButtonImage=restore.bmp\nAction=1\nXCoord=41\n"
      "[Button3]\nButtonImage=third.bmp\nAction=1\n"
      "[Button4]\nButtonImage=min.bmp\nAction=2\nXCoord=60\n"
      "[Button5]\nButtonImage=x3.bmp\nAction=3\n"
      "[Button6]\nButtonImage=x4.bmp\nAction=4\n"
      "[Button7]\nButtonImage=close.bmp\nAction=9\n");
  ASSERT_TRUE(theme.loaded);
  auto place = [&](TitleButton b) { return theme.Button(b); };
  EXPECT_EQ(sink.held[SkinPicture::MaximiseButton], "th/max.bmp");
  EXPECT_EQ(sink.held[SkinPicture::RestoreButton], "th/restore.bmp");
  EXPECT_EQ(sink.held[SkinPicture::CloseButton], "th/close.bmp");
  EXPECT_EQ(sink.held[SkinPicture::MinimiseButton], "th/min.bmp");
  EXPECT_EQ(sink.held[SkinPicture::ExtraButton1], "th/x3.bmp");
  EXPECT_EQ(sink.held[SkinPicture::ExtraButton2], "th/x4.bmp");
  EXPECT_EQ(place(TitleButton::Maximise).x, 40);
  EXPECT_EQ(place(TitleButton::Maximise).y, 3);
  EXPECT_EQ(place(TitleButton::Restore).x, 41);
  EXPECT_EQ(place(TitleButton::Close).x, 4);
  EXPECT_EQ(place(TitleButton::Close).y, 5);
  EXPECT_EQ(place(TitleButton::Minimise).x, 60);
  // The third Action 1 and the unknown action load nothing.
  for (const auto& load : sink.loads) EXPECT_NE(load.second, "th/third.bmp");
  EXPECT_EQ(std::count_if(sink.loads.begin(), sink.loads.end(),
                          [](const auto& l) { return l.second == "th/close.bmp"; }),
            1);
}

TEST_F(SkinThemeLoaderTest, UnreadableButtonIsLeftOutAndTheNextOfItsActionTakesIt) {
  sink.files["th/close2.bmp"] = {30, 10};
  SkinTheme theme = Load(
      "ButtonCount=2\nButtonImgCount=0\n"
      "[Button0]\nButtonImage=broken.bmp\n"
      "[Button1]\nButtonImage=close2.bmp\nXCoord=7\n");
  ASSERT_TRUE(theme.loaded);
  EXPECT_TRUE(theme.Button(TitleButton::Close).present);
  EXPECT_EQ(theme.Button(TitleButton::Close).x, 7);
  EXPECT_FALSE(theme.Button(TitleButton::Minimise).present);
  EXPECT_EQ(theme.buttonImgCount, 1);  // a count of 0 states would divide by zero
}

TEST_F(SkinThemeLoaderTest, HugeButtonCountIsBounded) {
  sink.files["th/min.bmp"] = {30, 10};
  sink.files["th/close.bmp"] = {30, 10};
  SkinTheme theme = Load("ButtonCount=2147483647\n"
                         "[Button63]\nButtonImage=min.bmp\nAction=2\n"
                         "[Button64]\nButtonImage=close.bmp\n");
  EXPECT_TRUE(theme.loaded);
  EXPECT_TRUE(theme.Button(TitleButton::Minimise).present);
  EXPECT_FALSE(theme.Button(TitleButton::Close).present);
}

TEST_F(SkinThemeLoaderTest, ColoursTakeTheirDefaults) {
  SkinTheme theme = Load("[Colours]\nTitleText=\nBarColor=\nMenuColor=1 2\nButtonText=300 -1 7\n"
                         "TransColor=1 1 1\n");
  ASSERT_TRUE(theme.loaded);
  EXPECT_FALSE(theme.titleText.has_value());
  EXPECT_FALSE(theme.inactiveTitleText.has_value());
  EXPECT_EQ(theme.barColour, kDefaultBarColour);
  EXPECT_EQ(theme.menuColour, (SkinRgb{1, 2, 0}));
  EXPECT_EQ(theme.buttonText, (SkinRgb{44, 255, 7}));
  EXPECT_FALSE(theme.buttonFace.has_value());
  EXPECT_FALSE(theme.usesTran);
  EXPECT_EQ(theme.transColour, kDefaultTransColour);  // read only with UsesTran
}

TEST_F(SkinThemeLoaderTest, TransparencyAndTextShift) {
  SkinTheme theme = Load("UsesTran=1\nTextShift=12\nTextShiftVert=-3\n"
                         "[Colours]\nTransColor=0 255 0\nTitleText=9 8 7\nInactiveTitleText=1\n");
  ASSERT_TRUE(theme.loaded);
  EXPECT_TRUE(theme.usesTran);
  EXPECT_EQ(theme.transColour, (SkinRgb{0, 255, 0}));
  EXPECT_EQ(theme.textShift, 12);
  EXPECT_EQ(theme.textShiftVert, 0);  // numbers are read as the profile reads them
  EXPECT_EQ(theme.titleText, (SkinRgb{9, 8, 7}));
  EXPECT_EQ(theme.inactiveTitleText, (SkinRgb{1, 0, 0}));
}

TEST_F(SkinThemeLoaderTest, PushButtonKeysAreReadOnlyWithItsBitmap) {
  const char* section = "[Buttons]\nBitmap=push.bmp\nTopHeight=3\nBottomHeight=4\nLeftWidth=5\n"
                        "RightWidth=6\nTrans=1\n";
  SkinTheme unreadable = Load(section);
  EXPECT_FALSE(unreadable.hasPushButton);
  EXPECT_EQ(unreadable.pushButton.topHeight, 0);
  EXPECT_EQ(unreadable.pushButton.trans, 0);

  sink.files["th/push.bmp"] = {20, 80};
  SkinTheme theme = Load(section);
  EXPECT_TRUE(theme.hasPushButton);
  EXPECT_EQ(theme.pushButton.topHeight, 3);
  EXPECT_EQ(theme.pushButton.bottomHeight, 4);
  EXPECT_EQ(theme.pushButton.leftWidth, 5);
  EXPECT_EQ(theme.pushButton.rightWidth, 6);
  EXPECT_EQ(theme.pushButton.trans, 1);

  SkinTheme noBitmap = Load("[Buttons]\nTopHeight=3\n");
  EXPECT_FALSE(noBitmap.hasPushButton);
  EXPECT_EQ(noBitmap.pushButton.topHeight, 0);
}

TEST_F(SkinThemeLoaderTest, ReloadDropsTheEarlierSkin) {
  SkinTheme first = Load("[Colours]\nBarColor=1 2 3\n");
  EXPECT_EQ(first.barColour, (SkinRgb{1, 2, 3}));
  int releases = sink.releases;
  SkinTheme second = Load("");
  EXPECT_GT(sink.releases, releases);
  EXPECT_EQ(second.barColour, kDefaultBarColour);
  EXPECT_EQ(second.menuColour, kDefaultBarColour);
}

class ThemeFileTest : public ::testing::Test {
protected:
  // A folder of its own: two test runs at once never share it.
  void SetUp() override { std::filesystem::create_directories(dir / "my skin"); }
  test::TempDir scratch;
  std::filesystem::path dir{scratch.Path()};
  FakePictureSink sink;
};

TEST_F(ThemeFileTest, PicturesAreFoundBesideTheThemeFile) {
  std::ofstream(dir / "my skin" / "theme.ini") << kTheme;
  std::string folder = (dir / "my skin").string();
  for (const char* f : kRequiredFiles) sink.files[folder + "/" + f] = {10, 10};
  SkinTheme theme = SkinThemeLoader::Load(folder + "/theme.ini", sink);
  EXPECT_TRUE(theme.loaded);
  EXPECT_EQ(sink.held[SkinPicture::TopLogo], folder + "/logo.bmp");
}

TEST_F(ThemeFileTest, NoPathOrNoFileLoadsNothing) {
  EXPECT_FALSE(SkinThemeLoader::Load("", sink).loaded);
  EXPECT_FALSE(SkinThemeLoader::Load((dir / "absent.ini").string(), sink).loaded);
  EXPECT_FALSE(SkinThemeLoader::Load(dir.string(), sink).loaded);  // a folder, not a file
  EXPECT_TRUE(sink.loads.empty());
  EXPECT_EQ(sink.releases, 3);
}

}  // namespace
}  // namespace evdo
