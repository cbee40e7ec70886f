#pragma once

#include <QList>
#include <QPair>
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
    // Messages that arrived once the queue was full are summed up in its last element
    // instead of being dropped: how many it stands for (0: just itself), and whether they
    // came from more than one folder.
    qint32 Summed = 0;
    bool SeveralFolders = false;
    // The messages summed up after the element's own one (entry id, store id), so that an
    // action on the whole queue still reaches each of them.
    QList<QPair<QString, QString>> SummedIds;
    // Messages summed up once SummedIds was full: counted, their addresses not kept.
    qint32 UnkeptIds = 0;
};

} // namespace lumora
