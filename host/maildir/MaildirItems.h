#pragma once

#include "host/Items.h"

#include <QStringList>

#include <memory>

namespace lumora {

class MaildirStore;

// The messages of one folder (or, for a calendar, contacts, tasks or notes folder, none:
// those only create drafts). Find walks the folder's in-memory index.
class MaildirItems : public host::Items
{
    Q_OBJECT
public:
    // itemType is the folder's default item kind; mail folders pass MailItemType.
    MaildirItems(std::shared_ptr<MaildirStore> store, const QString &dir, int itemType = host::MailItemType,
                 QObject *parent = nullptr);
    ~MaildirItems() override;

    int Count() const override;
    host::ItemPtr Find(const QString &filter) override;
    host::ItemPtr FindNext() override;
    host::ItemPtr Add() override;

private:
    std::shared_ptr<MaildirStore> m_store;
    QString m_dir;
    int m_itemType;
    QByteArray m_matches; // unique names, each ended by a NUL
    qsizetype m_next = 0; // offset of the next name in m_matches
};

} // namespace lumora
