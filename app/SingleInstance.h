#pragma once
// Makes sure only one copy of the program runs in a user's session: the
// first copy listens on a local socket named after the instance title; a
// later copy finds it there, asks it to come forward and ends.
#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QLocalSocket;

namespace evdo {

// The answer to a later copy's request: lines "message <text>" while it
// runs, then "result <exit status>"; the connection then ends.
class RemoteReply : public QObject {
  Q_OBJECT

public:
  explicit RemoteReply(QLocalSocket* socket);
  void Message(const QString& text);
  void Finish(int code);
  bool Finished() const { return finished_; }

private:
  QPointer<QLocalSocket> socket_;
  bool finished_ = false;
};

class CSingleInstance : public QObject {
  Q_OBJECT

public:
  explicit CSingleInstance(QObject* parent = nullptr);

  // The socket for an instance title (never empty: an empty title is given
  // a name of its own). It lives in the session's runtime folder.
  static QString SocketPath(const QString& title);

  // True when this process is now the instance of title. False when another
  // copy runs: it has been asked to restore and raise its window.
  bool Claim(const QString& title);

  // The requests a later copy may send: "connect TYPE", "disconnect",
  // "dial NUMBER" (kDialCommand, then the number) and "status".
  static constexpr const char* kDialCommand = "dial ";
  // "list-sms BOX": the box of the message store as JSON, in one message.
  static constexpr const char* kListSmsCommand = "list-sms ";
  // "sms-send NUMBERS TEXT" and "sms-open NUMBERS TEXT": both words
  // percent-encoded (an empty one as "-").
  static constexpr const char* kSmsSendCommand = "sms-send ";
  static constexpr const char* kSmsOpenCommand = "sms-open ";
  static QString SmsRequest(const char* command, const QString& recipients, const QString& text);
  // The numbers and the text of an sms request; false when it is not one.
  static bool ParseSmsRequest(const QString& request, const char* command, QString& recipients, QString& text);
  // "status": the running copy answers one message line, the JSON report
  // (StatusReport.h), and exit status 0.
  static constexpr const char* kStatusCommand = "status";

  // A later copy's request to the running one ("connect 3g", "disconnect"):
  // prints each message line and returns the running copy's exit status;
  // 3 when no copy runs, 4 when the answer did not come in waitMs.
  static int SendRequest(const QString& title, const QString& request, int waitMs,
                         const std::function<void(const QString&)>& onMessage);

Q_SIGNALS:
  // A later copy asked this one to come forward.
  void RaiseRequested();
  // A later copy's request; reply is answered (and deleted with its socket).
  void CommandRequested(const QString& command, RemoteReply* reply);

private:
  bool AskRunningCopy(const QString& path);

  QLocalServer server_;
};

}  // namespace evdo
