// The phonebook page and its windows in the running dashboard against the
// simulated modem: the page in the main window, the editor, the search, and
// the transfer window reading, copying and moving contacts.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <chrono>
#include <cstdio>

#include "app/MainWindowPages.h"
#include "ui/text/QtText.h"
#include "core/text/CodePage.h"
#include "phonebook/ui/ContactDlg.h"
#include "phonebook/PbDataFile.h"
#include "phonebook/ui/PhoneBookDlg.h"
#include "phonebook/ui/PhonebookUi.h"
#include "phonebook/ui/SearchContactDlg.h"
#include "phonebook/ui/SelContactDlg.h"
#include "phonebook/ui/SelDialDlg.h"
#include "phonebook/ui/TransferDlg.h"
#include "tests/app/DashboardHarness.h"
#include "tests/phonebook/PhonebookTestUtil.h"

namespace evdo {
namespace {

using test::Accept;
using test::DashboardHarness;

bool WaitFor(const std::function<bool()>& pred, int ms = 30000) { return QTest::qWaitFor(pred, ms); }

std::string ContactsFile(std::initializer_list<ContactRecord> contacts) {
  Bytes bytes;
  for (const ContactRecord& c : contacts) PbDataFile::AppendRecord(bytes, c);
  return std::string(bytes.begin(), bytes.end());
}

// Answers a question with its Yes (or OK) button.
void AnswerYes(QWidget& modal) {
  auto* box = qobject_cast<QMessageBox*>(&modal);
  if (box == nullptr) return;
  for (QAbstractButton* b : box->buttons())
    if (box->buttonRole(b) == QMessageBox::AcceptRole) return b->click();
}

CPhoneBookDlg* Page(CModaraDlg& w) { return dynamic_cast<CPhoneBookDlg*>(w.Page(PageKind::Phonebook)); }

QStringList Column(QTreeWidget* list, int column) {
  QStringList out;
  for (int i = 0; i < list->topLevelItemCount(); ++i) out << list->topLevelItem(i)->text(column);
  return out;
}

void Select(QTreeWidget* list, std::initializer_list<int> rows) {
  list->clearSelection();
  for (int r : rows) list->topLevelItem(r)->setSelected(true);
}

// Every message box of the phonebook is answered with OK.
void AcceptMessages(DashboardHarness& h) {
  for (int m : {171, 194, 195, 196, 199, 204, 205, 266, 268, 269, 270, 1640, 1641, 1642, 1643, 1644})
    h.OnModal(QString("message%1").arg(m), Accept);
}

class PhoneBookWindowTest : public ::testing::Test {
protected:
  // Opens the transfer window and waits until it has read both memories.
  static CTransferDlg* OpenTransfer(CPhoneBookDlg& page) {
    page.OpenTransfer();
    if (!WaitFor([] { return CTransferDlg::Current() != nullptr && CTransferDlg::Current()->IsReady(); })) return nullptr;
    return CTransferDlg::Current();
  }
  static bool RunTransfer(CTransferDlg& t, bool leftToRight, bool move) {
    t.CopyOrMove(leftToRight, move);
    return WaitFor([&] { return !t.Transfer().Running(); });
  }
};

TEST_F(PhoneBookWindowTest, ThePageListsSortsAndFindsContacts) {
  DashboardHarness h;
  h.Folder().WriteFile("PbData.dat", ContactsFile({test::Contact("Cy", "+8613900001111"), test::Contact("Ann", "222"),
                                                   test::Contact("Ben", "13900003333")}));
  h.Run([&](CModaraApp&, CModaraDlg& w) {
    CPhoneBookDlg* page = Page(w);
    ASSERT_NE(page, nullptr) << "the page is registered in the main window";
    EXPECT_EQ(Column(page->List(), 0), (QStringList{"Cy", "Ann", "Ben"}));
    page->SortBy(0);
    EXPECT_EQ(Column(page->List(), 0), (QStringList{"Ann", "Ben", "Cy"}));
    page->SortBy(0);
    EXPECT_EQ(Column(page->List(), 0), (QStringList{"Cy", "Ben", "Ann"})) << "a second click sorts descending";
    page->SortBy(0);
    EXPECT_EQ(Column(page->List(), 0), (QStringList{"Ann", "Ben", "Cy"}));
    page->QuickSearchEdit()->setText("139");
    int shown = 0;
    for (int i = 0; i < page->List()->topLevelItemCount(); ++i) shown += page->List()->topLevelItem(i)->isHidden() ? 0 : 1;
    EXPECT_EQ(shown, 2);
    page->QuickSearchEdit()->clear();
    // The search dialog steps through the results and selects their rows.
    page->OpenSearch();
    auto* search = page->findChild<CSearchContactDlg*>();
    ASSERT_NE(search, nullptr);
    search->findChild<QLineEdit*>("searchNumber")->setText("139");
    search->RunSearch();
    EXPECT_EQ(search->ResultCount(), 2);
    ASSERT_EQ(page->SelectedPositions().size(), 1u);
    EXPECT_EQ(page->List()->currentItem()->text(0), "Ben");
    search->close();
    // Number matching across country prefixes: the store names the caller.
    std::string name;
    EXPECT_TRUE(CModaraApp::Instance()->Phonebook()->FindNameByNumber("13900001111", name));
    EXPECT_EQ(name, "Cy");
    EXPECT_TRUE(CModaraApp::Instance()->Phonebook()->FindNameByNumber("+8613900003333", name));
    EXPECT_EQ(name, "Ben");
    w.EndModalLoop(false);
  });
}

TEST_F(PhoneBookWindowTest, TheEditorAddsAContactWithAPicture) {
  DashboardHarness h;
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(Qt::red);
  const std::string source = h.Folder().File("face.png");
  ASSERT_TRUE(image.save(QString::fromStdString(source)));
  h.OnModal("CContactDlg", [&](QWidget& modal) {
    auto& editor = static_cast<CContactDlg&>(modal);
    editor.Edit(ContactField::Name)->setText("Dora");
    editor.Edit(ContactField::Mobile)->setText("+8613500001234");
    editor.ChoosePicture(source);
    editor.OnOk();
  });
  h.Run([&](CModaraApp& app, CModaraDlg& w) {
    CPhoneBookDlg* page = Page(w);
    ASSERT_NE(page, nullptr);
    page->NewContact();
    ASSERT_EQ(app.Phonebook()->Count(), 1);
    ContactRecord r;
    ASSERT_TRUE(app.Phonebook()->Get(0, r));
    EXPECT_EQ(FieldValue(r, ContactField::Name), "Dora");
    const std::string picture(FieldValue(r, ContactField::Picture));
    EXPECT_NE(picture.find("/pic/"), std::string::npos) << picture;
    EXPECT_TRUE(QFile::exists(QString::fromStdString(picture))) << "the picture is copied into the folder pic";
    EXPECT_EQ(Column(page->List(), 1), QStringList{"+8613500001234"});
    // Deleting the contact deletes its picture copy.
    h.OnModal("question121", AnswerYes);
    page->List()->topLevelItem(0)->setSelected(true);
    page->DeleteContacts();
    EXPECT_EQ(app.Phonebook()->Count(), 0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(picture)));
    w.EndModalLoop(false);
  });
}

// What another window (the call page, the message writing window) gets.
struct NumberSink : WindowHandler {
  std::vector<std::string> numbers;
  void OnMessage(MessageId m, WParam, LParam l) override {
    if (m == kMsgSelectedNumber) numbers.emplace_back(reinterpret_cast<const char*>(l));
  }
  void OnTimer(TimerId) override {}
};

TEST_F(PhoneBookWindowTest, SelectionDialogsGiveOneNumberPerContact) {
  DashboardHarness h;
  h.Folder().WriteFile("PbData.dat", ContactsFile({test::Contact("One", "111"), test::Contact("Two", "", "222", "333"),
                                                   test::Contact("None")}));
  // The contact with two numbers asks which: the second is taken.
  h.OnModal("CSelDialDlg", [](QWidget& modal) {
    auto* list = modal.findChild<QListWidget*>();
    list->setCurrentRow(1);
    for (QAbstractButton* b : modal.findChild<QDialogButtonBox*>()->buttons())
      if (modal.findChild<QDialogButtonBox*>()->buttonRole(b) == QDialogButtonBox::AcceptRole) return b->click();
  });
  AcceptMessages(h);
  h.Run([&](CModaraApp& app, CModaraDlg& w) {
    NumberSink sink;
    CSelContactDlg dialog(*app.Phonebook(), true, &sink, &w);
    auto* list = dialog.findChild<QTreeWidget*>("contactList");
    ASSERT_EQ(list->topLevelItemCount(), 3);
    Select(list, {0, 1, 2});
    QTimer::singleShot(0, &dialog, [&] { dialog.findChild<QDialogButtonBox*>()->buttons().front()->click(); });
    dialog.exec();
    EXPECT_EQ(sink.numbers, (std::vector<std::string>{"111", "333"}));
    EXPECT_EQ(dialog.Numbers(), sink.numbers);
    ASSERT_FALSE(h.MessagesSeen().empty());
    EXPECT_EQ(h.MessagesSeen().back(), Str(kStrNoNumber)) << "the contact without a number";
    // One number is taken without asking; none gives nothing.
    EXPECT_EQ(CSelDialDlg::ChooseNumber(&w, "x", {"5"}, {}), "5");
    EXPECT_EQ(CSelDialDlg::ChooseNumber(&w, "x", {}, {}), "");
    w.EndModalLoop(false);
  });
}

TEST_F(PhoneBookWindowTest, TransferReadsAFullCardCopiesBothWaysAndMoves) {
  DashboardHarness h;
  for (int i = 1; i <= 250; ++i)
    ASSERT_TRUE(h.Control("pb add SM " + std::to_string(i) + " 13800" + std::to_string(100000 + i) + " 卡" +
                          std::to_string(i)));
  h.Folder().WriteFile("PbData.dat", ContactsFile({test::Contact("Ann", "111", "", "333")}));
  h.OnModal("CSelPosition", Accept);
  AcceptMessages(h);
  h.Run([&](CModaraApp& app, CModaraDlg& w) {
    CPhoneBookDlg* page = Page(w);
    ASSERT_NE(page, nullptr);
    // The longest stretch the window's thread is busy while the card is read.
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
      // While the wait window shows: the read itself, not the filling of
      // the panes afterwards.
      CTransferDlg* open = CTransferDlg::Current();
      const qint64 now = clock.nsecsElapsed();
      if (open == nullptr || open->WaitWindow() == nullptr) {
        last = 0;
        return;
      }
      if (last != 0) longest = std::max(longest, now - last);
      last = now;
    });
    tick.start(1);
    const auto start = std::chrono::steady_clock::now();
    CTransferDlg* t = OpenTransfer(*page);
    tick.stop();
    ASSERT_NE(t, nullptr);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    std::printf("[ figures ] card of 250 and memory of 500 read in %lld ms; UI thread busy at most %.1f ms; "
                "longest answer step %lld us\n",
                static_cast<long long>(ms), static_cast<double>(longest) / 1e6,
                static_cast<long long>(t->Io().LongestStepMicros()));
    EXPECT_EQ(t->Pane(1)->topLevelItemCount(), 250);
    EXPECT_EQ(t->Pane(0)->topLevelItemCount(), 1);
    EXPECT_TRUE(app.Dispatcher().NotificationGate().IsSet()) << "notifications flow again after the read";

    // The card is full: a copy to it stops before any command.
    Select(t->Pane(0), {0});
    ASSERT_TRUE(RunTransfer(*t, true, false));
    ASSERT_FALSE(h.MessagesSeen().empty());
    EXPECT_EQ(h.MessagesSeen().back(), Str(kStrCardPhonebookFull));

    // Card to PC: two entries into the chosen field (Mobile).
    Select(t->Pane(1), {0, 1});
    ASSERT_TRUE(RunTransfer(*t, false, false));
    EXPECT_EQ(app.Phonebook()->Count(), 3);
    EXPECT_TRUE(WaitFor([&] { return page->List()->topLevelItemCount() == 3; })) << "the page follows";

    // PC to the device memory, then the device memory to the card after
    // making room there.
    t->SetPlace(0, PbPlace::PC);
    t->SetPlace(1, PbPlace::PC);
    EXPECT_EQ(t->PlaceOf(0), PbPlace::ME) << "PC on the right puts the left on the device memory";
    Select(t->Pane(1), {0});
    ASSERT_TRUE(RunTransfer(*t, false, false));
    EXPECT_NE(h.Modem().Control("pb list ME").find("1 111 Ann"), std::string::npos);
    EXPECT_NE(h.Modem().Control("pb list ME").find("2 333 Ann"), std::string::npos);
    t->SetPlace(1, PbPlace::SM);
    // A card entry moves to the device memory, which frees its location.
    Select(t->Pane(1), {0});
    ASSERT_TRUE(RunTransfer(*t, false, true));
    EXPECT_EQ(t->Pane(1)->topLevelItemCount(), 249) << "the moved card entry is erased";
    Select(t->Pane(0), {0, 1});
    ASSERT_TRUE(RunTransfer(*t, true, true));
    const std::string card = h.Modem().Control("pb list SM");
    EXPECT_NE(card.find("1 111 Ann"), std::string::npos) << card.substr(0, 200);
    EXPECT_EQ(h.MessagesSeen().back(), Str(kStrCardPhonebookFull)) << "the second entry finds the card full again";
    EXPECT_EQ(h.Modem().Control("pb list ME").find("1 111 Ann"), std::string::npos) << "moved away";
    EXPECT_NE(h.Modem().Control("pb list ME").find("2 333 Ann"), std::string::npos) << "stopped before it";
    t->close();
    w.EndModalLoop(false);
  });
}

