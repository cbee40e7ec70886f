#pragma once

#include "host/common/MailHeaderReader.h"
#include "host/imap/ImapAccountConfig.h"
#include "host/imap/ImapConnection.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <optional>

namespace lumora {

// One IMAP account as a store: its mailboxes, the ids that name them and their messages,
// and the requests the object model makes, answered over one command session. The object
// model is synchronous, so a request waits on its session's socket alone, without an event
// loop: nothing else runs until the answer, a timeout or a quit request ends the wait.
class ImapAccount : public QObject
{
    Q_OBJECT
public:
    struct Mailbox
    {
        // The name as the server spells it (modified UTF-7) and its display path.
        QByteArray raw;
        QString name;
        QChar delimiter;
        QSet<QByteArray> attributes; // upper-case, "\NOSELECT", "\TRASH", ...

        bool selectable() const;
        // Mail never arrives in these by itself; watching them would only report our own moves.
        bool quiet() const;
    };
    struct Message
    {
        QDateTime received;
        bool seen = false;
        std::optional<MailHeaders> headers;
    };

    explicit ImapAccount(const ImapAccountConfig &config, QObject *parent = nullptr);
    ~ImapAccount() override;

    const ImapAccountConfig &config() const { return m_config; }
    void setPassword(const QString &password);
    void trustFingerprint(const QString &fingerprint);
    QString storeId() const;
    // The command that opens a message file ("%f" is the file, else it is appended).
    QString displayCommand() const { return m_displayCommand; }
    void setDisplayCommand(const QString &command) { m_displayCommand = command; }

    // Lists the mailboxes (again); false when the server cannot be asked.
    bool refreshMailboxes();
    // Takes the answer to a LIST "" "*" that another session got as the mailbox list.
    void takeList(const QList<ImapResponse> &untagged);
    QList<Mailbox> mailboxes();
    bool isListed() const { return m_listed; }
    std::optional<Mailbox> mailbox(const QByteArray &raw);
    // The Trash: the mailbox flagged \Trash (RFC 6154), else "Trash" (created when missing).
    QByteArray trashMailbox(bool create);
    // The mailbox flagged \Drafts (RFC 6154), else "Drafts" when it exists; empty otherwise.
    QByteArray draftsMailbox();
    // The display name of the last level ("Inbox" for INBOX).
    QString displayName(const QByteArray &raw);
    // Direct children of parent; the Inbox's children include every other top-level mailbox.
    QList<QByteArray> childMailboxes(const QByteArray &parent);

    // The UIDVALIDITY of the mailbox; 0 when it cannot be selected. force selects it again
    // even when it is the selected one.
    quint32 uidValidity(const QByteArray &mailbox, bool force = false);
    // Unread messages, oldest first (by arrival, then UID).
    QList<quint32> unreadOldestFirst(const QByteArray &mailbox, quint32 *uidValidity);
    qint64 messageCount(const QByteArray &mailbox);
    // The message's arrival and flags; null when it is gone or uidValidity no longer holds.
    // fresh asks the server even when the message is known.
    const Message *message(const QByteArray &mailbox, quint32 uidValidity, quint32 uid, bool fresh = false);
    const MailHeaders *headers(const QByteArray &mailbox, quint32 uidValidity, quint32 uid);
    // The whole message, fetched without marking it read.
    QByteArray content(const QByteArray &mailbox, quint32 uidValidity, quint32 uid);
    // Moves the message into Trash (MOVE, else COPY, \Deleted and UID EXPUNGE).
    bool moveToTrash(const QByteArray &mailbox, quint32 uidValidity, quint32 uid);
    // Sets \Seen on the message on the server; false when it is gone or the server refused.
    bool markSeen(const QByteArray &mailbox, quint32 uidValidity, quint32 uid);

