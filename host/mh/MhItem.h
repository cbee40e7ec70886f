#pragma once

#include "host/Item.h"
#include "host/common/MailHeaderReader.h"

#include <memory>
#include <optional>

namespace lumora {

class MhStore;

// One numbered message file of an MH folder. Headers are read on first need only.
class MhItem : public host::Item
{
    Q_OBJECT
public:
    MhItem(std::shared_ptr<MhStore> store, const QString &dir, int number, QObject *parent = nullptr);
    ~MhItem() override;

    int ItemType() const override { return host::MailItemType; }
    QString EntryID() const override;
    QString Subject() const override;
    QDateTime ReceivedTime() const override;
    int Importance() const override;
    bool UnRead() const override;
    QString SenderName() const override;
    bool Display() override;
    bool Delete() override;
    bool MarkRead() override;
    QString ErrorText() const override { return m_error; }

    QString filePath() const;

private:
    const MailHeaders &headers() const;

    std::shared_ptr<MhStore> m_store;
    QString m_dir;
    int m_number;
    mutable std::optional<MailHeaders> m_headers;
    QString m_error;
};

} // namespace lumora
