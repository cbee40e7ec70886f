#pragma once

#include "host/Items.h"

#include <QList>

#include <memory>

namespace lumora {

class MhStore;

// The messages of an MH folder; Find walks the unseen ones in number order, oldest first.
class MhItems : public host::Items
{
    Q_OBJECT
public:
    MhItems(std::shared_ptr<MhStore> store, const QString &dir, int itemType = host::MailItemType,
            QObject *parent = nullptr);
    ~MhItems() override;

    int Count() const override;
    host::ItemPtr Find(const QString &filter) override;
    host::ItemPtr FindNext() override;
    host::ItemPtr Add() override;

private:
    std::shared_ptr<MhStore> m_store;
    QString m_dir;
    int m_itemType;
    QList<int> m_matches;
    qsizetype m_next = 0;
};

} // namespace lumora
