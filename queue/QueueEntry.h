#pragma once

#include <QString>
#include <QtGlobal>

namespace lumora {

// What the queue hands to the popup for one message.
struct QUEUE_ENTRY
{
    QString strMessage;
    QString strFrom;
    QString strSubject;
    QString strEntryID;
    QString strStoreID;
    QString strFolder;
    qint16 nImportance = 0;
    qint16 nNo = 0;
};

} // namespace lumora
