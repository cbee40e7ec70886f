#pragma once

#include "host/Item.h"
#include "host/common/MailHeaderReader.h"

#include <memory>
#include <optional>

namespace lumora {

class MboxStore;

// One message of an mbox file, named by its identity so that it is found again after a
// client rewrote the file. Opening saves a copy to a private file; deleting and marking as
// read are refused, as either would mean rewriting the mailbox under its other readers.
class MboxItem : public host::Item
{
    Q_OBJECT
public:
    MboxItem(std::shared_ptr<MboxStore> store, quint64 identity, quint16 occurrence, QObject *parent = nullptr);
    ~MboxItem() override;

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

    // Where opened messages are saved: private to the user.
    static QString displayFolder();
    // The largest message that is opened.
    static constexpr qint64 MaxMessageBytes = 256 * 1024 * 1024;

private:
    qsizetype index() const;
    const MailHeaders &headers() const;

    std::shared_ptr<MboxStore> m_store;
    quint64 m_identity;
    quint16 m_occurrence;
    mutable qsizetype m_hint = -1;
    mutable std::optional<MailHeaders> m_headers;
    QString m_error;
};

} // namespace lumora
