// The IMAP host against a real Dovecot started by the test.
#include "host/imap/ImapAccount.h"
#include "host/imap/ImapApplication.h"
#include "host/imap/ImapConnection.h"
#include "host/imap/ImapWatcher.h"
#include "tests/testsupport/DovecotServer.h"
#include "tests/testsupport/ImapTestClient.h"
#include "tests/testsupport/TraceCapture.h"
#include "tests/testsupport/VirtualClock.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace lumora;
using lumora::test::DovecotServer;
using lumora::test::ImapTestClient;
using lumora::test::TraceCapture;
using lumora::test::waitUntil;

namespace {

const QByteArray Greeting = "From: =?UTF-8?Q?Zo=C3=AB_Example?= <zoe@example.org>\r\n"
                            "Subject: =?UTF-8?B?R3LDvMOfZQ==?=\r\n"
                            "Date: Mon, 7 Dec 2026 10:00:00 +0100\r\n"
                            "Message-ID: <greeting@example.org>\r\n"
                            "\r\n"
                            "Hello.\r\n";

QByteArray message(const QByteArray &subject)
{
    return "From: Sender <s@example.org>\r\nSubject: " + subject + "\r\n\r\nBody\r\n";
}

// The trace line of a session told that its Inbox now holds count messages.
QRegularExpression arrivalLine(int count)
{
    return QRegularExpression(QStringLiteral(": %1 message\\(s\\) in INBOX$").arg(count));
}

class ImapHost : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!DovecotServer::unavailableReason().isEmpty())
            return;
        s_server = new DovecotServer();
        if (!s_server->start())
            ADD_FAILURE() << s_server->errorText().toStdString();
    }

    static void TearDownTestSuite()
    {
        delete s_server;
        s_server = nullptr;
    }

    void SetUp() override
    {
        const QString reason = DovecotServer::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << "no IMAP server to test against: " << reason.toStdString();
        ASSERT_TRUE(s_server && s_server->start()) << (s_server ? s_server->errorText().toStdString() : "");
    }

    // A fresh user per test: Dovecot gives each its own mail.
    ImapAccountConfig account(const QString &password = QStringLiteral("secret")) const
    {
        ImapAccountConfig c;
        c.host = QStringLiteral("127.0.0.1");
        c.port = s_server->imapsPort();
        c.user = QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()).toLower();
        c.password = password;
        c.trustedFingerprints = {s_server->fingerprint()};
        return c;
    }

    static std::unique_ptr<ImapApplication> startHost(const ImapAccountConfig &config, int maxIdle = 8)
    {
        auto app = std::make_unique<ImapApplication>(QList<ImapAccountConfig>{config});
        app->watcher()->setBackoff(50, 400);
        app->watcher()->setMaxIdleSessions(maxIdle);
        // The start-up announcement has its own test; here it would add to the counts.
        app->setStartupCheckMs(600000);
        app->start();
        return app;
    }

    static host::FolderPtr inbox(ImapApplication &app)
    {
        return app.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(host::FolderInbox);
    }

    static QStringList unreadSubjects(host::MAPIFolder &folder)
    {
        QStringList subjects;
        host::ItemsPtr items = folder.items();
        for (host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true")); item; item = items->FindNext())
            subjects.append(item->Subject());
        return subjects;
    }

    static inline DovecotServer *s_server = nullptr;
};

TEST_F(ImapHost, AppendGivesOneNewMailAndTheScanReadsDecodedHeadersWithoutMarkingRead)
{
    ImapTestClient client(account());
    ASSERT_TRUE(client.isReady());
    // The burst's wait runs on the virtual clock; the server's report is waited for in the trace.
    VirtualClockScope time;
    TraceCapture trace;
    auto app = startHost(account());
    // The Inbox is watched; the Trash receives only our own deletions and is not.
    ASSERT_TRUE(waitUntil([&] { return app->watcher()->idlingCount() == 1; }));
    QSignalSpy newMail(app.get(), &host::Application::NewMail);

    ASSERT_TRUE(client.append("INBOX", Greeting));
    ASSERT_TRUE(waitUntil([&] { return trace.count(arrivalLine(1)) == 1; }));
    EXPECT_EQ(newMail.count(), 0);
    time.clock.advance(ImapWatcher::QuietMs);
    EXPECT_EQ(newMail.count(), 1);
    time.clock.advance(ImapWatcher::MaxDelayMs);
    EXPECT_EQ(newMail.count(), 1);

    host::ItemsPtr items = inbox(*app)->items();
    host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->SenderName(), QStringLiteral("Zoë Example"));
    EXPECT_EQ(item->Subject(), QStringLiteral("Grüße"));
    EXPECT_TRUE(item->UnRead());
    EXPECT_LE(qAbs(item->ReceivedTime().secsTo(QDateTime::currentDateTime())), 60);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]+$")).match(item->EntryID()).hasMatch());
    // Known again after a move to another mailbox, where the UID is new.
    EXPECT_EQ(item->MessageKey(), QStringLiteral("<greeting@example.org>"));
    EXPECT_EQ(item->OriginTime(), item->ReceivedTime());
    EXPECT_FALSE(items->FindNext());

    // Neither the search nor the header fetch set \Seen; a message read elsewhere is not found.
    EXPECT_FALSE(client.flags("INBOX").contains("\\Seen"));
    client.run("SELECT INBOX");
    client.run("STORE 1 +FLAGS (\\Seen)");
    EXPECT_FALSE(inbox(*app)->items()->Find(QStringLiteral("[Unread] = true")));
}