    // Unread messages of a mailbox as the watching sessions last heard (SEARCH UNSEEN on an
    // IDLE session, STATUS UNSEEN elsewhere); -1 while none has told.
    int unseenCount(const QByteArray &mailbox) const { return m_unseen.value(mailbox, -1); }
    // Called by the watcher with what the server said; -1 forgets the mailbox's count.
    void setUnseenCount(const QByteArray &mailbox, int count);
    // The UIDs a watching session last found unread in the mailbox (under uidValidity).
    void setUnseenUids(const QByteArray &mailbox, quint32 uidValidity, const QSet<quint32> &uids);
    void forgetUnseenUids(const QByteArray &mailbox);
    // Whether the message is unread as far as is known here, without asking the server: from
    // a watching session's latest look, else from what was last fetched; nullopt when neither
    // knows it.
    std::optional<bool> knownUnread(const QByteArray &mailbox, quint32 uidValidity, quint32 uid) const;

    // Runs one command and waits for its answer; false on NO, BAD or a lost session.
    bool run(const QByteArray &command, QList<ImapResponse> *untagged = nullptr, const QByteArray &literal = {});
    // The latest problem, empty once the account works again.
    QString problem() const { return m_problem; }
    // Records a problem seen elsewhere (a watching session), or its end with an empty text.
    void report(const QString &text);
    // A session met a certificate no authority vouches for.
    void noteUntrustedCertificate(const QString &fingerprint) { Q_EMIT certificateUntrusted(fingerprint); }

    static QString folderEntryId(const QString &accountKey, const QByteArray &mailbox);
    static QString itemEntryId(const QString &accountKey, const QByteArray &mailbox, quint32 uidValidity, quint32 uid);
    static bool parseFolderEntryId(const QString &id, QString *accountKey, QByteArray *mailbox);
    static bool parseItemEntryId(const QString &id, QString *accountKey, QByteArray *mailbox, quint32 *uidValidity,
                                 quint32 *uid);
    static QString storeIdOf(const QString &accountKey);
    // "17-Jul-1996 02:44:25 -0700" in local time; null when malformed.
    static QDateTime parseInternalDate(const QByteArray &text);
    // "1:3,7" for a sorted list of numbers.
    static QByteArray sequenceSet(QList<quint32> uids);

Q_SIGNALS:
    // A problem the user can act on, or an empty text once it is over.
    void problemChanged(const QString &text);
    // The server showed a certificate with this SHA-256 fingerprint that is not trusted.
    void certificateUntrusted(const QString &fingerprint);
    // unseenCount() of some mailbox changed.
    void unseenChanged();
    // The mailbox list changed (a mailbox created, deleted or renamed on the server).
    void mailboxesChanged();

private:
    bool connectNow();
    bool select(const QByteArray &mailbox, bool force = false);
    // The mailbox flagged with use (upper-case, "\\TRASH"; RFC 6154), else the one usually
    // named so; empty when neither exists.
    QByteArray specialMailbox(const QByteArray &use, const QByteArray &usualName);
    bool fetchInfo(const QByteArray &mailbox, const QByteArray &uidSet);
    QString messageKey(const QByteArray &mailbox, quint32 uidValidity, quint32 uid) const;

    ImapAccountConfig m_config;
    QPointer<ImapConnection> m_connection;
    // Wrong password or untrusted certificate: asking again only repeats the refusal (and
    // may lock the account), so requests fail until the user changes something.
    bool m_refused = false;
    bool m_busy = false;
    bool m_listed = false;
    QList<Mailbox> m_mailboxes;
    QByteArray m_selected;
    quint32 m_selectedValidity = 0;
    QHash<QString, Message> m_messages;
    QHash<QByteArray, int> m_unseen;
    struct UnseenUids
    {
        quint32 uidValidity = 0;
        QSet<quint32> uids;
    };
    QHash<QByteArray, UnseenUids> m_unseenUids;
    QString m_problem;
    QString m_displayCommand = QStringLiteral("xdg-open");
};

} // namespace lumora
