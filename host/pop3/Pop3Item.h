#pragma once

#include "host/Item.h"

#include <QByteArray>

#include <memory>

namespace lumora {

class Pop3Account;

// One message of a POP3 account, named by its UIDL. Its headers and read state come from
// what Lumora keeps of the account; only opening and deleting it ask the server.
class Pop3Item : public host::Item
{
    Q_OBJECT
public:
    Pop3Item(std::shared_ptr<Pop3Account> account, const QByteArray &uidl, QObject *parent = nullptr);
    ~Pop3Item() override;

    int ItemType() const override { return host::MailItemType; }
    QString EntryID() const override;
    QString Subject() const override;
    QDateTime ReceivedTime() const override;
    int Importance() const override;
    bool UnRead() const override;
    QString SenderName() const override;
    // Fetches the message into a private temporary .eml file, opens it with the display
    // command and counts it as read.
    bool Display() override;
    // Deletes the message from the server, after the user confirmed it.
    bool Delete() override;
    bool MarkRead() override;
    QString ErrorText() const override { return m_error; }

    // Where Display saves messages: a folder only the user can read.
    static QString displayFolder();

private:
    std::shared_ptr<Pop3Account> m_account;
    QByteArray m_uidl;
    QString m_error;
};

} // namespace lumora
