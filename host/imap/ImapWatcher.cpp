#include "host/imap/ImapWatcher.h"

#include "host/common/ArrivalBurst.h"
#include "host/common/MailboxName.h"
#include "host/imap/ImapAccount.h"
#include "platform/core/Clock.h"
#include "platform/core/Timer.h"
#include "platform/core/Verbose.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <climits>

namespace lumora {

namespace {

QByteArray normalised(const QByteArray &mailbox)
{
    return mailbox.compare("INBOX", Qt::CaseInsensitive) == 0 ? QByteArray("INBOX") : mailbox;
}

} // namespace

ImapWatcher::ImapWatcher(const QList<std::shared_ptr<ImapAccount>> &accounts, QObject *parent)
    : QObject(parent)
    , m_accounts(accounts)
    , m_burst(new ArrivalBurst(QuietMs, MaxDelayMs, this))
{
    connect(m_burst, &ArrivalBurst::burst, this, &ImapWatcher::newMail);
    // A list another request read tells of changes just as well as one of ours. Queued: the
    // request that read it may still be waiting on its answer.
    for (const auto &account : accounts) {
        connect(
            account.get(), &ImapAccount::mailboxesChanged, this,
            [this, weak = std::weak_ptr<ImapAccount>(account)] {
                if (const std::shared_ptr<ImapAccount> changed = weak.lock())
                    follow(changed);
            },
            Qt::QueuedConnection);
    }
}

ImapWatcher::~ImapWatcher()
{
    for (auto &watch : m_watches)
        delete watch->connection.data();
}

void ImapWatcher::setBackoff(int firstMs, int maxMs)
{
    m_backoffFirstMs = qMax(1, firstMs);
    m_backoffMaxMs = qMax(m_backoffFirstMs, maxMs);
}

int ImapWatcher::idlingCount() const
{
    int n = 0;
    for (const auto &watch : m_watches)
        n += watch->kind == Kind::Idle && watch->up && watch->connection && watch->connection->isIdling() ? 1 : 0;
    return n;
}

int ImapWatcher::notifyCount() const
{
    int n = 0;
    // Counted once the session idles: only then do the server's reports come as they happen.
    for (const auto &watch : m_watches) {
        const bool watching = watch->up && watch->connection && watch->connection->isIdling();
        n += watch->kind == Kind::Notify && watching ? int(watch->mailboxes.size()) : 0;
    }
    return n;
}

int ImapWatcher::statusRoundCount() const
{
    int n = 0;
    for (const auto &watch : m_watches)
        n += watch->kind == Kind::StatusRound ? int(watch->mailboxes.size()) : 0;
    return n;
}

void ImapWatcher::start()
{
    for (const auto &account : std::as_const(m_accounts))
        planAccount(account, account->refreshMailboxes());
}

void ImapWatcher::resume()
{
    // Sessions still on their way up use the old settings too, so they start again as well.
    for (auto &watch : m_watches) {
        if (!watch->up) {
            watch->stopped = false;
            watch->failures = 0;
            open(watch.get());
        }
    }
}

QList<QByteArray> ImapWatcher::wanted(ImapAccount &account)
{
    QList<QByteArray> mailboxes{"INBOX"};
    for (const ImapAccount::Mailbox &m : account.mailboxes()) {
        if (m.raw != "INBOX" && m.selectable() && !m.quiet())
            mailboxes.append(m.raw);
    }
    return mailboxes;
}

void ImapWatcher::planAccount(const std::shared_ptr<ImapAccount> &account, bool listed)
{
    const QList<QByteArray> mailboxes = wanted(*account);
    const qsizetype idle = qMin<qsizetype>(mailboxes.size(), qMax(1, m_maxIdle));
    for (qsizetype i = 0; i < idle; ++i)
        open(addWatch(Kind::Idle, account, {mailboxes.at(i)}));
    const QList<QByteArray> rest = mailboxes.mid(idle);
    if (!rest.isEmpty()) {
        Watch *watch = addWatch(Kind::Notify, account, rest);
        watch->single = false;
        open(watch);
    }
    const QString key = account->config().key();
    if (!listed) {
        // Nothing watches yet: the sessions say for themselves when they are up or refused.
        const QString why = account->problem();
        Verbose::line(
            QStringLiteral("imap %1: nothing is watched yet: the mailbox list could not be read%2; the Inbox is "
                           "tried, the other mailboxes join once the server answers")
                .arg(key, why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)));
        return;
    }
    Verbose::line(QStringLiteral("imap %1: watching %2 mailbox(es) with IDLE%3")
                      .arg(key)
                      .arg(idle)
                      .arg(rest.isEmpty() ? QString() : QStringLiteral(", %1 more with NOTIFY").arg(rest.size())));
}

