// The dashboard by keyboard only, against the simulated modem: every page of
// the main window (and every page of the settings page) and every window the
// pages open is walked with Tab and Backtab (every control reached, in
// reading order, each with an accessible name); pages switch with the tab
// bar's arrows and Ctrl+Tab, buttons press with Space, windows close with
// Escape.
//
// A page added to the main window is walked without a change here; a window
// it opens is walked by one line in kWindows (the page, the object name of
// the button that opens it and the object name of the window).
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <map>
#include <set>

#include "app/MainWindowPages.h"
#include "app/ModaraDlg.h"
#include "app/SetupDlg.h"
#include "internet/ui/InternetDlg.h"
#include "internet/ui/StatisticsDlg.h"
#include "tests/app/DashboardHarness.h"
#include "tests/app/MockLogind.h"
#include "tests/support/KeyboardWalk.h"
#include "ui/skin/CBasePage.h"

namespace evdo {
namespace {

using test::DashboardHarness;

test::MockLogind& Logind() { return test::SharedLogind(); }
const bool kLogindStarted = (Logind(), true);

// The windows the pages open: page, button (object name), window (object name).
struct WindowOpener {
  PageKind page;
  const char* button;
  const char* window;
};
constexpr WindowOpener kWindows[] = {
    {PageKind::Internet, "cmd1015", "CDlgInternetNewConn"},
    {PageKind::Internet, "cmd4056", "CDlgInternetSetConn"},
    {PageKind::Internet, "cmd7056", "CWlanSettingDlg"},
    {PageKind::Internet, "cmd7059", "CStartSettingDlg"},
    {PageKind::Internet, "cmd7060", "CAutolinkCol"},
    {PageKind::Internet, "cmd7061", "CCloseTipSettingDlg"},
    {PageKind::Internet, "netLog", "CNetLog"},
    {PageKind::Internet, "monthLog", "CMonthLog"},
    {PageKind::Statistics, "netLog", "CNetLog"},
    {PageKind::Statistics, "monthLog", "CMonthLog"},
    {PageKind::Calls, "history", "CCallHistoryDlg"},
    {PageKind::Calls, "contacts", "CSelContactDlg"},
    {PageKind::Phonebook, "new", "CContactDlg"},
    {PageKind::Phonebook, "search", "CSearchContactDlg"},
    {PageKind::Messages, "new", "CSmsWriteDlg"},
    {PageKind::Messages, "export", "CSmsExportSel"},
};

// Walks root; every problem becomes a test failure naming where.
void ExpectWalks(QWidget* root, const std::string& where, std::set<std::string>* walked = nullptr) {
  const test::KeyboardWalk walk = test::WalkWithKeyboard(root);
  EXPECT_TRUE(walk.problems.empty()) << where << ":\n" << test::Joined(walk.problems);
  if (walked != nullptr) walked->insert(where);
}

QPushButton* ButtonOn(QWidget* page, const char* name) {
  for (QPushButton* b : page->findChildren<QPushButton*>(name))
    if (b->window() == page->window()) return b;
  return nullptr;
}

// Presses a button by keyboard: focus, then Space.
void PressWithSpace(QPushButton* button) {
  button->setFocus(Qt::TabFocusReason);
  QTest::keyClick(button, Qt::Key_Space);
}

// The pages of the program, as its main() registers them, for one test.
struct ProgramPages {
  ProgramPages() {
    CInternetDlg::Register();
    CStatisticsDlg::Register();
    RegisterSetupPages();
  }
  ~ProgramPages() {
    for (PageKind kind : {PageKind::Internet, PageKind::Statistics, PageKind::Settings})
      MainWindowPages::Unregister(kind);
    for (const SetupPageSpec& spec : kSetupPageOrder) SetupPages::Unregister(spec.kind);
  }
};

TEST(DashboardKeyboard, EveryPageAndWindowByKeyboardOnly) {
  ProgramPages pages;
  DashboardHarness h;
  std::set<std::string> walked;
  // Message boxes that the windows' commands raise are closed with Escape.
  QTimer boxes;
  boxes.setInterval(50);
  int modalsClosed = 0;
  QObject::connect(&boxes, &QTimer::timeout, [&modalsClosed] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      ++modalsClosed;
      QTest::keyClick(box, Qt::Key_Escape);
    }
  });
  boxes.start();
  int code = h.Run([&](CModaraApp&, CModaraDlg& w) {
    QTabWidget& tabs = w.Tabs();
    ASSERT_GE(tabs.count(), 3);
    // The whole window, then each page of it.
    tabs.setCurrentIndex(0);
    ExpectWalks(&w, "main window", &walked);
    for (int i = 0; i < tabs.count(); ++i) {
      tabs.setCurrentIndex(i);
      QWidget* page = tabs.widget(i);
      ExpectWalks(page, page->objectName().toStdString(), &walked);
      if (auto* setup = qobject_cast<CSetupDlg*>(page)) {
        for (int j = 0; j < setup->Tabs()->count(); ++j) {
          setup->Tabs()->setCurrentIndex(j);
          QWidget* inner = setup->Tabs()->widget(j);
          ExpectWalks(inner, "settings/" + inner->objectName().toStdString(), &walked);
        }
      }
    }

    // Pages switch from the tab bar with the arrows and with Ctrl+Tab.
    tabs.setCurrentIndex(0);
    test::ActivateWindowOf(&w);
    tabs.tabBar()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(tabs.tabBar(), Qt::Key_Right);
    EXPECT_EQ(tabs.currentIndex(), 1);
    QTest::keyClick(tabs.tabBar(), Qt::Key_Left);
    EXPECT_EQ(tabs.currentIndex(), 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs.currentIndex(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs.currentIndex(), 0);

    // The windows of the pages: opened with Space, walked, closed with Escape.
    for (const WindowOpener& opener : kWindows) {
      CBasePage* page = w.Page(opener.page);
      if (page == nullptr) continue;  // the page is not made in this set-up
      tabs.setCurrentWidget(page);
      QPushButton* button = ButtonOn(page, opener.button);
      ASSERT_NE(button, nullptr) << opener.button;
      if (!button->isEnabled()) {
        ADD_FAILURE() << opener.button << " is disabled: " << opener.window << " not walked";
        continue;
      }
      const std::string where = page->objectName().toStdString() + "/" + opener.window;
      bool seen = false;
      h.OnModal(opener.window, [&](QWidget& window) {
        seen = true;
        ExpectWalks(&window, where, &walked);
        QTest::keyClick(&window, Qt::Key_Escape);
      });
      PressWithSpace(button);
      // A modeless window is walked here.
      if (!QTest::qWaitFor([&] { return seen; }, 3000)) {
        QWidget* window = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
          if (top->objectName() == opener.window && top->isVisible()) window = top;
        ASSERT_NE(window, nullptr) << opener.window << " did not open with Space on " << opener.button;
        ExpectWalks(window, where, &walked);
        QPointer<QWidget> guard = window;
        QTest::keyClick(window, Qt::Key_Escape);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !guard || !guard->isVisible(); }, 2000))
            << opener.window << " does not close with Escape";
      }
      EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeModalWidget() == nullptr; }, 3000))
          << opener.window << " does not close with Escape";
    }

    // The windows of the PIN buttons on the security settings page (a
    // window, or the modem's answer in a box).
    if (auto* setup = qobject_cast<CSetupDlg*>(w.Page(PageKind::Settings))) {
      if (QWidget* security = setup->Page(SetupPageKind::Security)) {
        tabs.setCurrentWidget(setup);
        setup->Tabs()->setCurrentWidget(security);
        test::ActivateWindowOf(&w);
        for (const char* name : {"button1062", "button1165"}) {
          QPushButton* button = security->findChild<QPushButton*>(name);
          ASSERT_NE(button, nullptr) << name;
          if (!QTest::qWaitFor([&] { return button->isEnabled(); }, 5000)) continue;
          for (const char* window : {"CPinClckDlg", "CModifyPinDlg"})
            h.OnModal(window, [&, window](QWidget& dialog) {
              ++modalsClosed;
              ExpectWalks(&dialog, std::string("CDlgSetupSecurity/") + window, &walked);
              QTest::keyClick(&dialog, Qt::Key_Escape);
            });
          const int before = modalsClosed;
          PressWithSpace(button);
          // The modem answers; then a window or a box shows, and is closed.
          EXPECT_TRUE(QTest::qWaitFor([&] { return modalsClosed > before; }, 10000)) << name;
          EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeModalWidget() == nullptr; }, 10000)) << name;
          test::ActivateWindowOf(&w);
        }
      }
    }

    // The main window's own windows: About, the language and the PIN entry.
    for (const char* window : {"CAboutDialog", "CLanguage", "CDlgSignIn"})
      h.OnModal(window, [&, window](QWidget& dialog) {
        ExpectWalks(&dialog, std::string("main/") + window, &walked);
        QTest::keyClick(&dialog, Qt::Key_Escape);
      });
    w.SendSysCommand(kSysCommandAbout);
    w.SendSysCommand(kSysCommandLanguage);
    w.OpenPinEntry(20, false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeModalWidget() == nullptr; }, 5000));
    test::ActivateWindowOf(&w);

    // A check box of the usage limit page toggles with Space.
    if (auto* setup = qobject_cast<CSetupDlg*>(w.Page(PageKind::Settings))) {
      tabs.setCurrentWidget(setup);
      if (QWidget* limits = setup->Page(SetupPageKind::UsageLimit)) {
        setup->Tabs()->setCurrentWidget(limits);
        test::ActivateWindowOf(&w);
        auto* box = limits->findChildren<QCheckBox*>().value(0);
        ASSERT_NE(box, nullptr);
        const bool before = box->isChecked();
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClick(box, Qt::Key_Space);
        EXPECT_NE(box->isChecked(), before);
        QTest::keyClick(box, Qt::Key_Space);
        // The radio buttons of the limit type move with the arrows.
        auto radios = limits->findChildren<QRadioButton*>();
        ASSERT_GE(radios.size(), 2);
        QRadioButton* checked = radios[0]->isChecked() ? radios[0] : radios[1];
        checked->setFocus(Qt::TabFocusReason);
        QTest::keyClick(checked, Qt::Key_Down);
        EXPECT_FALSE(checked->isChecked()) << "the arrow moves the choice";
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        EXPECT_TRUE(checked->isChecked());
      }
    }
    // Pictures of the focus in both skins, for a person to look at.
    if (const QString dir = qEnvironmentVariable("EVDO_KEYBOARD_SHOTS"); !dir.isEmpty()) {
      auto* setup = qobject_cast<CSetupDlg*>(w.Page(PageKind::Settings));
      for (int skin : {0, 1}) {
        w.ApplySkin(skin);
        test::ActivateWindowOf(&w);
        auto shoot = [&](QWidget* target, const QString& name) {
          if (target == nullptr) return;
          target->setFocus(Qt::TabFocusReason);
          QTest::qWait(150);
          w.grab().save(QStringLiteral("%1/focus-skin%2-%3.png").arg(dir).arg(skin).arg(name));
        };
        tabs.setCurrentWidget(w.Page(PageKind::Internet));
        shoot(w.Page(PageKind::Internet)->findChild<QWidget*>("phone"), "lineedit");
        shoot(w.Page(PageKind::Internet)->findChild<QWidget*>("auth0"), "radio");
        shoot(w.Page(PageKind::Internet)->findChild<QWidget*>("cmd4056"), "button");
        shoot(w.Page(PageKind::Internet)->findChild<QWidget*>("profileList"), "combo");
        shoot(tabs.tabBar(), "tabbar");
        if (setup != nullptr) {
          tabs.setCurrentWidget(setup);
          setup->Tabs()->setCurrentWidget(setup->Page(SetupPageKind::UsageLimit));
          shoot(setup->Page(SetupPageKind::UsageLimit)->findChildren<QCheckBox*>().value(0), "checkbox");
          setup->Tabs()->setCurrentWidget(setup->Page(SetupPageKind::Network));
          shoot(setup->Page(SetupPageKind::Network)->findChild<QWidget*>("CNWListCtrl"), "list");
        }
      }
    }
    w.EndModalLoop(false);
  });
  EXPECT_EQ(code, 0);
  // The pages this set-up makes were all walked.
  for (const char* name : {"main window", "CInternetDlg", "CStatisticsDlg", "CSetupDlg", "settings/CDlgSetupUsageLimit",
                           "CInternetDlg/CNetLog", "CStatisticsDlg/CMonthLog", "main/CAboutDialog", "main/CLanguage",
                           "main/CDlgSignIn"})
    EXPECT_EQ(walked.count(name), 1u) << name;
}

}  // namespace
}  // namespace evdo
