// The IMAP host against each real server the test suite can start: what holds for one
// holds for all, and where a server differs the host still follows the protocol.
#include "host/imap/ImapAccount.h"
#include "host/imap/ImapApplication.h"
#include "host/imap/ImapWatcher.h"
#include "tests/testsupport/CourierServer.h"
#include "tests/testsupport/CyrusServer.h"
#include "tests/testsupport/DovecotServer.h"
#include "tests/testsupport/ImapTestClient.h"
#include "tests/testsupport/TraceCapture.h"
#include "tests/testsupport/VirtualClock.h"

#include <QRegularExpression>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace lumora;
using lumora::test::CourierServer;
using lumora::test::CyrusServer;
using lumora::test::DovecotServer;
using lumora::test::ImapTestClient;
using lumora::test::ImapTestServer;
using lumora::test::TraceCapture;
using lumora::test::waitUntil;

namespace {

enum class Server {
    Dovecot,
    Cyrus,
    Courier
};

QString unavailableReason(Server kind)
{
    switch (kind) {
    case Server::Dovecot:
        return DovecotServer::unavailableReason();
    case Server::Cyrus:
        return CyrusServer::unavailableReason();
    case Server::Courier:
        return CourierServer::unavailableReason();
    }
    return {};
}

std::unique_ptr<ImapTestServer> makeServer(Server kind)
{
    switch (kind) {
    case Server::Dovecot:
        return std::make_unique<DovecotServer>();
    case Server::Cyrus:
        return std::make_unique<CyrusServer>();
    case Server::Courier:
        return std::make_unique<CourierServer>();
    }
    return {};
}

QByteArray message(const QByteArray &subject)
{
    return "From: Sender <s@example.org>\r\nSubject: " + subject + "\r\n\r\nBody\r\n";
}

QRegularExpression arrivalLine(int count)
{
    return QRegularExpression(QStringLiteral(": %1 message\\(s\\) in INBOX$").arg(count));
}

class ImapServers : public ::testing::TestWithParam<Server>
{
protected:
    static void TearDownTestSuite() { s_servers.clear(); }

    void SetUp() override
    {
        const QString reason = unavailableReason(GetParam());
        if (!reason.isEmpty())
            GTEST_SKIP() << "no server to test against: " << reason.toStdString();
        std::unique_ptr<ImapTestServer> &server = s_servers[GetParam()];
        if (!server)
            server = makeServer(GetParam());
        m_server = server.get();
        ASSERT_TRUE(m_server->start()) << m_server->errorText().toStdString();
        ASSERT_TRUE(m_server->addUser(userName())) << m_server->errorText().toStdString();
    }

    void TearDown() override
    {
        if (HasFailure() && m_server) {
            const QStringList lines = m_server->log().split(QLatin1Char('\n'));
            std::cerr << m_server->name().toStdString() << " said last:\n"
                      << lines.mid(qMax(0, int(lines.size()) - 30)).join(QLatin1Char('\n')).toStdString() << '\n';
        }
    }

    // A fresh user per test, so each starts with an empty Inbox.
    static QString userName()
    {
        QString user = QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()).toLower();
        return user.remove(QRegularExpression(QStringLiteral("[^a-z0-9]")));
    }

    ImapAccountConfig account(const QString &password = QStringLiteral("secret")) const
    {
        ImapAccountConfig c;
        c.host = QStringLiteral("127.0.0.1");
        c.port = m_server->loginPort();
        c.security =
            m_server->implicitTls() ? ImapAccountConfig::Security::ImplicitTls : ImapAccountConfig::Security::Plain;
        c.user = userName();
        c.password = password;
        if (!m_server->fingerprint().isEmpty())
            c.trustedFingerprints = {m_server->fingerprint()};
        return c;
    }

    QByteArray mailbox(const QByteArray &name) const { return m_server->mailbox(name); }

