#include "tests/testsupport/FakeNotifyIconHost.h"

#include <cstring>

namespace lumora::test {

FakeNotifyIconHost::FakeNotifyIconHost()
{
    NotifyIconHost::setInstance(this);
}

FakeNotifyIconHost::~FakeNotifyIconHost()
{
    NotifyIconHost::setInstance(nullptr);
}

bool FakeNotifyIconHost::notify(quint32 message, const NOTIFYICONDATAA &data)
{
    const QPair<quint32, quint32> key(data.hWnd, data.uID);
    bool result = false;
    switch (message) {
    case NIM_ADD:
        result = !m_icons.contains(key);
        if (result)
            m_icons.insert(key, data);
        break;
    case NIM_MODIFY:
        result = m_icons.contains(key);
        if (result) {
            // Only the fields the flags name change, as in the real shell.
            NOTIFYICONDATAA &current = m_icons[key];
            if (data.uFlags & NIF_ICON)
                current.hIcon = data.hIcon;
            if (data.uFlags & NIF_TIP)
                std::memcpy(current.szTip, data.szTip, sizeof current.szTip);
            if (data.uFlags & NIF_MESSAGE)
                current.uCallbackMessage = data.uCallbackMessage;
        }
        break;
    case NIM_DELETE:
        result = m_icons.remove(key) > 0;
        break;
    default:
        break;
    }
    calls.append({message, data, result});
    return result;
}

QString FakeNotifyIconHost::tip(quint32 hWnd, quint32 uID) const
{
    const NOTIFYICONDATAA record = icon(hWnd, uID);
    return QString::fromUtf8(record.szTip, static_cast<qsizetype>(strnlen(record.szTip, sizeof record.szTip)));
}

void FakeNotifyIconHost::click(quint32 hWnd, int mouseMessage, quint32 uID)
{
    if (!hasIcon(hWnd, uID))
        return;
    Q_EMIT callback(hWnd, uID, icon(hWnd, uID).uCallbackMessage, mouseMessage);
}

} // namespace lumora::test
