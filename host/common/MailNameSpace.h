#pragma once

#include "host/NameSpace.h"

#include <QList>
#include <QPointer>

namespace lumora {

class MailSource;

// The namespace over every source of the host: look-ups go to the source whose store id
// they carry, the folder tree has one top folder per source, and the first source is the
// default store.
class MailNameSpace : public host::NameSpace
{
    Q_OBJECT
public:
    using host::NameSpace::NameSpace;
    ~MailNameSpace() override;

    void setSources(const QList<MailSource *> &sources);

    host::FolderPtr GetDefaultFolder(int kind) override;
    host::FolderPtr GetFolderFromID(const QString &entryId, const QString &storeId) override;
    host::ItemPtr GetItemFromID(const QString &entryId, const QString &storeId) override;
    int KnownUnread(const QString &entryId, const QString &storeId) override;
    host::FoldersPtr folders() override;

private:
    MailSource *sourceById(const QString &storeId) const;

    QList<QPointer<MailSource>> m_sources;
};

} // namespace lumora
