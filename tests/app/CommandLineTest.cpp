// The dashboard's command line as a user meets it, run as a separate
// process: options work without a display, wrong ports and missing language
// modules end at once with the reason and a failure status, a screenshot run
// never waits for a click, and the launcher works through a link.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QThread>

#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>
#include <signal.h>

#include "app/LaunchOptions.h"
#include "app/PortCheck.h"
#include "tests/support/TempDir.h"
#include "tools/modemsim/SimulatedModem.h"

namespace evdo {
namespace {

using test::TempDir;

struct ProcessRun {
  int code = -1;
  bool crashed = false;
  QString out, err;
  qint64 ms = 0;
};

// Runs program with env added to a clean environment without a display.
ProcessRun RunProgram(const QString& program, const QStringList& args, const QString& folder,
                      const QMap<QString, QString>& env = {}, int timeoutMs = 60000) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("DISPLAY");
  environment.remove("WAYLAND_DISPLAY");
  // Without a display the xcb platform aborts: only what runs before the
  // windowing system starts can succeed.
  environment.insert("QT_QPA_PLATFORM", "xcb");
  for (auto it = env.begin(); it != env.end(); ++it) environment.insert(it.key(), it.value());
  process.setProcessEnvironment(environment);
  process.setWorkingDirectory(folder);
  QElapsedTimer timer;
  timer.start();
  process.start(program, args);
  ProcessRun run;
  if (!process.waitForStarted(10000)) return run;
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished(5000);
  }
  run.ms = timer.elapsed();
  run.crashed = process.exitStatus() != QProcess::NormalExit;
  run.code = process.exitCode();
  run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
  run.err = QString::fromLocal8Bit(process.readAllStandardError());
  return run;
}

ProcessRun Dashboard(const QStringList& args, const QString& folder, const QMap<QString, QString>& env = {},
                     int timeoutMs = 60000) {
  return RunProgram(EVDO_DASHBOARD_PATH, args, folder, env, timeoutMs);
}

TEST(DashboardCommandLine, HelpAndBadOptionsNeedNoDisplay) {
  TempDir dir;
  ProcessRun help = Dashboard({"--help"}, QString::fromStdString(dir.Path()));
  EXPECT_FALSE(help.crashed);
  EXPECT_EQ(help.code, kExitOk) << help.err.toStdString();
  EXPECT_TRUE(help.out.startsWith("usage: evdo-dashboard")) << help.out.toStdString();
  EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();

  ProcessRun bad = Dashboard({"--colour", "red"}, QString::fromStdString(dir.Path()));
  EXPECT_FALSE(bad.crashed);
  EXPECT_EQ(bad.code, kExitUsage);
  EXPECT_TRUE(bad.err.contains("unknown option --colour")) << bad.err.toStdString();
  EXPECT_TRUE(bad.out.isEmpty());
}

TEST(DashboardCommandLine, ListingMessagesWithoutARunningDashboardSaysSo) {
  TempDir dir;
  TempDir runtime;
  // A runtime folder of its own: no dashboard listens there.
  ProcessRun run = Dashboard({"--list-sms", "outbox"}, QString::fromStdString(dir.Path()),
                             {{"XDG_RUNTIME_DIR", QString::fromStdString(runtime.Path())}});
  EXPECT_FALSE(run.crashed);
  EXPECT_EQ(run.code, 3);
  EXPECT_TRUE(run.err.contains("not running")) << run.err.toStdString();
  EXPECT_TRUE(run.out.isEmpty());
  ProcessRun bad = Dashboard({"--list-sms", "trash"}, QString::fromStdString(dir.Path()));
  EXPECT_EQ(bad.code, kExitUsage);
  EXPECT_TRUE(bad.err.contains("--list-sms takes inbox, outbox or saved")) << bad.err.toStdString();
}

