#pragma once

#include "host/NameSpace.h"

#include <QObject>
#include <QString>

namespace lumora {

// One place the user's mail lives (a Maildir store, an IMAP account, ...), as the host
// sees it: its folder tree, look-ups by id, its problems and its new-mail signal. A host
// holds any number of sources side by side; each names its folders and items with its own
// store id, which no other source shares.
class MailSource : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~MailSource() override;

    // The store id carried by every folder and item of the source.
    virtual QString storeId() const = 0;
    // What the source is, for a person: "Maildir store /home/u/Maildir".
    virtual QString description() const = 0;
    // Whether the source is usable (a store root that exists, a well-formed account).
    virtual bool isValid() const { return true; }

    // The top folder: the store's Inbox, whose children are its other folders.
    virtual host::FolderPtr topFolder() = 0;
    // A default folder of the source (host::DefaultFolder), or null.
    virtual host::FolderPtr defaultFolder(int kind) = 0;
    // Null for an id the source does not know (or no longer has).
    virtual host::FolderPtr folderFromId(const QString &entryId) = 0;
    virtual host::ItemPtr itemFromId(const QString &entryId) = 0;
    // host::NameSpace::KnownUnread for an item of this source; by default the item says.
    virtual int knownUnread(const QString &entryId);

    // Begins watching; until then no newMail is raised.
    virtual void start() {}
    // Looks again at everything now (after a resume, or a new password), so that mail that
    // came meanwhile is reported.
    virtual void checkNow() {}
    // Whether mail waits that the start-up announcement should tell of.
    virtual bool holdsWaitingMail() const = 0;
    // What keeps the source from noticing all new mail, one line each; empty when all works.
    virtual QString problems() const = 0;
    // The command that opens a message file ("%f" is the file, else it is appended).
    virtual void setDisplayCommand(const QString &command) = 0;

Q_SIGNALS:
    void newMail();
    // problems() changed.
    void problemsChanged();
    // What the source keeps of its folders changed, so their unread counts may have.
    void unreadChanged();
};

} // namespace lumora
