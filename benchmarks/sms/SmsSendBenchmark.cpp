// A five-part message to ten numbers through the write window, against the
// simulated modem: the total time beyond the modem's own answer delays, and
// the longest stretch in which the user-interface thread was busy (every
// event the application delivers is timed; the goal is below 16 ms, one
// frame). Each sent part is stored in the Outbox as it goes, as a user's
// send does.
//
//   sms_send_benchmark [--answer-delay MS] [--runs N] [FOLDER]
//
// --answer-delay: the simulated modem waits MS before each answer (default
// 0 and 10 both measured); FOLDER holds the message store (default: a new
// folder under the system's temporary folder).
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/AtDispatcher.h"
#include "device/CommandExchange.h"
#include "device/SerialPort.h"
#include "platform/PosixSerialDevice.h"
#include "sms/SmsData.h"
#include "sms/ui/SmsWriteDlg.h"
#include "tools/modemsim/SimulatedModem.h"
#include "tools/modemsim/SmsFeature.h"

namespace {

using namespace evdo;
using namespace evdo::sms;

class TimedApplication : public QApplication {
public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    if (depth_++ > 0) {
      const bool result = QApplication::notify(receiver, event);
      --depth_;
      return result;
    }
    QElapsedTimer timer;
    timer.start();
    const bool result = QApplication::notify(receiver, event);
    const qint64 ns = timer.nsecsElapsed();
    --depth_;
    if (measuring && ns > longestNs) {
      longestNs = ns;
      longestType = event->type();
      longestReceiver = receiver->metaObject()->className();
    }
    return result;
  }
  bool measuring = false;
  qint64 longestNs = 0;
  int longestType = 0;
  const char* longestReceiver = "";

private:
  int depth_ = 0;
};

constexpr int kRecipients = 10;
constexpr int kAnswersPerPart = 2;  // the prompt, then the confirmation

struct Result {
  double totalMs = 0;
  double beyondMs = 0;
  double longestMs = 0;
  int longestType = 0;
  std::string longestReceiver;
  int answers = 0;
  bool ok = false;
};

Result RunOnce(TimedApplication& app, const std::string& folder, int answerDelayMs, int run) {
  Result result;
  modemsim::SimulatedModem modem;
  std::string error;
  if (!modem.Open(error) || !modem.Start()) {
    std::fprintf(stderr, "simulated modem: %s\n", error.c_str());
    return result;
  }
  CSetupData setup;
  CSerialPort port(std::make_unique<PosixSerialDevice>());
  CAtDispatcher dispatcher(port, setup);
  CCommandExchange exchange(port, dispatcher);
  if (!port.Open(modem.SerialPath().c_str(), true) || !dispatcher.StartThreads()) return result;
  dispatcher.ParserStartEvent().Set();

  CSmsData store(folder + "/SmsData-" + std::to_string(run) + ".dat");
  store.LoadOrCreate();
  CSmsLinkLock link;
  MessageSplitter splitter;
  std::optional<SendReport> report;
  SmsWriteServices services;
  services.exchange = &exchange;
  services.store = &store;
  services.notificationGate = &dispatcher.NotificationGate();
  services.link = &link;
  services.splitter = &splitter;
  services.hooks.finished = [&](const SendReport& r) { report = r; };
  services.showMessage = [](int, const QString&) {};
  QPointer<CSmsWriteDlg> window = new CSmsWriteDlg(std::move(services));
  window->SetServiceCentre("+8613800100500");
  QString numbers;
  for (int i = 0; i < kRecipients; ++i) {
    if (i > 0) numbers += ';';
    numbers += "138000000" + QString::number(10 + i);
  }
  window->SetRecipients(numbers);
  window->SetText(QString(700, 'x'));  // five parts of up to 153 characters
  window->show();
  QTest::qWait(50);

  const int parts = 5;
  result.answers = 2 + kRecipients * parts * kAnswersPerPart;
  if (answerDelayMs > 0) modem.Control("fault delay " + std::to_string(answerDelayMs) + " " + std::to_string(result.answers));

  app.longestNs = 0;
  app.measuring = true;
  QElapsedTimer wall;
  wall.start();
  window->Send();
  while (!report && wall.elapsed() < 120000) QApplication::processEvents(QEventLoop::AllEvents, 5);
  result.totalMs = wall.nsecsElapsed() / 1e6;
  app.measuring = false;
  result.longestMs = app.longestNs / 1e6;
  result.longestType = app.longestType;
  result.longestReceiver = app.longestReceiver;
  result.beyondMs = result.totalMs - static_cast<double>(result.answers) * answerDelayMs;
  std::size_t sent = 0;
  modem.WithEngine([&](modemsim::ModemEngine& e) { sent = e.Feature<modemsim::SmsFeature>()->sent.size(); });
  result.ok = report && report->AllSent() && sent == static_cast<std::size_t>(kRecipients * parts) &&
              store.Count(Outbox) == kRecipients * parts;
  if (!result.ok)
    std::fprintf(stderr, "the send did not end with %d parts sent and stored (sent %zu, stored %d)\n",
                 kRecipients * parts, sent, store.Count(Outbox));
  delete window.data();  // gone already when everything was sent
  dispatcher.Shutdown();
  port.Close();
  modem.Stop();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> delays = {0, 10};
  int runs = 3;
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--answer-delay") == 0 && i + 1 < argc) {
      delays = {std::atoi(argv[++i])};
    } else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else {
      folder = argv[i];
    }
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  TimedApplication app(argc, argv);
  QTemporaryDir scratch;
  if (folder.empty()) folder = scratch.path().toStdString();

  bool allOk = true;
  int run = 0;
  for (int delay : delays) {
    std::vector<Result> results;
    for (int i = 0; i < runs; ++i) results.push_back(RunOnce(app, folder, delay, run++));
    std::sort(results.begin(), results.end(), [](const Result& a, const Result& b) { return a.beyondMs < b.beyondMs; });
    const Result& median = results[results.size() / 2];
    const auto worst = std::max_element(results.begin(), results.end(),
                                        [](const Result& a, const Result& b) { return a.longestMs < b.longestMs; });
    for (const Result& r : results) allOk = allOk && r.ok;
    std::printf("5 parts to %d numbers, modem answer delay %d ms x %d answers: total %.1f ms, beyond the modem's "
                "delays %.1f ms (median of %d); longest UI-thread busy stretch %.2f ms (event %d to %s; goal < 16 ms)\n",
                kRecipients, delay, median.answers, median.totalMs, median.beyondMs, runs, worst->longestMs,
                worst->longestType, worst->longestReceiver.c_str());
  }
  return allOk ? 0 : 1;
}