void ImapWatcher::replan(const std::shared_ptr<ImapAccount> &account)
{
    if (account->isListed() || !account->refreshMailboxes())
        return;
    std::erase_if(m_watches, [&](const std::unique_ptr<Watch> &w) {
        if (w->account != account)
            return false;
        delete w->connection.data();
        return true;
    });
    planAccount(account, true);
}

ImapWatcher::Watch *ImapWatcher::lister(const std::shared_ptr<ImapAccount> &account) const
{
    for (const auto &watch : m_watches) {
        if (watch->account == account && watch->single && watch->mailboxes.value(0) == "INBOX")
            return watch.get();
    }
    return nullptr;
}

void ImapWatcher::list(Watch *watch)
{
    ImapConnection *connection = watch ? watch->connection.data() : nullptr;
    if (!connection || !watch->up || !connection->isReady())
        return;
    if (watch->listing) {
        watch->listAgain = true;
        return;
    }
    watch->listing = true;
    watch->listAgain = false;
    connection->send("LIST \"\" \"*\"", [this, watch](const ImapResponse &tagged, const QList<ImapResponse> &untagged) {
        watch->listing = false;
        if (tagged.tag.isEmpty())
            return; // the session died; its reconnect lists again
        if (tagged.status() == "OK") {
            watch->account->takeList(untagged);
            // Later: following the list may reopen this very session.
            QMetaObject::invokeMethod(
                this, [this, account = watch->account] { follow(account); }, Qt::QueuedConnection);
        }
        if (watch->listAgain)
            list(watch);
    });
}

QString ImapWatcher::goneText(const std::shared_ptr<ImapAccount> &account, const QByteArray &mailbox) const
{
    return QCoreApplication::translate("ImapWatcher", "The mailbox \"%1\" is gone from %2.")
        .arg(MailboxName::decode(QString::fromUtf8(mailbox)), account->config().key());
}

