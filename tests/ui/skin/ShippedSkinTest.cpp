#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/ui/skin/QtTestSupport.h"
#include "ui/skin/SkinPaths.h"
#include "ui/skin/SkinPictureSet.h"

namespace evdo {
namespace {

const QString kSourceSkins = QStringLiteral(EVDO_SOURCE_SKIN_DIR);
const QString kDrawnSkins = QStringLiteral(EVDO_GENERATED_SKIN_DIR);

class ShippedSkinTest : public ::testing::TestWithParam<const char*> {
protected:
  void SetUp() override { test::App(); }
};

TEST_P(ShippedSkinTest, LoadsCompletely) {
  SkinPictureSet pictures;
  std::string theme = (kSourceSkins + "/" + GetParam() + "/theme.ini").toStdString();
  SkinTheme t = SkinThemeLoader::Load(theme, pictures);
  ASSERT_TRUE(t.loaded);
  EXPECT_TRUE(t.Has(SkinPicture::DialogBmp));
  for (auto b : {TitleButton::Close, TitleButton::Minimise, TitleButton::Maximise, TitleButton::Restore})
    EXPECT_TRUE(t.Button(b).present) << static_cast<int>(b);
  EXPECT_TRUE(t.hasPushButton);
  EXPECT_TRUE(t.usesTran);
  EXPECT_TRUE(t.titleText && t.inactiveTitleText && t.buttonFace && t.buttonText && t.buttonFocus);
  // The rounded corners are cut by the transparent colour; the middle is not.
  pictures.MakeTransparent(t.transColour, true, false);
  EXPECT_EQ(pictures.Picture(SkinPicture::Top).pixelColor(0, 0).alpha(), 0);
  EXPECT_EQ(pictures.Picture(SkinPicture::Top).pixelColor(80, 10).alpha(), 255);
}

INSTANTIATE_TEST_SUITE_P(Skins, ShippedSkinTest, ::testing::Values("light", "dark"));

// The committed pictures are the ones the drawing program makes.
class CommittedPicturesTest : public ::testing::TestWithParam<const char*> {
protected:
  void SetUp() override { test::App(); }
};

TEST_P(CommittedPicturesTest, MatchWhatSkingenDraws) {
  QDir drawn(kDrawnSkins + "/" + GetParam());
  QDir committed(kSourceSkins + "/" + GetParam());
  QStringList files = drawn.entryList({"*.png", "*.ini"}, QDir::Files, QDir::Name);
  ASSERT_FALSE(files.isEmpty());
  EXPECT_EQ(committed.entryList({"*.png", "*.ini"}, QDir::Files, QDir::Name), files);
  for (const QString& file : files) {
    if (file.endsWith(".ini")) {
      QFile a(drawn.filePath(file)), b(committed.filePath(file));
      ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
      EXPECT_EQ(a.readAll(), b.readAll()) << file.toStdString();
      continue;
    }
    QImage a(drawn.filePath(file)), b(committed.filePath(file));
    ASSERT_EQ(a.size(), b.size()) << file.toStdString();
    a = a.convertToFormat(QImage::Format_ARGB32);
    b = b.convertToFormat(QImage::Format_ARGB32);
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
      for (int x = 0; x < a.width(); ++x) {
        QRgb p = a.pixel(x, y), q = b.pixel(x, y);
        worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
      }
    EXPECT_LE(worst, 2) << file.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Folders, CommittedPicturesTest, ::testing::Values("light", "dark", "indicators"));

TEST(IndicatorPicturesTest, EveryIndicatorIsThere) {
  test::App();
  const char* names[] = {"signal_0", "signal_1", "signal_2", "signal_3", "signal_4", "signal_5",
                         "signal_none", "roaming_on", "roaming_off", "net_none", "net_1x", "net_evdo",
                         "sms_unread", "sms_full", "call_idle", "call_incoming", "call_active",
                         "connected", "disconnected", "tray", "app_icon"};
  for (const char* name : names) {
    QImage image(kSourceSkins + "/indicators/" + name + ".png");
    EXPECT_FALSE(image.isNull()) << name;
  }
}

class PictureDecodingTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::App();
    image = QImage(12, 7, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
  }
  std::string Path(const char* name) { return (dir.path() + "/" + name).toStdString(); }
  QTemporaryDir dir;
  QImage image;
  SkinPictureSet set;
};

TEST_F(PictureDecodingTest, FormatsAreKnownByTheirContent) {
  ASSERT_TRUE(image.save(dir.path() + "/a.bmp", "BMP"));
  ASSERT_TRUE(image.save(dir.path() + "/b.png", "PNG"));
  ASSERT_TRUE(image.save(dir.path() + "/c.jpg", "JPEG"));
  ASSERT_TRUE(image.save(dir.path() + "/png-named.bmp", "PNG"));
  for (const char* name : {"a.bmp", "b.png", "c.jpg", "png-named.bmp"}) {
    auto size = set.Load(SkinPicture::Top, Path(name));
    ASSERT_TRUE(size.has_value()) << name;
    EXPECT_EQ(*size, (PictureSize{12, 7})) << name;
    EXPECT_NEAR(set.Picture(SkinPicture::Top).pixelColor(5, 3).green(), 200, 6) << name;
  }
}

TEST_F(PictureDecodingTest, UnreadablePicturesFail) {
  QFile garbage(dir.path() + "/garbage.bmp");
  ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
  garbage.write("BM this is not a picture");
  garbage.close();
  QFile empty(dir.path() + "/empty.png");
  ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
  empty.close();
  EXPECT_FALSE(set.Load(SkinPicture::Left, Path("garbage.bmp")));
  EXPECT_FALSE(set.Load(SkinPicture::Left, Path("empty.png")));
  EXPECT_FALSE(set.Load(SkinPicture::Left, Path("absent.png")));
  EXPECT_FALSE(set.Load(SkinPicture::Left, dir.path().toStdString()));
  EXPECT_TRUE(set.Picture(SkinPicture::Left).isNull());
}

}  // namespace
}  // namespace evdo
