#include "qt/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

namespace ravelin::qt {

namespace {

// A path names at most this many bytes; a longer line is no hand-over.
constexpr qint64 kMaxLine = 64 * 1024;
constexpr const char* kTaken = "taken\n";

}  // namespace

QString instanceSocketPath(const std::string& iniFile) {
  // Qt checks that the folder belongs to the user and is closed to others (0700), and
  // makes one of that kind when XDG_RUNTIME_DIR names none.
  const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  const QByteArray digest =
      QCryptographicHash::hash(QByteArray::fromStdString(iniFile), QCryptographicHash::Md5);
  // Short enough for a socket address (108 bytes) in any runtime folder of usual length.
  return QDir(dir).filePath(QStringLiteral("ravelin-") +
                            QString::fromLatin1(digest.toHex().left(16)) +
                            QStringLiteral(".socket"));
}

HandOver handOverScript(const QString& socketPath, const std::string& script, int waitMs) {
  QLocalSocket socket;
  socket.connectToServer(socketPath);
  if (!socket.waitForConnected(waitMs)) return HandOver::NoneRunning;
  socket.write(QByteArray::fromStdString(script) + '\n');
  QByteArray answer;
  while (!answer.endsWith('\n') && answer.size() < 64 && socket.waitForReadyRead(waitMs))
    answer += socket.readAll();
  return answer == kTaken ? HandOver::Taken : HandOver::NoAnswer;
}

InstanceServer::InstanceServer(QObject* parent) : QObject(parent) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, &InstanceServer::accept);
}

bool InstanceServer::listen(const QString& socketPath) {
  if (server_.listen(socketPath)) return true;
  // A program that ended without removing its socket leaves the file behind.
  QLocalServer::removeServer(socketPath);
  return server_.listen(socketPath);
}

void InstanceServer::accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > kMaxLine) socket->abort();
        return;
      }
      const QByteArray line = socket->readLine(kMaxLine);
      if (!line.endsWith('\n')) {
        socket->abort();
        return;
      }
      socket->write(kTaken);
      socket->disconnectFromServer();
      emit scriptHanded(QString::fromUtf8(line.chopped(1)));
    });
  }
}

}  // namespace ravelin::qt
