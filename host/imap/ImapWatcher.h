#pragma once

#include "host/imap/ImapConnection.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

namespace lumora {

class ArrivalBurst;
class ImapAccount;
class Timer;

// Reports new mail on the accounts' mailboxes without polling: one session per mailbox
// sits in IDLE (up to a limit per account); beyond it one session asks the server for
// NOTIFY, and only a server with neither is asked for STATUS in a slow round. A lost session
// comes back with exponential backoff and is followed by a scan, so mail that arrived in
// between is reported. A burst of arrivals gives one newMail. The mailbox list is followed
// without polling: NOTIFY's mailbox events where the server has them, else a LIST when an
// IDLE ends by itself or a session comes back; a mailbox gone from it is reported by name
// and watched again once it is back.
class ImapWatcher : public QObject
{
    Q_OBJECT
public:
    explicit ImapWatcher(const QList<std::shared_ptr<ImapAccount>> &accounts, QObject *parent = nullptr);
    ~ImapWatcher() override;

    // Lists each account's mailboxes and starts watching them.
    void start();
    // Reopens every session that is not up, those stopped for a refusal included (after a
    // new password or a trusted certificate).
    void resume();

    // IDLE sessions per account (servers limit sessions per user, Dovecot to 10 by default).
    void setMaxIdleSessions(int count) { m_maxIdle = count; }
    // First and longest wait before reconnecting.
    void setBackoff(int firstMs, int maxMs);
    // How often the STATUS round runs where neither IDLE nor NOTIFY serves.
    void setStatusRoundMs(int ms) { m_statusRoundMs = ms; }

    // Mailboxes whose IDLE session is up, and mailboxes watched by NOTIFY or STATUS.
    int idlingCount() const;
    int notifyCount() const;
    int statusRoundCount() const;
    // STATUS rounds the server has answered in full, over every session.
    int statusRoundsAnswered() const { return m_statusRoundsAnswered; }

    static constexpr int QuietMs = 100;
    static constexpr int MaxDelayMs = 2000;

Q_SIGNALS:
    void newMail();

private:
    enum class Kind {
        Idle,
        Notify,
        StatusRound
    };
    struct Watch
    {
        Kind kind = Kind::Idle;
        std::shared_ptr<ImapAccount> account;
        // One mailbox for IDLE, every remaining one for NOTIFY and the STATUS round.
        QList<QByteArray> mailboxes;
        // Watches one mailbox (planned for IDLE) rather than the remaining ones.
        bool single = true;
        QPointer<ImapConnection> connection;
        quint64 exists = 0;
        quint32 uidValidity = 0;
        QHash<QByteArray, quint64> uidNext;
        // What keeps this session from watching, for the user; empty while it works.
        QString problem;
        int failures = 0;
        bool connectedBefore = false;
        bool stopped = false;
        bool up = false;
        // A SEARCH UNSEEN is out, and something changed since it was sent.
        bool recounting = false;
        bool recountAgain = false;
        // A LIST of ours is out on this session.
        bool listing = false;
        bool listAgain = false;
        // NOTIFY reports mailboxes created, deleted and renamed on this session.
        bool mailboxNames = false;
        std::unique_ptr<Timer> retry;
    };

    void planAccount(const std::shared_ptr<ImapAccount> &account, bool listed);
    void replan(const std::shared_ptr<ImapAccount> &account);
    // The mailboxes worth watching: the Inbox first, then every selectable, non-quiet one.
    static QList<QByteArray> wanted(ImapAccount &account);
    // Lists the account's mailboxes on this session, then follows what changed.
    void list(Watch *watch);
    // The session that lists for the account when its IDLE ends or it reconnects.
    Watch *lister(const std::shared_ptr<ImapAccount> &account) const;
    // Stops watching mailboxes gone from the list, watches new and re-created ones.
    void follow(const std::shared_ptr<ImapAccount> &account);
    void sendNotify(Watch *watch, bool withMailboxNames);
    // The session is up: its problem is over; after a reconnect a scan and a list follow.
    void markUp(Watch *watch);
    void reportAccount(const std::shared_ptr<ImapAccount> &account);
    QString goneText(const std::shared_ptr<ImapAccount> &account, const QByteArray &mailbox) const;
    Watch *addWatch(Kind kind, const std::shared_ptr<ImapAccount> &account, const QList<QByteArray> &mailboxes);
    void open(Watch *watch);
    void onReady(Watch *watch);
    // The wait before the watch's next attempt, longer after each failure in a row.
    qint64 backoff(Watch *watch);
    void onFailed(Watch *watch, ImapConnection::Problem problem, const QString &message);
    void onUntagged(Watch *watch, const ImapResponse &response);
    void runStatusRound(Watch *watch);
    // Asks an IDLE session's mailbox for its unread messages; the answer goes to the account.
    void recount(Watch *watch);
    bool noteUidNext(Watch *watch, const QByteArray &mailbox, quint64 uidNext);
    void setProblem(Watch *watch, const QString &text);
    void noteArrivals();

    QList<std::shared_ptr<ImapAccount>> m_accounts;
    std::vector<std::unique_ptr<Watch>> m_watches;
    // Watched mailboxes the server no longer lists, per account; each is a standing problem
    // until it is back.
    QHash<ImapAccount *, QList<QByteArray>> m_gone;
    int m_maxIdle = 8;
    int m_backoffFirstMs = 1000;
    int m_backoffMaxMs = 5 * 60 * 1000;
    int m_statusRoundMs = 5 * 60 * 1000;
    int m_statusRoundsAnswered = 0;
    ArrivalBurst *m_burst;
};

} // namespace lumora