TEST(DashboardCommandLine, APortThatCannotBeUsedEndsAtOnceWithThePathAndTheReason) {
  TempDir dir;
  dir.WriteFile("plain.txt", "not a port");
  const QString folder = QString::fromStdString(dir.Path());
  const struct {
    QString port;
    QString expected;
  } cases[] = {
      {folder + "/ttyMissing", folder + "/ttyMissing: no such file or directory"},
      {folder + "/plain.txt", folder + "/plain.txt: not a terminal device"},
      {folder, folder + ": a folder, not a terminal device"},
      {"/dev/null", "/dev/null: not a terminal device"},
  };
  for (const auto& c : cases) {
    ProcessRun run = Dashboard({"--port", c.port}, folder);
    EXPECT_FALSE(run.crashed) << c.port.toStdString();
    EXPECT_EQ(run.code, kExitFailure) << c.port.toStdString();
    EXPECT_TRUE(run.err.contains(c.expected)) << run.err.toStdString();
    EXPECT_LT(run.ms, 10000) << c.port.toStdString();
  }
}

TEST(DashboardCommandLine, RelativePathsAreTakenFromTheFolderTheUserStartedIn) {
  TempDir start, data;
  // The launcher enters the data folder and names the start folder.
  ProcessRun run = Dashboard({"--port", "ttyRelative"}, QString::fromStdString(data.Path()),
                             {{kStartDirVariable, QString::fromStdString(start.Path())}});
  EXPECT_EQ(run.code, kExitFailure);
  EXPECT_TRUE(run.err.contains(QString::fromStdString(start.Path()) + "/ttyRelative")) << run.err.toStdString();

  ProcessRun shot = Dashboard({"--port", "/dev/null", "--screenshot", "nowhere/shot.png"},
                              QString::fromStdString(data.Path()),
                              {{kStartDirVariable, QString::fromStdString(start.Path())}});
  EXPECT_EQ(shot.code, kExitFailure);
  EXPECT_TRUE(shot.err.contains("/dev/null")) << shot.err.toStdString();

  LaunchOptions options;
  options.portPath = "ports/tty0";
  options.screenshotPath = "../shot.png";
  options.ResolvePaths("/home/user/work");
  EXPECT_EQ(options.portPath, "/home/user/work/ports/tty0");
  EXPECT_EQ(options.screenshotPath, "/home/user/shot.png");
  options.portPath = "/dev/ttyUSB2";
  options.ResolvePaths("/elsewhere");
  EXPECT_EQ(options.portPath, "/dev/ttyUSB2");
}

// A data folder with the built language modules and the skins.
void FillDataFolder(const TempDir& dir, bool withLanguages) {
  std::filesystem::create_directory(dir.File("lang"));
  if (withLanguages) {
    for (const char* module : {"english.so", "chinese.so"})
      std::filesystem::create_symlink(std::string(EVDO_TEST_LANG_DIR) + "/" + module, dir.File("lang/") + module);
  }
  std::filesystem::create_directory_symlink(EVDO_TEST_SKIN_DIR, dir.File("skin"));
}

class ScreenshotRun : public ::testing::Test {
protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(modem_.Open(error)) << error;
    ASSERT_TRUE(modem_.Start());
  }
  void TearDown() override { modem_.Stop(); }

  ProcessRun Run(const TempDir& dir) {
    return Dashboard({"--port", QString::fromStdString(modem_.SerialPath()), "--screenshot", "shot.png"},
                     QString::fromStdString(dir.Path()),
                     {{"QT_QPA_PLATFORM", "offscreen"}, {"XDG_RUNTIME_DIR", QString::fromStdString(dir.Path())}},
                     120000);
  }

  modemsim::SimulatedModem modem_{modemsim::SimulatedModemOptions{}};
};

