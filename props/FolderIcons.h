#pragma once

#include <QIcon>

namespace lumora {

// The folder picker's twelve images, drawn in code so they scale with the screen:
// 1 mail folder, 2 to 6 calendar, contacts, tasks, journal and notes folders, 7 Deleted
// Items, 8 Drafts, 9 Inbox, 10 Outbox, 11 Sent Items, 12 a store. Any other number gives
// a null icon.
class FolderIcons
{
public:
    static constexpr int Count = 12;
    static QIcon image(int index);
};

} // namespace lumora
