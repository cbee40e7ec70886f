// How the IMAP watcher notices new mail and comes back from lost sessions: against a real
// Dovecot (with and without IDLE and NOTIFY) and against a server that drops every
// connection, on the virtual clock where the watcher's own timers decide.
#include "host/imap/ImapWatcher.h"
#include "host/imap/ImapAccount.h"
#include "host/imap/ImapApplication.h"
#include "tests/testsupport/DovecotServer.h"
#include "tests/testsupport/FakeImapServer.h"
#include "tests/testsupport/ImapTestClient.h"
#include "tests/testsupport/TraceCapture.h"
#include "tests/testsupport/VirtualClock.h"

#include <QRegularExpression>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

using namespace lumora;
using lumora::test::DovecotServer;
using lumora::test::FakeImapServer;
using lumora::test::ImapTestClient;
using lumora::test::TraceCapture;
using lumora::test::waitUntil;

namespace {

QByteArray message(const QByteArray &subject)
{
    return "From: Sender <s@example.org>\r\nSubject: " + subject + "\r\n\r\nBody\r\n";
}

// Dovecot's capabilities without IDLE and NOTIFY.
const QString WithoutIdleOrNotify = QStringLiteral(
    "imap_capability = IMAP4rev1 LITERAL+ SASL-IR LOGIN-REFERRALS ID ENABLE NAMESPACE SPECIAL-USE UIDPLUS MOVE");

ImapAccountConfig accountOn(const DovecotServer &server)
{
    ImapAccountConfig c;
    c.host = QStringLiteral("127.0.0.1");
    c.port = server.imapsPort();
    c.user = QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()).toLower();
    c.password = QStringLiteral("secret");
    c.trustedFingerprints = {server.fingerprint()};
    return c;
}

std::unique_ptr<ImapApplication> startHost(const ImapAccountConfig &config, int maxIdle)
{
    auto app = std::make_unique<ImapApplication>(QList<ImapAccountConfig>{config});
    app->watcher()->setBackoff(50, 400);
    app->watcher()->setMaxIdleSessions(maxIdle);
    // Only the watcher's own announcements are counted here.
    app->setStartupCheckMs(600000);
    app->start();
    return app;
}

QStringList unreadSubjects(ImapApplication &app, const QByteArray &mailbox)
{
    host::NameSpace *ns = app.GetNamespace(QStringLiteral("MAPI"));
    const host::FolderPtr inbox = ns->GetDefaultFolder(host::FolderInbox);
    const host::FolderPtr folder = mailbox == "INBOX"
        ? inbox
        : ns->GetFolderFromID(ImapAccount::folderEntryId(app.accounts().first()->config().key(), mailbox),
                              inbox->StoreID());
    QStringList subjects;
    if (!folder)
        return subjects;
    host::ItemsPtr items = folder->items();
    for (host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true")); item; item = items->FindNext())
        subjects.append(item->Subject());
    return subjects;
}

// Removes every message of the mailbox through another session, as a mail client does.
void expungeAll(ImapTestClient &client, const QByteArray &mailbox)
{
    bool ok = false;
    client.run("SELECT " + mailbox, &ok);
    ASSERT_TRUE(ok);
    client.run("STORE 1:* +FLAGS (\\Deleted)", &ok);
    ASSERT_TRUE(ok);
    client.run("EXPUNGE", &ok);
    ASSERT_TRUE(ok);
}

class ImapWatching : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString reason = DovecotServer::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << "no IMAP server to test against: " << reason.toStdString();
    }
};

// A message expunged elsewhere lowers the count the session knows; the next arrival must
// still be told, both in IDLE (the Inbox) and under NOTIFY (beyond the IDLE limit).
TEST_F(ImapWatching, AnArrivalAfterAnExpungeIsAnnounced)
{
    DovecotServer server;
    ASSERT_TRUE(server.start()) << server.errorText().toStdString();
    ImapTestClient client(accountOn(server));
    ASSERT_TRUE(client.isReady());
    client.run("CREATE Lists");
    for (const char *mailbox : {"INBOX", "Lists"}) {
        ASSERT_TRUE(client.append(mailbox, message("old one")));
        ASSERT_TRUE(client.append(mailbox, message("old two")));
    }
    auto app = startHost(accountOn(server), 1);
    ImapWatcher *watcher = app->watcher();
    ASSERT_TRUE(waitUntil([&] { return watcher->idlingCount() == 1 && watcher->notifyCount() == 1; }));
    QSignalSpy newMail(app.get(), &host::Application::NewMail);

    for (const char *mailbox : {"INBOX", "Lists"}) {
        SCOPED_TRACE(mailbox);
        newMail.clear();
        expungeAll(client, mailbox);
        ASSERT_TRUE(client.append(mailbox, message("after the expunge")));
        ASSERT_TRUE(waitUntil([&] { return newMail.count() >= 1; }, 10000));
        EXPECT_EQ(unreadSubjects(*app, mailbox), QStringList{QStringLiteral("after the expunge")});
    }

    // Our own delete (a move to Trash from another session) expunges too.
    host::ItemPtr item = app->GetNamespace(QStringLiteral("MAPI"))
                             ->GetDefaultFolder(host::FolderInbox)
                             ->items()
                             ->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(item);
    ASSERT_TRUE(item->Delete());
    newMail.clear();
    ASSERT_TRUE(client.append("INBOX", message("after our delete")));
    ASSERT_TRUE(waitUntil([&] { return newMail.count() >= 1; }, 10000));
    EXPECT_EQ(unreadSubjects(*app, "INBOX"), QStringList{QStringLiteral("after our delete")});
}

