#pragma once

#include "host/Item.h"
#include "host/common/MailHeaderReader.h"

#include <memory>
#include <optional>

namespace lumora {

class MaildirStore;

// One message file of a Maildir folder, named by its unique name so that it follows the
// file from new/ to cur/ and through flag changes. Headers are read on first need only.
class MaildirItem : public host::Item
{
    Q_OBJECT
public:
    MaildirItem(std::shared_ptr<MaildirStore> store, const QString &dir, const QString &uniqueName,
                QObject *parent = nullptr);
    ~MaildirItem() override;

    int ItemType() const override { return host::MailItemType; }
    QString EntryID() const override;
    QString Subject() const override;
    QDateTime ReceivedTime() const override;
    int Importance() const override;
    bool UnRead() const override;
    QString SenderName() const override;
    // The Message-ID; else the Date, sender and subject; else the unique name (which a
    // reader's move by rename keeps).
    QString MessageKey() const override;
    // The date of the topmost Received header.
    QDateTime OriginTime() const override;
    bool Display() override;
    bool Delete() override;
    bool MarkRead() override;
    QString ErrorText() const override { return m_error; }

    QString StoreID() const;
    // The message file as it is named now; empty once it is gone.
    QString filePath() const;

private:
    const MailHeaders &headers() const;

    std::shared_ptr<MaildirStore> m_store;
    QString m_dir;
    QString m_uniqueName;
    mutable std::optional<MailHeaders> m_headers;
    QString m_error;
};

} // namespace lumora
