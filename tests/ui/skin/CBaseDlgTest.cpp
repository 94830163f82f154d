#include <gtest/gtest.h>

#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <filesystem>
#include <fstream>

#include "core/settings/SetupData.h"
#include "tests/ui/skin/QtTestSupport.h"
#include "ui/skin/CBaseDlg.h"
#include "ui/skin/CBasePage.h"

namespace evdo {
namespace {

using test::TestTheme;

class TestDlg : public CBaseDlg {
public:
  using CBaseDlg::CBaseDlg;
  std::vector<MessageId> messages;
  std::vector<int> sysCommands;
  int pagesCreated = 0;
  std::int32_t skinStyleAtPages = -1;
  void OnMessage(MessageId message, WParam wParam, LParam lParam) override {
    messages.push_back(message);
    CBaseDlg::OnMessage(message, wParam, lParam);
  }

protected:
  void OnCreatePages() override {
    ++pagesCreated;
    skinStyleAtPages = CSetupData::Instance().Setup_nSkinStyle;
  }
  void OnSysCommand(int command) override {
    sysCommands.push_back(command);
    CBaseDlg::OnSysCommand(command);
  }
};

// Each test runs in its own folder with its own settings file and themes:
// skin style 0 is "a/theme.ini", style 1 "b/theme.ini".
class CBaseDlgTest : public ::testing::Test {
protected:
  void SetUp() override {
    test::App();
    ASSERT_TRUE(dir.isValid());
    previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path().toStdString());
    TestTheme::Write(dir.path() + "/a");
    CBaseDlg::SetStringLookup([](int id) { return std::string(id == 330 ? "a\\theme.ini" : "b\\theme.ini"); });
    WriteSkinStyle(0);
  }
  void TearDown() override {
    std::filesystem::current_path(previous);
    CBaseDlg::SetStringLookup({});
    CSetupData::Instance().SetDefaults();
  }
  void WriteSkinStyle(int style) { std::ofstream("EVDO.ini") << "[Setup]\nSetup_nSkinStyle=" << style << "\n"; }

  // Shows dlg at 300 x 200 and makes it the active window.
  void Show(TestDlg& dlg) {
    dlg.show();
    dlg.resize(300, 200);
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    (void)QTest::qWaitForWindowActive(&dlg, 1000);  // offscreen may not activate
  }