// Without IDLE and NOTIFY every mailbox is asked for its STATUS in a slow round; the rounds
// run on the virtual clock, the answers come from the server.
class ImapStatusRound : public ImapWatching
{
protected:
    static constexpr int RoundMs = 1000;

    // Runs one round of every session and lets its announcement, if any, go out.
    bool nextRound(int sessions)
    {
        const int before = m_app->watcher()->statusRoundsAnswered();
        m_time.clock.advance(RoundMs);
        const bool answered =
            waitUntil([&] { return m_app->watcher()->statusRoundsAnswered() >= before + sessions; }, 10000);
        m_time.clock.advance(ImapWatcher::QuietMs);
        return answered;
    }

    VirtualClockScope m_time;
    std::unique_ptr<ImapApplication> m_app;
};

TEST_F(ImapStatusRound, EachArrivalIsAnnouncedOnceAndAnUnchangedRoundNever)
{
    DovecotServer server(20, WithoutIdleOrNotify);
    ASSERT_TRUE(server.start()) << server.errorText().toStdString();
    ImapTestClient client(accountOn(server));
    ASSERT_TRUE(client.isReady());
    client.run("CREATE Lists");
    ASSERT_TRUE(client.append("INBOX", message("waiting")));

    // The Inbox's session found no IDLE, the second no NOTIFY: both join the round.
    m_app = startHost(accountOn(server), 1);
    m_app->watcher()->setStatusRoundMs(RoundMs);
    ImapWatcher *watcher = m_app->watcher();
    ASSERT_TRUE(
        waitUntil([&] { return watcher->statusRoundCount() == 2 && watcher->statusRoundsAnswered() == 2; }, 10000));
    EXPECT_EQ(watcher->idlingCount(), 0);
    EXPECT_EQ(watcher->notifyCount(), 0);
    QSignalSpy newMail(m_app.get(), &host::Application::NewMail);
    m_time.clock.advance(ImapWatcher::MaxDelayMs);
    // Mail that was there before the first round is the start-up announcement's, not news.
    EXPECT_EQ(newMail.count(), 0);

    ASSERT_TRUE(nextRound(2));
    EXPECT_EQ(newMail.count(), 0);

    for (const char *mailbox : {"INBOX", "Lists"}) {
        SCOPED_TRACE(mailbox);
        newMail.clear();
        ASSERT_TRUE(client.append(mailbox, message("news")));
        ASSERT_TRUE(nextRound(2));
        EXPECT_EQ(newMail.count(), 1);
        for (int unchanged = 0; unchanged < 3; ++unchanged) {
            ASSERT_TRUE(nextRound(2));
            EXPECT_EQ(newMail.count(), 1) << "unchanged round " << unchanged;
        }
    }

    // An expunge between rounds is no arrival; the message after it is one.
    newMail.clear();
    expungeAll(client, "Lists");
    ASSERT_TRUE(nextRound(2));
    EXPECT_EQ(newMail.count(), 0);
    ASSERT_TRUE(client.append("Lists", message("after the expunge")));
    ASSERT_TRUE(nextRound(2));
    EXPECT_EQ(newMail.count(), 1);
    EXPECT_EQ(unreadSubjects(*m_app, "Lists"), QStringList{QStringLiteral("after the expunge")});
    EXPECT_EQ(unreadSubjects(*m_app, "INBOX"), (QStringList{QStringLiteral("waiting"), QStringLiteral("news")}));
    m_app.reset();
}

// A server that refuses every session as soon as it connects: the watcher's pauses between
// attempts double from the first and stay at the longest.
TEST(ImapWatcherBackoff, PausesGrowOnTheVirtualClockAndStopAtTheirCap)
{
    VirtualClockScope time;
    TraceCapture trace;

    // On threads of its own: the account's requests block while they wait for an answer.
    FakeImapServer server([](int, const QByteArray &, const QByteArray &verb) -> std::optional<FakeImapServer::Answer> {
        // As a server over its session limit does: a refusal, whatever is asked.
        if (verb == "CAPABILITY" || verb == "LOGIN" || verb == "AUTHENTICATE")
            return FakeImapServer::Answer{"* BYE Too many connections\r\n", {}};
        return std::nullopt;
    });
    ASSERT_TRUE(server.isListening());
    ImapAccountConfig config = server.account();
    config.password = QStringLiteral("secret");
    const auto attemptsNow = [&server] { return server.sessions(); };

    const QRegularExpression pause(QStringLiteral("reconnecting in (\\d+) ms"));
    const auto pauses = [&] {
        QList<int> out;
        for (const QString &line : trace.lines()) {
            const QRegularExpressionMatch m = pause.match(line);
            if (m.hasMatch())
                out.append(m.captured(1).toInt());
        }
        return out;
    };

    {
        auto app = startHost(config, 8);
        const QList<int> expected{50, 100, 200, 400, 400, 400};
        for (qsizetype i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(i);
            ASSERT_TRUE(waitUntil([&] { return pauses().size() > i; }));
            ASSERT_EQ(pauses().at(i), expected.at(i));
            EXPECT_FALSE(app->problems().isEmpty());
            const int before = attemptsNow();
            // No attempt before the pause is over (none comes without the clock, either) ...
            time.clock.advance(expected.at(i) - 1);
            EXPECT_FALSE(waitUntil([&] { return attemptsNow() > before; }, 100));
            // ... and one as soon as it is.
            time.clock.advance(1);
            ASSERT_TRUE(waitUntil([&] { return attemptsNow() > before; }));
        }
    }
}

} // namespace
