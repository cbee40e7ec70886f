#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <memory>

namespace lumora::test {

// A session bus of a test's own: a dbus-daemon child, so no test reaches the desktop's bus.
class PrivateBus
{
public:
    // Starts the daemon; the bus's address, or empty when there is no dbus-daemon.
    QString start()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            return {};
        m_daemon = std::make_unique<QProcess>();
        m_daemon->start(daemon,
                        {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!m_daemon->waitForReadyRead(5000))
            return {};
        m_address = QString::fromUtf8(m_daemon->readLine()).trimmed();
        return m_address;
    }
    void stop()
    {
        if (!m_daemon)
            return;
        m_daemon->kill();
        m_daemon->waitForFinished(5000);
        m_daemon.reset();
    }
    ~PrivateBus() { stop(); }

    QString address() const { return m_address; }

private:
    std::unique_ptr<QProcess> m_daemon;
    QString m_address;
};

} // namespace lumora::test
