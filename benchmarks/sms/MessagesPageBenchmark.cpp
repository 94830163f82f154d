// Costs of the messages page with 500 messages in each box and a phonebook
// of 200 contacts (every other message from a known number): making the page
// (every box's order, the inbox's rows), sorting the shown box by each
// column, and switching boxes. Medians of several runs, in milliseconds,
// against the goal of 50 ms each. Runs without a display (offscreen).
// Usage: sms_page_benchmark [RUNS]
#include <QApplication>
#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/files/RawRecord.h"
#include "phonebook/PbData.h"
#include "sms/SmsData.h"
#include "sms/ui/SmsDlg.h"

namespace {

using namespace evdo;
using Clock = std::chrono::steady_clock;

constexpr double kGoalMs = 50.0;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double TimeOnce(const std::function<void()>& f) {
  const auto start = Clock::now();
  f();
  QApplication::processEvents();  // the list lays itself out
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string Number(int i) { return "+86138" + std::to_string(10000000 + i % 400); }

Bytes FullStoreImage() {
  Bytes image;
  for (int box = 0; box < kSmsBoxCount; ++box) AppendU16(image, kSmsBoxCapacity);
  const DateTime base = DateTime::FromLocal(2024, 6, 1, 12, 0, 0);
  const std::int32_t statuses[kSmsBoxCount] = {RecUnread, StoSent, StoUnsent};
  for (int box = 0; box < kSmsBoxCount; ++box) {
    for (int i = 0; i < kSmsBoxCapacity; ++i) {
      SmsRecord r = ZeroSmsRecord();
      r.status = i % 3 == 0 ? statuses[box] : (box == Inbox ? RecRead : statuses[box]);
      SetFullFieldText(r.number, Number(i * 7));
      r.time.Set(base.AddSeconds(-600 * i));
      if (i % 5 == 0) {
        r.flags = kSmsFlagPartInfo;
        r.partIndex = 1 + i % 3;
        r.partCount = 3;
      }
      std::string text;
      for (int k = 0; k < 10; ++k)
        text += std::string(1, static_cast<char>('a' + (i * 7 + k) % 26)) + "word ";
      SetFieldText(r.text, text + std::to_string(i));
      AppendRecord(image, r);
    }
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  CSmsData sms("/nonexistent-folder/SmsData.dat");
  if (std::string problem = sms.LoadFromBytes(FullStoreImage()); !problem.empty()) {
    std::fprintf(stderr, "the store image was refused: %s\n", problem.c_str());
    return 1;
  }
  CPbData phonebook;
  phonebook.SetSaveFunction([](const std::string&, const Bytes&) { return FileResult{}; });
  for (int i = 0; i < kMaxContacts; ++i) {
    ContactRecord c = EmptyContact();
    SetFieldValue(c, ContactField::Name, "Contact " + std::to_string(i));
    SetFieldValue(c, ContactField::Mobile, Number(i * 2));
    if (!phonebook.Append(c)) {
      std::fprintf(stderr, "the phonebook refused contact %d\n", i);
      return 1;
    }
  }

  auto services = [&] {
    MessagesPageServices s;
    s.sms = &sms;
    s.phonebook = &phonebook;
    return s;
  };
  std::vector<double> make;
  for (int r = 0; r < runs; ++r) {
    CSmsDlg* page = nullptr;
    make.push_back(TimeOnce([&] {
      page = new CSmsDlg(services());
      page->resize(900, 500);
      page->show();
    }));
    delete page;
  }

  CSmsDlg page(services());
  page.resize(900, 500);
  page.show();
  QApplication::processEvents();
  if (page.Rows().topLevelItemCount() != kSmsBoxCapacity) {
    std::fprintf(stderr, "the page shows %d rows, not %d\n", page.Rows().topLevelItemCount(),
                 kSmsBoxCapacity);
    return 1;
  }
  const char* columns[kSmsColumnCount] = {"name", "number", "time", "content"};
  std::vector<double> sorts[kSmsColumnCount];
  for (int r = 0; r < runs; ++r)
    for (int c = 0; c < kSmsColumnCount; ++c)
      sorts[c].push_back(TimeOnce([&] { page.ClickColumn(c); }));
  std::vector<double> switches;
  for (int r = 0; r < runs; ++r)
    for (int box : {Outbox, Saved, Inbox}) switches.push_back(TimeOnce([&] { page.ShowBox(box); }));

  bool ok = true;
  auto report = [&](const std::string& what, double ms) {
    std::printf("%-34s %8.2f ms%s\n", what.c_str(), ms,
                ms < kGoalMs ? "" : "   (over the goal of 50 ms)");
    ok = ok && ms < kGoalMs;
  };
  std::printf("messages page, 3 x %d messages, %d contacts, median of %d runs\n", kSmsBoxCapacity,
              kMaxContacts, runs);
  report("make the page and fill the inbox", Median(make));
  for (int c = 0; c < kSmsColumnCount; ++c)
    report(std::string("sort by ") + columns[c], Median(sorts[c]));
  report("switch boxes", Median(switches));
  return ok ? 0 : 2;
}
