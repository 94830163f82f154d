// The messages page, its read window and its export choice, on a store in
// a scratch folder, with the English language module.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/files/RawRecord.h"
#include "phonebook/PbData.h"
#include "sms/SmsData.h"
#include "sms/ui/SmsDlg.h"
#include "sms/ui/SmsReadDlg.h"
#include "tests/sms/SmsTestSupport.h"
#include "tests/support/EnglishQtApp.h"
#include "ui/LanguageLibrary.h"
#include "ui/LanguageStrings.h"
#include "ui/StringIds.h"

namespace evdo {
namespace {

using test::MakeRecord;
using test::TempDir;

QApplication& App() { return test::EnglishQtApp(); }

DateTime Day(int day, int hour = 12) { return DateTime::FromLocal(2024, 5, day, hour, 0, 0); }

struct WriteCall {
  QString recipients, text;
};

class SmsPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    ASSERT_FALSE(sms_.LoadOrCreate().Failed());
    ContactRecord alice = EmptyContact();
    SetFieldValue(alice, ContactField::Name, "Alice");
    SetFieldValue(alice, ContactField::Mobile, "13800138000");
    phonebook_.SetSaveFunction([](const std::string&, const Bytes&) { return FileResult{}; });
    phonebook_.Append(alice);
  }
  void TearDown() override { delete page_; }

  void Add(int box, SmsRecord r) { ASSERT_TRUE(sms_.AddRecord(box, r, true)); }

  CSmsDlg& Page(bool hooks = true) {
    MessagesPageServices s;
    s.sms = &sms_;
    s.phonebook = &phonebook_;
    s.portReady = [this] { return portReady_; };
    s.dial = [this](const std::string& number) { dialled_.push_back(number); };
    s.indicatorsChanged = [this] {
      ++indicatorUpdates_;
      unreadShown_ = sms_.CountUnread() != 0;
    };
    if (hooks) {
      s.openWriteWindow = [this](const QString& r, const QString& t) { writes_.push_back({r, t}); };
      s.openTransferWindow = [this] { ++transfers_; };
      s.saveNumber = [this](const std::string& number, QWidget*) { saved_.push_back(number); };
    }
    page_ = new CSmsDlg(std::move(s));
    page_->resize(900, 500);
    defaultAsk_ = page_->ask;
    page_->ask = [this](int id) {
      asked_.push_back(id);
      return answer_;
    };
    page_->tell = [this](int id) { told_.push_back(id); };
    page_->warn = [this](const QString& p) { warned_.push_back(p); };
    return *page_;
  }

  QTreeWidget& Rows() { return page_->Rows(); }
  QString Cell(int row, int column) { return Rows().topLevelItem(row)->text(column); }
  void Select(std::initializer_list<int> rows) {
    Rows().clearSelection();
    for (int row : rows) {
      Rows().topLevelItem(row)->setSelected(true);
      Rows().setCurrentItem(Rows().topLevelItem(row), 0, QItemSelectionModel::Select);
    }
  }
  // Each row shows its own record: the content column matches the record
  // the map points at.
  void ExpectRowsShowTheirRecords() {
    const CSmsListOrder& order = page_->Order(page_->CurrentBox());
    ASSERT_EQ(Rows().topLevelItemCount(), order.Rows());
    for (int row = 0; row < order.Rows(); ++row) {
      std::optional<SmsRecord> r = sms_.GetRecord(page_->CurrentBox(), order.IndexAt(row));
      ASSERT_TRUE(r);
      EXPECT_EQ(Cell(row, kSmsContentColumn).toStdString(), SmsContentText(*r)) << "row " << row;
    }
  }

