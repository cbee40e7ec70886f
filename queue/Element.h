#pragma once

#include <QString>
#include <QVariant>

#include <memory>

namespace lumora {

// One queued message; owned by the queue through the chain of NextElement.
struct Element
{
    std::unique_ptr<Element> NextElement;
    QVariant Value;
    QString From;
    QString Subject;
    QString EntryID;
    QString StoreID;
    QString Folder;
    qint16 Importance = 0;
    qint16 No = 0;
    bool HasAttachment = false;
};

} // namespace lumora
