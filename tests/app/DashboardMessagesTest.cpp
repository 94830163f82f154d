// The messages page inside the running dashboard: its place among the pages,
// the unread indicator as messages are read, call back through the call
// page, and a box listed to a later copy through the instance socket.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <atomic>
#include <nlohmann/json.hpp>
#include <thread>

#include "app/IndicatorStrip.h"
#include "app/MainWindowPages.h"
#include "app/SingleInstance.h"
#include "calls/ui/CallDlg.h"
#include "sms/SmsData.h"
#include "sms/ui/SmsDlg.h"
#include "tests/app/DashboardHarness.h"

namespace evdo {
namespace {

using test::DashboardHarness;

bool WaitFor(const std::function<bool()>& pred, int ms = 20000) {
  return QTest::qWaitFor(pred, ms);
}
int Picture(CModaraDlg& w, int indicator) { return w.Indicators().PictureOf(indicator); }

// What a later copy's "--list-sms BOX" gets, asked from another thread
// while this one runs the dashboard.
int ListBox(const QString& box, QString& printed) {
  std::atomic<int> code{-1};
  std::thread client([&] {
    code = CSingleInstance::SendRequest(CModaraApp::InstanceTitle(),
                                        CSingleInstance::kListSmsCommand + box, 5000,
                                        [&](const QString& m) { printed += m; });
  });
  WaitFor([&] { return code.load() >= 0; }, 8000);
  client.join();
  return code.load();
}

TEST(DashboardMessages, UnreadIndicatorFollowsReadingAndABoxIsListedAsJson) {
  DashboardHarness h;
  {
    CSmsData store(h.Folder().File("SmsData.dat"));
    ASSERT_FALSE(store.LoadOrCreate().Failed());
    ASSERT_TRUE(store.AddMessage(Inbox, RecUnread, "13800138000",
                                 DateTime::FromLocal(2024, 5, 1, 8, 0, 0), "hi \"there\"", "", 0, 0,
                                 0, 0, false));
    ASSERT_TRUE(store.AddMessage(Outbox, StoSent, "10086",
                                 DateTime::FromLocal(2024, 5, 2, 9, 30, 0), "sent one", "", 0, 0, 0,
                                 0, false));
  }
  h.Run([&](CModaraApp& app, CModaraDlg& w) {
    auto* page = dynamic_cast<CSmsDlg*>(w.Page(PageKind::Messages));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(w.Tabs().indexOf(page), 0);
    EXPECT_TRUE(WaitFor([&] { return Picture(w, kIndicatorUnread) == kPicUnread; }));
    EXPECT_EQ(Picture(w, kIndicatorInboxFull), kPicBlank);

    QString printed;
    EXPECT_EQ(ListBox("outbox", printed), 0);
    nlohmann::json list = nlohmann::json::parse(printed.toStdString());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]["text"], "sent one");
    EXPECT_EQ(list[0]["status"], "STO SENT");
    printed.clear();
    EXPECT_EQ(ListBox("inbox", printed), 0);
    EXPECT_EQ(nlohmann::json::parse(printed.toStdString())[0]["text"], "hi \"there\"");
    printed.clear();
    EXPECT_EQ(ListBox("trash", printed), kExitUsage);

    page->Rows().setCurrentItem(page->Rows().topLevelItem(0));
    page->Read();
    ASSERT_NE(page->ReadWindow(), nullptr);
    EXPECT_TRUE(WaitFor([&] { return Picture(w, kIndicatorUnread) == kPicBlank; }));
    EXPECT_EQ(app.Sms()->CountUnread(), 0);
    page->ReadWindow()->close();

    // Call back hands the number to the call page, shown.
    if (auto* calls = dynamic_cast<CCallDlg*>(w.Page(PageKind::Calls))) {
      page->CallBack();
      EXPECT_TRUE(WaitFor([&] { return w.Tabs().currentWidget() == calls; }));
    }
    w.EndModalLoop(false);
  });
  EXPECT_TRUE(h.ScriptRan());
}

}  // namespace
}  // namespace evdo
