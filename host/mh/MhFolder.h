#pragma once

#include "host/MAPIFolder.h"

#include <memory>

namespace lumora {

class MhStore;

// A folder of an MH mail directory; the calendar, contacts, tasks and notes folders exist
// only to create drafts of their kind.
class MhFolder : public host::MAPIFolder
{
    Q_OBJECT
public:
    MhFolder(std::shared_ptr<MhStore> store, const QString &dir, int itemType = host::MailItemType,
             QObject *parent = nullptr);
    ~MhFolder() override;

    QString EntryID() const override;
    QString StoreID() const override;
    QString Name() const override;
    int DefaultItemType() const override { return m_itemType; }
    QString FolderPath() const override;
    host::ItemsPtr items() override;
    host::FoldersPtr folders() override;
    int UnReadItemCount() const override;

private:
    std::shared_ptr<MhStore> m_store;
    QString m_dir;
    int m_itemType;
};

} // namespace lumora