void ImapWatcher::follow(const std::shared_ptr<ImapAccount> &account)
{
    if (!account->isListed())
        return;
    const QString key = account->config().key();
    const QList<QByteArray> want = wanted(*account);
    QList<QByteArray> &gone = m_gone[account.get()];
    const auto decoded = [](const QByteArray &mailbox) { return MailboxName::decode(QString::fromUtf8(mailbox)); };
    const auto lose = [&](const QByteArray &mailbox) {
        if (gone.contains(mailbox))
            return;
        gone.append(mailbox);
        account->forgetUnseenUids(mailbox);
        account->setUnseenCount(mailbox, -1);
        Verbose::line(
            QStringLiteral("imap %1: the mailbox \"%2\" is no longer listed (renamed or deleted); it is watched "
                           "again should it come back")
                .arg(key, decoded(mailbox)));
    };
    const auto regain = [&](const QByteArray &mailbox) {
        gone.removeAll(mailbox);
        Verbose::line(
            QStringLiteral("imap %1: the mailbox \"%2\" is back; watching it again").arg(key, decoded(mailbox)));
    };

    QList<QByteArray> singles;
    Watch *multi = nullptr;
    int activeSingles = 0;
    for (auto &w : m_watches) {
        if (w->account != account)
            continue;
        if (!w->single) {
            multi = w.get();
            continue;
        }
        const QByteArray mailbox = w->mailboxes.value(0);
        singles.append(mailbox);
        if (!want.contains(mailbox)) {
            lose(mailbox);
            if (!w->stopped || w->connection) {
                w->stopped = true;
                w->up = false;
                w->retry->setEnabled(false);
                delete w->connection.data();
            }
            // The list speaks for it now.
            w->problem.clear();
            continue;
        }
        ++activeSingles;
        if (gone.contains(mailbox)) {
            regain(mailbox);
            w->stopped = false;
            w->failures = 0;
            w->problem.clear();
            // Mail that came while it was gone is found by the scan once it is up.
            w->connectedBefore = true;
            open(w.get());
        }
    }

    if (multi) {
        for (const QByteArray &mailbox : std::as_const(multi->mailboxes)) {
            if (!want.contains(mailbox))
                lose(mailbox);
        }
    }
    QList<QByteArray> rest;
    for (const QByteArray &mailbox : want) {
        if (singles.contains(mailbox))
            continue;
        if (gone.contains(mailbox))
            regain(mailbox);
        const bool known = multi && multi->mailboxes.contains(mailbox);
        if (!known && activeSingles < qMax(1, m_maxIdle)) {
            Verbose::line(QStringLiteral("imap %1: the mailbox \"%2\" is new; watching it").arg(key, decoded(mailbox)));
            Watch *watch = addWatch(Kind::Idle, account, {mailbox});
            watch->connectedBefore = true;
            open(watch);
            ++activeSingles;
        } else {
            rest.append(mailbox);
        }
    }
    if (multi && rest != multi->mailboxes) {
        multi->mailboxes = rest;
        multi->up = false;
        multi->retry->setEnabled(false);
        if (rest.isEmpty()) {
            multi->stopped = true;
            delete multi->connection.data();
        } else {
            multi->stopped = false;
            multi->failures = 0;
            multi->connectedBefore = true;
            open(multi);
        }
    } else if (!multi && !rest.isEmpty()) {
        Watch *watch = addWatch(Kind::Notify, account, rest);
        watch->single = false;
        watch->connectedBefore = true;
        open(watch);
    }
    reportAccount(account);
}

ImapWatcher::Watch *ImapWatcher::addWatch(Kind kind, const std::shared_ptr<ImapAccount> &account,
                                          const QList<QByteArray> &mailboxes)
{
    auto watch = std::make_unique<Watch>();
    watch->kind = kind;
    watch->account = account;
    watch->mailboxes = mailboxes;
    watch->retry = Clock::instance().createTimer();
    Watch *raw = watch.get();
    connect(raw->retry.get(), &Timer::tick, this, [this, raw] {
        raw->retry->setEnabled(false);
        if (!raw->up)
            open(raw);
        else if (raw->kind == Kind::StatusRound)
            runStatusRound(raw);
    });
    m_watches.push_back(std::move(watch));
    return raw;
}

void ImapWatcher::open(Watch *watch)
{
    if (watch->stopped)
        return;
    delete watch->connection.data();
    auto *connection = new ImapConnection(watch->account->config(), this);
    watch->connection = connection;
    watch->up = false;
    connect(connection, &ImapConnection::ready, this, [this, watch] { onReady(watch); });
    connect(
        connection, &ImapConnection::failed, this,
        [this, watch](ImapConnection::Problem problem, const QString &message) { onFailed(watch, problem, message); });
    connect(connection, &ImapConnection::untagged, this,
            [this, watch](const ImapResponse &response) { onUntagged(watch, response); });
    // The host never polls for the mailbox list: one session per account asks for it when its
    // IDLE ends anyway (the server's doing or the periodic renewal).
    connect(connection, &ImapConnection::idleEnded, this, [this, watch] {
        if (lister(watch->account) == watch)
            list(watch);
    });
    connection->open();
}

