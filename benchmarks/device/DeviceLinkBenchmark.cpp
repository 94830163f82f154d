// Measures the device link against the simulated modem, which runs in a
// child process so that the CPU time counted here is the link's own:
//  - throughput: notifications sent as fast as the pseudo-terminal takes
//    them, through port, ring and dispatcher to a handler;
//  - CPU at the line rate (460800 baud, 46080 bytes/s);
//  - latency from the last byte of an answer leaving the modem to the call
//    of its handler;
//  - CPU while idle with the port open.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "device/AtDispatcher.h"
#include "device/CommandExchange.h"
#include "device/SerialPort.h"
#include "platform/PosixSerialDevice.h"
#include "tools/modemsim/ControlClient.h"
#include "tools/modemsim/SimulatedModem.h"

namespace {

using namespace evdo;
using Clock = std::chrono::steady_clock;

double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::int64_t NowNanos() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

struct Counter {
  std::atomic<std::uint64_t> lines{0};
  std::atomic<std::uint64_t> target{0};
  Event done{Event::Mode::Manual};
};

void CountLine(void* context, const LineCell*, std::uint16_t) {
  auto* counter = static_cast<Counter*>(context);
  if (++counter->lines == counter->target.load()) counter->done.Set();
}

struct Stamp {
  std::int64_t nanos = 0;
  Event answered{Event::Mode::Auto};
};

void StampAnswer(void* context, const LineCell*, std::uint16_t) {
  auto* stamp = static_cast<Stamp*>(context);
  stamp->nanos = NowNanos();
  stamp->answered.Set();
}

// Runs the simulated modem in a child process; it ends when the parent
// closes the pipe (or dies).
pid_t StartModem(const std::string& socket, std::string& path) {
  int pathPipe[2], lifePipe[2];
  if (::pipe(pathPipe) != 0 || ::pipe(lifePipe) != 0) return -1;
  pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pathPipe[0]);
    ::close(lifePipe[1]);
    modemsim::SimulatedModemOptions options;
    options.controlSocket = socket;
    options.quitFd = lifePipe[0];
    modemsim::SimulatedModem modem(options);
    std::string error;
    std::string line = modem.Open(error) ? modem.SerialPath() + "\n" : "\n";
    [[maybe_unused]] ssize_t n = ::write(pathPipe[1], line.data(), line.size());
    ::close(pathPipe[1]);
    if (!error.empty()) ::_exit(1);
    modem.Run();
    ::_exit(0);
  }
  ::close(pathPipe[1]);
  ::close(lifePipe[0]);
  char buffer[256];
  ssize_t n = ::read(pathPipe[0], buffer, sizeof buffer - 1);
  ::close(pathPipe[0]);
  if (n <= 1) return -1;
  path.assign(buffer, static_cast<std::size_t>(n - 1));
  return pid;
}

struct Options {
  std::uint64_t floodLines = 200000;
  int lineRateSeconds = 10;
  int latencySamples = 2000;
  int idleSeconds = 10;
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string name = argv[i];
    long value = std::strtol(argv[i + 1], nullptr, 10);
    if (name == "--flood-lines") options.floodLines = static_cast<std::uint64_t>(value);
    else if (name == "--line-rate-seconds") options.lineRateSeconds = static_cast<int>(value);
    else if (name == "--latency-samples") options.latencySamples = static_cast<int>(value);
    else if (name == "--idle-seconds") options.idleSeconds = static_cast<int>(value);
  }
  return options;
}

// A short notification (the worst case: most lines per byte) and a line as
// long as those of a message or phonebook listing.
const std::string kShortLine = "+RSSI: 20,99";
const std::string kLongLine = "+RSSI: 20,99," + std::string(67, '7');
constexpr double kLineRate = 460800.0 / 10.0;  // bytes per second, 8N1

std::size_t FramedSize(const std::string& line) { return line.size() + 4; }

void Throughput(modemsim::ControlClient& control, Counter& counter, const Options& options,
                const std::string& line) {
  counter.lines = 0;
  counter.target = options.floodLines;
  counter.done.Reset();
  double cpu = CpuSeconds();
  auto start = Clock::now();
  control.Command("flood " + std::to_string(options.floodLines) + " 0 " + line);
  if (!counter.done.Wait(120000)) std::printf("throughput: only %llu lines arrived\n",
                                             static_cast<unsigned long long>(counter.lines.load()));
  double seconds = Seconds(Clock::now() - start);
  cpu = CpuSeconds() - cpu;
  double megabytes = static_cast<double>(options.floodLines * FramedSize(line)) / 1e6;
  std::printf("throughput, %zu-byte lines: %.1f MB in %.3f s = %.2f MB/s (%.0f x the line rate "
              "of %.1f KB/s); %.3f CPU s per MB\n",
              FramedSize(line), megabytes, seconds, megabytes / seconds,
              megabytes * 1e6 / seconds / kLineRate, kLineRate / 1000, cpu / megabytes);
}

