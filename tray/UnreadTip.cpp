#include "tray/UnreadTip.h"

#include <QCoreApplication>

#include <climits>

namespace lumora {

int UnreadTip::total(const QList<FolderUnread> &counts)
{
    qint64 sum = 0;
    for (const FolderUnread &folder : counts)
        sum += qMax(0, folder.count);
    return int(qMin<qint64>(sum, INT_MAX));
}

QByteArray UnreadTip::line(const QList<FolderUnread> &counts, int roomBytes)
{
    if (counts.isEmpty())
        return {};
    const int sum = total(counts);
    if (sum == 0)
        return QCoreApplication::translate("UnreadTip", "no unread mail").toUtf8();
    QByteArray text = QCoreApplication::translate("UnreadTip", "%n unread", nullptr, sum).toUtf8();
    QList<const FolderUnread *> holding;
    for (const FolderUnread &folder : counts) {
        if (folder.count > 0)
            holding.append(&folder);
    }
    if (holding.size() < 2)
        return text;
    const QByteArray more = ", ...";
    for (qsizetype i = 0; i < holding.size(); ++i) {
        const QByteArray part =
            (i == 0 ? ": " : ", ") + holding.at(i)->name.toUtf8() + ' ' + QByteArray::number(holding.at(i)->count);
        // The last folder needs no room for the "..." that would follow it.
        const qsizetype reserve = i + 1 < holding.size() ? more.size() : 0;
        if (text.size() + part.size() + reserve > roomBytes) {
            if (i > 0)
                text += more;
            break;
        }
        text += part;
    }
    return text;
}

} // namespace lumora