  TempDir dir_;
  CSmsData sms_{dir_.File("SmsData.dat")};
  CPbData phonebook_;
  CSmsDlg* page_ = nullptr;
  std::function<bool(int)> defaultAsk_;
  bool portReady_ = true;
  bool answer_ = true;
  bool unreadShown_ = true;
  int indicatorUpdates_ = 0;
  int transfers_ = 0;
  std::vector<std::string> dialled_;
  std::vector<WriteCall> writes_;
  std::vector<std::string> saved_;
  std::vector<int> asked_;
  std::vector<int> told_;
  QStringList warned_;
};

TEST_F(SmsPageTest, ListShowsNamesNumbersPartLabelsAndTheBoxesTabs) {
  SmsRecord part = MakeRecord(RecUnread, "13800138000", Day(3), "middle of three");
  part.flags = kSmsFlagPartInfo;
  part.partIndex = 2;
  part.partCount = 3;
  Add(Inbox, part);
  Add(Inbox, MakeRecord(RecRead, "", Day(2), "no number"));
  Add(Inbox, MakeRecord(RecRead, "10086", Day(1), "stranger"));
  Add(Outbox, MakeRecord(StoSent, "10010", Day(1), "sent"));
  CSmsDlg& page = Page();
  ASSERT_EQ(Rows().topLevelItemCount(), 3);
  EXPECT_EQ(Cell(0, kSmsNameColumn), "Alice");
  EXPECT_EQ(Cell(0, kSmsContentColumn), "(2/3)middle of three");
  EXPECT_TRUE(Rows().topLevelItem(0)->font(0).bold());  // unread
  EXPECT_FALSE(Rows().topLevelItem(0)->icon(0).isNull());
  EXPECT_EQ(Cell(1, kSmsNameColumn), QString::fromStdString(LoadString(kStrUnknown)));
  EXPECT_EQ(Cell(1, kSmsNumberColumn), QString::fromStdString(LoadString(kStrUnknown)));
  EXPECT_EQ(Cell(2, kSmsNameColumn), QString::fromStdString(LoadString(kStrUnknown)));
  EXPECT_EQ(Cell(2, kSmsNumberColumn), "10086");
  EXPECT_EQ(Rows().columnWidth(kSmsNameColumn), 100);
  EXPECT_EQ(Rows().columnWidth(kSmsNumberColumn), 150);
  EXPECT_EQ(Rows().columnWidth(kSmsTimeColumn), 200);
  // Reply (control 1070) only for the inbox, resend (1071) for the others.
  EXPECT_FALSE(page.Button("reply")->isHidden());
  EXPECT_TRUE(page.Button("resend")->isHidden());
  page.ShowBox(Outbox);
  EXPECT_EQ(Rows().topLevelItemCount(), 1);
  EXPECT_TRUE(page.Button("reply")->isHidden());
  EXPECT_FALSE(page.Button("resend")->isHidden());
  auto* tabs = page.findChild<QTabBar*>("boxes");
  ASSERT_NE(tabs, nullptr);
  EXPECT_EQ(tabs->count(), 3);
  EXPECT_EQ(tabs->tabText(2), QString::fromStdString(LoadString(kStrTabSaved)));
  tabs->setCurrentIndex(Saved);
  EXPECT_EQ(page.CurrentBox(), Saved);
  EXPECT_EQ(Rows().topLevelItemCount(), 0);
}

