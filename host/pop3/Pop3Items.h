#pragma once

#include "host/Items.h"

#include <QByteArray>
#include <QList>

#include <memory>

namespace lumora {

class Pop3Account;

// The messages of the account's one mailbox (or none, for the draft-only calendar,
// contacts, tasks and notes folders). Find answers from what Lumora keeps, never the server.
class Pop3Items : public host::Items
{
    Q_OBJECT
public:
    Pop3Items(std::shared_ptr<Pop3Account> account, int itemType = host::MailItemType, QObject *parent = nullptr);
    ~Pop3Items() override;

    int Count() const override;
    host::ItemPtr Find(const QString &filter) override;
    host::ItemPtr FindNext() override;
    host::ItemPtr Add() override;

private:
    std::shared_ptr<Pop3Account> m_account;
    int m_itemType;
    QList<QByteArray> m_matches;
    qsizetype m_next = 0;
};

} // namespace lumora
