// Mailboxes that change on the server while the host runs: made, deleted and made again,
// renamed; a session refused at the start; and the read state another client sets. Against
// a real Dovecot, with a second session of the test changing things, on the virtual clock so
// that the IDLE renewal (the moment the host lists again without NOTIFY) comes when asked.
#include "host/imap/ImapAccount.h"
#include "host/imap/ImapApplication.h"
#include "host/imap/ImapConnection.h"
#include "host/imap/ImapWatcher.h"
#include "tests/testsupport/DovecotServer.h"
#include "tests/testsupport/ImapTestClient.h"
#include "tests/testsupport/TraceCapture.h"
#include "tests/testsupport/VirtualClock.h"

#include <QRegularExpression>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

using namespace lumora;
using lumora::test::DovecotServer;
using lumora::test::ImapTestClient;
using lumora::test::TraceCapture;
using lumora::test::waitUntil;

namespace {

// Just past the sessions' IDLE renewal (25 minutes); well short of the renewal's own answer
// time-out, which a longer jump would reach before the server could answer.
constexpr qint64 PastIdleRenewal = 25 * 60 * 1000 + 1000;

QByteArray message(const QByteArray &subject)
{
    return "From: Sender <s@example.org>\r\nSubject: " + subject + "\r\n\r\nBody\r\n";
}

class ImapMailboxChanges : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString reason = DovecotServer::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << "no IMAP server to test against: " << reason.toStdString();
        ASSERT_TRUE(m_server.start()) << m_server.errorText().toStdString();
        m_client = std::make_unique<ImapTestClient>(account());
        ASSERT_TRUE(m_client->isReady());
    }

    ImapAccountConfig account() const
    {
        ImapAccountConfig c;
        c.host = QStringLiteral("127.0.0.1");
        c.port = m_server.imapsPort();
        c.user = QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()).toLower();
        c.password = QStringLiteral("secret");
        c.trustedFingerprints = {m_server.fingerprint()};
        return c;
    }

    void startHost(int maxIdle = 8, ImapAccountConfig config = {})
    {
        m_app = std::make_unique<ImapApplication>(QList<ImapAccountConfig>{config.host.isEmpty() ? account() : config});
        m_app->watcher()->setBackoff(50, 400);
        m_app->watcher()->setMaxIdleSessions(maxIdle);
        m_app->setStartupCheckMs(600000);
        m_newMail = std::make_unique<QSignalSpy>(m_app.get(), &host::Application::NewMail);
        m_app->start();
    }

    void command(const QByteArray &text)
    {
        bool ok = false;
        m_client->run(text, &ok);
        ASSERT_TRUE(ok) << text.toStdString();
    }

    // Lets the virtual clock run in small steps (reconnect pauses, arrival bursts) until
    // done() holds.
    bool runUntil(const std::function<bool()> &done, int steps = 300)
    {
        for (int i = 0; i < steps; ++i) {
            if (waitUntil(done, 100))
                return true;
            m_time.clock.advance(60);
        }
        return done();
    }

    bool listed(const QByteArray &mailbox) const
    {
        for (const ImapAccount::Mailbox &m : m_app->accounts().first()->mailboxes()) {
            if (m.raw == mailbox)
                return true;
        }
        return false;
    }

    QString problems() const { return m_app->problems(); }

    // Delivers into the mailbox and waits for the announcement.
    bool announced(const QByteArray &mailbox, const QByteArray &subject)
    {
        m_newMail->clear();
        if (!m_client->append(mailbox, message(subject)))
            return false;
        return runUntil([&] { return m_newMail->count() >= 1; });
    }

    VirtualClockScope m_time;
    DovecotServer m_server;
    std::unique_ptr<ImapTestClient> m_client;
    std::unique_ptr<ImapApplication> m_app;
    std::unique_ptr<QSignalSpy> m_newMail;
};

// Without NOTIFY nothing happens while the sessions idle (the host does not poll); the IDLE
// renewal lists, and the new mailbox is offered and watched from then on.
TEST_F(ImapMailboxChanges, AMailboxMadeWhileRunningJoinsAtTheIdleRenewalAndNotBefore)
{
    startHost();
    ASSERT_TRUE(waitUntil([&] { return m_app->watcher()->idlingCount() == 1; }));
    command("CREATE Projekte");
    // A short while of idling, well before the renewal: nothing is asked.
    waitUntil([] { return false; }, 300);
    m_time.clock.advance(60 * 1000);
    waitUntil([] { return false; }, 200);
    EXPECT_EQ(m_app->watcher()->idlingCount(), 1);
    EXPECT_FALSE(listed("Projekte"));

    m_time.clock.advance(PastIdleRenewal);
    ASSERT_TRUE(runUntil([&] { return m_app->watcher()->idlingCount() == 2; }));
    EXPECT_TRUE(listed("Projekte"));
    // The picker's tree, read again, offers it below the Inbox.
    const host::FolderPtr inbox = m_app->GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(host::FolderInbox);
    QStringList names;
    for (int i = 1; i <= inbox->folders()->Count(); ++i)
        names.append(inbox->folders()->Item(i)->Name());
    EXPECT_TRUE(names.contains(QStringLiteral("Projekte"))) << names.join(' ').toStdString();
    EXPECT_TRUE(announced("Projekte", "into the new one"));
}

