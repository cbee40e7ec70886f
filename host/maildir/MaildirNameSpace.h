#pragma once

#include "host/NameSpace.h"

#include <QList>

#include <memory>

namespace lumora {

class MaildirStore;

// The namespace over the configured stores; the first usable store is the default one.
class MaildirNameSpace : public host::NameSpace
{
    Q_OBJECT
public:
    explicit MaildirNameSpace(const QList<std::shared_ptr<MaildirStore>> &stores, QObject *parent = nullptr);
    ~MaildirNameSpace() override;

    host::FolderPtr GetDefaultFolder(int kind) override;
    host::FolderPtr GetFolderFromID(const QString &entryId, const QString &storeId) override;
    host::ItemPtr GetItemFromID(const QString &entryId, const QString &storeId) override;
    host::FoldersPtr folders() override;

private:
    std::shared_ptr<MaildirStore> storeById(const QString &storeId) const;

    QList<std::shared_ptr<MaildirStore>> m_stores;
};

} // namespace lumora
