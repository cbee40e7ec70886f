#pragma once

#include "platform/desktop/NotifyIconHost.h"

#include <QList>
#include <QMap>
#include <QPair>

namespace lumora::test {

// A notification area that records every icon operation and lets a test click an icon.
// Installed for its lifetime.
class FakeNotifyIconHost : public NotifyIconHost
{
    Q_OBJECT
public:
    struct Call
    {
        quint32 message;
        NOTIFYICONDATAA data;
        bool result;
    };

    FakeNotifyIconHost();
    ~FakeNotifyIconHost() override;

    bool notify(quint32 message, const NOTIFYICONDATAA &data) override;

    // Whether (hWnd, uID) is in the notification area, and its current record.
    bool hasIcon(quint32 hWnd, quint32 uID = 1) const { return m_icons.contains({hWnd, uID}); }
    NOTIFYICONDATAA icon(quint32 hWnd, quint32 uID = 1) const { return m_icons.value({hWnd, uID}); }
    QString tip(quint32 hWnd, quint32 uID = 1) const;
    // Sends a mouse message (WM_LBUTTONDBLCLK, WM_RBUTTONUP, ...) as the shell would.
    void click(quint32 hWnd, int mouseMessage, quint32 uID = 1);

    QList<Call> calls;

private:
    QMap<QPair<quint32, quint32>, NOTIFYICONDATAA> m_icons;
};

} // namespace lumora::test