// Dovecot ends the session of a deleted mailbox; the host reports the mailbox by its name
// (decoded from modified UTF-7), and once it is made again watches it again: its mail is
// announced and the problem is over.
TEST_F(ImapMailboxChanges, AWatchedMailboxDeletedAndMadeAgainIsWatchedAgain)
{
    command("CREATE B&APw-ro");
    startHost();
    ASSERT_TRUE(waitUntil([&] { return m_app->watcher()->idlingCount() == 2; }));

    command("DELETE B&APw-ro");
    const QString gone = QStringLiteral("The mailbox \"Büro\" is gone from");
    ASSERT_TRUE(runUntil([&] { return problems().contains(gone); })) << problems().toStdString();
    EXPECT_FALSE(problems().contains(QStringLiteral("B&APw-ro"))) << problems().toStdString();
    ASSERT_TRUE(runUntil([&] { return m_app->watcher()->idlingCount() == 1; }));

    command("CREATE B&APw-ro");
    m_time.clock.advance(PastIdleRenewal);
    ASSERT_TRUE(runUntil([&] { return m_app->watcher()->idlingCount() == 2; })) << problems().toStdString();
    EXPECT_TRUE(runUntil([&] { return problems().isEmpty(); })) << problems().toStdString();
    EXPECT_TRUE(announced("B&APw-ro", "after it came back"));
}

// A rename keeps Dovecot's session on the mailbox: only the list tells. The old name is
// reported as gone, the new one watched.
TEST_F(ImapMailboxChanges, AWatchedMailboxRenamedIsReportedByItsOldNameAndWatchedUnderTheNew)
{
    command("CREATE B&APw-ro");
    TraceCapture trace;
    startHost();
    ASSERT_TRUE(waitUntil([&] { return m_app->watcher()->idlingCount() == 2; }));

    command("RENAME B&APw-ro Archiv");
    m_time.clock.advance(PastIdleRenewal);
    ASSERT_TRUE(runUntil([&] { return problems().contains(QStringLiteral("The mailbox \"Büro\" is gone from")); }))
        << problems().toStdString();
    EXPECT_GE(trace.count(QRegularExpression(QStringLiteral("\"Büro\" is no longer listed"))), 1)
        << trace.lines().join('\n').toStdString();
    ASSERT_TRUE(runUntil([&] { return m_app->watcher()->idlingCount() == 2 && listed("Archiv"); }));
    EXPECT_TRUE(announced("Archiv", "under the new name"));
}

// Beyond the IDLE limit the NOTIFY session hears of new mailboxes as they are made, with no
// renewal needed.
TEST_F(ImapMailboxChanges, WithNotifyAMailboxMadeOrDeletedIsFollowedAtOnce)
{
    command("CREATE Lists");
    startHost(1);
    ImapWatcher *watcher = m_app->watcher();
    ASSERT_TRUE(waitUntil([&] { return watcher->idlingCount() == 1 && watcher->notifyCount() == 1; }));

    command("CREATE Neu");
    ASSERT_TRUE(waitUntil([&] { return watcher->notifyCount() == 2; }, 10000));
    EXPECT_TRUE(listed("Neu"));
    EXPECT_TRUE(announced("Neu", "told by NOTIFY"));

    command("DELETE Lists");
    ASSERT_TRUE(waitUntil([&] { return problems().contains(QStringLiteral("The mailbox \"Lists\" is gone")); }, 10000))
        << problems().toStdString();
    EXPECT_TRUE(waitUntil([&] { return watcher->notifyCount() == 1; }));
}

// A refused certificate: the trace says that nothing is watched, and why, rather than a
// number of mailboxes being watched.
TEST_F(ImapMailboxChanges, ARefusedCertificateIsTracedAsNothingWatched)
{
    TraceCapture trace;
    ImapAccountConfig untrusted = account();
    untrusted.trustedFingerprints.clear();
    startHost(8, untrusted);
    const QRegularExpression notWatching(QStringLiteral("not watching Inbox: .*not trusted"));
    ASSERT_TRUE(waitUntil([&] { return trace.count(notWatching) == 1; })) << trace.lines().join('\n').toStdString();
    EXPECT_EQ(trace.count(QRegularExpression(QStringLiteral("watching \\d+ mailbox"))), 0)
        << trace.lines().join('\n').toStdString();
    EXPECT_EQ(trace.count(QRegularExpression(QStringLiteral("nothing is watched yet"))), 1)
        << trace.lines().join('\n').toStdString();
    EXPECT_EQ(m_app->watcher()->idlingCount(), 0);
}

// \Seen set by another client reaches what the host knows through the IDLE session alone:
// the look before showing needs no request of its own.
TEST_F(ImapMailboxChanges, ReadElsewhereIsKnownWithoutAskingTheServer)
{
    ASSERT_TRUE(m_client->append("INBOX", message("one")));
    ASSERT_TRUE(m_client->append("INBOX", message("two")));
    startHost();
    ASSERT_TRUE(waitUntil([&] { return m_app->watcher()->idlingCount() == 1; }));
    host::NameSpace *ns = m_app->GetNamespace(QStringLiteral("MAPI"));
    const host::FolderPtr inbox = ns->GetDefaultFolder(host::FolderInbox);
    QStringList ids;
    host::ItemsPtr items = inbox->items();
    for (host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true")); item; item = items->FindNext())
        ids.append(item->EntryID());
    ASSERT_EQ(ids.size(), 2);
    ASSERT_TRUE(waitUntil([&] { return ns->KnownUnread(ids.at(0), inbox->StoreID()) == 1; }));

    command("SELECT INBOX");
    command("STORE 1 +FLAGS (\\Seen)");
    ASSERT_TRUE(waitUntil([&] { return ns->KnownUnread(ids.at(0), inbox->StoreID()) == 0; }, 10000));
    EXPECT_EQ(ns->KnownUnread(ids.at(1), inbox->StoreID()), 1);
    // An id the host never saw is not guessed at.
    EXPECT_EQ(ns->KnownUnread(ImapAccount::itemEntryId(account().key(), "INBOX", 1, 999), inbox->StoreID()), -1);
}

} // namespace
