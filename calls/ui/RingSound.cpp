#include "calls/ui/RingSound.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

namespace evdo {

CRingSound::CRingSound(QObject* parent) : QObject(parent), file_(DefaultFile()) {
  process_.setStandardOutputFile(QProcess::nullDevice());
  process_.setStandardErrorFile(QProcess::nullDevice());
  connect(&process_, &QProcess::finished, this, [this] {
    if (ringing_) QTimer::singleShot(kPauseMs, this, [this] { PlayOnce(); });
  });
  connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) ringing_ = false;  // no sound, no retries
  });
}

CRingSound::~CRingSound() { Stop(); }

QString CRingSound::DefaultFile() {
  const QString name = QStringLiteral("wav/call.wav");
  if (QFileInfo::exists(name)) return QFileInfo(name).absoluteFilePath();
  return QCoreApplication::applicationDirPath() + "/" + name;
}

QString CRingSound::FindPlayer(const QStringList& candidates) {
  for (const QString& name : candidates) {
    QString path = QStandardPaths::findExecutable(name);
    if (!path.isEmpty()) return path;
  }
  return {};
}

void CRingSound::Start() {
  plays_ = 0;
  if (ringing_) return;
  player_ = FindPlayer();
  if (player_.isEmpty() || !QFileInfo::exists(file_)) return;
  ringing_ = true;
  PlayOnce();
}

void CRingSound::PlayOnce() {
  if (!ringing_ || process_.state() != QProcess::NotRunning) return;
  ++plays_;
  process_.start(player_, {file_});
}

void CRingSound::Stop() {
  ringing_ = false;
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(1000);
  }
}

}  // namespace evdo