    host::FolderPtr folder(ImapApplication &app, const QByteArray &name) const
    {
        return app.GetNamespace(QStringLiteral("MAPI"))
            ->GetFolderFromID(ImapAccount::folderEntryId(app.accounts().first()->config().key(), mailbox(name)),
                              inbox(app)->StoreID());
    }

    static std::unique_ptr<ImapApplication> startHost(const ImapAccountConfig &config)
    {
        auto app = std::make_unique<ImapApplication>(QList<ImapAccountConfig>{config});
        app->watcher()->setBackoff(50, 400);
        // Mail waiting at start is announced on its own; here it would add to the counts.
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

    // Waits for done() while the virtual clock runs on, so retries that wait on it happen.
    static bool waitRunningClock(VirtualClockScope &time, const std::function<bool()> &done, int ms = 15000)
    {
        return waitUntil(
            [&] {
                time.clock.advance(10);
                return done();
            },
            ms);
    }

    ImapTestServer *m_server = nullptr;
    static inline std::map<Server, std::unique_ptr<ImapTestServer>> s_servers;
};

TEST_P(ImapServers, LoginThenIdleAnnouncesEachArrivalOnce)
{
    {
        auto refused = startHost(account(QStringLiteral("wrong")));
        EXPECT_TRUE(refused->problems().contains(QStringLiteral("refused the user name or password")))
            << refused->problems().toStdString();
        EXPECT_EQ(refused->watcher()->idlingCount(), 0);
    }

    ImapTestClient client(account());
    ASSERT_TRUE(client.isReady());
    VirtualClockScope time;
    TraceCapture trace;
    auto app = startHost(account());
    // Every server here offers IDLE; one without it would be in the STATUS round instead.
    ASSERT_TRUE(waitUntil([&] { return app->watcher()->idlingCount() == 1; }, 10000)) << app->problems().toStdString();
    EXPECT_EQ(app->watcher()->statusRoundCount(), 0);
    EXPECT_TRUE(app->problems().isEmpty()) << app->problems().toStdString();
    QSignalSpy newMail(app.get(), &host::Application::NewMail);

    ASSERT_TRUE(client.append("INBOX",
                              "From: =?UTF-8?Q?Zo=C3=AB?= <zoe@example.org>\r\n"
                              "Subject: =?UTF-8?B?R3LDvMOfZQ==?=\r\n\r\nHello.\r\n"));
    ASSERT_TRUE(waitUntil([&] { return trace.count(arrivalLine(1)) == 1; }, 15000));
    time.clock.advance(ImapWatcher::QuietMs);
    EXPECT_EQ(newMail.count(), 1);
    ASSERT_TRUE(client.append("INBOX", message("second")));
    ASSERT_TRUE(waitUntil([&] { return trace.count(arrivalLine(2)) == 1; }, 15000));
    time.clock.advance(ImapWatcher::MaxDelayMs);
    EXPECT_EQ(newMail.count(), 2);

    EXPECT_EQ(unreadSubjects(*inbox(*app)), (QStringList{QStringLiteral("Grüße"), QStringLiteral("second")}));
    host::ItemPtr item = inbox(*app)->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->SenderName(), QStringLiteral("Zoë"));
    // Reading the headers set no \Seen.
    EXPECT_FALSE(client.flags("INBOX").contains("\\Seen"));
}

