#pragma once

#include "host/MAPIFolder.h"

#include <memory>

namespace lumora {

class MboxStore;

// The one mail folder of an mbox file; the calendar, contacts, tasks and notes folders
// exist only to create drafts of their kind.
class MboxFolder : public host::MAPIFolder
{
    Q_OBJECT
public:
    MboxFolder(std::shared_ptr<MboxStore> store, int itemType = host::MailItemType, QObject *parent = nullptr);
    ~MboxFolder() override;

    QString EntryID() const override;
    QString StoreID() const override;
    QString Name() const override;
    int DefaultItemType() const override { return m_itemType; }
    QString FolderPath() const override;
    host::ItemsPtr items() override;
    host::FoldersPtr folders() override;
    int UnReadItemCount() const override;

private:
    std::shared_ptr<MboxStore> m_store;
    int m_itemType;
};

} // namespace lumora