TEST_F(ScreenshotRun, EndsOnABoxWithItsTextInsteadOfWaitingForAClick) {
  TempDir dir;
  FillDataFolder(dir, true);
  dir.WriteFile("HistData.dat", "not a call history");
  ProcessRun run = Run(dir);
  EXPECT_FALSE(run.crashed);
  EXPECT_EQ(run.code, kExitNeedsPerson) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("waits for a click")) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("HistData.dat")) << run.err.toStdString();
  EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.File("shot.png"))));
}

TEST_F(ScreenshotRun, WithoutALanguageModuleSaysWhichFolderWasSearched) {
  TempDir dir;
  FillDataFolder(dir, false);
  ProcessRun run = Run(dir);
  EXPECT_FALSE(run.crashed);
  EXPECT_NE(run.code, kExitOk);
  EXPECT_TRUE(run.err.contains("no language module of edition 1 and language 9 in " +
                               QString::fromStdString(dir.File("lang"))))
      << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("The specific dll is not found!")) << run.err.toStdString();
}

TEST_F(ScreenshotRun, SavesThePictureAndSaysWhatTheSearchWaitsFor) {
  TempDir dir;
  FillDataFolder(dir, true);
  ProcessRun run = Run(dir);
  EXPECT_EQ(run.code, kExitOk) << run.err.toStdString();
  EXPECT_TRUE(run.out.contains("screenshot: " + QString::fromStdString(dir.File("shot.png")))) << run.out.toStdString();
  EXPECT_TRUE(run.err.contains("opening the modem's port " + QString::fromStdString(modem_.SerialPath())))
      << run.err.toStdString();
  EXPECT_TRUE(QFile::exists(QString::fromStdString(dir.File("shot.png"))));
}

// --status against a dashboard that runs on the simulated modem: what the
// modem reports reaches the JSON object, texts from the network escaped.
class StatusRequest : public ScreenshotRun {
protected:
  void TearDown() override {
    if (dashboard_.state() != QProcess::NotRunning) {
      ::kill(static_cast<pid_t>(dashboard_.processId()), SIGCONT);
      dashboard_.kill();
      dashboard_.waitForFinished(10000);
    }
    ScreenshotRun::TearDown();
  }

  QMap<QString, QString> Env() const {
    return {{"QT_QPA_PLATFORM", "offscreen"}, {"XDG_RUNTIME_DIR", QString::fromStdString(dir_.Path())}};
  }
  ProcessRun Status() { return Dashboard({"--status"}, QString::fromStdString(dir_.Path()), Env(), 20000); }

  void StartDashboard() {
    FillDataFolder(dir_, true);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const auto env = Env();
    for (auto it = env.begin(); it != env.end(); ++it) environment.insert(it.key(), it.value());
    dashboard_.setProcessEnvironment(environment);
    dashboard_.setWorkingDirectory(QString::fromStdString(dir_.Path()));
    dashboard_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    dashboard_.start(EVDO_DASHBOARD_PATH, {"--port", QString::fromStdString(modem_.SerialPath())});
    ASSERT_TRUE(dashboard_.waitForStarted(10000));
  }

  // Asks until the answer satisfies done (the dashboard needs a moment to
  // start and to take in the modem's notifications).
  nlohmann::json AskUntil(const std::function<bool(const nlohmann::json&)>& done, int timeoutMs = 60000) {
    QElapsedTimer timer;
    timer.start();
    nlohmann::json last;
    while (timer.elapsed() < timeoutMs) {
      ProcessRun run = Status();
      if (run.code == kExitOk) {
        last = nlohmann::json::parse(run.out.toStdString());  // throws (fails) on anything not JSON
        if (done(last)) return last;
      }
      QThread::msleep(300);
    }
    ADD_FAILURE() << "last answer: " << last.dump();
    return last;
  }

  TempDir dir_;
  QProcess dashboard_;
};

TEST_F(StatusRequest, SaysSoWhenNoDashboardRuns) {
  ProcessRun run = Status();
  EXPECT_FALSE(run.crashed);
  EXPECT_EQ(run.code, kExitNotRunning);
  EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
  EXPECT_TRUE(run.err.contains("not running")) << run.err.toStdString();
}