TEST_F(ImapHost, MailWaitingOnTheServerAtStartIsAnnouncedOnce)
{
    ImapTestClient client(account());
    ASSERT_TRUE(client.append("INBOX", message("waiting")));
    VirtualClockScope time;
    auto app = std::make_unique<ImapApplication>(QList<ImapAccountConfig>{account()});
    QSignalSpy newMail(app.get(), &host::Application::NewMail);
    app->start();
    ASSERT_TRUE(waitUntil([&] { return app->watcher()->idlingCount() == 1; }));
    // Announced once the add-ins have had their time to connect, not before; the session
    // that found the message at its start does not announce it again.
    time.clock.advance(ImapApplication::StartupCheckMs - 1);
    EXPECT_EQ(newMail.count(), 0);
    time.clock.advance(1);
    EXPECT_EQ(newMail.count(), 1);
    time.clock.advance(ImapWatcher::MaxDelayMs);
    EXPECT_EQ(newMail.count(), 1);
    EXPECT_EQ(unreadSubjects(*inbox(*app)), QStringList{QStringLiteral("waiting")});
}

TEST_F(ImapHost, BurstOfAppendsGivesOneNewMailAndOldestFirst)
{
    ImapTestClient client(account());
    VirtualClockScope time;
    TraceCapture trace;
    auto app = startHost(account());
    ASSERT_TRUE(waitUntil([&] { return app->watcher()->idlingCount() == 1; }));
    QSignalSpy newMail(app.get(), &host::Application::NewMail);
    for (const char *subject : {"one", "two", "three"})
        ASSERT_TRUE(client.append("INBOX", message(subject)));
    ASSERT_TRUE(waitUntil([&] { return trace.count(arrivalLine(3)) == 1; }));
    time.clock.advance(ImapWatcher::MaxDelayMs);
    EXPECT_EQ(newMail.count(), 1);
    EXPECT_EQ(unreadSubjects(*inbox(*app)),
              (QStringList{QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}));
}

TEST_F(ImapHost, DeleteMovesTheMessageIntoTrashOnTheServer)
{
    ImapTestClient client(account());
    ASSERT_TRUE(client.append("INBOX", message("bin me")));
    ASSERT_TRUE(client.append("INBOX", message("keep me")));
    auto app = startHost(account());
    host::ItemPtr item = inbox(*app)->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(item);
    const QString id = item->EntryID();
    host::NameSpace *ns = app->GetNamespace(QStringLiteral("MAPI"));
    const QString storeId = inbox(*app)->StoreID();
    ASSERT_TRUE(ns->GetItemFromID(id, storeId));

    EXPECT_TRUE(item->Delete());
    EXPECT_EQ(client.count("INBOX"), 1);
    EXPECT_EQ(client.count("Trash"), 1);
    // Gone from the Inbox: the id no longer finds it, and a second delete reports failure.
    EXPECT_FALSE(ns->GetItemFromID(id, storeId));
    EXPECT_FALSE(item->Delete());
    EXPECT_EQ(client.count("Trash"), 1);
    EXPECT_EQ(unreadSubjects(*inbox(*app)), QStringList{QStringLiteral("keep me")});
    host::FolderPtr trash = ns->GetDefaultFolder(host::FolderDeletedItems);
    ASSERT_TRUE(trash);
    EXPECT_EQ(unreadSubjects(*trash), QStringList{QStringLiteral("bin me")});
}