void ImapWatcher::onReady(Watch *watch)
{
    ImapConnection *connection = watch->connection;
    const QString key = watch->account->config().key();
    if (watch->kind == Kind::Idle) {
        const QByteArray mailbox = watch->mailboxes.value(0);
        connection->send(
            "EXAMINE " + ImapConnection::quote(mailbox),
            [this, watch, connection, mailbox, key](const ImapResponse &tagged, const QList<ImapResponse> &untagged) {
                if (tagged.tag.isEmpty())
                    return; // the session died; failed() handles it
                if (tagged.status() != "OK") {
                    setProblem(watch, goneText(watch->account, mailbox));
                    connection->close();
                    // A list tells whether it was renamed or deleted, and so
                    // when it is back. Until it has spoken the mailbox is tried
                    // again as a lost session is: made again meanwhile, it is
                    // listed all along and no list would bring it back.
                    watch->retry->restart(int(backoff(watch)));
                    list(lister(watch->account));
                    return;
                }
                watch->uidValidity = 0;
                for (const ImapResponse &r : untagged) {
                    if (r.word(1) == "EXISTS")
                        watch->exists = r.values.at(0).number();
                    if (r.status() == "OK" && r.code.toUpper().startsWith("UIDVALIDITY "))
                        watch->uidValidity = r.code.mid(12).trimmed().toUInt();
                }
                markUp(watch);
                if (!connection->hasCapability("IDLE")) {
                    // Without IDLE this mailbox joins the slow round. It is left
                    // first: a server may answer STATUS on the session's own
                    // mailbox from that session's view, which no round updates.
                    // CLOSE of a mailbox opened read-only expunges nothing.
                    watch->kind = Kind::StatusRound;
                    connection->send("CLOSE", nullptr);
                    runStatusRound(watch);
                    return;
                }
                recount(watch);
                connection->idle();
                Verbose::line(QStringLiteral("imap %1: %2 is watched with IDLE")
                                  .arg(key, MailboxName::decode(QString::fromUtf8(mailbox))));
            });
        return;
    }

    if (watch->kind == Kind::Notify) {
        if (!connection->hasCapability("NOTIFY")) {
            watch->kind = Kind::StatusRound;
            Verbose::line(QStringLiteral("imap %1: the server has no NOTIFY; %2 mailbox(es) are checked every %3 s")
                              .arg(key)
                              .arg(watch->mailboxes.size())
                              .arg(m_statusRoundMs / 1000));
        } else {
            sendNotify(watch, true);
            return;
        }
    }
    markUp(watch);
    runStatusRound(watch);
}

void ImapWatcher::markUp(Watch *watch)
{
    const QString key = watch->account->config().key();
    watch->up = true;
    watch->failures = 0;
    setProblem(watch, QString());
    if (watch->connectedBefore) {
        // Whatever arrived while the session was down is found by a scan; mailboxes made,
        // deleted or renamed meanwhile by a LIST.
        Verbose::line(QStringLiteral("imap %1: reconnected").arg(key));
        noteArrivals();
        if (watch->account->isListed())
            list(watch);
    }
    watch->connectedBefore = true;
    if (!watch->account->isListed()) {
        // Only the Inbox was known at start; the other mailboxes join now that the
        // server answers (later, as this session's callbacks are still running).
        QMetaObject::invokeMethod(
            this, [this, account = watch->account] { replan(account); }, Qt::QueuedConnection);
    }
}

void ImapWatcher::sendNotify(Watch *watch, bool withMailboxNames)
{
    ImapConnection *connection = watch->connection;
    const QString key = watch->account->config().key();
    QByteArray names;
    for (const QByteArray &mailbox : std::as_const(watch->mailboxes))
        names += (names.isEmpty() ? "" : " ") + ImapConnection::quote(mailbox);
    // FlagChange: another client reading a message changes the mailbox's unread count, which
    // the server then reports in a STATUS response. MailboxName: mailboxes made, deleted and
    // renamed elsewhere are followed as they happen.
    const QByteArray command = "NOTIFY SET STATUS (MAILBOXES (" + names + ") (MessageNew MessageExpunge FlagChange))"
        + (withMailboxNames ? QByteArray(" (PERSONAL (MailboxName))") : QByteArray());
    connection->send(
        command,
        [this, watch, connection, key, withMailboxNames](const ImapResponse &tagged, const QList<ImapResponse> &) {
            if (tagged.tag.isEmpty())
                return;
            if (tagged.status() != "OK" && withMailboxNames) {
                // Some servers know NOTIFY without the mailbox events: the list then follows
                // from IDLE's ends and reconnects alone.
                sendNotify(watch, false);
                return;
            }
            if (tagged.status() != "OK") {
                Verbose::line(QStringLiteral("imap %1: NOTIFY refused (%2); checking every %3 s")
                                  .arg(key, QString::fromUtf8(tagged.text))
                                  .arg(m_statusRoundMs / 1000));
                watch->kind = Kind::StatusRound;
                markUp(watch);
                runStatusRound(watch);
                return;
            }
            watch->mailboxNames = withMailboxNames;
            markUp(watch);
            connection->idle();
        });
}