TEST_F(StatusRequest, ReportsTheModemAsTheWindowShowsIt) {
  StartDashboard();
  nlohmann::json ready = AskUntil([](const nlohmann::json& j) { return j.value("device_ready", false); });
  EXPECT_EQ(ready["card"]["state"], "ready");
  EXPECT_EQ(ready["card"]["code"], 22);
  EXPECT_EQ(ready["service"], "full");
  EXPECT_FALSE(ready["roaming"].get<bool>());
  EXPECT_EQ(ready["connection"]["state"], "idle");
  EXPECT_TRUE(ready["connection"]["type"].is_null());
  EXPECT_EQ(ready["connection"]["bytes_sent"], 0);
  EXPECT_EQ(ready["unread_messages"], 0);
  EXPECT_TRUE(ready["signal"]["bars"].is_number()) << ready.dump();

  // An operator name with a quote, a backslash and Chinese in the modem's
  // code page (GBK) arrives as UTF-8 inside valid JSON.
  ASSERT_EQ(modem_.Control("devstatus operator Tele \"Q\" \\ \xD6\xD0\xB9\xFA\xB5\xE7\xD0\xC5"), "OK\n");
  ASSERT_EQ(modem_.Control("devstatus emit plmn"), "OK\n");
  ASSERT_EQ(modem_.Control("devstatus roam 1"), "OK\n");
  ASSERT_EQ(modem_.Control("devstatus emit roaming"), "OK\n");
  ASSERT_EQ(modem_.Control("devstatus srv 1"), "OK\n");
  ASSERT_EQ(modem_.Control("devstatus emit srv"), "OK\n");
  nlohmann::json changed = AskUntil([](const nlohmann::json& j) {
    return j["operator"].is_string() && j["operator"].get<std::string>().find("Tele") == 0 && j["roaming"] == true &&
           j["service"] == "limited";
  });
  EXPECT_EQ(changed["operator"], "Tele \"Q\" \\ \u4e2d\u56fd\u7535\u4fe1");

  // A dashboard that hangs: the request gives up with its own status.
  ::kill(static_cast<pid_t>(dashboard_.processId()), SIGSTOP);
  ProcessRun hung = Status();
  ::kill(static_cast<pid_t>(dashboard_.processId()), SIGCONT);
  EXPECT_EQ(hung.code, kExitNoAnswer);
  EXPECT_TRUE(hung.err.contains("did not answer")) << hung.err.toStdString();
  EXPECT_LT(hung.ms, 15000);
}

TEST(PortCheck, SaysWhyAPathIsNoPort) {
  TempDir dir;
  dir.WriteFile("file", "x");
  std::string reason;
  EXPECT_FALSE(CheckPortPath(dir.File("none"), reason));
  EXPECT_EQ(reason, "no such file or directory");
  EXPECT_FALSE(CheckPortPath(dir.File("file"), reason));
  EXPECT_EQ(reason, "not a terminal device");
  EXPECT_FALSE(CheckPortPath("/dev/null", reason));
  EXPECT_EQ(reason, "not a terminal device");
  modemsim::SimulatedModem modem{modemsim::SimulatedModemOptions{}};
  std::string error;
  ASSERT_TRUE(modem.Open(error)) << error;
  EXPECT_TRUE(CheckPortPath(modem.SerialPath(), reason)) << reason;
}