TEST_F(SmsPageTest, ClickingTheSameHeaderTwiceReversesAndEachBoxKeepsItsOwnSort) {
  Add(Inbox, MakeRecord(RecRead, "3", Day(1), "bravo"));
  Add(Inbox, MakeRecord(RecRead, "1", Day(2), "charlie"));
  Add(Inbox, MakeRecord(RecRead, "2", Day(3), "alpha"));
  Add(Outbox, MakeRecord(StoSent, "9", Day(1), "zulu"));
  Add(Outbox, MakeRecord(StoSent, "8", Day(2), "yankee"));
  CSmsDlg& page = Page();
  Rows().header()->sectionClicked(kSmsContentColumn);
  EXPECT_EQ(Cell(0, kSmsContentColumn), "alpha");
  EXPECT_EQ(Cell(2, kSmsContentColumn), "charlie");
  EXPECT_EQ(Rows().header()->sortIndicatorSection(), kSmsContentColumn);
  EXPECT_EQ(Rows().header()->sortIndicatorOrder(), Qt::AscendingOrder);
  Rows().header()->sectionClicked(kSmsContentColumn);
  EXPECT_EQ(Cell(0, kSmsContentColumn), "charlie");
  EXPECT_EQ(Cell(2, kSmsContentColumn), "alpha");
  EXPECT_EQ(Rows().header()->sortIndicatorOrder(), Qt::DescendingOrder);
  page.ShowBox(Outbox);
  EXPECT_EQ(Cell(0, kSmsContentColumn), "yankee");  // still newest first
  EXPECT_EQ(Rows().header()->sortIndicatorSection(), kSmsTimeColumn);
  page.ShowBox(Inbox);
  EXPECT_EQ(Cell(0, kSmsContentColumn), "charlie");
  ExpectRowsShowTheirRecords();
}

TEST_F(SmsPageTest, DeletingTheLastOfThreeSelectedRowsKeepsEveryRowOnItsRecord) {
  for (int d = 1; d <= 5; ++d)
    Add(Inbox, MakeRecord(RecRead, std::to_string(d), Day(d), "text " + std::to_string(d)));
  CSmsDlg& page = Page();
  page.ClickColumn(kSmsContentColumn);  // text 1 .. text 5, store indexes 4 .. 0
  Select({1, 3, 4});
  page.DeleteSelected();
  EXPECT_EQ(asked_, std::vector<int>{kStrConfirmDelete});
  EXPECT_EQ(sms_.Count(Inbox), 2);
  ASSERT_EQ(Rows().topLevelItemCount(), 2);
  EXPECT_EQ(Cell(0, kSmsContentColumn), "text 1");
  EXPECT_EQ(Cell(1, kSmsContentColumn), "text 3");
  ExpectRowsShowTheirRecords();
  EXPECT_GT(indicatorUpdates_, 0);
  // The store on disk holds the same.
  CSmsData reread(dir_.File("SmsData.dat"));
  ASSERT_TRUE(reread.Load());
  EXPECT_EQ(reread.Count(Inbox), 2);
}

TEST_F(SmsPageTest, DeleteAsksWithNoAsDefaultAndSelectsTheNeighbour) {
  for (int d = 1; d <= 3; ++d)
    Add(Inbox, MakeRecord(RecRead, "1", Day(d), "m" + std::to_string(d)));
  CSmsDlg& page = Page();
  page.DeleteSelected();
  EXPECT_EQ(told_, std::vector<int>{kStrSelectMessage});
  EXPECT_TRUE(asked_.empty());
  Select({2});
  answer_ = false;
  page.DeleteSelected();
  EXPECT_EQ(sms_.Count(Inbox), 3);
  answer_ = true;
  page.DeleteSelected();  // the last row: the one before it is selected
  ASSERT_EQ(Rows().selectedItems().size(), 1);
  EXPECT_EQ(Rows().indexOfTopLevelItem(Rows().selectedItems().first()), 1);
  Select({0});
  page.DeleteSelected();  // the first row: the same position
  EXPECT_EQ(Rows().indexOfTopLevelItem(Rows().selectedItems().first()), 0);
  EXPECT_EQ(Cell(0, kSmsContentColumn), "m2");
}

TEST_F(SmsPageTest, TheDeleteQuestionHasNoAsItsDefaultButton) {
  Add(Inbox, MakeRecord(RecRead, "1", Day(1), "m"));
  CSmsDlg& page = Page();
  page.ask = defaultAsk_;
  page.show();
  Select({0});
  QString seen;
  // Enter on the question answers with its default button.
  QTimer::singleShot(0, [&seen] {
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr) return;
    seen = box->objectName();
    QTest::keyClick(box, Qt::Key_Return);
  });
  page.DeleteSelected();
  EXPECT_EQ(seen, QString("question%1").arg(kStrConfirmDelete));
  EXPECT_EQ(sms_.Count(Inbox), 1);
}

