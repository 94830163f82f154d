#pragma once
// The simulated modem on a pseudo-terminal: an I/O loop that feeds what the
// program under test writes to the engine, writes the engine's output as
// fast as the serial end takes it (or paced, for faults and floods), and
// serves control commands from a Unix socket, from stdin (replies on
// stdout) and from other threads of the same process.
//
//   SimulatedModem modem;
//   modem.Open(error);                 // creates the pseudo-terminal
//   modem.Start();                     // runs the loop on its own thread
//   port.Open(modem.SerialPath().c_str(), true);
//   modem.Control("notify +RSSI: 20,99");
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/modemsim/ModemEngine.h"
#include "tools/modemsim/OutputQueue.h"
#include "tools/modemsim/PseudoTerminal.h"

namespace evdo::modemsim {

struct SimulatedModemOptions {
  std::string controlSocket;  // a Unix socket path for control commands; empty: none
  bool controlOnStdio = false;  // control commands on stdin, replies on stdout
  std::string linkPath;         // a symbolic link to the serial end; empty: none
  int quitFd = -1;              // the loop ends when this descriptor is readable
  std::FILE* trace = nullptr;   // traffic both ways, escaped
};

class SimulatedModem final : private ModemOutput {
public:
  explicit SimulatedModem(SimulatedModemOptions options = {});
  ~SimulatedModem() override;
  SimulatedModem(const SimulatedModem&) = delete;
  SimulatedModem& operator=(const SimulatedModem&) = delete;

  // Creates the pseudo-terminal and the control socket.
  bool Open(std::string& error);
  // Runs the loop on a thread of its own.
  bool Start();
  // Runs the loop on this thread until "quit", the quit descriptor or Stop.
  void Run();
  void Stop();

  // The path of the serial end ("" after a hang-up until "replug").
  std::string SerialPath() const;
  // Runs a control command (on the loop thread when it runs) and returns
  // its reply.
  std::string Control(const std::string& line);
  // Runs work with the engine on the loop thread (directly when the loop
  // does not run), for instance to add a command.
  void WithEngine(const std::function<void(ModemEngine&)>& work);

  // Waits until the modem has received count commands in all.
  bool WaitForCommands(std::uint64_t count, int timeoutMs);
  // Waits until the modem has sent count answers in all.
  bool WaitForAnswers(std::uint64_t count, int timeoutMs);

  // When the last byte of the last answer left, in steady-clock nanoseconds.
  std::int64_t LastAnswerSentNanos() const;

private:
  struct Client {
    int fd;
    std::string input;
  };

  void Send(OutputChunk chunk) override;
  void InstallControls();
  bool OpenControlSocket(std::string& error);
  void Loop();
  void RunTasks();
  void ReadSerial();
  void WriteSerial();
  void AcceptClient();
  bool ServeClient(Client& client);
  void ReadStdin();
  std::string RunControlLines(std::string& input);
  void HangUp();
  bool Replug(std::string& error);
  // False when the loop does not run.
  bool Post(std::function<void()> task);
  void Trace(const char* direction, const char* bytes, std::size_t size);
  static void TraceOut(void* self, const char* bytes, std::size_t size);

  SimulatedModemOptions options_;
  PseudoTerminal pty_;
  OutputQueue output_;
  std::unique_ptr<ModemEngine> engine_;

  mutable std::mutex pathLock_;
  std::string path_;

  int listenFd_ = -1;
  int wakeFd_ = -1;
  bool stdinOpen_ = false;
  std::string stdinInput_;
  std::vector<Client> clients_;

  std::mutex taskLock_;
  std::vector<std::function<void()>> tasks_;
  std::atomic<bool> quit_{false};
  bool looping_ = false;  // guarded by taskLock_
  std::atomic<std::thread::id> loopThread_{};
  std::thread thread_;
  // Progress, for waiting threads.
  mutable std::mutex progressLock_;
  std::condition_variable progressChanged_;
  std::uint64_t commandsReceived_ = 0;
  std::uint64_t answersSent_ = 0;
  std::int64_t lastAnswerNanos_ = 0;
};

}  // namespace evdo::modemsim
