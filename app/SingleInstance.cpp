#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace lumora {

namespace {
constexpr int kTimeoutMs = 3000;
// Longest request we accept; anything longer is not one of ours.
constexpr qint64 kMaxRequest = 256;
} // namespace

SingleInstance::SingleInstance(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (!socket->canReadLine()) {
                    if (socket->bytesAvailable() > kMaxRequest)
                        socket->abort();
                    return;
                }
                const QString request = QString::fromUtf8(socket->readLine(kMaxRequest)).trimmed();
                Q_EMIT requestReceived(request);
                socket->write("ok\n");
                socket->flush();
                socket->disconnectFromServer();
            });
        }
    });
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName()
{
    // A full path keeps the socket private to this user even without XDG_RUNTIME_DIR.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QStringLiteral("/lumora-%1.socket").arg(getuid());
}

bool SingleInstance::sendToRunning(const QString &request, QString *answer)
{
    QLocalSocket socket;
    socket.connectToServer(serverName());
    if (!socket.waitForConnected(kTimeoutMs))
        return false;
    socket.write(request.toUtf8() + '\n');
    socket.flush();
    while (!socket.canReadLine() && socket.waitForReadyRead(kTimeoutMs)) {
    }
    if (answer)
        *answer = QString::fromUtf8(socket.readLine(kMaxRequest)).trimmed();
    return true;
}

bool SingleInstance::listen()
{
    auto lock = std::make_unique<QLockFile>(serverName() + QStringLiteral(".lock"));
    // Only a holder that has died makes the lock stale, never its age: Lumora runs for days.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    // Whatever socket is there now was left by an instance that is gone.
    QLocalServer::removeServer(serverName());
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    return m_server.listen(serverName());
}

} // namespace lumora
