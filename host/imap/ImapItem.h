#pragma once

#include "host/Item.h"

#include <QByteArray>

#include <memory>

namespace lumora {

class ImapAccount;
struct MailHeaders;

// One message on the server, named by mailbox, UIDVALIDITY and UID. Once the mailbox's
// UIDVALIDITY changes the item is stale: reads come back empty and actions fail.
class ImapItem : public host::Item
{
    Q_OBJECT
public:
    ImapItem(std::shared_ptr<ImapAccount> account, const QByteArray &mailbox, quint32 uidValidity, quint32 uid,
             QObject *parent = nullptr);
    ~ImapItem() override;

    int ItemType() const override { return host::MailItemType; }
    QString EntryID() const override;
    QString Subject() const override;
    QDateTime ReceivedTime() const override;
    int Importance() const override;
    bool UnRead() const override;
    QString SenderName() const override;
    // The Message-ID; a move between mailboxes gives the message a new UID, not a new id.
    QString MessageKey() const override;
    // INTERNALDATE, when the server took the message in.
    QDateTime OriginTime() const override { return ReceivedTime(); }
    // Saves the message as a private temporary .eml file and opens it with the display command.
    bool Display() override;
    bool Delete() override;
    bool MarkRead() override;
    QString ErrorText() const override { return m_error; }

    QString StoreID() const;
    // Where Display saves messages: a folder only the user can read.
    static QString displayFolder();

private:
    QString unreachable(const QString &what) const;

    QString m_error;
    const MailHeaders *headers() const;

    std::shared_ptr<ImapAccount> m_account;
    QByteArray m_mailbox;
    quint32 m_uidValidity;
    quint32 m_uid;
};

} // namespace lumora