TEST_F(SmsPageTest, DeleteAllEmptiesOnlyTheShownBoxAfterItsQuestion) {
  Add(Inbox, MakeRecord(RecUnread, "1", Day(1), "in"));
  Add(Outbox, MakeRecord(StoSent, "2", Day(1), "out"));
  CSmsDlg& page = Page();
  answer_ = false;
  page.DeleteAll();
  EXPECT_EQ(asked_, std::vector<int>{kStrConfirmDeleteAll});
  EXPECT_EQ(sms_.Count(Inbox), 1);
  answer_ = true;
  page.Button("deleteAll")->click();
  EXPECT_EQ(sms_.Count(Inbox), 0);
  EXPECT_EQ(sms_.Count(Outbox), 1);
  EXPECT_EQ(Rows().topLevelItemCount(), 0);
  EXPECT_FALSE(unreadShown_);
  page.DeleteAll();  // an empty box: nothing, not even the question
  EXPECT_EQ(asked_.size(), 2u);
}

TEST_F(SmsPageTest, CommandsOnAnEmptyBoxDoNothingAndWithoutSelectionShow391) {
  CSmsDlg& page = Page();
  for (auto command : {&CSmsDlg::Read, &CSmsDlg::Reply, &CSmsDlg::Forward, &CSmsDlg::Resend,
                       &CSmsDlg::CallBack, &CSmsDlg::DeleteSelected, &CSmsDlg::SaveNumber})
    (page.*command)();
  EXPECT_TRUE(told_.empty());
  EXPECT_TRUE(asked_.empty());
  delete page_;
  page_ = nullptr;
  Add(Inbox, MakeRecord(RecRead, "1", Day(1), "m"));
  CSmsDlg& again = Page();
  for (auto command : {&CSmsDlg::Read, &CSmsDlg::Reply, &CSmsDlg::Forward, &CSmsDlg::Resend,
                       &CSmsDlg::CallBack, &CSmsDlg::DeleteSelected, &CSmsDlg::SaveNumber})
    (again.*command)();
  EXPECT_EQ(told_, std::vector<int>(7, kStrSelectMessage));
  EXPECT_TRUE(writes_.empty());
  EXPECT_EQ(again.ReadWindow(), nullptr);
}

TEST_F(SmsPageTest, ReplyForwardResendNewTransferAndSaveNumberGoThroughTheHooks) {
  Add(Inbox, MakeRecord(RecRead, "13800138000", Day(1), "hello there"));
  CSmsDlg& page = Page();
  Select({0});
  page.Reply();
  page.Forward();
  page.Resend();
  page.NewMessage();
  page.Transfer();
  page.SaveNumber();
  ASSERT_EQ(writes_.size(), 4u);
  EXPECT_EQ(writes_[0].recipients, "13800138000");
  EXPECT_TRUE(writes_[0].text.isEmpty());
  EXPECT_TRUE(writes_[1].recipients.isEmpty());
  EXPECT_EQ(writes_[1].text, "hello there");
  EXPECT_EQ(writes_[2].recipients, "13800138000");
  EXPECT_EQ(writes_[2].text, "hello there");
  EXPECT_TRUE(writes_[3].recipients.isEmpty() && writes_[3].text.isEmpty());
  EXPECT_EQ(transfers_, 1);
  EXPECT_TRUE(saved_.empty()) << "Alice's number is in the phonebook already";
}

