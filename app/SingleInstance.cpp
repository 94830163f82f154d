#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include <memory>

#include <unistd.h>

namespace evdo {
namespace {

constexpr int kConnectWaitMs = 1000;
const QByteArray kRaiseRequest = "raise\n";
// "dial NUMBER\n" after the raise request: the call page dials NUMBER.
const QByteArray kDialRequest = "dial ";
// Ends a request; a client that just disconnects ends it too.
const QByteArray kEndRequest = "end\n";
constexpr int kMaxRequestBytes = 256;
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
      // A request is lines ending with "end", or whatever came before the
      // client disconnected (at most kMaxRequestBytes); each line asks one
      // thing.
      auto input = std::make_shared<QByteArray>();
      auto serve = [this, input] {
        const QList<QByteArray> lines = input->split('\n');
        input->clear();
        for (const QByteArray& line : lines) {
          if (line == kRaiseRequest.trimmed()) Q_EMIT RaiseRequested();
          else if (line.startsWith(kDialRequest))
            Q_EMIT DialRequested(QString::fromUtf8(line.mid(kDialRequest.size())));
        }
      };
      connect(client, &QLocalSocket::readyRead, this, [client, input, serve] {
        input->append(client->readAll());
        if (input->endsWith("\n" + kEndRequest) || input->size() > kMaxRequestBytes) {
          input->truncate(kMaxRequestBytes);
          serve();
          client->disconnectFromServer();
        }
      });
      connect(client, &QLocalSocket::disconnected, client, [client, input, serve] {
        input->append(client->readAll());
        input->truncate(kMaxRequestBytes);
        serve();
        client->deleteLater();
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

bool CSingleInstance::AskRunningCopy(const QString& path, const QString& dialNumber) {
  QLocalSocket socket;
  socket.connectToServer(path);
  if (!socket.waitForConnected(kConnectWaitMs)) return false;
  QByteArray request = kRaiseRequest;
  if (!dialNumber.isEmpty()) request += kDialRequest + dialNumber.toUtf8() + "\n";
  request += kEndRequest;
  socket.write(request);
  socket.waitForBytesWritten(kConnectWaitMs);
  socket.waitForDisconnected(kConnectWaitMs);
  return true;
}

bool CSingleInstance::Claim(const QString& title, const QString& dialNumber) {
  const QString path = SocketPath(title);
  if (AskRunningCopy(path, dialNumber)) return false;
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (server_.listen(path)) return true;
  // A socket left behind by a copy that ended without cleaning up: nobody
  // answered on it, so it is taken over. If another copy claimed it in the
  // meantime, that copy is the instance.
  if (AskRunningCopy(path, dialNumber)) return false;
  QLocalServer::removeServer(path);
  return server_.listen(path) || !AskRunningCopy(path, dialNumber);
}

}  // namespace evdo
