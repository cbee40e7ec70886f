#pragma once

#include "host/common/MailApplication.h"
#include "host/imap/ImapAccountConfig.h"

#include <QList>

#include <memory>

namespace lumora {

class ImapAccount;
class ImapWatcher;

// A mail application over IMAP accounts only, one source each; start() begins watching.
class ImapApplication : public MailApplication
{
    Q_OBJECT
public:
    // An account named twice is watched once.
    explicit ImapApplication(const QList<ImapAccountConfig> &accounts, QObject *parent = nullptr);
    ~ImapApplication() override;

    QList<std::shared_ptr<ImapAccount>> accounts() const;
    // The first account's watcher, or null when there is none.
    ImapWatcher *watcher() const;
};

} // namespace lumora
