#pragma once

#include "host/Items.h"

#include <QByteArray>
#include <QList>

#include <memory>

namespace lumora {

class ImapAccount;

// The messages of one mailbox (or none, for the draft-only calendar, contacts, tasks and
// notes folders). Find asks the server for the unread ones; headers are fetched per item,
// when an item is read.
class ImapItems : public host::Items
{
    Q_OBJECT
public:
    ImapItems(std::shared_ptr<ImapAccount> account, const QByteArray &mailbox, int itemType = host::MailItemType,
              QObject *parent = nullptr);
    ~ImapItems() override;

    int Count() const override;
    host::ItemPtr Find(const QString &filter) override;
    host::ItemPtr FindNext() override;
    host::ItemPtr Add() override;

private:
    std::shared_ptr<ImapAccount> m_account;
    QByteArray m_mailbox;
    int m_itemType;
    quint32 m_uidValidity = 0;
    QList<quint32> m_matches;
    qsizetype m_next = 0;
};

} // namespace lumora
