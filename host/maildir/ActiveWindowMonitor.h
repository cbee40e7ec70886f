#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace lumora {

// Tells whether the active X11 window belongs to the configured mail client, by its
// WM_CLASS. Event-driven: it listens for _NET_ACTIVE_WINDOW changes on the root window and
// never polls. Without a display or a configured class it is never active.
class ActiveWindowMonitor : public QObject
{
    Q_OBJECT
public:
    explicit ActiveWindowMonitor(QObject *parent = nullptr);
    ~ActiveWindowMonitor() override;

    // Instance or class name of the mail client's window, compared without case; empty
    // turns the monitor off.
    void setWindowClass(const QString &windowClass);
    QString windowClass() const { return m_windowClass; }
    bool isActive() const { return m_active; }

    // Whether a WM_CLASS pair (instance, class) names the configured client.
    static bool matches(const QString &windowClass, const QString &instanceName, const QString &className);

Q_SIGNALS:
    void activeChanged(bool active);

private:
    struct X11;
    bool connectDisplay();
    void disconnectDisplay();
    void readEvents();
    void update();
    void setActive(bool active);

    QString m_windowClass;
    bool m_active = false;
    std::unique_ptr<X11> m_x;
};

} // namespace lumora
