#include "gui/file_hand_over.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace gui {
namespace {

// A path is one line; anything longer than this is not a path.
constexpr qint64 kMaxLine = 64 * 1024;

}  // namespace

FileHandOver::FileHandOver(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &FileHandOver::Accept);
}

bool FileHandOver::Listen(const QString& socketPath, QString* error) {
  QLocalServer::removeServer(socketPath);
  if (server_->listen(socketPath)) return true;
  *error = server_->errorString();
  return false;
}

void FileHandOver::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxLine) socket->abort();
        return;
      }
      const QString path = QString::fromUtf8(socket->readLine(kMaxLine)).trimmed();
      socket->write("ok\n");
      socket->flush();
      socket->disconnectFromServer();
      if (!path.isEmpty()) Q_EMIT FileReceived(path);
    });
  }
}

bool FileHandOver::Send(const QString& socketPath, const QString& path, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(path.toUtf8() + "\n");
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(timeoutMs)) return false;
  }
  return socket.readLine().trimmed() == "ok";
}

}  // namespace gui