TEST_P(ImapServers, HundredAppendsInABurstGiveOneAnnouncementOldestFirst)
{
    ImapTestClient client(account());
    VirtualClockScope time;
    TraceCapture trace;
    auto app = startHost(account());
    ASSERT_TRUE(waitUntil([&] { return app->watcher()->idlingCount() == 1; }, 10000)) << app->problems().toStdString();
    QSignalSpy newMail(app.get(), &host::Application::NewMail);
    QStringList subjects;
    for (int i = 1; i <= 100; ++i) {
        subjects.append(QStringLiteral("burst %1").arg(i, 3, 10, QLatin1Char('0')));
        ASSERT_TRUE(client.append("INBOX", message(subjects.last().toUtf8())));
    }
    ASSERT_TRUE(waitUntil([&] { return trace.count(arrivalLine(100)) == 1; }, 15000))
        << trace.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(newMail.count(), 0);
    time.clock.advance(ImapWatcher::MaxDelayMs);
    EXPECT_EQ(newMail.count(), 1);
    time.clock.advance(ImapWatcher::MaxDelayMs);
    EXPECT_EQ(newMail.count(), 1);
    EXPECT_EQ(unreadSubjects(*inbox(*app)), subjects);
    EXPECT_TRUE(waitUntil([&] { return inbox(*app)->UnReadItemCount() == 100; }));
}

TEST_P(ImapServers, MessageReadElsewhereBeforeThePopupIsNotShown)
{
    ImapTestClient client(account());
    VirtualClockScope time;
    TraceCapture trace;
    auto app = startHost(account());
    ASSERT_TRUE(waitUntil([&] { return app->watcher()->idlingCount() == 1; }, 10000)) << app->problems().toStdString();
    ASSERT_TRUE(client.append("INBOX", message("read on the phone")));
    ASSERT_TRUE(client.append("INBOX", message("still new")));
    ASSERT_TRUE(waitUntil([&] { return trace.count(arrivalLine(2)) == 1; }, 15000))
        << trace.lines().join(QLatin1Char('\n')).toStdString();

    // Another client reads the first before the quiet moment has come.
    bool ok = false;
    client.run("SELECT INBOX", &ok);
    ASSERT_TRUE(ok);
    client.run("STORE 1 +FLAGS (\\Seen)", &ok);
    ASSERT_TRUE(ok);
    time.clock.advance(ImapWatcher::MaxDelayMs);
    EXPECT_EQ(unreadSubjects(*inbox(*app)), QStringList{QStringLiteral("still new")});
    EXPECT_TRUE(waitUntil([&] { return inbox(*app)->UnReadItemCount() == 1; }, 15000));
}

TEST_P(ImapServers, IdsFromBeforeAUidValidityChangeFindNothing)
{
    ImapTestClient client(account());
    const QByteArray work = mailbox("Work");
    bool ok = false;
    client.run("CREATE " + work, &ok);
    ASSERT_TRUE(ok);
    ASSERT_TRUE(client.append(work, message("old")));
    const auto uidValidity = [&] {
        for (const ImapResponse &r : client.run("STATUS " + work + " (UIDVALIDITY)")) {
            if (r.word(0) == "STATUS" && r.values.size() > 2) {
                if (const ImapValue *v = r.values.at(2).valueOf("UIDVALIDITY"))
                    return v->number();
            }
        }
        return quint64(0);
    };
    const quint64 before = uidValidity();
    auto app = startHost(account());
    host::FolderPtr folderBefore = folder(*app, "Work");
    ASSERT_TRUE(folderBefore) << app->problems().toStdString();
    host::ItemPtr old = folderBefore->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(old);
    const QString oldId = old->EntryID();

    // Recreated, the mailbox has another UIDVALIDITY, and UID 1 is another message.
    client.run("DELETE " + work, &ok);
    ASSERT_TRUE(ok);
    client.run("CREATE " + work, &ok);
    ASSERT_TRUE(ok);
    ASSERT_TRUE(client.append(work, message("new")));
    ASSERT_NE(uidValidity(), before) << "the server kept the UIDVALIDITY of a recreated mailbox";

    host::NameSpace *ns = app->GetNamespace(QStringLiteral("MAPI"));
    EXPECT_FALSE(ns->GetItemFromID(oldId, inbox(*app)->StoreID()));
    EXPECT_FALSE(old->MarkRead());
    EXPECT_EQ(client.flags(work).count("\\Seen"), 0);
    host::ItemPtr fresh = folderBefore->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(fresh);
    EXPECT_NE(fresh->EntryID(), oldId);
    EXPECT_EQ(fresh->Subject(), QStringLiteral("new"));
}

