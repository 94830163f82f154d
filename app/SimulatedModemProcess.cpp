#include "app/SimulatedModemProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>

namespace evdo {
namespace {

constexpr int kStartWaitMs = 5000;

bool IsProgram(const QString& path) {
  QFileInfo info(path);
  return info.isFile() && info.isExecutable();
}

}  // namespace

CSimulatedModemProcess::CSimulatedModemProcess() {
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

CSimulatedModemProcess::~CSimulatedModemProcess() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(2000)) process_.kill();
  process_.waitForFinished(2000);
}

QString CSimulatedModemProcess::Locate() {
  QString given = qEnvironmentVariable("EVDO_MODEMSIM");
  if (!given.isEmpty()) return IsProgram(given) ? given : QString();
  const QString here = QCoreApplication::applicationDirPath();
  for (const QString& candidate : {here + "/" + kProgram, here + "/../tools/modemsim/" + kProgram}) {
    if (IsProgram(candidate)) return QDir::cleanPath(candidate);
  }
  return QStandardPaths::findExecutable(kProgram);
}

bool CSimulatedModemProcess::Start() {
  QString program = Locate();
  if (program.isEmpty()) {
    error_ = QStringLiteral("the simulated modem (%1) was not found").arg(kProgram);
    return false;
  }
  controlSocket_ = QDir::tempPath() + "/evdo-modemsim-" + QString::number(::getpid()) + ".sock";
  process_.start(program, {"--control", controlSocket_});
  if (!process_.waitForStarted(kStartWaitMs)) {
    error_ = QStringLiteral("%1 could not be started: %2").arg(program, process_.errorString());
    return false;
  }
  QDeadlineTimer deadline(kStartWaitMs);
  while (!process_.canReadLine() && !deadline.hasExpired() && process_.state() == QProcess::Running)
    process_.waitForReadyRead(100);
  serialPath_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
  if (serialPath_.isEmpty() || !serialPath_.startsWith('/')) {
    error_ = QStringLiteral("%1 gave no serial port").arg(program);
    return false;
  }
  // The rest of its output (the control commands' replies) is not needed.
  process_.setReadChannel(QProcess::StandardOutput);
  QObject::connect(&process_, &QProcess::readyReadStandardOutput, &process_,
                   [this] { process_.readAllStandardOutput(); });
  return true;
}

}  // namespace evdo