TEST_F(ImapHost, ServerRestartMidIdleReconnectsAndReportsMailDeliveredMeanwhile)
{
    auto app = startHost(account());
    ASSERT_TRUE(waitUntil([&] { return app->watcher()->idlingCount() == 1; }));
    QSignalSpy newMail(app.get(), &host::Application::NewMail);

    s_server->stop();
    ASSERT_TRUE(waitUntil([&] { return app->watcher()->idlingCount() == 0; }));
    ASSERT_TRUE(s_server->deliver(account().user, message("while you were away")))
        << s_server->errorText().toStdString();
    ASSERT_TRUE(s_server->start()) << s_server->errorText().toStdString();
    ASSERT_TRUE(waitUntil([&] { return app->watcher()->idlingCount() == 1 && newMail.count() >= 1; }, 10000));
    EXPECT_EQ(unreadSubjects(*inbox(*app)), QStringList{QStringLiteral("while you were away")});
    EXPECT_TRUE(app->problems().isEmpty()) << app->problems().toStdString();

    // And the new session reports arrivals as the first did.
    newMail.clear();
    ImapTestClient client(account());
    ASSERT_TRUE(client.append("INBOX", message("after")));
    EXPECT_TRUE(waitUntil([&] { return newMail.count() >= 1; }));
}

TEST_F(ImapHost, ProblemsAreReportedInWordsTheUserCanActOn)
{
    {
        auto app = startHost(account(QStringLiteral("wrong")));
        EXPECT_TRUE(app->problems().contains(QStringLiteral("refused the user name or password")))
            << app->problems().toStdString();
        EXPECT_FALSE(inbox(*app)->items()->Find(QStringLiteral("[Unread] = true")));
        EXPECT_EQ(app->watcher()->idlingCount(), 0);
    }
    {
        ImapAccountConfig untrusted = account();
        untrusted.trustedFingerprints.clear();
        auto app = startHost(untrusted);
        EXPECT_TRUE(app->problems().contains(QStringLiteral("is not trusted"))) << app->problems().toStdString();
        EXPECT_TRUE(app->problems().contains(s_server->fingerprint()));
        // Once the user trusts the fingerprint the account works.
        app->accounts().first()->trustFingerprint(s_server->fingerprint());
        app->watcher()->resume();
        EXPECT_TRUE(waitUntil([&] { return app->watcher()->idlingCount() == 1; }));
        EXPECT_TRUE(app->problems().isEmpty()) << app->problems().toStdString();
    }
    {
        ImapAccountConfig nowhere = account();
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost, 0);
        nowhere.port = closed.serverPort();
        closed.close();
        auto app = startHost(nowhere);
        EXPECT_TRUE(app->problems().contains(QStringLiteral("cannot be reached"))) << app->problems().toStdString();
    }
}

TEST_F(ImapHost, StaleIdsFailCleanlyAfterUidValidityChanges)
{
    ImapTestClient client(account());
    client.run("CREATE Work");
    ASSERT_TRUE(client.append("Work", message("old")));
    auto app = startHost(account());
    host::NameSpace *ns = app->GetNamespace(QStringLiteral("MAPI"));
    const QString storeId = inbox(*app)->StoreID();
    const QString key = app->accounts().first()->config().key();
    host::FolderPtr work = ns->GetFolderFromID(ImapAccount::folderEntryId(key, "Work"), storeId);
    ASSERT_TRUE(work);
    host::ItemPtr old = work->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(old);
    const QString oldId = old->EntryID();

    // Recreating the mailbox gives it a new UIDVALIDITY; UID 1 is now another message.
    client.run("DELETE Work");
    client.run("CREATE Work");
    ASSERT_TRUE(client.append("Work", message("new")));
    EXPECT_FALSE(ns->GetItemFromID(oldId, storeId));
    EXPECT_FALSE(old->Delete());
    EXPECT_EQ(client.count("Work"), 1);
    EXPECT_EQ(client.count("Trash"), 0);
    host::ItemPtr fresh = work->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(fresh);
    EXPECT_NE(fresh->EntryID(), oldId);
    EXPECT_EQ(fresh->Subject(), QStringLiteral("new"));

    // A mailbox deleted on the server gives no folder.
    client.run("DELETE Work");
    EXPECT_FALSE(ns->GetFolderFromID(ImapAccount::folderEntryId(key, "Work"), storeId));
}