// Only Dovecot ends the sessions of a mailbox deleted elsewhere; Cyrus and Courier leave a
// session in IDLE on a renamed or deleted mailbox undisturbed, which RFC 2180 allows, so
// the host learns of it when it opens the mailbox again. A restart makes it do that.
TEST_P(ImapServers, WatchedMailboxesRenamedOrDeletedAreReportedAndTheInboxWatchedOn)
{
    ImapTestClient client(account());
    bool ok = false;
    for (const char *name : {"Work", "Lists"}) {
        client.run("CREATE " + mailbox(name), &ok);
        ASSERT_TRUE(ok);
    }
    VirtualClockScope time;
    auto app = startHost(account());
    ASSERT_TRUE(waitUntil([&] { return app->watcher()->idlingCount() == 3; }, 10000)) << app->problems().toStdString();

    client.run("RENAME " + mailbox("Work") + ' ' + mailbox("Archive"), &ok);
    ASSERT_TRUE(ok);
    client.run("DELETE " + mailbox("Lists"), &ok);
    ASSERT_TRUE(ok);
    m_server->stop();
    ASSERT_TRUE(m_server->start()) << m_server->errorText().toStdString();
    ASSERT_TRUE(waitRunningClock(time, [&] { return app->problems().count(QStringLiteral(" is gone from ")) == 2; }))
        << app->problems().toStdString();
    EXPECT_TRUE(app->problems().contains(QStringLiteral("Work"))) << app->problems().toStdString();
    EXPECT_TRUE(app->problems().contains(QStringLiteral("Lists"))) << app->problems().toStdString();
    EXPECT_FALSE(folder(*app, "Lists"));
    ASSERT_TRUE(waitRunningClock(time, [&] { return app->watcher()->idlingCount() == 1; }));

    QSignalSpy newMail(app.get(), &host::Application::NewMail);
    ImapTestClient again(account());
    ASSERT_TRUE(again.append("INBOX", message("still watched")));
    EXPECT_TRUE(waitRunningClock(time, [&] { return newMail.count() >= 1; }));
}

// A reconnected session is followed by one scan (NewMail), which finds the mail announced
// before under the same id and date, so nothing is announced twice.
TEST_P(ImapServers, ServerRestartReconnectsWithoutAnnouncingMailAgain)
{
    ImapTestClient first(account());
    VirtualClockScope time;
    TraceCapture trace;
    auto app = startHost(account());
    ASSERT_TRUE(waitUntil([&] { return app->watcher()->idlingCount() == 1; }, 10000)) << app->problems().toStdString();
    QSignalSpy newMail(app.get(), &host::Application::NewMail);
    ASSERT_TRUE(first.append("INBOX", message("before")));
    ASSERT_TRUE(waitUntil([&] { return trace.count(arrivalLine(1)) == 1; }, 15000));
    time.clock.advance(ImapWatcher::MaxDelayMs);
    ASSERT_EQ(newMail.count(), 1);
    host::ItemPtr before = inbox(*app)->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(before);
    const QString id = before->EntryID();
    const QDateTime received = before->ReceivedTime();

    m_server->stop();
    ASSERT_TRUE(waitUntil([&] { return app->watcher()->idlingCount() == 0; }));
    ASSERT_TRUE(m_server->start()) << m_server->errorText().toStdString();
    ASSERT_TRUE(waitRunningClock(time, [&] { return app->watcher()->idlingCount() == 1; }))
        << app->problems().toStdString();
    time.clock.advance(ImapWatcher::MaxDelayMs * 2);
    EXPECT_EQ(newMail.count(), 2);
    EXPECT_EQ(trace.count(arrivalLine(1)), 1);
    EXPECT_TRUE(app->problems().isEmpty()) << app->problems().toStdString();
    host::ItemsPtr items = inbox(*app)->items();
    host::ItemPtr same = items->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(same);
    EXPECT_EQ(same->EntryID(), id);
    EXPECT_EQ(same->ReceivedTime(), received);
    EXPECT_FALSE(items->FindNext());

    ImapTestClient second(account());
    ASSERT_TRUE(second.append("INBOX", message("after")));
    ASSERT_TRUE(waitRunningClock(time, [&] { return newMail.count() == 3; }));
    time.clock.advance(ImapWatcher::MaxDelayMs * 2);
    EXPECT_EQ(newMail.count(), 3);
    EXPECT_EQ(unreadSubjects(*inbox(*app)), (QStringList{QStringLiteral("before"), QStringLiteral("after")}));
}

