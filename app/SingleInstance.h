#pragma once
// Makes sure only one copy of the program runs in a user's session: the
// first copy listens on a local socket named after the instance title; a
// later copy finds it there, asks it to come forward and ends.
#include <QLocalServer>
#include <QObject>
#include <QString>

namespace evdo {

class CSingleInstance : public QObject {
  Q_OBJECT

public:
  explicit CSingleInstance(QObject* parent = nullptr);

  // The socket for an instance title (never empty: an empty title is given
  // a name of its own). It lives in the session's runtime folder.
  static QString SocketPath(const QString& title);

  // True when this process is now the instance of title. False when another
  // copy runs: it has been asked to restore and raise its window.
  // With dialNumber, a running copy is asked to dial it as well.
  bool Claim(const QString& title, const QString& dialNumber = {});

Q_SIGNALS:
  // A later copy asked this one to come forward.
  void RaiseRequested();
  // A later copy asked this one to dial a number (not yet checked).
  void DialRequested(const QString& number);

private:
  bool AskRunningCopy(const QString& path, const QString& dialNumber = {});

  QLocalServer server_;
};

}  // namespace evdo
