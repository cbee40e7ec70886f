#pragma once

#include "host/MAPIFolder.h"

#include <memory>

namespace lumora {

class MaildirStore;

// A folder of a store. Mail folders map to Maildir++ directories; the calendar, contacts,
// tasks and notes folders exist only to create drafts of their kind.
class MaildirFolder : public host::MAPIFolder
{
    Q_OBJECT
public:
    MaildirFolder(std::shared_ptr<MaildirStore> store, const QString &dir, int itemType = host::MailItemType,
                  QObject *parent = nullptr);
    ~MaildirFolder() override;

    QString EntryID() const override;
    QString StoreID() const override;
    QString Name() const override;
    int DefaultItemType() const override { return m_itemType; }
    QString FolderPath() const override;
    host::ItemsPtr items() override;
    host::FoldersPtr folders() override;
    int UnReadItemCount() const override;

    QString dir() const { return m_dir; }

private:
    std::shared_ptr<MaildirStore> m_store;
    QString m_dir;
    int m_itemType;
};

} // namespace lumora