TEST_F(ImapHost, AMessageMovedToAnotherMailboxKeepsItsKeyAndTime)
{
    // A new UID in the other mailbox, but the same message: the add-in knows it again.
    ImapTestClient client(account());
    ASSERT_TRUE(client.isReady());
    client.run("CREATE Archive");
    ASSERT_TRUE(client.append("INBOX", Greeting));
    auto app = startHost(account());
    host::ItemPtr before = inbox(*app)->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(before);
    const QString key = before->MessageKey();
    const QDateTime origin = before->OriginTime();
    EXPECT_EQ(key, QStringLiteral("<greeting@example.org>"));
    ASSERT_TRUE(origin.isValid());

    bool ok = false;
    client.run("SELECT INBOX", &ok);
    client.run("UID MOVE 1:* Archive", &ok);
    ASSERT_TRUE(ok);
    host::FolderPtr archive;
    host::FoldersPtr subs = inbox(*app)->folders();
    for (int i = 1; i <= subs->Count(); ++i) {
        if (subs->Item(i)->Name() == QLatin1String("Archive"))
            archive = subs->Item(i);
    }
    ASSERT_TRUE(archive);
    host::ItemPtr after = archive->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(after);
    EXPECT_NE(after->EntryID(), before->EntryID());
    EXPECT_EQ(after->MessageKey(), key);
    EXPECT_EQ(after->OriginTime(), origin);

    // Old mail put on the server now (a first upload, a restore) keeps the day it came.
    client.run("APPEND Archive () \"04-Dec-2026 10:00:00 +0000\" {" + QByteArray::number(Greeting.size()) + "}", &ok,
               Greeting);
    ASSERT_TRUE(ok);
    host::ItemsPtr items = archive->items();
    QList<QDateTime> origins;
    for (host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true")); item; item = items->FindNext())
        origins.append(item->OriginTime());
    EXPECT_TRUE(origins.contains(QDateTime(QDate(2026, 12, 4), QTime(10, 0), Qt::UTC))) << origins.size();
}

TEST_F(ImapHost, FolderTreeOverStartTlsWithIdsThatSurviveARestart)
{
    ImapAccountConfig config = account();
    config.security = ImapAccountConfig::Security::StartTls;
    config.port = s_server->imapPort();
    ImapTestClient client(config);
    ASSERT_TRUE(client.isReady());
    for (const char *name : {"Gr&APwA3w-e", "Work", "Work.Reports"})
        client.run(QByteArray("CREATE ") + name);
    ASSERT_TRUE(client.append("Work.Reports", message("quarterly")));

    QString folderId;
    QString itemId;
    QString storeId;
    {
        auto app = startHost(config);
        host::FoldersPtr tops = app->GetNamespace(QStringLiteral("MAPI"))->folders();
        ASSERT_EQ(tops->Count(), 1);
        host::FolderPtr top = tops->Item(1);
        EXPECT_EQ(top->Name(), QStringLiteral("Inbox"));
        QStringList names;
        host::FolderPtr work;
        for (int i = 1; i <= top->folders()->Count(); ++i) {
            names.append(top->folders()->Item(i)->Name());
            if (names.last() == QLatin1String("Work"))
                work = top->folders()->Item(i);
        }
        names.sort();
        EXPECT_EQ(names, (QStringList{QStringLiteral("Grüße"), QStringLiteral("Trash"), QStringLiteral("Work")}));
        ASSERT_TRUE(work);
        ASSERT_EQ(work->folders()->Count(), 1);
        host::FolderPtr reports = work->folders()->Item(1);
        EXPECT_EQ(reports->Name(), QStringLiteral("Reports"));
        EXPECT_TRUE(reports->FolderPath().endsWith(QStringLiteral("/Work/Reports")))
            << reports->FolderPath().toStdString();
        folderId = reports->EntryID();
        storeId = reports->StoreID();
        itemId = reports->items()->Find(QStringLiteral("[Unread] = true"))->EntryID();
    }
    auto again = startHost(config);
    host::NameSpace *ns = again->GetNamespace(QStringLiteral("MAPI"));
    host::FolderPtr reports = ns->GetFolderFromID(folderId, storeId);
    ASSERT_TRUE(reports);
    EXPECT_EQ(reports->Name(), QStringLiteral("Reports"));
    host::ItemPtr item = ns->GetItemFromID(itemId, storeId);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->Subject(), QStringLiteral("quarterly"));
}

