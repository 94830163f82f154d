#include "app/SingleInstance.h"

#include "app/LaunchOptions.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QUrl>

#include <cstring>
#include <memory>

#include <unistd.h>

namespace evdo {
namespace {

constexpr int kConnectWaitMs = 1000;
const QByteArray kRaiseRequest = "raise\n";
const QByteArray kConnectRequest = "connect ";
const QByteArray kDisconnectRequest = "disconnect";
// A socket path must fit sockaddr_un.
constexpr int kMaxSocketPath = 100;

QString RuntimeFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath() + "/evdo-" + QString::number(::getuid());
  QDir().mkpath(folder);
  return folder;
}

}  // namespace

CSingleInstance::CSingleInstance(QObject* parent) : QObject(parent) {
  connect(&server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* client = server_.nextPendingConnection()) {
      connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
      connect(client, &QLocalSocket::readyRead, this, [this, client] {
        if (!client->canReadLine()) return;
        const QByteArray line = client->readLine().trimmed();
        if (line.startsWith(kConnectRequest) || line == kDisconnectRequest ||
            line.startsWith(CSingleInstance::kDialCommand) || line.startsWith(CSingleInstance::kListSmsCommand) ||
            line.startsWith(CSingleInstance::kSmsSendCommand) || line.startsWith(CSingleInstance::kSmsOpenCommand) ||
            line == CSingleInstance::kStatusCommand) {
          auto* reply = new RemoteReply(client);
          Q_EMIT CommandRequested(QString::fromUtf8(line), reply);
          if (!reply->Finished() && receivers(SIGNAL(CommandRequested(QString, RemoteReply*))) == 0) {
            reply->Message(QStringLiteral("the running dashboard has no Internet page"));
            reply->Finish(1);
          }
          return;
        }
        if (line == kRaiseRequest.trimmed()) Q_EMIT RaiseRequested();
        client->disconnectFromServer();
      });
    }
  });
}

QString CSingleInstance::SocketPath(const QString& title) {
  QString name = title.isEmpty() ? QStringLiteral("evdo-dashboard") : title;
  name.replace('/', '_');
  QString path = RuntimeFolder() + "/" + name;
  if (path.toUtf8().size() > kMaxSocketPath) {
    QByteArray hash = QCryptographicHash::hash(title.toUtf8(), QCryptographicHash::Sha1).toHex();
    path = RuntimeFolder() + "/evdo-" + QString::fromLatin1(hash);
  }
  return path;
}

bool CSingleInstance::AskRunningCopy(const QString& path) {
  QLocalSocket socket;
  socket.connectToServer(path);
  if (!socket.waitForConnected(kConnectWaitMs)) return false;
  socket.write(kRaiseRequest);
  socket.waitForBytesWritten(kConnectWaitMs);
  socket.waitForDisconnected(kConnectWaitMs);
  return true;
}

RemoteReply::RemoteReply(QLocalSocket* socket) : QObject(socket), socket_(socket) {}

void RemoteReply::Message(const QString& text) {
  if (!socket_ || finished_) return;
  QString line = text;
  line.replace('\r', ' ').replace('\n', ' ');
  socket_->write("message " + line.toUtf8() + "\n");
  socket_->flush();
}

void RemoteReply::Finish(int code) {
  if (finished_) return;
  finished_ = true;
  if (!socket_) return;
  socket_->write("result " + QByteArray::number(code) + "\n");
  socket_->flush();
  socket_->disconnectFromServer();
}

int CSingleInstance::SendRequest(const QString& title, const QString& request, int waitMs,
                                 const std::function<void(const QString&)>& onMessage) {
  QLocalSocket socket;
  socket.connectToServer(SocketPath(title));
  if (!socket.waitForConnected(kConnectWaitMs)) return kExitNotRunning;
  socket.write(request.toUtf8() + "\n");
  socket.waitForBytesWritten(kConnectWaitMs);
  QDeadlineTimer deadline(waitMs);
  while (!deadline.hasExpired()) {
    while (socket.canReadLine()) {
      const QString line = QString::fromUtf8(socket.readLine()).trimmed();
      if (line.startsWith("message ")) onMessage(line.mid(8));
      if (line.startsWith("result ")) return line.mid(7).toInt();
    }
    if (socket.state() != QLocalSocket::ConnectedState && socket.bytesAvailable() == 0) return kExitNoAnswer;
    socket.waitForReadyRead(200);
  }
  return kExitNoAnswer;
}

QString CSingleInstance::SmsRequest(const char* command, const QString& recipients, const QString& text) {
  auto word = [](const QString& value) {
    return value.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(QUrl::toPercentEncoding(value, QByteArray(), "-"));
  };
  return QString::fromLatin1(command) + word(recipients) + " " + word(text);
}

bool CSingleInstance::ParseSmsRequest(const QString& request, const char* command, QString& recipients,
                                      QString& text) {
  if (!request.startsWith(QLatin1String(command))) return false;
  const QStringList words = request.mid(static_cast<int>(std::strlen(command))).split(' ');
  if (words.size() != 2) return false;
  auto value = [](const QString& word) {
    return word == "-" ? QString() : QUrl::fromPercentEncoding(word.toLatin1());
  };
  recipients = value(words[0]);
  text = value(words[1]);
  return true;
}

bool CSingleInstance::Claim(const QString& title) {
  const QString path = SocketPath(title);
  if (AskRunningCopy(path)) return false;
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (server_.listen(path)) return true;
  // A socket left behind by a copy that ended without cleaning up: nobody
  // answered on it, so it is taken over. If another copy claimed it in the
  // meantime, that copy is the instance.
  if (AskRunningCopy(path)) return false;
  QLocalServer::removeServer(path);
  return server_.listen(path) || !AskRunningCopy(path);
}

}  // namespace evdo
