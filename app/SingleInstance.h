#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

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
    // Starts listening; false when another instance took the name in the meantime.
    bool listen();
    // The socket name used for this user.
    static QString serverName();

Q_SIGNALS:
    // A request from a later start; the slot's return is sent back through respond().
    void requestReceived(const QString &request);

private:
    QLocalServer m_server;
};

} // namespace lumora
