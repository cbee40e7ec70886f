// The private Courier server the IMAP tests run against: its login is Courier's own where a
// mount namespace can be made, the stand-in otherwise, and stopping it leaves nothing behind.
#include "host/imap/ImapConnection.h"
#include "tests/testsupport/CourierServer.h"
#include "tests/testsupport/ImapTestClient.h"

#include <QFile>
#include <QScopeGuard>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace lumora;
using lumora::test::CourierServer;
using lumora::test::ImapTestClient;
using lumora::test::waitUntil;

namespace {

ImapAccountConfig account(const CourierServer &server, const QString &user, const QString &password)
{
    ImapAccountConfig c;
    c.host = QStringLiteral("127.0.0.1");
    c.port = server.loginPort();
    c.security = ImapAccountConfig::Security::Plain;
    c.user = user;
    c.password = password;
    return c;
}

// Logs in with each account at once (Courier answers a refusal only after a pause) and
// gives what each session ended in.
QList<ImapConnection::Problem> loginProblems(const QList<ImapAccountConfig> &configs)
{
    std::vector<std::unique_ptr<ImapConnection>> connections;
    int ended = 0;
    for (const ImapAccountConfig &config : configs) {
        connections.push_back(std::make_unique<ImapConnection>(config));
        QObject::connect(connections.back().get(), &ImapConnection::ready, [&] { ++ended; });
        QObject::connect(connections.back().get(), &ImapConnection::failed, [&] { ++ended; });
        connections.back()->open();
    }
    QList<ImapConnection::Problem> problems;
    const bool done = waitUntil([&] { return ended == int(configs.size()); }, 15000);
    for (const auto &connection : connections)
        problems.append(done ? connection->problem() : ImapConnection::Problem::Lost);
    return problems;
}

// The names of the processes in a session; zombies too where the server's own process
// namespace reaps them, since only those left to this machine's init may linger a while.
QStringList processesOf(pid_t session, bool zombies)
{
    QStringList names;
    for (pid_t pid : CourierServer::sessionMembers(session, zombies)) {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        if (comm.open(QIODevice::ReadOnly))
            names.append(QString::fromUtf8(comm.readAll().trimmed()));
    }
    return names;
}

class CourierLogin : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString reason = CourierServer::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << "no server to test against: " << reason.toStdString();
    }
};

TEST_F(CourierLogin, StoppingTheServerEndsEveryProcessOfItsSession)
{
    CourierServer server;
    ASSERT_TRUE(server.start()) << server.errorText().toStdString();
    ASSERT_TRUE(server.addUser(QStringLiteral("stopper"))) << server.errorText().toStdString();
    ImapTestClient client(account(server, QStringLiteral("stopper"), QStringLiteral("secret")));
    ASSERT_TRUE(client.isReady());
    const pid_t session = server.session();
    ASSERT_GT(session, 0);
    const QStringList running = processesOf(session, false);
    EXPECT_TRUE(running.contains(QStringLiteral("couriertcpd"))) << running.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(running.contains(QStringLiteral("imapd"))) << running.join(QLatin1Char(' ')).toStdString();
    if (server.realLogin()) {
        EXPECT_TRUE(running.contains(QStringLiteral("authdaemond"))) << running.join(QLatin1Char(' ')).toStdString();
    }

    server.stop();
    EXPECT_EQ(processesOf(session, server.realLogin()), QStringList());
    EXPECT_EQ(server.session(), 0);
    // And it comes back, the user's password still known.
    ASSERT_TRUE(server.start()) << server.errorText().toStdString();
    EXPECT_TRUE(ImapTestClient(account(server, QStringLiteral("stopper"), QStringLiteral("secret"))).isReady());
}

TEST_F(CourierLogin, TheStandInStillLogsInAndRefusesAWrongPassword)
{
    qputenv("LUMORA_COURIER_STAND_IN", "1");
    const auto restore = qScopeGuard([] { qunsetenv("LUMORA_COURIER_STAND_IN"); });
    CourierServer server;
    ASSERT_TRUE(server.start()) << server.errorText().toStdString();
    EXPECT_FALSE(server.realLogin());
    ASSERT_TRUE(server.addUser(QStringLiteral("standin")));
    EXPECT_TRUE(ImapTestClient(account(server, QStringLiteral("standin"), QStringLiteral("secret"))).isReady());
    EXPECT_EQ(loginProblems({account(server, QStringLiteral("standin"), QStringLiteral("wrong"))}),
              QList{ImapConnection::Problem::WrongPassword});
}

TEST_F(CourierLogin, OnlyListedUsersWithTheirPasswordGetIn)
{
    CourierServer server;
    ASSERT_TRUE(server.start()) << server.errorText().toStdString();
    if (!server.realLogin())
        GTEST_SKIP() << "no private mount namespace here: the stand-in logs in";
    ASSERT_TRUE(server.addUser(QStringLiteral("listed")));
    EXPECT_FALSE(server.addUser(QStringLiteral("../escape")));
    using Problem = ImapConnection::Problem;
    EXPECT_EQ(loginProblems({account(server, QStringLiteral("stranger"), QStringLiteral("secret")),
                             account(server, QStringLiteral("listed"), QStringLiteral("Secret")),
                             account(server, QStringLiteral("listed"), QStringLiteral("secret"))}),
              (QList{Problem::WrongPassword, Problem::WrongPassword, Problem::None}));
    // Courier's own front end logged both refusals.
    EXPECT_TRUE(waitUntil([&] { return server.log().count(QStringLiteral("LOGIN FAILED, user=")) >= 2; }, 5000))
        << server.log().toStdString();
}

} // namespace
