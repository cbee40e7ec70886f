#include "host/imap/ImapApplication.h"

#include "host/imap/ImapSource.h"

namespace lumora {

ImapApplication::ImapApplication(const QList<ImapAccountConfig> &accounts, QObject *parent)
    : MailApplication(parent)
{
    for (const ImapAccountConfig &config : accounts)
        addSource(std::make_unique<ImapSource>(config));
}

ImapApplication::~ImapApplication() = default;

QList<std::shared_ptr<ImapAccount>> ImapApplication::accounts() const
{
    QList<std::shared_ptr<ImapAccount>> out;
    for (MailSource *source : sources()) {
        if (auto *imap = qobject_cast<ImapSource *>(source))
            out.append(imap->account());
    }
    return out;
}

ImapWatcher *ImapApplication::watcher() const
{
    for (MailSource *source : sources()) {
        if (auto *imap = qobject_cast<ImapSource *>(source))
            return imap->watcher();
    }
    return nullptr;
}

} // namespace lumora
