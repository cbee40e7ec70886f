#include "host/common/VirtualFolder.h"

#include "host/Item.h"

namespace lumora {

QString VirtualFolder::entryId(int itemType)
{
    return QStringLiteral("56") + QString::number(itemType, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

int VirtualFolder::parseEntryId(const QString &id)
{
    for (int type : {host::AppointmentItemType, host::ContactItemType, host::TaskItemType, host::NoteItemType}) {
        if (id == entryId(type))
            return type;
    }
    return -1;
}

QString VirtualFolder::name(int itemType)
{
    switch (itemType) {
    case host::AppointmentItemType:
        return QStringLiteral("Calendar");
    case host::ContactItemType:
        return QStringLiteral("Contacts");
    case host::TaskItemType:
        return QStringLiteral("Tasks");
    case host::NoteItemType:
        return QStringLiteral("Notes");
    default:
        return QString();
    }
}

} // namespace lumora