TEST_F(SmsPageTest, SavingANumberOffersTheNumbersOfTheTextWithTheSendersFirst) {
  Add(Inbox, MakeRecord(RecRead, "", Day(1), "no number here"));
  Add(Inbox, MakeRecord(RecRead, "10086", Day(2), "plain text"));
  Add(Inbox, MakeRecord(RecRead, "10010", Day(3), "call 13912345678 or 02087654321, or 10010"));
  CSmsDlg& page = Page();
  std::vector<std::vector<std::string>> offered;
  std::string pick = "02087654321";
  page.chooseNumber = [&](const std::vector<std::string>& numbers) {
    offered.push_back(numbers);
    return pick;
  };
  Select({0});  // newest first: the one with numbers in its text
  page.SaveNumber();
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_EQ(offered[0], (std::vector<std::string>{"10010", "13912345678", "02087654321"}));
  EXPECT_EQ(saved_, std::vector<std::string>{"02087654321"});
  pick.clear();  // cancelled
  Select({0});
  page.SaveNumber();
  EXPECT_EQ(offered.size(), 2u);
  EXPECT_EQ(saved_.size(), 1u);
  Select({1});  // no numbers in the text: the sender's number itself
  page.SaveNumber();
  EXPECT_EQ(saved_.back(), "10086");
  Select({2});  // nothing to save at all
  page.SaveNumber();
  EXPECT_EQ(told_, std::vector<int>{kStrNoNumber});
  // A full phonebook takes no more.
  for (int i = phonebook_.Count(); i < kMaxContacts; ++i) {
    ContactRecord c = EmptyContact();
    SetFieldValue(c, ContactField::Name, "n" + std::to_string(i));
    ASSERT_TRUE(phonebook_.Append(c));
  }
  Select({1});
  page.SaveNumber();
  EXPECT_EQ(told_.back(), kStrPhonebookFull);
  EXPECT_EQ(saved_.size(), 2u);
}

TEST_F(SmsPageTest, WithoutTheOtherWindowsTheirButtonsAreOffUntilTheHooksCome) {
  Add(Inbox, MakeRecord(RecRead, "1", Day(1), "m"));
  CSmsDlg& page = Page(false);
  for (const char* name : {"reply", "resend", "forward", "new", "transfer", "saveNumber"})
    EXPECT_FALSE(page.Button(name)->isEnabled()) << name;
  EXPECT_TRUE(page.Button("read")->isEnabled());
  EXPECT_TRUE(page.Button("delete")->isEnabled());
  EXPECT_TRUE(page.Button("export")->isEnabled());
  page.SetWriteWindow([this](const QString& r, const QString& t) { writes_.push_back({r, t}); });
  page.SetTransferWindow([this] { ++transfers_; });
  EXPECT_TRUE(page.Button("reply")->isEnabled());
  EXPECT_TRUE(page.Button("transfer")->isEnabled());
  page.Button("new")->click();
  EXPECT_EQ(writes_.size(), 1u);
}

TEST_F(SmsPageTest, CallBackHandsTheNumberOnOnlyWhenThePortIsReadyAndThereIsANumber) {
  Add(Inbox, MakeRecord(RecRead, "", Day(1), "anonymous"));
  Add(Inbox, MakeRecord(RecRead, "+8613800138000", Day(2), "from abroad"));
  CSmsDlg& page = Page();
  Select({0});
  portReady_ = false;
  page.CallBack();
  EXPECT_TRUE(dialled_.empty());
  portReady_ = true;
  page.CallBack();
  EXPECT_EQ(dialled_, std::vector<std::string>{"+8613800138000"});
  Select({1});
  page.CallBack();
  EXPECT_EQ(told_, std::vector<int>{kStrNoNumber});
  EXPECT_EQ(dialled_.size(), 1u);
}