void LineRate(modemsim::ControlClient& control, Counter& counter, const Options& options,
              const std::string& line) {
  auto lines = static_cast<std::uint64_t>(kLineRate * options.lineRateSeconds / FramedSize(line));
  counter.lines = 0;
  counter.target = lines;
  counter.done.Reset();
  double cpu = CpuSeconds();
  auto start = Clock::now();
  control.Command("flood " + std::to_string(lines) + " " + std::to_string(static_cast<int>(kLineRate)) +
                  " " + line);
  counter.done.Wait(options.lineRateSeconds * 3000 + 10000);
  double seconds = Seconds(Clock::now() - start);
  cpu = CpuSeconds() - cpu;
  std::printf("line rate, %zu-byte lines: %llu lines (%.0f bytes/s) for %.2f s: %.3f CPU s = "
              "%.2f%% of one core\n",
              FramedSize(line), static_cast<unsigned long long>(counter.lines.load()),
              static_cast<double>(counter.lines.load() * FramedSize(line)) / seconds, seconds, cpu,
              100.0 * cpu / seconds);
}

void Latency(modemsim::ControlClient& control, CCommandExchange& exchange, const Options& options) {
  Stamp stamp;
  std::vector<double> micros;
  for (int i = 0; i < options.latencySamples; ++i) {
    CommandOutcome outcome =
        exchange.SendAndWait("AT+GSN\r", &StampAnswer, &stamp, stamp.answered, 10000, false);
    if (outcome != CommandOutcome::Answered) continue;
    std::string stats = control.Command("stats");
    std::int64_t sent = std::atoll(modemsim::ReplyField(stats, "last-answer-ns").c_str());
    micros.push_back(static_cast<double>(stamp.nanos - sent) / 1000.0);
  }
  if (micros.empty()) {
    std::printf("latency: no answers\n");
    return;
  }
  std::sort(micros.begin(), micros.end());
  auto at = [&](double q) { return micros[static_cast<std::size_t>(q * static_cast<double>(micros.size() - 1))]; };
  std::printf("latency (last answer byte leaving the modem to handler call), %zu answers: "
              "median %.1f us, 99th percentile %.1f us, max %.1f us\n",
              micros.size(), at(0.5), at(0.99), micros.back());
}

void Idle(const Options& options) {
  double cpu = CpuSeconds();
  auto start = Clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(options.idleSeconds));
  double seconds = Seconds(Clock::now() - start);
  cpu = CpuSeconds() - cpu;
  std::printf("idle: port open, threads running, nothing arriving for %.1f s: %.6f CPU s\n", seconds, cpu);
}

}  // namespace

int main(int argc, char** argv) {
  Options options = ParseOptions(argc, argv);
  std::string socket = "/tmp/evdo-link-bench-" + std::to_string(::getpid()) + ".sock";
  std::string path;
  pid_t child = StartModem(socket, path);
  if (child < 0) {
    std::fprintf(stderr, "the simulated modem did not start\n");
    return 1;
  }
  modemsim::ControlClient control;
  std::string error;
  if (!control.Connect(socket, error)) {
    std::fprintf(stderr, "control: %s\n", error.c_str());
    return 1;
  }
  CSetupData setup;
  CSerialPort port(std::make_unique<PosixSerialDevice>());
  CAtDispatcher dispatcher(port, setup);
  CCommandExchange exchange(port, dispatcher);
  if (!port.Open(path.c_str(), true)) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    return 1;
  }
  dispatcher.StartThreads();
  Counter counter;
  dispatcher.RegisterHandler(5, &CountLine, &counter);
  dispatcher.ParserStartEvent().Set();
  CommandReply reply;
  exchange.Transact("ATE0\r", reply, 10000, false);

  std::printf("device link against the simulated modem on %s\n", path.c_str());
  for (const std::string* line : {&kShortLine, &kLongLine}) {
    Throughput(control, counter, options, *line);
    LineRate(control, counter, options, *line);
  }
  Latency(control, exchange, options);
  Idle(options);

  dispatcher.Shutdown();
  port.Close();
  control.Command("quit");
  ::waitpid(child, nullptr, 0);
  return 0;
}