void ImapWatcher::runStatusRound(Watch *watch)
{
    ImapConnection *connection = watch->connection;
    if (!connection || !connection->isReady())
        return;
    for (qsizetype i = 0; i < watch->mailboxes.size(); ++i) {
        ImapConnection::Done done;
        if (i + 1 == watch->mailboxes.size()) {
            done = [this](const ImapResponse &tagged, const QList<ImapResponse> &) {
                if (!tagged.tag.isEmpty())
                    ++m_statusRoundsAnswered;
            };
        }
        connection->send("STATUS " + ImapConnection::quote(watch->mailboxes.at(i)) + " (UIDNEXT MESSAGES UNSEEN)",
                         std::move(done));
    }
    // Without IDLE the round is the moment that already wakes the host.
    if (lister(watch->account) == watch && watch->account->isListed())
        list(watch);
    watch->retry->restart(m_statusRoundMs);
}

qint64 ImapWatcher::backoff(Watch *watch)
{
    const int shift = qMin(watch->failures++, 20);
    return qMin<qint64>(qint64(m_backoffFirstMs) << shift, m_backoffMaxMs);
}

void ImapWatcher::onFailed(Watch *watch, ImapConnection::Problem problem, const QString &message)
{
    watch->up = false;
    // Nobody hears of the mailbox's flags until the session is back.
    if (watch->single)
        watch->account->forgetUnseenUids(normalised(watch->mailboxes.value(0)));
    const QString fingerprint = watch->connection ? watch->connection->certificateFingerprint() : QString();
    if (watch->connection)
        watch->connection->deleteLater();
    watch->connection = nullptr;
    setProblem(watch, message);
    if (problem == ImapConnection::Problem::WrongPassword || problem == ImapConnection::Problem::CertificateUntrusted) {
        // Retrying only repeats the refusal; resume() starts again once the user acted.
        watch->stopped = true;
        QStringList names;
        for (const QByteArray &mailbox : std::as_const(watch->mailboxes))
            names.append(mailbox == "INBOX" ? QStringLiteral("Inbox")
                                            : MailboxName::decode(QString::fromUtf8(mailbox)));
        Verbose::line(QStringLiteral("imap %1: not watching %2: %3")
                          .arg(watch->account->config().key(), names.join(QStringLiteral(", ")), message));
        if (problem == ImapConnection::Problem::CertificateUntrusted)
            watch->account->noteUntrustedCertificate(fingerprint);
        return;
    }
    const qint64 delay = backoff(watch);
    Verbose::line(QStringLiteral("imap %1: reconnecting in %2 ms").arg(watch->account->config().key()).arg(delay));
    watch->retry->restart(int(delay));
}

