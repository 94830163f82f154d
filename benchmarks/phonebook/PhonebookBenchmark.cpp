// Costs of the phonebook:
//   importing 200 contacts from a comma-separated file into an empty store
//   (the file written once, flushed), against one save per contact;
//   reading a card of 250 locations (and a device memory of 500) from the
//   simulated modem through the real serial port and dispatcher: the time
//   beyond the prescribed pauses (the manual clock skips them), the time
//   the window's thread spends on the answers and its longest step.
// Usage: phonebook_benchmark [FOLDER]   (the store file is made in FOLDER)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/event/ManualEventLoop.h"
#include "device/AtDispatcher.h"
#include "device/CommandExchange.h"
#include "device/SerialPort.h"
#include "phonebook/ContactImport.h"
#include "phonebook/PbData.h"
#include "phonebook/PbTransfer.h"
#include "platform/PosixSerialDevice.h"
#include "tools/modemsim/SimulatedModem.h"

namespace {

using namespace evdo;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::string Contacts200() {
  std::string text = "Name,Mobile,Home,Company,Email,Remark\r\n";
  for (int i = 0; i < 200; ++i)
    text += "Name " + std::to_string(i) + ",139" + std::to_string(10000000 + i) + ",,,n" + std::to_string(i) +
            "@example.cn,remark " + std::to_string(i) + "\r\n";
  return text;
}

void BenchmarkImport(const std::filesystem::path& folder) {
  const std::string text = Contacts200();
  std::vector<double> batch, each;
  for (int run = 0; run < 5; ++run) {
    const std::string path = (folder / ("PbData-bench-" + std::to_string(run) + ".dat")).string();
    std::filesystem::remove(path);
    CPbData store;
    store.Load(path);
    auto start = Clock::now();
    ImportOutcome o = ContactImport::FromText(store, text, ImportFormat::Csv);
    batch.push_back(Milliseconds(Clock::now() - start));
    if (o.added != 200) std::printf("import added %d\n", o.added);
    // The way of one save per contact, for comparison.
    CPbData single;
    std::filesystem::remove(path);
    single.Load(path);
    start = Clock::now();
    for (int i = 0; i < 200; ++i) {
      ContactRecord r = EmptyContact();
      SetFieldValue(r, ContactField::Name, "n" + std::to_string(i));
      SetFieldValue(r, ContactField::Mobile, "139" + std::to_string(i));
      single.Append(r);
    }
    each.push_back(Milliseconds(Clock::now() - start));
    std::filesystem::remove(path);
  }
  std::sort(batch.begin(), batch.end());
  std::sort(each.begin(), each.end());
  std::printf("import of 200 contacts: %.1f ms (median of 5; one save per contact: %.1f ms)\n", batch[2], each[2]);
}

struct Route : WindowHandler {
  WindowHandler* target = nullptr;
  void OnMessage(MessageId m, WParam w, LParam l) override { target->OnMessage(m, w, l); }
  void OnTimer(TimerId id) override { target->OnTimer(id); }
};

void BenchmarkCardRead() {
  modemsim::SimulatedModem modem;
  std::string error;
  if (!modem.Open(error) || !modem.Start()) {
    std::printf("simulated modem: %s\n", error.c_str());
    return;
  }
  for (int i = 1; i <= 250; ++i)
    modem.Control("pb add SM " + std::to_string(i) + " 1380013" + std::to_string(8000 + i) + " 名字" + std::to_string(i));
  CSetupData setup;
  CSerialPort port(std::make_unique<PosixSerialDevice>());
  port.Open(modem.SerialPath().c_str(), true);
  CAtDispatcher dispatcher(port, setup);
  dispatcher.StartThreads();
  dispatcher.ParserStartEvent().Set();
  CCommandExchange exchange(port, dispatcher);
  ManualEventLoop loop;
  Route route;
  auto& window = loop.CreateWindow(route);
  CPbDeviceIo io(exchange, window, [&] { return port.IsOpen(); });
  route.target = &io;
  CPbData store;
  CPbTransfer transfer(store, io, dispatcher.NotificationGate(), {});
  bool done = false;
  PbResult result;
  const auto start = Clock::now();
  transfer.Open(nullptr, nullptr, [&](const PbResult& r) {
    done = true;
    result = r;
  });
  // Answers are awaited in real time; pauses pass on the manual clock.
  while (!done) {
    if (loop.WaitForPost(5)) loop.RunPending();
    else loop.Advance(kPbPauseMs);
  }
  const double total = Milliseconds(Clock::now() - start);
  std::printf("read of SM (250, all used) and ME (500): %s in %.0f ms beyond the pauses; "
              "the window's thread: %.1f ms in all, longest step %.3f ms\n",
              result.ok ? "ok" : "FAILED", total, static_cast<double>(io.TotalStepMicros()) / 1000.0,
              static_cast<double>(io.LongestStepMicros()) / 1000.0);
  dispatcher.Shutdown();
  port.Close();
  modem.Stop();
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : ".";
  BenchmarkImport(folder);
  BenchmarkCardRead();
  return 0;
}
