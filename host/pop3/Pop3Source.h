#pragma once

#include "host/common/MailSource.h"

#include <memory>

namespace lumora {

class Pop3Account;
struct Pop3AccountConfig;

// One POP3 account as a source: its one mailbox as the Inbox, new mail from a check at
// start and every interval, new meaning an id (UIDL) not seen before.
class Pop3Source : public MailSource
{
    Q_OBJECT
public:
    // statePath: the file that remembers the account's messages between runs.
    Pop3Source(const Pop3AccountConfig &config, const QString &statePath, QObject *parent = nullptr);
    ~Pop3Source() override;

    QString storeId() const override;
    QString description() const override;

    host::FolderPtr topFolder() override;
    host::FolderPtr defaultFolder(int kind) override;
    host::FolderPtr folderFromId(const QString &entryId) override;
    host::ItemPtr itemFromId(const QString &entryId) override;

    void start() override;
    // Checks at once (after a resume or a new password), a refusal forgotten.
    void checkNow() override;
    bool holdsWaitingMail() const override;
    QString problems() const override;
    void setDisplayCommand(const QString &command) override;

    const std::shared_ptr<Pop3Account> &account() const { return m_account; }

private:
    std::shared_ptr<Pop3Account> m_account;
};

} // namespace lumora