  QTemporaryDir dir;
  std::filesystem::path previous;
};

void ExpectPixel(const QImage& image, int x, int y, QRgb expected) {
  EXPECT_EQ(QColor(image.pixel(x, y)).name().toStdString(), QColor(expected).name().toStdString())
      << "at " << x << "," << y;
}

TEST_F(CBaseDlgTest, InitialisationReadsTheSettingsAndAppliesTheSkin) {
  TestTheme::Write(dir.path() + "/b", "TextShift=3\n");
  CSetupData::Instance().Setup_nSkinStyle = 0;
  WriteSkinStyle(1);  // changed in the file after the settings were loaded
  TestDlg dlg;
  EXPECT_FALSE(dlg.IsSkinned());  // nothing happens before the window first shows
  Show(dlg);
  EXPECT_EQ(dlg.pagesCreated, 1);
  EXPECT_EQ(dlg.skinStyleAtPages, 1);
  EXPECT_EQ(dlg.SkinStyle(), 1);
  ASSERT_TRUE(dlg.IsSkinned());
  EXPECT_EQ(dlg.Theme().textShift, 3);
  EXPECT_TRUE(dlg.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(dlg.contentsMargins(), QMargins(4, 30, 4, 6));
  dlg.hide();
  dlg.show();
  EXPECT_EQ(dlg.pagesCreated, 1);  // initialisation runs once
}

TEST_F(CBaseDlgTest, SkinStyleTwoKeepsTheStandardLook) {
  WriteSkinStyle(2);
  TestDlg dlg;
  Show(dlg);
  EXPECT_FALSE(dlg.IsSkinned());
  EXPECT_FALSE(dlg.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(dlg.contentsMargins(), QMargins());
  EXPECT_TRUE(dlg.TitleButtonRect(TitleButton::Close).isEmpty());
}

TEST_F(CBaseDlgTest, ThemeWithAMissingPictureKeepsTheStandardLook) {
  QFile::remove(dir.path() + "/a/right2.png");
  TestDlg dlg;
  Show(dlg);
  EXPECT_FALSE(dlg.IsSkinned());
  EXPECT_FALSE(dlg.windowFlags() & Qt::FramelessWindowHint);
  QFile(dir.path() + "/a/left.png").open(QIODevice::WriteOnly | QIODevice::Truncate);  // empty: undecodable
  EXPECT_FALSE(dlg.ApplySkin(0));
}

TEST_F(CBaseDlgTest, FramePixelsComeFromTheThemePictures) {
  TestDlg dlg;
  Show(dlg);
  ASSERT_TRUE(dlg.IsSkinned());
  for (bool active : {true, false}) {
    QWidget other;
    if (!active) {
      other.show();
      other.activateWindow();
      (void)QTest::qWaitForWindowActive(&other, 1000);
    }
    ASSERT_EQ(dlg.isActiveWindow(), active);
    QImage shot = dlg.grab().toImage();
    ASSERT_EQ(shot.size(), QSize(300, 200));
    int top = dlg.isActiveWindow() ? 0 : 30;  // state row of "Top"
    int side = dlg.isActiveWindow() ? 0 : 4;  // state column of "Left" and "Right"
    int bottom = dlg.isActiveWindow() ? 0 : 6;
    ExpectPixel(shot, 3, 2, qRgb(3, 2 + top, 50));           // fixed start of "Top"
    ExpectPixel(shot, 297, 4, qRgb(97, 4 + top, 50));        // fixed end: 20 pixels at 280
    EXPECT_NEAR(qRed(shot.pixel(150, 3)), 50, 2);            // middle: [20, 80) over [20, 280)
    EXPECT_EQ(qGreen(shot.pixel(150, 3)), 3 + top);
    EXPECT_EQ(qRed(shot.pixel(1, 100)), 151 + side);         // "Left" column 1
    EXPECT_EQ(qBlue(shot.pixel(1, 100)), 0);
    EXPECT_EQ(qRed(shot.pixel(298, 100)), 202 + side);       // "Right" column 2
    ExpectPixel(shot, 3, 197, qRgb(3, 103 + bottom, 150));   // "Bottom" fixed start
    ExpectPixel(shot, 297, 198, qRgb(97, 104 + bottom, 150));
    ExpectPixel(shot, 148, 199, qRgb(1, 2, 3));              // "Bottomc" in the middle of the bottom
    EXPECT_NEAR(QColor(shot.pixel(13, 14)).blue(), 255, 8);   // the logo (JPEG)
    ExpectPixel(shot, 300 - 4 - 10, 14, TestTheme::ButtonColour(0, 0).rgb());  // close, normal state
    ExpectPixel(shot, 150, 100, qRgb(200, 210, 220));        // client area in "BarColor"
  }
}

TEST_F(CBaseDlgTest, MaximisedWindowUsesTheAlternativeBorders) {
  TestDlg dlg;
  dlg.ModifyStyle(0, CBaseDlg::kStyleMaximizeBox);
  Show(dlg);
  dlg.showMaximized();
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.isMaximized(); }, 2000));
  EXPECT_EQ(dlg.contentsMargins(), QMargins(4, 20, 4, 6));
  QImage shot = dlg.grab().toImage();
  EXPECT_EQ(qBlue(shot.pixel(3, 2)), 51);       // "Top2"
  EXPECT_EQ(qBlue(shot.pixel(3, shot.height() - 1)), 151);  // "Bottom2"
}

QPoint Centre(const CBaseDlg& dlg, TitleButton button) { return dlg.TitleButtonRect(button).center(); }