TEST_F(SmsPageTest, OpeningAnUnreadMessageMarksItReadAtOnceAndTheIndicatorGoesOff) {
  SmsRecord part = MakeRecord(RecUnread, "13800138000", Day(2), "second part <b>not bold</b>");
  part.flags = kSmsFlagPartInfo;
  part.partIndex = 2;
  part.partCount = 3;
  Add(Inbox, part);
  Add(Inbox, MakeRecord(RecRead, "10086", Day(1), "old"));
  CSmsDlg& page = Page();
  Select({0});
  page.Read();
  CSmsReadDlg* read = page.ReadWindow();
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(sms_.GetRecord(Inbox, 0)->status, RecRead);
  EXPECT_EQ(sms_.CountUnread(), 0);
  EXPECT_FALSE(unreadShown_);
  EXPECT_FALSE(Rows().topLevelItem(0)->font(0).bold());
  EXPECT_EQ(read->NameText(), "Alice");
  EXPECT_EQ(read->NumberText(), "13800138000");
  EXPECT_EQ(read->ContentText(), "(2/3)second part <b>not bold</b>");
  // Saved at once.
  CSmsData reread(dir_.File("SmsData.dat"));
  ASSERT_TRUE(reread.Load());
  EXPECT_EQ(reread.GetRecord(Inbox, 0)->status, RecRead);
  // In the inbox the two buttons reply and close.
  EXPECT_EQ(read->Button("first")->text(), QString::fromStdString(LoadString(kStrButtonReply)));
  read->Button("first")->click();
  ASSERT_EQ(writes_.size(), 1u);
  EXPECT_EQ(writes_[0].recipients, "13800138000");
  read->Button("next")->click();
  EXPECT_EQ(read->Row(), 1);
  EXPECT_EQ(read->ContentText(), "old");
  read->Button("next")->click();  // at the last position: nothing happens
  EXPECT_EQ(read->Row(), 1);
  read->Button("second")->click();
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(page.ReadWindow(), nullptr);
}

TEST_F(SmsPageTest, OnlyTheLastUnreadTurnsTheIndicatorOff) {
  Add(Inbox, MakeRecord(RecUnread, "1", Day(1), "a"));
  Add(Inbox, MakeRecord(RecUnread, "2", Day(2), "b"));
  CSmsDlg& page = Page();
  Select({0});
  page.Read();
  EXPECT_TRUE(unreadShown_);
  page.ReadWindow()->Move(SmsReadMove::Next);
  EXPECT_FALSE(unreadShown_);
}

TEST_F(SmsPageTest, OtherBoxesGoToFirstAndLastAndAnOpenWindowIsHandedTheNextRead) {
  for (int d = 1; d <= 4; ++d)
    Add(Outbox, MakeRecord(StoSent, "1", Day(d), "out " + std::to_string(d)));
  CSmsDlg& page = Page();
  page.ShowBox(Outbox);
  Select({1});
  page.Read();
  CSmsReadDlg* read = page.ReadWindow();
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->ContentText(), "out 3");
  EXPECT_EQ(read->Button("first")->text(), QString::fromStdString(LoadString(kStrSmsFirst)));
  read->Button("second")->click();
  EXPECT_EQ(read->ContentText(), "out 1");
  read->Button("first")->click();
  EXPECT_EQ(read->ContentText(), "out 4");
  read->Button("previous")->click();  // at the first: nothing
  EXPECT_EQ(read->Row(), 0);
  Select({2});
  page.Read();  // the open window shows it (WM_USER+13)
  EXPECT_EQ(page.ReadWindow(), read);
  EXPECT_EQ(read->ContentText(), "out 2");
  read->OnMessage(kMsgShowSmsRecord, Outbox, 3);
  EXPECT_EQ(read->ContentText(), "out 1");
  EXPECT_EQ(sms_.GetRecord(Outbox, 0)->status, StoSent);  // other statuses untouched
  read->close();
}