TEST_F(ImapHost, MailboxesBeyondTheIdleLimitAreWatchedWithNotify)
{
    ImapTestClient client(account());
    for (const char *name : {"Lists", "Family"})
        client.run(QByteArray("CREATE ") + name);
    auto app = startHost(account(), 1);
    ASSERT_TRUE(waitUntil([&] { return app->watcher()->idlingCount() == 1 && app->watcher()->notifyCount() == 2; }));
    EXPECT_EQ(app->watcher()->statusRoundCount(), 0);
    QSignalSpy newMail(app.get(), &host::Application::NewMail);
    ASSERT_TRUE(client.append("Family", message("dinner")));
    ASSERT_TRUE(waitUntil([&] { return newMail.count() >= 1; }));
    host::NameSpace *ns = app->GetNamespace(QStringLiteral("MAPI"));
    host::FolderPtr family = ns->GetFolderFromID(
        ImapAccount::folderEntryId(app->accounts().first()->config().key(), "Family"), inbox(*app)->StoreID());
    ASSERT_TRUE(family);
    EXPECT_EQ(unreadSubjects(*family), QStringList{QStringLiteral("dinner")});
}

TEST_F(ImapHost, AWatchedMailboxDeletedOnTheServerIsReportedAndTheRestWatchedOn)
{
    ImapTestClient client(account());
    // "Büro" in the modified UTF-7 of mailbox names: the report shows the decoded name.
    client.run("CREATE B&APw-ro");
    auto app = startHost(account());
    ASSERT_TRUE(waitUntil([&] { return app->watcher()->idlingCount() == 2; }));

    bool ok = false;
    client.run("DELETE B&APw-ro", &ok);
    ASSERT_TRUE(ok);
    ASSERT_TRUE(waitUntil([&] { return app->problems().contains(QStringLiteral("gone")); }, 10000))
        << app->problems().toStdString();
    EXPECT_TRUE(app->problems().contains(QStringLiteral("The mailbox \"Büro\" is gone from")))
        << app->problems().toStdString();

    QSignalSpy newMail(app.get(), &host::Application::NewMail);
    ASSERT_TRUE(client.append("INBOX", message("still watched")));
    EXPECT_TRUE(waitUntil([&] { return newMail.count() >= 1; }));
}

// A server without MOVE: the message is copied to Trash and marked deleted, and removed
// from the Inbox by UID EXPUNGE where UIDPLUS allows it; else it stays marked for the mail
// client to expunge, and is not announced again.
class ImapHostWithoutMove : public ImapHost
{
protected:
    // The rest of the test talks to a server that offers neither MOVE nor these capabilities.
    void useServerWith(const char *capabilities)
    {
        m_own = std::make_unique<DovecotServer>(
            20,
            QStringLiteral("imap_capability = IMAP4rev1 LITERAL+ SASL-IR LOGIN-REFERRALS ID ENABLE IDLE "
                           "NAMESPACE SPECIAL-USE ")
                + QLatin1String(capabilities));
        ASSERT_TRUE(m_own->start()) << m_own->errorText().toStdString();
        m_shared = s_server;
        s_server = m_own.get();
    }

    void TearDown() override
    {
        if (m_shared)
            s_server = m_shared;
    }

    void deleteFirstOf(const QStringList &subjects, qint64 inboxAfter)
    {
        ImapTestClient client(account());
        bool ok = false;
        const QList<ImapResponse> capability = client.run("CAPABILITY", &ok);
        ASSERT_TRUE(ok && !capability.isEmpty());
        ASSERT_EQ(capability.first().word(0), "CAPABILITY");
        ASSERT_NE(capability.first().word(1), QByteArray());
        for (qsizetype i = 1; capability.first().word(i).size(); ++i)
            ASSERT_NE(capability.first().word(i), "MOVE");
        for (const QString &subject : subjects)
            ASSERT_TRUE(client.append("INBOX", message(subject.toUtf8())));
        auto app = startHost(account());
        host::ItemPtr item = inbox(*app)->items()->Find(QStringLiteral("[Unread] = true"));
        ASSERT_TRUE(item);
        EXPECT_TRUE(item->Delete());
        EXPECT_EQ(client.count("INBOX"), inboxAfter);
        EXPECT_EQ(client.count("Trash"), 1);
        EXPECT_EQ(unreadSubjects(*inbox(*app)), subjects.mid(1));
    }

private:
    std::unique_ptr<DovecotServer> m_own;
    DovecotServer *m_shared = nullptr;
};

