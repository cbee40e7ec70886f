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

void ImapWatcher::planAccount(const std::shared_ptr<ImapAccount> &account, bool listed)
{
    QList<QByteArray> mailboxes{"INBOX"};
    for (const ImapAccount::Mailbox &m : account->mailboxes()) {
        if (m.raw != "INBOX" && m.selectable() && !m.quiet())
            mailboxes.append(m.raw);
    }
    const qsizetype idle = qMin<qsizetype>(mailboxes.size(), qMax(1, m_maxIdle));
    for (qsizetype i = 0; i < idle; ++i)
        open(addWatch(Kind::Idle, account, {mailboxes.at(i)}));
    const QList<QByteArray> rest = mailboxes.mid(idle);
    if (!rest.isEmpty())
        open(addWatch(Kind::Notify, account, rest));
    Verbose::line(QStringLiteral("imap %1: watching %2 mailbox(es) with IDLE%3%4")
                      .arg(account->config().key())
                      .arg(idle)
                      .arg(rest.isEmpty() ? QString() : QStringLiteral(", %1 more with NOTIFY").arg(rest.size()),
                           listed ? QString() : QStringLiteral(" (the mailbox list could not be read)")));
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
    connection->open();
}

void ImapWatcher::onReady(Watch *watch)
{
    ImapConnection *connection = watch->connection;
    const QString key = watch->account->config().key();
    auto up = [this, watch, key] {
        watch->up = true;
        watch->failures = 0;
        setProblem(watch, QString());
        if (watch->connectedBefore) {
            // Whatever arrived while the session was down is found by a scan.
            Verbose::line(QStringLiteral("imap %1: reconnected").arg(key));
            noteArrivals();
        }
        watch->connectedBefore = true;
        if (!watch->account->isListed()) {
            // Only the Inbox was known at start; the other mailboxes join now that the
            // server answers (later, as this session's callbacks are still running).
            QMetaObject::invokeMethod(
                this, [this, account = watch->account] { replan(account); }, Qt::QueuedConnection);
        }
    };

    if (watch->kind == Kind::Idle) {
        const QByteArray mailbox = watch->mailboxes.value(0);
        connection->send("EXAMINE " + ImapConnection::quote(mailbox),
                         [this, watch, connection, mailbox, key, up](const ImapResponse &tagged,
                                                                     const QList<ImapResponse> &untagged) {
                             if (tagged.tag.isEmpty())
                                 return; // the session died; failed() handles it
                             if (tagged.status() != "OK") {
                                 watch->stopped = true;
                                 setProblem(
                                     watch,
                                     QCoreApplication::translate("ImapWatcher", "The mailbox \"%1\" is gone from %2.")
                                         .arg(MailboxName::decode(QString::fromUtf8(mailbox)), key));
                                 connection->close();
                                 return;
                             }
                             for (const ImapResponse &r : untagged) {
                                 if (r.word(1) == "EXISTS")
                                     watch->exists = r.values.at(0).number();
                             }
                             up();
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
            QByteArray names;
            for (const QByteArray &mailbox : std::as_const(watch->mailboxes))
                names += (names.isEmpty() ? "" : " ") + ImapConnection::quote(mailbox);
            connection->send(
                // FlagChange: another client reading a message changes the mailbox's unread
                // count, which the server then reports in a STATUS response.
                "NOTIFY SET STATUS (MAILBOXES (" + names + ") (MessageNew MessageExpunge FlagChange))",
                [this, watch, connection, key, up](const ImapResponse &tagged, const QList<ImapResponse> &) {
                    if (tagged.tag.isEmpty())
                        return;
                    if (tagged.status() != "OK") {
                        Verbose::line(QStringLiteral("imap %1: NOTIFY refused (%2); checking every %3 s")
                                          .arg(key, QString::fromUtf8(tagged.text))
                                          .arg(m_statusRoundMs / 1000));
                        watch->kind = Kind::StatusRound;
                        up();
                        runStatusRound(watch);
                        return;
                    }
                    up();
                    connection->idle();
                });
            return;
        }
    }
    up();
    runStatusRound(watch);
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
    watch->retry->restart(m_statusRoundMs);
}

void ImapWatcher::onFailed(Watch *watch, ImapConnection::Problem problem, const QString &message)
{
    watch->up = false;
    const QString fingerprint = watch->connection ? watch->connection->certificateFingerprint() : QString();
    if (watch->connection)
        watch->connection->deleteLater();
    watch->connection = nullptr;
    setProblem(watch, message);
    if (problem == ImapConnection::Problem::WrongPassword || problem == ImapConnection::Problem::CertificateUntrusted) {
        // Retrying only repeats the refusal; resume() starts again once the user acted.
        watch->stopped = true;
        if (problem == ImapConnection::Problem::CertificateUntrusted)
            watch->account->noteUntrustedCertificate(fingerprint);
        return;
    }
    const int shift = qMin(watch->failures++, 20);
    const qint64 delay = qMin<qint64>(qint64(m_backoffFirstMs) << shift, m_backoffMaxMs);
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
    connection->send("SEARCH UNSEEN UNDELETED",
                     [this, watch](const ImapResponse &tagged, const QList<ImapResponse> &untagged) {
                         watch->recounting = false;
                         if (tagged.tag.isEmpty())
                             return; // the session died; the next one counts again
                         if (tagged.status() == "OK") {
                             int count = 0;
                             for (const ImapResponse &r : untagged) {
                                 if (r.word(0) == "SEARCH")
                                     count += int(r.values.size()) - 1;
                             }
                             watch->account->setUnseenCount(normalised(watch->mailboxes.value(0)), count);
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
    // One session that comes up says nothing of the others: the account's problem is what
    // any of its sessions still has.
    QStringList lines;
    for (const auto &other : m_watches) {
        if (other->account == watch->account && !other->problem.isEmpty() && !lines.contains(other->problem))
            lines.append(other->problem);
    }
    watch->account->report(lines.join(QLatin1Char('\n')));
}

void ImapWatcher::noteArrivals()
{
    m_burst->note();
}

} // namespace lumora