TEST_F(SmsPageTest, ShowNewMessageOpensTheFirstMarkedAndClearsTheMarks) {
  SmsRecord a = MakeRecord(RecUnread, "1", Day(1), "older new");
  a.flags = kSmsFlagNew;
  SmsRecord b = MakeRecord(RecUnread, "2", Day(2), "newer new");
  b.flags = kSmsFlagNew;
  Add(Inbox, a);
  Add(Inbox, b);
  Add(Outbox, MakeRecord(StoSent, "3", Day(3), "out"));
  CSmsDlg& page = Page();
  page.ShowBox(Outbox);
  page.ShowNewMessage();
  EXPECT_EQ(page.CurrentBox(), Inbox);
  ASSERT_NE(page.ReadWindow(), nullptr);
  EXPECT_EQ(page.ReadWindow()->ContentText(), "newer new");
  EXPECT_EQ(FindNewMessage(sms_), -1);
  page.ShowNewMessage();
  EXPECT_EQ(told_, std::vector<int>{kStrNoNewMessage});
  page.ReadWindow()->close();
}

TEST_F(SmsPageTest, RefreshBoxShowsANewMessageInTheBoxSortOrder) {
  Add(Inbox, MakeRecord(RecRead, "1", Day(1), "bb"));
  CSmsDlg& page = Page();
  page.ClickColumn(kSmsContentColumn);
  const int before = indicatorUpdates_;
  Add(Inbox, MakeRecord(RecUnread, "2", Day(2), "aa"));
  page.RefreshBox(Inbox);
  ASSERT_EQ(Rows().topLevelItemCount(), 2);
  EXPECT_EQ(Cell(0, kSmsContentColumn), "aa");
  EXPECT_GT(indicatorUpdates_, before);
  EXPECT_TRUE(unreadShown_);
}

TEST_F(SmsPageTest, ExportOfAllBoxesWritesInboxOutboxSavedEachInStoreOrder) {
  Add(Saved, MakeRecord(StoUnsent, "5", Day(5), "draft"));
  Add(Outbox, MakeRecord(StoSent, "3", Day(3), "sent, with comma"));
  Add(Inbox, MakeRecord(RecRead, "1", Day(1), "in old"));
  Add(Inbox, MakeRecord(RecUnread, "2", Day(2), "in \"new\""));
  CSmsDlg& page = Page();
  page.ClickColumn(kSmsContentColumn);  // the list order does not matter
  const std::string path = dir_.File("out.csv");
  ASSERT_EQ(page.ExportTo(AllBoxes, path), 0);
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find("\r\n", at);
    ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], LoadString(kStrHeaderMessages));
  EXPECT_EQ(lines[1].substr(0, 9), "Unread,2,");
  EXPECT_NE(lines[1].find(",\"in \"\"new\"\"\""), std::string::npos) << lines[1];
  EXPECT_EQ(lines[2].substr(0, 7), "Read,1,");
  EXPECT_EQ(lines[3].substr(0, 7), "Sent,3,");
  EXPECT_NE(lines[3].find("\"sent, with comma\""), std::string::npos);
  EXPECT_EQ(lines[4].substr(0, 9), "Unsent,5,");
  sms_.ClearBox(Outbox);
  EXPECT_EQ(page.ExportTo(Outbox, dir_.File("empty.csv")), kStrNoMessagesToExport);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("empty.csv")));
}