void ImapWatcher::onUntagged(Watch *watch, const ImapResponse &response)
{
    const QByteArray what = response.word(1);
    if (watch->kind == Kind::Idle && what == "EXISTS") {
        const quint64 exists = response.values.at(0).number();
        const bool arrived = exists > watch->exists;
        watch->exists = exists;
        // Until the next search the known unread UIDs lack the new message, which would
        // then pass for read.
        if (arrived)
            watch->account->forgetUnseenUids(normalised(watch->mailboxes.value(0)));
        if (arrived && watch->up) {
            Verbose::line(QStringLiteral("imap %1: %2 message(s) in %3")
                              .arg(watch->account->config().key())
                              .arg(exists)
                              .arg(QString::fromUtf8(watch->mailboxes.value(0))));
            noteArrivals();
        }
    } else if (watch->kind == Kind::Idle && what == "EXPUNGE") {
        if (watch->exists > 0)
            --watch->exists;
    } else if (response.word(0) == "LIST" && watch->mailboxNames && !watch->listing) {
        // A mailbox was made, deleted or renamed: the whole list says what is watched now.
        list(watch);
    } else if (response.word(0) == "STATUS" && response.values.size() > 2) {
        const QByteArray mailbox = normalised(response.values.at(1).text);
        if (const ImapValue *next = response.values.at(2).valueOf("UIDNEXT")) {
            if (noteUidNext(watch, mailbox, next->number()))
                noteArrivals();
        }
        if (const ImapValue *unseen = response.values.at(2).valueOf("UNSEEN"))
            watch->account->setUnseenCount(mailbox, int(qMin<quint64>(unseen->number(), INT_MAX)));
    }
    // Another client reading, deleting or delivering changes the mailbox's unread count.
    if (watch->kind == Kind::Idle && watch->up && (what == "EXISTS" || what == "EXPUNGE" || what == "FETCH"))
        recount(watch);
}

void ImapWatcher::recount(Watch *watch)
{
    ImapConnection *connection = watch->connection;
    if (!connection || connection->isDead())
        return;
    if (watch->recounting) {
        watch->recountAgain = true;
        return;
    }
    watch->recounting = true;
    watch->recountAgain = false;
    // UIDs rather than a count: they also keep the account's knowledge of which messages are
    // still unread current, which the popup asks just before it shows one.
    connection->send("UID SEARCH UNSEEN UNDELETED",
                     [this, watch](const ImapResponse &tagged, const QList<ImapResponse> &untagged) {
                         watch->recounting = false;
                         if (tagged.tag.isEmpty())
                             return; // the session died; the next one counts again
                         if (tagged.status() == "OK") {
                             QSet<quint32> uids;
                             for (const ImapResponse &r : untagged) {
                                 if (r.word(0) != "SEARCH")
                                     continue;
                                 for (qsizetype i = 1; i < r.values.size(); ++i) {
                                     const quint64 n = r.values.at(i).number();
                                     if (n > 0 && n <= 0xffffffffu)
                                         uids.insert(quint32(n));
                                 }
                             }
                             const QByteArray mailbox = normalised(watch->mailboxes.value(0));
                             if (!watch->recountAgain)
                                 watch->account->setUnseenUids(mailbox, watch->uidValidity, uids);
                             watch->account->setUnseenCount(mailbox, int(uids.size()));
                         }
                         if (watch->recountAgain)
                             recount(watch);
                     });
}

bool ImapWatcher::noteUidNext(Watch *watch, const QByteArray &mailbox, quint64 uidNext)
{
    auto it = watch->uidNext.find(mailbox);
    const bool grew = it != watch->uidNext.end() && uidNext > *it;
    watch->uidNext[mailbox] = uidNext;
    return grew;
}

void ImapWatcher::setProblem(Watch *watch, const QString &text)
{
    watch->problem = text;
    reportAccount(watch->account);
}

void ImapWatcher::reportAccount(const std::shared_ptr<ImapAccount> &account)
{
    // One session that comes up says nothing of the others: the account's problem is what
    // any of its sessions still has, and every watched mailbox the server no longer lists.
    QStringList lines;
    for (const auto &other : m_watches) {
        if (other->account == account && !other->problem.isEmpty() && !lines.contains(other->problem))
            lines.append(other->problem);
    }
    for (const QByteArray &mailbox : m_gone.value(account.get())) {
        const QString text = goneText(account, mailbox);
        if (!lines.contains(text))
            lines.append(text);
    }
    account->report(lines.join(QLatin1Char('\n')));
}

void ImapWatcher::noteArrivals()
{
    m_burst->note();
}

} // namespace lumora
