// The shell's own texts come from the language modules (the Chinese
// dashboard shows no English in its menus, About window, close question,
// indicator tips and standard buttons), and texts from the modem or the
// network are shown as they are, never read as markup.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include <cstdlib>

#include "app/IndicatorStrip.h"
#include "ui/text/QtText.h"
#include "tests/app/DashboardHarness.h"
#include "ui/LanguageStrings.h"

namespace evdo {
namespace {

using test::Accept;
using test::DashboardHarness;

bool WaitFor(const std::function<bool()>& pred, int ms = 20000) { return QTest::qWaitFor(pred, ms); }

// Latin letters, apart from the mnemonic marks such as "(&H)".
bool HasLatin(QString text) {
  text.remove(QRegularExpression("\\(&.\\)"));
  return text.contains(QRegularExpression("[A-Za-z]"));
}

// Saves a picture of a window when EVDO_TEST_SHOTS names a folder.
void Shot(QWidget& window, const char* name) {
  if (const char* folder = std::getenv("EVDO_TEST_SHOTS"))
    window.grab().save(QString("%1/%2.png").arg(folder, name), "PNG");
}

QStringList VisibleTexts(QWidget& window) {
  QStringList texts;
  for (QLabel* label : window.findChildren<QLabel*>())
    if (!label->text().isEmpty() && label->objectName() != "identity" && label->objectName() != "firmware")
      texts << label->text();
  for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) texts << button->text();
  return texts;
}

TEST(ShellTexts, TheChineseDashboardShowsNoEnglishInItsOwnWindows) {
  DashboardHarness h;
  h.Folder().WriteFile("EVDO.ini", "[Main]\r\nMain_nLanguage=16\r\n");
  QStringList about, closeTip, box;
  h.OnModal("CAboutDialog", [&](QWidget& window) {
    Shot(window, "about-zh");
    about = VisibleTexts(window);
    Accept(window);
  });
  h.OnModal("CCloseTipSettingDlg", [&](QWidget& window) {
    Shot(window, "closetip-zh");
    closeTip = VisibleTexts(window);
    closeTip << window.windowTitle();
    window.close();  // cancel: the main window stays
  });
  h.OnModal("message154", [&](QWidget& window) {
    box = VisibleTexts(window);
    Accept(window);
  });
  QStringList menu, tips;
  h.Run([&](CModaraApp&, CModaraDlg& w) {
    for (QAction* action : w.SystemMenu().Menu().actions())
      if (!action->isSeparator()) menu << action->text();
    for (QWidget* child : w.findChildren<QWidget*>())
      if (!child->toolTip().isEmpty()) tips << child->toolTip();
    w.SendSysCommand(kSysCommandAbout);
    w.SendSysCommand(kSysCommandHelp);
    w.close();
    EXPECT_TRUE(WaitFor([&] { return !closeTip.isEmpty(); }));
    w.EndModalLoop(false);
  });
  ASSERT_TRUE(h.ScriptRan());
  EXPECT_EQ(menu.size(), 7) << menu.join(" | ").toStdString();
  EXPECT_GE(tips.size(), 13) << tips.join(" | ").toStdString();
  ASSERT_FALSE(about.isEmpty());
  ASSERT_FALSE(closeTip.isEmpty());
  ASSERT_FALSE(box.isEmpty());
  // The application title (string 272) names the product, "EVDO" in
  // either language.
  const QString title = Str(kStrAppTitle);
  for (const QStringList* list : {&menu, &tips, &closeTip, &box}) {
    for (const QString& text : *list) {
      if (text != title) {
        EXPECT_FALSE(HasLatin(text)) << text.toStdString();
      }
    }
  }
  // The About window names the program file and the title, which are
  // Latin by nature; its labels and its button are not.
  for (const QString& text : about) {
    if (text.contains("evdo-dashboard") || text.contains("EVDO")) continue;
    EXPECT_FALSE(HasLatin(text)) << text.toStdString();
  }
  EXPECT_TRUE(about.contains(Str(kStrAboutIdentity))) << about.join(" | ").toStdString();
  EXPECT_TRUE(box.contains(QString::fromUtf8("确定"))) << box.join(" | ").toStdString();
}

TEST(ShellTexts, TextsFromTheModemAndTheNetworkAreShownAsPlainText) {
  DashboardHarness h;
  ASSERT_TRUE(h.Control("identity revision <b>fw</b>"));
  QString firmware;
  Qt::TextFormat firmwareFormat = Qt::AutoText;
  h.OnModal("CAboutDialog", [&](QWidget& about) {
    auto* label = about.findChild<QLabel*>("firmware");
    firmware = label->text();
    firmwareFormat = label->textFormat();
    Accept(about);
  });
  h.Run([&](CModaraApp&, CModaraDlg& w) {
    ASSERT_TRUE(h.Control("notify Current PLMN: \"<b>x</b>\""));
    auto* strip = w.findChild<CIndicatorStrip*>();
    ASSERT_NE(strip, nullptr);
    EXPECT_TRUE(WaitFor([&] { return strip->TextOf(kIndicatorOperator) == "<b>x</b>"; }))
        << strip->TextOf(kIndicatorOperator).toStdString();
    auto* label = strip->findChild<QLabel*>(QString("indicator%1").arg(kIndicatorOperator));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    ASSERT_TRUE(WaitFor([&] { return !w.VersionText().empty(); }));
    w.SendSysCommand(kSysCommandAbout);
    w.EndModalLoop(false);
  });
  EXPECT_EQ(firmware, "<b>fw</b>");
  EXPECT_EQ(firmwareFormat, Qt::PlainText);
}

}  // namespace
}  // namespace evdo
