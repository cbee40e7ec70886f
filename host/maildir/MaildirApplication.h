#pragma once

#include "host/maildir/MailHostApplication.h"

#include <QList>
#include <QPointer>
#include <QStringList>

#include <memory>

namespace lumora {

class MaildirStore;
class MaildirWatcher;

// The mail application over the user's Maildir++ stores: the namespace, NewMail from
// inotify, and one explorer that is active while the mail client's window is.
class MaildirApplication : public MailHostApplication
{
    Q_OBJECT
public:
    // Roots that are missing or not directories are left out.
    explicit MaildirApplication(const QStringList &storeRoots, QObject *parent = nullptr);
    ~MaildirApplication() override;

    // $MAILDIR, else ~/Maildir, followed by the extra roots.
    static QStringList defaultStoreRoots(const QStringList &extraRoots = {});

    QString version() const override;

    // Command that opens a message file ("%f" is the file, else it is appended).
    void setDisplayCommand(const QString &command);
    QString displayCommand() const { return m_displayCommand; }
    // Relists every watched directory now (after a resume, or in tests).
    void checkForChanges();
    // The folders that may not be read, one line each.
    QString problems() const override;

    QList<std::shared_ptr<MaildirStore>> stores() const { return m_stores; }
    MaildirWatcher *watcher() const { return m_watcher; }

protected:
    // A message in some new/ folder.
    bool holdsWaitingMail() const override;

private:
    QList<std::shared_ptr<MaildirStore>> m_stores;
    QString m_displayCommand = QStringLiteral("xdg-open");
    MaildirWatcher *m_watcher = nullptr;
};

} // namespace lumora