TEST_F(SmsPageTest, TheExportChoiceStaysOpenOnAnEmptyBoxAndClosesAfterWriting) {
  Add(Inbox, MakeRecord(RecRead, "1", Day(1), "in"));
  CSmsDlg& page = Page();
  const std::string path = dir_.File("inbox.csv");
  int asked = 0;
  page.chooseFile = [&] {
    ++asked;
    return QString::fromStdString(path);
  };
  CSmsExportSel sel(page);
  sel.show();
  sel.SetChoice(Saved);
  sel.findChild<QPushButton*>("ok")->click();
  EXPECT_EQ(told_, std::vector<int>{kStrNoMessagesToExport});
  EXPECT_TRUE(sel.isVisible());
  EXPECT_EQ(asked, 0);
  sel.findChild<QRadioButton*>("choice0")->setChecked(true);
  sel.findChild<QPushButton*>("ok")->click();
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(sel.isVisible());
  EXPECT_EQ(sel.result(), QDialog::Accepted);
  EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(SmsPageTest, AFullInboxListsAllAndDeletingOneClearsTheFullState) {
  // The file of a full inbox, newest first, loaded and saved once.
  Bytes image;
  AppendU16(image, kSmsBoxCapacity);
  AppendU16(image, 0);
  AppendU16(image, 0);
  for (int i = kSmsBoxCapacity - 1; i >= 0; --i)
    AppendRecord(image, MakeRecord(RecRead, "1", Day(1).AddSeconds(i), "m" + std::to_string(i)));
  ASSERT_EQ(sms_.LoadFromBytes(image), "");
  ASSERT_TRUE(sms_.Save());
  SmsRecord r = MakeRecord(RecRead, "1", Day(1), "x");
  EXPECT_FALSE(sms_.AddRecord(Inbox, r, false));  // full: refused without overwrite
  ASSERT_TRUE(sms_.IsFull(Inbox));
  CSmsDlg& page = Page();
  EXPECT_EQ(Rows().topLevelItemCount(), kSmsBoxCapacity);
  EXPECT_EQ(Cell(0, kSmsContentColumn), "m499");
  page.ClickColumn(kSmsTimeColumn);
  EXPECT_EQ(Cell(0, kSmsContentColumn), "m0");
  Select({kSmsBoxCapacity - 1});
  page.DeleteSelected();
  EXPECT_FALSE(sms_.IsFull(Inbox));
  EXPECT_EQ(Rows().topLevelItemCount(), kSmsBoxCapacity - 1);
  ExpectRowsShowTheirRecords();
}

TEST_F(SmsPageTest, ADamagedStoreFileIsKeptAsideAndThePageShowsWhatLoaded) {
  // Counts announce three messages; the file holds one.
  Bytes damaged(6 + 1644, 0);
  damaged[0] = 3;
  damaged[6 + 4] = 1;
  std::memcpy(&damaged[6 + 68], "survivor", 8);
  const std::string path = dir_.File("Damaged.dat");
  test::WriteBytes(path, damaged);
  CSmsData store(path);
  LoadResult loaded = store.LoadOrCreate();
  EXPECT_EQ(loaded.status, LoadStatus::Damaged);
  ASSERT_FALSE(loaded.keptAs.empty());
  EXPECT_EQ(test::ReadBytes(loaded.keptAs), damaged);  // nothing lost
  MessagesPageServices s;
  s.sms = &store;
  CSmsDlg page(std::move(s));
  EXPECT_EQ(page.Rows().topLevelItemCount(), 0);
  page.ShowBox(Outbox);
  EXPECT_EQ(page.Rows().topLevelItemCount(), 0);
}

TEST_F(SmsPageTest, AFailedSaveOnDeleteIsReported) {
  Add(Inbox, MakeRecord(RecRead, "1", Day(1), "a"));
  Add(Inbox, MakeRecord(RecRead, "1", Day(2), "b"));
  CSmsDlg& page = Page();
  test::SaveWatch watch;
  watch.FailSaves(true);
  Select({0, 1});
  page.DeleteSelected();
  EXPECT_EQ(warned_.size(), 1);
  ExpectRowsShowTheirRecords();
}

TEST_F(SmsPageTest, KeyboardOpensTheSelectedMessageAndDeleteKeyAsks) {
  Add(Inbox, MakeRecord(RecRead, "1", Day(1), "a"));
  CSmsDlg& page = Page();
  page.show();
  Select({0});
  Rows().setFocus();
  QTest::keyClick(&Rows(), Qt::Key_Return);
  ASSERT_NE(page.ReadWindow(), nullptr);
  page.ReadWindow()->close();
  answer_ = false;
  QTest::keyClick(&page, Qt::Key_Delete);
  EXPECT_EQ(asked_, std::vector<int>{kStrConfirmDelete});
}

}  // namespace
}  // namespace evdo