// A server without IDLE: Courier set up to offer neither it nor NOTIFY. The Inbox joins the
// slow STATUS round, whose rounds run on the virtual clock.
class ImapServerWithoutIdle : public ImapServers
{
protected:
    static constexpr int RoundMs = 1000;

    void SetUp() override
    {
        const QString reason = CourierServer::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << "no server to test against: " << reason.toStdString();
        m_own = std::make_unique<CourierServer>("IMAP4rev1 UIDPLUS CHILDREN NAMESPACE SORT QUOTA");
        m_server = m_own.get();
        ASSERT_TRUE(m_server->start()) << m_server->errorText().toStdString();
        ASSERT_TRUE(m_server->addUser(userName()));
    }

    std::unique_ptr<CourierServer> m_own;
};

TEST_F(ImapServerWithoutIdle, TheStatusRoundAnnouncesEachArrivalOnceAndAnUnchangedRoundNever)
{
    ImapTestClient client(account());
    ASSERT_TRUE(client.isReady());
    VirtualClockScope time;
    TraceCapture trace;
    auto app = startHost(account());
    ImapWatcher *watcher = app->watcher();
    watcher->setStatusRoundMs(RoundMs);
    ASSERT_TRUE(
        waitUntil([&] { return watcher->statusRoundCount() == 1 && watcher->statusRoundsAnswered() >= 1; }, 10000))
        << app->problems().toStdString() << trace.lines().join(QLatin1Char('\n')).toStdString() << " rounds "
        << watcher->statusRoundCount() << " answered " << watcher->statusRoundsAnswered();
    EXPECT_EQ(watcher->idlingCount(), 0);
    QSignalSpy newMail(app.get(), &host::Application::NewMail);
    const auto nextRound = [&] {
        const int before = watcher->statusRoundsAnswered();
        time.clock.advance(RoundMs);
        const bool answered = waitUntil([&] { return watcher->statusRoundsAnswered() > before; }, 10000);
        time.clock.advance(ImapWatcher::QuietMs);
        return answered;
    };

    ASSERT_TRUE(client.append("INBOX", message("news")));
    ASSERT_TRUE(nextRound());
    EXPECT_EQ(newMail.count(), 1);
    for (int unchanged = 0; unchanged < 3; ++unchanged) {
        ASSERT_TRUE(nextRound());
        EXPECT_EQ(newMail.count(), 1) << "unchanged round " << unchanged;
    }
    ASSERT_TRUE(client.append("INBOX", message("more news")));
    ASSERT_TRUE(nextRound());
    EXPECT_EQ(newMail.count(), 2);
    EXPECT_EQ(unreadSubjects(*inbox(*app)), (QStringList{QStringLiteral("news"), QStringLiteral("more news")}));
}

std::string serverName(const ::testing::TestParamInfo<Server> &param)
{
    switch (param.param) {
    case Server::Dovecot:
        return "Dovecot";
    case Server::Cyrus:
        return "Cyrus";
    case Server::Courier:
        return "Courier";
    }
    return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(Servers, ImapServers, ::testing::Values(Server::Dovecot, Server::Cyrus, Server::Courier),
                         serverName);

} // namespace
