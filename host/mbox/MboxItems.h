#pragma once

#include "host/Items.h"

#include <QList>

#include <memory>

namespace lumora {

class MboxStore;

// The messages of an mbox file, from its index; Find walks the unread ones oldest first.
class MboxItems : public host::Items
{
    Q_OBJECT
public:
    MboxItems(std::shared_ptr<MboxStore> store, int itemType = host::MailItemType, QObject *parent = nullptr);
    ~MboxItems() override;

    int Count() const override;
    host::ItemPtr Find(const QString &filter) override;
    host::ItemPtr FindNext() override;
    host::ItemPtr Add() override;

private:
    struct Match
    {
        quint64 identity;
        quint16 occurrence;
        qsizetype hint; // where it was at Find
    };

    std::shared_ptr<MboxStore> m_store;
    int m_itemType;
    QList<Match> m_matches;
    qsizetype m_next = 0;
};

} // namespace lumora