TEST_F(CBaseDlgTest, TitleBarButtonsDoTheirActions) {
  TestDlg dlg;
  dlg.ModifyStyle(0, CBaseDlg::kStyleMinimizeBox | CBaseDlg::kStyleMaximizeBox);
  Show(dlg);
  ASSERT_FALSE(dlg.TitleButtonRect(TitleButton::Maximise).isEmpty());
  EXPECT_TRUE(dlg.TitleButtonRect(TitleButton::Restore).isEmpty());

  QTest::mouseClick(&dlg, Qt::LeftButton, {}, Centre(dlg, TitleButton::Maximise));
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.isMaximized(); }, 2000));
  EXPECT_TRUE(dlg.TitleButtonRect(TitleButton::Maximise).isEmpty());
  ASSERT_FALSE(dlg.TitleButtonRect(TitleButton::Restore).isEmpty());
  QTest::mouseClick(&dlg, Qt::LeftButton, {}, Centre(dlg, TitleButton::Restore));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg.isMaximized(); }, 2000));

  QTest::mouseClick(&dlg, Qt::LeftButton, {}, Centre(dlg, TitleButton::Extra1));
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_FALSE(dlg.isMinimized());

  QTest::mouseClick(&dlg, Qt::LeftButton, {}, Centre(dlg, TitleButton::Minimise));
  ASSERT_TRUE(QTest::qWaitFor([&] { return dlg.isMinimized(); }, 2000));
  dlg.showNormal();

  QSignalSpy finished(&dlg, &QDialog::finished);
  QTest::mouseClick(&dlg, Qt::LeftButton, {}, Centre(dlg, TitleButton::Close));
  EXPECT_FALSE(dlg.isVisible());
  ASSERT_EQ(finished.size(), 1);
  EXPECT_EQ(finished.at(0).at(0).toInt(), QDialog::Rejected);
  EXPECT_EQ(dlg.sysCommands, (std::vector<int>{kScMaximize, kScRestore, kScMinimize, kScClose}));
}

TEST_F(CBaseDlgTest, ButtonsTheStyleForbidsAreTitleBar) {
  TestDlg dlg;
  dlg.ModifyStyle(CBaseDlg::kStyleSysMenu, 0);
  Show(dlg);
  EXPECT_TRUE(dlg.TitleButtonRect(TitleButton::Minimise).isEmpty());
  EXPECT_TRUE(dlg.TitleButtonRect(TitleButton::Close).isEmpty());
  QPoint minimise(300 - TestTheme::kMinimiseX - 10, 14);
  QPoint close(300 - TestTheme::kCloseX - 10, 14);
  QTest::mouseClick(&dlg, Qt::LeftButton, {}, minimise);
  QTest::mouseClick(&dlg, Qt::LeftButton, {}, close);
  QTest::mouseDClick(&dlg, Qt::LeftButton, {}, QPoint(150, 15));  // no maximise box
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_FALSE(dlg.isMinimized());
  EXPECT_FALSE(dlg.isMaximized());
  EXPECT_TRUE(dlg.sysCommands.empty());
  dlg.SendSysCommand(kScClose);  // the system menu's close is off too
  EXPECT_TRUE(dlg.isVisible());
}

TEST_F(CBaseDlgTest, ButtonShowsHoverAndPressedStates) {
  TestDlg dlg;
  Show(dlg);
  QPoint close = Centre(dlg, TitleButton::Close);
  QTest::mouseMove(&dlg, close);
  QTest::qWait(1);
  ExpectPixel(dlg.grab().toImage(), close.x(), close.y(), TestTheme::ButtonColour(0, 1).rgb());
  QTest::mousePress(&dlg, Qt::LeftButton, {}, close);
  ExpectPixel(dlg.grab().toImage(), close.x(), close.y(), TestTheme::ButtonColour(0, 2).rgb());
  // Released away from the button: no close.
  QTest::mouseRelease(&dlg, Qt::LeftButton, {}, QPoint(150, 100));
  EXPECT_TRUE(dlg.isVisible());
}