// The launcher as installed: <prefix>/bin/evdo-dashboard beside
// <prefix>/lib/evdo-dashboard, reached through a link of the user's own.
class Launcher : public ::testing::Test {
protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    fs::create_directories(prefix.File("bin"));
    fs::create_directories(prefix.File("lib/evdo-dashboard/lang"));
    fs::create_directories(prefix.File("lib/evdo-dashboard/skin"));
    fs::copy_file(EVDO_LAUNCHER_PATH, prefix.File("bin/evdo-dashboard"));
    // A stand-in program that tells where and how it was started.
    const std::string program = prefix.File("lib/evdo-dashboard/evdo-dashboard");
    std::ofstream(program) << "#!/bin/sh\n"
                              "echo \"cwd=$(pwd)\"\n"
                              "echo \"start=$EVDO_START_DIR\"\n"
                              "for a in \"$@\"; do echo \"arg=$a\"; done\n";
    fs::permissions(program, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(prefix.File("bin/evdo-dashboard"), fs::perms::owner_all);
    fs::create_directories(home.File("bin"));
    fs::create_symlink(prefix.File("bin/evdo-dashboard"), home.File("bin/evdo"));
  }

  ProcessRun Launch(const QStringList& args) {
    return RunProgram("/bin/sh", QStringList{QString::fromStdString(home.File("bin/evdo"))} + args,
                      QString::fromStdString(user.Path()),
                      {{"HOME", QString::fromStdString(home.Path())}, {"EVDO_DATA_DIR", ""}, {"XDG_DATA_HOME", ""}});
  }

  TempDir prefix, home, user, data;
};

TEST_F(Launcher, FollowsItsLinkAndTakesDataAnywhereAmongTheOptions) {
  const QString dataDir = QString::fromStdString(data.File("d"));
  ProcessRun run = Launch({"--simulate", "--screenshot", "--data", "--data", dataDir, "--startup-report"});
  ASSERT_EQ(run.code, 0) << run.err.toStdString();
  EXPECT_TRUE(run.out.contains("cwd=" + dataDir + "\n")) << run.out.toStdString();
  EXPECT_TRUE(run.out.contains("start=" + QString::fromStdString(user.Path()) + "\n")) << run.out.toStdString();
  // --data is taken out; "--data" as the value of --screenshot is not.
  EXPECT_TRUE(run.out.contains("arg=--simulate\narg=--screenshot\narg=--data\narg=--startup-report\n"))
      << run.out.toStdString();
  EXPECT_EQ(QFileInfo(dataDir + "/lang").symLinkTarget(),
            QFileInfo(QString::fromStdString(prefix.File("lib/evdo-dashboard/lang"))).canonicalFilePath());

  ProcessRun help = Launch({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(help.out.contains("--data DIR")) << help.out.toStdString();
}

TEST_F(Launcher, NeverPointsALinkAtAFolderThatDoesNotExist) {
  const std::string dataDir = data.File("d");
  std::filesystem::create_directories(dataDir);
  std::filesystem::create_directory_symlink(prefix.File("lib/evdo-dashboard/lang"), dataDir + "/lang");
  std::filesystem::remove_all(prefix.File("lib/evdo-dashboard/skin"));
  std::filesystem::create_directory_symlink(data.Path(), dataDir + "/skin");
  std::filesystem::rename(prefix.File("lib/evdo-dashboard/lang"), prefix.File("lib/evdo-dashboard/lang.moved"));
  ProcessRun run = Launch({"--data", QString::fromStdString(dataDir)});
  EXPECT_EQ(run.code, 0) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("is missing")) << run.err.toStdString();
  EXPECT_EQ(std::filesystem::read_symlink(dataDir + "/skin").string(), data.Path());
  EXPECT_EQ(std::filesystem::read_symlink(dataDir + "/lang").string(), prefix.File("lib/evdo-dashboard/lang"));
}

TEST_F(Launcher, SaysSoWhenTheProgramIsMissing) {
  std::filesystem::remove(prefix.File("lib/evdo-dashboard/evdo-dashboard"));
  ProcessRun run = Launch({});
  EXPECT_EQ(run.code, 1);
  EXPECT_TRUE(run.err.contains("is missing")) << run.err.toStdString();
}

}  // namespace
}  // namespace evdo