TEST_F(ImapHostWithoutMove, DeleteCopiesMarksAndExpungesOnlyThatMessage)
{
    useServerWith("UIDPLUS");
    deleteFirstOf({QStringLiteral("bin me"), QStringLiteral("keep me")}, 1);
}

TEST_F(ImapHostWithoutMove, WithoutUidExpungeTheMessageStaysMarkedAndIsNotAnnouncedAgain)
{
    useServerWith("");
    deleteFirstOf({QStringLiteral("bin me"), QStringLiteral("keep me")}, 2);
    ImapTestClient client(account());
    EXPECT_TRUE(client.flags("INBOX").contains("\\Deleted"));
}

} // namespace

namespace {

TEST_F(ImapHost, MarkReadSetsSeenOnTheServerAndTheCountFollows)
{
    ImapTestClient client(account());
    ASSERT_TRUE(client.append("INBOX", message("read me")));
    ASSERT_TRUE(client.append("INBOX", message("leave me")));
    auto app = startHost(account());
    host::FolderPtr folder = inbox(*app);
    EXPECT_TRUE(waitUntil([&] { return folder->UnReadItemCount() == 2; }));
    host::ItemPtr item = folder->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(item);

    EXPECT_TRUE(item->MarkRead());
    EXPECT_TRUE(item->MarkRead()); // read already
    EXPECT_EQ(client.flags("INBOX").count("\\Seen"), 1);
    EXPECT_EQ(unreadSubjects(*inbox(*app)), QStringList{QStringLiteral("leave me")});
    // The watching session hears of the flag and counts again.
    EXPECT_TRUE(waitUntil([&] { return folder->UnReadItemCount() == 1; }));

    // A message gone from the server is not reported as read.
    ASSERT_TRUE(item->Delete());
    EXPECT_FALSE(item->MarkRead());
    EXPECT_FALSE(item->ErrorText().isEmpty());
}

TEST_F(ImapHost, CountFollowsFlagsChangedByAnotherClient)
{
    ImapTestClient client(account());
    for (const char *subject : {"a", "b", "c"})
        ASSERT_TRUE(client.append("INBOX", message(subject)));
    auto app = startHost(account());
    host::FolderPtr folder = inbox(*app);
    ASSERT_TRUE(waitUntil([&] { return folder->UnReadItemCount() == 3; }));
    QSignalSpy changed(app.get(), &host::Application::UnreadChanged);

    bool ok = false;
    client.run("SELECT INBOX", &ok);
    ASSERT_TRUE(ok);
    client.run("STORE 1:2 +FLAGS (\\Seen)", &ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(waitUntil([&] { return folder->UnReadItemCount() == 1; }));
    EXPECT_GE(changed.count(), 1);

    client.run("STORE 1 -FLAGS (\\Seen)", &ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(waitUntil([&] { return folder->UnReadItemCount() == 2; }));
    // New mail counts as unread as it comes.
    ASSERT_TRUE(client.append("INBOX", message("d")));
    EXPECT_TRUE(waitUntil([&] { return folder->UnReadItemCount() == 3; }));
}

TEST_F(ImapHost, MailboxesWatchedWithNotifyAreCountedToo)
{
    ImapTestClient client(account());
    client.run("CREATE Lists");
    ASSERT_TRUE(client.append("Lists", message("one")));
    ASSERT_TRUE(client.append("Lists", message("two")));
    auto app = startHost(account(), 1);
    ASSERT_TRUE(waitUntil([&] { return app->watcher()->notifyCount() == 1; }));
    host::NameSpace *ns = app->GetNamespace(QStringLiteral("MAPI"));
    host::FolderPtr lists = ns->GetFolderFromID(
        ImapAccount::folderEntryId(app->accounts().first()->config().key(), "Lists"), inbox(*app)->StoreID());
    ASSERT_TRUE(lists);
    EXPECT_TRUE(waitUntil([&] { return lists->UnReadItemCount() == 2; }));
    bool ok = false;
    client.run("SELECT Lists", &ok);
    ASSERT_TRUE(ok);
    client.run("STORE 1 +FLAGS (\\Seen)", &ok);
    ASSERT_TRUE(ok);
    client.run("UNSELECT", &ok);
    EXPECT_TRUE(waitUntil([&] { return lists->UnReadItemCount() == 1; }));
    ASSERT_TRUE(client.append("Lists", message("three")));
    EXPECT_TRUE(waitUntil([&] { return lists->UnReadItemCount() == 2; }));
}

} // namespace