void Drag(QWidget& w, QPoint from, QPoint by) {
  auto send = [&](QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
    QMouseEvent e(type, pos, w.mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
  };
  QPoint globalFrom = w.mapToGlobal(from);
  send(QEvent::MouseButtonPress, from, Qt::LeftButton);
  QMouseEvent move(QEvent::MouseMove, from + by, globalFrom + by, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &move);
  QMouseEvent release(QEvent::MouseButtonRelease, from + by, globalFrom + by, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(&w, &release);
}

TEST_F(CBaseDlgTest, TitleMovesAndBordersResize) {
  TestDlg dlg;
  Show(dlg);
  QPoint start = dlg.pos();
  Drag(dlg, QPoint(150, 15), QPoint(30, 20));
  EXPECT_EQ(dlg.pos(), start + QPoint(30, 20));
  Drag(dlg, QPoint(298, 100), QPoint(40, 0));
  EXPECT_EQ(dlg.size(), QSize(340, 200));
  Drag(dlg, QPoint(150, 198), QPoint(0, -50));
  EXPECT_EQ(dlg.size(), QSize(340, 150));
  QPoint before = dlg.pos();
  Drag(dlg, QPoint(1, 1), QPoint(10, 10));  // top-left corner keeps the bottom-right one
  EXPECT_EQ(dlg.pos(), before + QPoint(10, 10));
  EXPECT_EQ(dlg.size(), QSize(330, 140));

  dlg.ModifyStyle(CBaseDlg::kStyleThickFrame, 0);
  Drag(dlg, QPoint(dlg.width() - 2, 100), QPoint(40, 0));
  EXPECT_EQ(dlg.size(), QSize(330, 140));
}

TEST_F(CBaseDlgTest, SkinChangesAtRunTime) {
  TestTheme::Write(dir.path() + "/b", "UsesTran=1\n", "", false);
  TestDlg dlg;
  auto* button = new QPushButton("OK", &dlg);
  button->setGeometry(100, 100, 60, 24);
  Show(dlg);
  ASSERT_TRUE(dlg.IsSkinned());
  QSize client = dlg.contentsRect().size();
  QStyle* skinnedStyle = button->style();

  EXPECT_FALSE(dlg.ApplySkin(2));
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_FALSE(dlg.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(dlg.contentsRect().size(), client);  // the client area keeps its size
  EXPECT_NE(button->style(), skinnedStyle);

  EXPECT_TRUE(dlg.ApplySkin(1));
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(dlg.SkinStyle(), 1);
  EXPECT_TRUE(dlg.Theme().usesTran);
  EXPECT_FALSE(dlg.Theme().hasPushButton);
  EXPECT_EQ(dlg.contentsRect().size(), client);
  dlg.repaint();
  EXPECT_TRUE(dlg.windowFlags() & Qt::FramelessWindowHint);
}

TEST_F(CBaseDlgTest, SkinChangeDuringAModalRunKeepsItRunning) {
  TestDlg dlg;
  std::vector<bool> visible;
  QTimer::singleShot(0, &dlg, [&] {
    for (int style : {2, 1, 0}) {
      dlg.ApplySkin(style);
      QCoreApplication::processEvents();
      visible.push_back(dlg.isVisible());
    }
    dlg.accept();
  });
  EXPECT_EQ(dlg.exec(), QDialog::Accepted);
  EXPECT_EQ(visible, (std::vector<bool>{true, true, true}));
}

TEST_F(CBaseDlgTest, TransparentColourCutsTheWindowShape) {
  TestTheme::Write(dir.path() + "/a", "UsesTran=1\n", "[Colours]\nTransColor=0 0 50\n");
  TestDlg dlg;
  Show(dlg);
  ASSERT_TRUE(dlg.IsSkinned());
  // Pixel (0, 0) of "Top" is red 0, green 0, blue 50: the transparent colour.
  EXPECT_FALSE(dlg.mask().contains(QPoint(0, 0)));
  EXPECT_TRUE(dlg.mask().contains(QPoint(1, 0)));
  EXPECT_TRUE(dlg.mask().contains(QPoint(150, 100)));
  EXPECT_TRUE(dlg.Pictures().Picture(SkinPicture::Top).pixelColor(0, 0).alpha() == 0);
  EXPECT_TRUE(dlg.Pictures().Picture(SkinPicture::PushButton).pixelColor(0, 0).alpha() == 255);  // "Trans" 0
}

TEST_F(CBaseDlgTest, PushButtonsArePaintedFromTheButtonBitmap) {
  TestDlg dlg;
  auto* layout = new QVBoxLayout(&dlg);
  auto* enabled = new QPushButton(&dlg);
  auto* disabled = new QPushButton(&dlg);
  disabled->setEnabled(false);
  enabled->setFixedSize(80, 30);
  disabled->setFixedSize(80, 30);
  layout->addWidget(enabled);
  layout->addWidget(disabled);
  Show(dlg);
  ASSERT_TRUE(dlg.IsSkinned());
  EXPECT_GE(enabled->y(), 30);  // the layout keeps to the client area
  QImage normal = enabled->grab().toImage();
  ExpectPixel(normal, 40, 15, TestTheme::PushColour(0).rgb());  // stretched middle
  ExpectPixel(normal, 0, 0, qRgb(0, 0, 0));                     // fixed corner
  ExpectPixel(normal, 79, 29, qRgb(0, 0, 0));
  ExpectPixel(disabled->grab().toImage(), 40, 15, TestTheme::PushColour(3).rgb());
  enabled->setDown(true);
  ExpectPixel(enabled->grab().toImage(), 40, 15, TestTheme::PushColour(2).rgb());
}

TEST_F(CBaseDlgTest, PortMessagesReachTheDialog) {
  TestDlg dlg;
  Show(dlg);
  dlg.Port().PostMessage(WM_USER + 25, 2, 5);
  dlg.Port().PostMessage(kWmSysCommand, kScClose);
  EXPECT_TRUE(dlg.isVisible());
  QCoreApplication::processEvents();
  EXPECT_EQ(dlg.messages, (std::vector<MessageId>{WM_USER + 25, kWmSysCommand}));
  EXPECT_FALSE(dlg.isVisible());
  dlg.show();
  dlg.Port().PostMessage(WM_CLOSE);
  QCoreApplication::processEvents();
  EXPECT_FALSE(dlg.isVisible());
}

TEST_F(CBaseDlgTest, SystemMenuAboutEntry) {
  TestDlg dlg;
  Show(dlg);
  EXPECT_TRUE(dlg.SystemMenu().HasEntry(kSysCommandAbout));
  EXPECT_FALSE(dlg.SystemMenu().IsEnabled(kSysCommandAbout));
  dlg.EnableAboutEntry(true);
  EXPECT_TRUE(dlg.SystemMenu().IsEnabled(kSysCommandAbout));
  dlg.SystemMenu().AddEntry(153, "Help");
  dlg.OpenSystemMenu(dlg.mapToGlobal(QPoint(10, 10)));
  for (QAction* action : dlg.SystemMenu().Menu().actions())
    if (action->text() == "Help") action->trigger();
  EXPECT_EQ(dlg.sysCommands, (std::vector<int>{153}));
  dlg.SystemMenu().Menu().close();
}

class TestPage : public CBasePage {
public:
  using CBasePage::CBasePage;
  void OnMessage(MessageId message, WParam wParam, LParam) override { received.push_back({message, wParam}); }
  void OnTimer(TimerId timerId) override { timers.push_back(timerId); }
  std::vector<std::pair<MessageId, WParam>> received;
  std::vector<TimerId> timers;
};

TEST_F(CBaseDlgTest, PagesHaveTheirOwnPortAndShowTheWindowBackground) {
  TestDlg dlg;
  auto* page = new TestPage(&dlg);
  Show(dlg);
  EXPECT_FALSE(page->autoFillBackground());
  page->Port().PostMessage(WM_USER + 34, 16);
  dlg.Port().PostMessage(WM_USER + 5);
  page->Port().SetTimer(64, 10);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !page->timers.empty(); }, 5000));
  page->Port().KillTimer(64);
  EXPECT_EQ(page->received, (std::vector<std::pair<MessageId, WParam>>{{WM_USER + 34, 16}}));
  EXPECT_EQ(dlg.messages, (std::vector<MessageId>{WM_USER + 5}));
  EXPECT_EQ(page->timers.front(), 64u);
}

}  // namespace
}  // namespace evdo
