#pragma once

#include <QObject>
#include <QString>

namespace lumora {

// Tells whether the active window belongs to the configured mail client, by its class hint.
// Event-driven through the window system's activeWindowChanged; it never polls. Without a
// window system or a configured class it is never active.
class ActiveWindowMonitor : public QObject
{
    Q_OBJECT
public:
    explicit ActiveWindowMonitor(QObject *parent = nullptr);

    // Instance or class name of the mail client's window, compared without case; empty
    // turns the monitor off.
    void setWindowClass(const QString &windowClass);
    QString windowClass() const { return m_windowClass; }
    bool isActive() const { return m_active; }

Q_SIGNALS:
    void activeChanged(bool active);

private:
    void update();
    void setActive(bool active);

    QString m_windowClass;
    bool m_active = false;
    bool m_watching = false;
};

} // namespace lumora
