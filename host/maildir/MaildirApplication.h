#pragma once

#include "host/common/MailApplication.h"

#include <QList>
#include <QStringList>

#include <memory>

namespace lumora {

class MaildirStore;
class MaildirWatcher;

// A mail application over Maildir++ stores only, one source each, watching from the start.
class MaildirApplication : public MailApplication
{
    Q_OBJECT
public:
    // Roots that are missing or not directories are left out, and so is a root named twice.
    explicit MaildirApplication(const QStringList &storeRoots, QObject *parent = nullptr);
    ~MaildirApplication() override;

    // $MAILDIR, else ~/Maildir, followed by the extra roots.
    static QStringList defaultStoreRoots(const QStringList &extraRoots = {});

    QList<std::shared_ptr<MaildirStore>> stores() const;
    // The first store's watcher, or null when there is no store.
    MaildirWatcher *watcher() const;
};

} // namespace lumora
