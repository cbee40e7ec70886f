#pragma once

#include "platform/core/Timer.h"
#include "platform/desktop/DesktopNotifications.h"

#include <QObject>
#include <QString>

#include <memory>

namespace lumora {

// Shows the queued messages as desktop notifications instead of the corner popup, for
// desktops that give no window a place of its choosing (Wayland without XWayland). As the
// popup does, it takes one message at a time from the queue in its order, "n of N" in the
// summary, plays the sound once per showing, and offers Open and (when the popup would)
// Delete, which call the controller's operations. The next message follows when the
// notification closes or its display time has passed.
class NotificationPresenter : public QObject
{
    Q_OBJECT
public:
    explicit NotificationPresenter(QObject *parent = nullptr);
    ~NotificationPresenter() override;

    // True on a platform where a window cannot choose its screen position (native Wayland),
    // so that new mail goes to notifications instead of the corner popup.
    static bool replacesPopup();

    // Starts a showing of the queue's messages; nothing happens while one runs or when the
    // queue is empty.
    void Show();
    // One sample notification, as the test popup.
    void ShowTest();
    // True while a showing runs.
    bool isShowing() const { return m_showing; }
    // Ends a showing and withdraws its notification; the rest of the queue stays.
    void Stop();

private:
    // False when no record is left that is still worth showing.
    bool showNext();
    void present(const QString &summary, const QString &body, bool deletable);
    void advance();
    void withdraw();
    void onAction(quint32 id, const QString &key);
    void onClosed(quint32 id);
    int displayTime() const;

    std::unique_ptr<Timer> m_timer;
    bool m_showing = false;
    quint32 m_id = 0;
    QString m_entryId;
    QString m_storeId;
};

} // namespace lumora