TEST_F(PhoneBookWindowTest, ARefusedWriteAndARemovedCardStopWithTheirMessages) {
  DashboardHarness h;
  for (int i = 1; i <= 40; ++i) ASSERT_TRUE(h.Control("pb add ME " + std::to_string(i) + " 5" + std::to_string(i)));
  ASSERT_TRUE(h.Control("pb capacity SM 3"));
  h.Folder().WriteFile("PbData.dat", ContactsFile({test::Contact("A", "1"), test::Contact("B", "2")}));
  AcceptMessages(h);
  h.Run([&](CModaraApp& app, CModaraDlg& w) {
    CPhoneBookDlg* page = Page(w);
    ASSERT_NE(page, nullptr);
    CTransferDlg* t = OpenTransfer(*page);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Pane(1)->topLevelItemCount(), 0) << "an empty card";
    // The card shrinks after the read: the second write is refused.
    ASSERT_TRUE(h.Control("pb capacity SM 1"));
    Select(t->Pane(0), {0, 1});
    ASSERT_TRUE(RunTransfer(*t, true, true));
    EXPECT_EQ(h.MessagesSeen().back(), Str(kStrDevicePhonebookFailed));
    EXPECT_EQ(app.Phonebook()->Count(), 1) << "only the written contact was moved";
    EXPECT_EQ(t->Pane(1)->topLevelItemCount(), 1);
    t->close();
    EXPECT_TRUE(WaitFor([] { return CTransferDlg::Current() == nullptr; }));

    // A card removed while it is read: the read stops and the window closes.
    ASSERT_TRUE(h.Control("pb capacity SM 250"));
    for (int i = 2; i <= 60; ++i) ASSERT_TRUE(h.Control("pb add SM " + std::to_string(i) + " 7" + std::to_string(i)));
    page->OpenTransfer();
    ASSERT_TRUE(WaitFor([] {
      CTransferDlg* open = CTransferDlg::Current();
      return open != nullptr && open->WaitWindow() != nullptr && open->WaitWindow()->Bar()->value() >= 5;
    }));
    ASSERT_TRUE(h.Control("devstatus card failure"));
    EXPECT_TRUE(WaitFor([] { return CTransferDlg::Current() == nullptr; }));
    EXPECT_EQ(h.MessagesSeen().back(), Str(kStrPbCardUnavailable));
    EXPECT_TRUE(app.Dispatcher().NotificationGate().IsSet());
    EXPECT_TRUE(WaitFor([&] { return app.Port().GetState() == CSerialPort::Ready; }));

    // Without a ready card the window does not open.
    w.Status().Pin().simState = kSimStatePinRequired;
    page->OpenTransfer();
    EXPECT_EQ(CTransferDlg::Current(), nullptr);
    EXPECT_EQ(h.MessagesSeen().back(), Str(kStrPbCardNotReady));
    w.Status().Pin().simState = kSimStateReady;
    w.EndModalLoop(false);
  });
}

}  // namespace
}  // namespace evdo
