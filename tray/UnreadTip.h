#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace lumora {

// One watched folder's unread messages, as the tray tells them.
struct FolderUnread
{
    QString name;
    int count = 0;
};

// The tray tip's line about unread mail: the total, then each folder that has any when more
// than one has, as far as the room allows.
class UnreadTip
{
public:
    // The sum of the counts, at most INT_MAX.
    static int total(const QList<FolderUnread> &counts);
    // Empty when no folder could be counted. "7 unread" for one folder with unread mail,
    // "12 unread: Inbox 10, Lists 2" for several, the folders dropped from the end (with
    // "...") when the line would pass roomBytes of UTF-8; the total is always kept.
    static QByteArray line(const QList<FolderUnread> &counts, int roomBytes);
};

} // namespace lumora
