#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

namespace lumora {

// One Lumora per user session. The first start listens on a per-user local socket; a
// later start hands its request ("show", "test-popup", "quit") to it and exits.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    // Sends the request to a running instance and waits for its answer. False when no
    // instance runs (nothing listens on the socket).
    static bool sendToRunning(const QString &request, QString *answer = nullptr);
    // Becomes the one instance and starts listening; false when another instance holds
    // the name (it may still be starting).
    bool listen();
    // The socket name used for this user.
    static QString serverName();

Q_SIGNALS:
    // A request from a later start; the slot's return is sent back through respond().
    void requestReceived(const QString &request);

private:
    // Held for the instance's life. Listening alone cannot decide between two starts: the
    // socket is put in place by a rename, so a second listen would silently replace it.
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer m_server;
};

} // namespace lumora
