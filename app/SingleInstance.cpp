#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace evdo {
namespace {

constexpr int kConnectWaitMs = 1000;
const QByteArray kRaiseRequest = "raise\n";
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
        if (client->readAll().contains(kRaiseRequest.trimmed())) Q_EMIT RaiseRequested();
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
