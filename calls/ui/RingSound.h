#pragma once
// The ring of an incoming call: a sound file played again and again through
// the desktop's sound system (the first player found of "paplay", "pw-play"
// and "aplay"), until stopped. Silent where there is no player or no file.
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace evdo {

class CRingSound : public QObject {
  Q_OBJECT

public:
  static constexpr int kPauseMs = 400;  // between two rings

  explicit CRingSound(QObject* parent = nullptr);
  ~CRingSound() override;

  // The file that rings: "wav/call.wav" in the current folder, else beside
  // the program.
  static QString DefaultFile();
  // The player used, or "" when none is installed.
  static QString FindPlayer(const QStringList& candidates = {"paplay", "pw-play", "aplay"});

  void SetFile(const QString& file) { file_ = file; }
  void Start();
  void Stop();
  bool IsRinging() const { return ringing_; }
  // How many times the file was started since the last Start.
  int Plays() const { return plays_; }

private:
  void PlayOnce();

  QString file_;
  QString player_;
  QProcess process_;
  bool ringing_ = false;
  int plays_ = 0;
};

}  // namespace evdo
