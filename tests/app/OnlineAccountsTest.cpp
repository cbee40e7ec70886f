// The desktop's online accounts as a source of IMAP accounts and sign-in tokens, against a
// fake of the service on a private bus, and once through a real login at a Dovecot that
// checks the tokens.
#include "app/OnlineAccounts.h"
#include "app/OnlineAccountsTokenSource.h"

#include "host/imap/ImapConnection.h"
#include "tests/testsupport/DovecotServer.h"
#include "tests/testsupport/FakeOnlineAccounts.h"
#include "tests/testsupport/ImapTestClient.h"
#include "tests/testsupport/TestJwt.h"
#include "tests/testsupport/VirtualClock.h"

#include <QDBusConnection>
#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <memory>

using namespace lumora;
using lumora::test::DovecotServer;
using lumora::test::FakeOnlineAccounts;
using lumora::test::waitUntil;

namespace {

const QString Google = QStringLiteral("account_1700000000_0");

QJsonObject googleAccount(const QString &id = Google, const QString &identity = QStringLiteral("zoe@gmail.com"))
{
    return {{QStringLiteral("Id"), id},
            {QStringLiteral("ProviderType"), QStringLiteral("google")},
            {QStringLiteral("ProviderName"), QStringLiteral("Google")},
            {QStringLiteral("PresentationIdentity"), identity},
            {QStringLiteral("MailDisabled"), false},
            {QStringLiteral("AttentionNeeded"), false},
            {QStringLiteral("EmailAddress"), identity},
            {QStringLiteral("ImapSupported"), true},
            {QStringLiteral("ImapHost"), QStringLiteral("imap.gmail.com")},
            {QStringLiteral("ImapUserName"), identity},
            {QStringLiteral("ImapUseSsl"), true},
            {QStringLiteral("ImapUseTls"), false},
            {QStringLiteral("ImapAcceptSslErrors"), false},
            {QStringLiteral("oauth2"), true}};
}

QJsonObject with(QJsonObject account, const QString &key, const QJsonValue &value)
{
    if (value.isUndefined())
        account.remove(key);
    else
        account.insert(key, value);
    return account;
}

class OnlineAccountsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_fake.start()) << m_fake.errorText().toStdString(); }

    OnlineAccounts accounts() { return OnlineAccounts(m_fake.connection()); }

    FakeOnlineAccounts m_fake;
};

TEST_F(OnlineAccountsTest, ListsTheOAuth2MailAccountsByIdentityWithTheirServers)
{
    QJsonObject noMail = googleAccount(QStringLiteral("nomail"), QStringLiteral("nomail@gmail.com"));
    for (const QString &key : {QStringLiteral("EmailAddress"), QStringLiteral("ImapSupported"),
                               QStringLiteral("ImapHost"), QStringLiteral("ImapUserName"), QStringLiteral("ImapUseSsl"),
                               QStringLiteral("ImapUseTls"), QStringLiteral("ImapAcceptSslErrors")})
        noMail.remove(key);
    QJsonObject office = googleAccount(QStringLiteral("ms"), QStringLiteral("Anna@outlook.com"));
    office = with(office, QStringLiteral("ProviderName"), QStringLiteral("Microsoft 365"));
    office = with(office, QStringLiteral("ImapHost"), QStringLiteral("outlook.office365.com:1993"));
    office = with(office, QStringLiteral("ImapUseSsl"), false);
    office = with(office, QStringLiteral("ImapUseTls"), true);
    QJsonObject plain = googleAccount(QStringLiteral("plain"), QStringLiteral("bob@example.org"));
    plain = with(plain, QStringLiteral("ImapHost"), QStringLiteral("[::1]"));
    plain = with(plain, QStringLiteral("ImapUseSsl"), false);
    plain = with(plain, QStringLiteral("ImapUserName"), QJsonValue::Undefined);
    plain = with(plain, QStringLiteral("AttentionNeeded"), true);
    ASSERT_TRUE(m_fake.setAccounts({googleAccount(),
                                    with(googleAccount(QStringLiteral("disabled"), QStringLiteral("a1@gmail.com")),
                                         QStringLiteral("MailDisabled"), true),
                                    with(googleAccount(QStringLiteral("password"), QStringLiteral("a2@example.org")),
                                         QStringLiteral("oauth2"), false),
                                    with(googleAccount(QStringLiteral("noimap"), QStringLiteral("a3@example.org")),
                                         QStringLiteral("ImapSupported"), false),
                                    // A property of the wrong type counts as absent, not as true.
                                    with(googleAccount(QStringLiteral("oddtype"), QStringLiteral("a4@example.org")),
                                         QStringLiteral("ImapSupported"), QStringLiteral("true")),
                                    noMail, office, plain}));

    QString problem = QStringLiteral("stale");
    const QList<OnlineAccounts::Account> listed = accounts().mailAccounts(&problem);
    EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
    ASSERT_EQ(listed.size(), 3);
    EXPECT_EQ(listed.at(0).id, QStringLiteral("ms"));
    EXPECT_EQ(listed.at(1).id, QStringLiteral("plain"));
    EXPECT_EQ(listed.at(2).id, Google);

    const OnlineAccounts::Account &google = listed.at(2);
    EXPECT_EQ(google.provider, QStringLiteral("Google"));
    EXPECT_EQ(google.identity, QStringLiteral("zoe@gmail.com"));
    EXPECT_EQ(google.email, QStringLiteral("zoe@gmail.com"));
    EXPECT_EQ(google.imapHost, QStringLiteral("imap.gmail.com"));
    EXPECT_EQ(google.imapPort, 993);
    EXPECT_EQ(google.security, ImapAccountConfig::Security::ImplicitTls);
    EXPECT_EQ(google.imapUser, QStringLiteral("zoe@gmail.com"));
    EXPECT_FALSE(google.needsAttention);

    const OnlineAccounts::Account &ms = listed.at(0);
    EXPECT_EQ(ms.provider, QStringLiteral("Microsoft 365"));
    EXPECT_EQ(ms.imapHost, QStringLiteral("outlook.office365.com"));
    EXPECT_EQ(ms.imapPort, 1993);
    EXPECT_EQ(ms.security, ImapAccountConfig::Security::StartTls);

    const OnlineAccounts::Account &bob = listed.at(1);
    EXPECT_EQ(bob.imapHost, QStringLiteral("::1"));
    EXPECT_EQ(bob.imapPort, 143);
    EXPECT_EQ(bob.security, ImapAccountConfig::Security::Plain);
    EXPECT_EQ(bob.imapUser, QStringLiteral("bob@example.org"));
    EXPECT_TRUE(bob.needsAttention);
}

TEST(OnlineAccountsAway, TheUserIsToldWhyWithoutServiceOrBus)
{
    FakeOnlineAccounts busOnly;
    ASSERT_TRUE(busOnly.start(false)) << busOnly.errorText().toStdString();
    const OnlineAccounts away(busOnly.connection());
    const QString notRunning = QStringLiteral("GNOME Online Accounts is not running on this desktop.");
    EXPECT_EQ(away.unavailableReason(), notRunning);
    QString problem;
    EXPECT_TRUE(away.mailAccounts(&problem).isEmpty());
    EXPECT_EQ(problem, notRunning);
    const ImapTokenSource::Token token = away.accessToken(Google, false);
    EXPECT_TRUE(token.value.isEmpty());
    EXPECT_EQ(token.problem, notRunning);

    const OnlineAccounts noBus(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                             QStringLiteral("online-accounts-no-bus")));
    EXPECT_TRUE(noBus.unavailableReason().startsWith(QStringLiteral("No session bus: ")))
        << noBus.unavailableReason().toStdString();
    EXPECT_FALSE(noBus.accessToken(Google, false).problem.isEmpty());
    QDBusConnection::disconnectFromBus(QStringLiteral("online-accounts-no-bus"));

    FakeOnlineAccounts running;
    ASSERT_TRUE(running.start()) << running.errorText().toStdString();
    EXPECT_EQ(OnlineAccounts(running.connection()).unavailableReason(), QString());
}

TEST_F(OnlineAccountsTest, TokenLastsAsLongAsTheServiceSaysAndFreshRenewsItFirst)
{
    VirtualClockScope time;
    ASSERT_TRUE(m_fake.setAccounts({googleAccount()}));
    ASSERT_TRUE(m_fake.setToken(Google, "ya29.first", 1800));

    ImapTokenSource::Token token = accounts().accessToken(Google, false);
    EXPECT_EQ(token.value, QStringLiteral("ya29.first")) << token.problem.toStdString();
    EXPECT_TRUE(token.problem.isEmpty());
    EXPECT_EQ(token.expires, time.clock.now().addSecs(1800));
    EXPECT_EQ(m_fake.calls(Google), QStringList{QStringLiteral("GetAccessToken")});

    ASSERT_TRUE(m_fake.setRenewed(Google, "ya29.renewed"));
    token = accounts().accessToken(Google, true);
    EXPECT_EQ(token.value, QStringLiteral("ya29.renewed")) << token.problem.toStdString();
    EXPECT_EQ(m_fake.calls(Google).mid(1),
              (QStringList{QStringLiteral("EnsureCredentials"), QStringLiteral("GetAccessToken")}));

    // A lifetime the service does not state leaves the expiry open.
    ASSERT_TRUE(m_fake.setToken(Google, "ya29.open", 0));
    token = accounts().accessToken(Google, false);
    EXPECT_EQ(token.value, QStringLiteral("ya29.open"));
    EXPECT_FALSE(token.expires.isValid());
}

TEST_F(OnlineAccountsTest, FailuresBecomeProblemsNamingTheAccount)
{
    ASSERT_TRUE(m_fake.setAccounts({googleAccount(),
                                    with(googleAccount(QStringLiteral("attention"), QStringLiteral("ann@gmail.com")),
                                         QStringLiteral("AttentionNeeded"), true),
                                    with(googleAccount(QStringLiteral("password"), QStringLiteral("pat@example.org")),
                                         QStringLiteral("oauth2"), false),
                                    googleAccount(QStringLiteral("refused"), QStringLiteral("rae@gmail.com")),
                                    googleAccount(QStringLiteral("garbled"), QStringLiteral("gus@gmail.com"))}));
    const auto problemOf = [&](const QString &id, bool fresh) {
        const ImapTokenSource::Token token = accounts().accessToken(id, fresh);
        EXPECT_TRUE(token.value.isEmpty()) << id.toStdString();
        EXPECT_FALSE(token.problem.isEmpty()) << id.toStdString();
        return token.problem.toStdString();
    };

    // No token file: the service answers with an error.
    EXPECT_EQ(problemOf(Google, false),
              "The online account zoe@gmail.com (Google) gave no sign-in token: No credentials found in the keyring");
    EXPECT_EQ(problemOf(QStringLiteral("gone"), false),
              "The desktop has no online account \"gone\" (was it removed from the settings?).");
    ASSERT_TRUE(m_fake.setToken(QStringLiteral("attention"), "ya29.stale"));
    EXPECT_EQ(problemOf(QStringLiteral("attention"), false),
              "The online account ann@gmail.com (Google) needs attention: sign in to it again in the desktop's "
              "settings.");
    EXPECT_TRUE(m_fake.calls(QStringLiteral("attention")).isEmpty());
    EXPECT_EQ(problemOf(QStringLiteral("password"), false),
              "The online account pat@example.org (Google) does not sign in with OAuth2.");

    ASSERT_TRUE(m_fake.setToken(QStringLiteral("refused"), "ya29.old"));
    ASSERT_TRUE(m_fake.setRefusal(QStringLiteral("refused"), QStringLiteral("The grant was revoked")));
    EXPECT_EQ(problemOf(QStringLiteral("refused"), true),
              "The online account rae@gmail.com (Google) could not renew its sign-in: The grant was revoked");
    // The old token is not handed out after the renewal failed.
    EXPECT_EQ(m_fake.calls(QStringLiteral("refused")), QStringList{QStringLiteral("EnsureCredentials")});

    // What would break the SASL message is no token.
    ASSERT_TRUE(m_fake.setToken(QStringLiteral("garbled"), "ya29 with\r\nA1 LOGOUT"));
    EXPECT_EQ(problemOf(QStringLiteral("garbled"), false),
              "The online account gus@gmail.com (Google) gave no usable sign-in token.");
}

TEST_F(OnlineAccountsTest, TokenSourceKeepsTheTokenUntilShortlyBeforeItExpires)
{
    VirtualClockScope time;
    ASSERT_TRUE(m_fake.setAccounts({googleAccount()}));
    ASSERT_TRUE(m_fake.setToken(Google, "ya29.one", 3600));
    OnlineAccountsTokenSource source(Google, m_fake.connection());
    EXPECT_EQ(source.describe(), QStringLiteral("the online account %1").arg(Google));

    EXPECT_EQ(source.token(false).value, QStringLiteral("ya29.one"));
    ASSERT_TRUE(m_fake.setToken(Google, "ya29.two", 3600));
    time.clock.advance(qint64(3600 - ImapTokenSource::RenewBeforeSecs - 10) * 1000);
    EXPECT_EQ(source.token(false).value, QStringLiteral("ya29.one"));
    EXPECT_EQ(m_fake.callCount(Google, QStringLiteral("GetAccessToken")), 1);

    time.clock.advance(20 * 1000);
    EXPECT_EQ(source.token(false).value, QStringLiteral("ya29.two"));
    EXPECT_EQ(m_fake.callCount(Google, QStringLiteral("GetAccessToken")), 2);
    EXPECT_EQ(m_fake.callCount(Google, QStringLiteral("EnsureCredentials")), 0);

    // A refused token is replaced at once, however long it seemed to have.
    ASSERT_TRUE(m_fake.setRenewed(Google, "ya29.three"));
    EXPECT_EQ(source.token(true).value, QStringLiteral("ya29.three"));
    EXPECT_EQ(m_fake.callCount(Google, QStringLiteral("EnsureCredentials")), 1);

    m_fake.removeToken(Google);
    time.clock.advance(3600 * 1000);
    const ImapTokenSource::Token none = source.token(false);
    EXPECT_TRUE(none.value.isEmpty());
    EXPECT_FALSE(none.problem.isEmpty());
}

// A real login: Dovecot takes tokens signed with the key as a provider would sign them.
class OnlineAccountsLogin : public OnlineAccountsTest
{
protected:
    void SetUp() override
    {
        const QString reason = DovecotServer::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << "no server to test against: " << reason.toStdString();
        OnlineAccountsTest::SetUp();
        m_server.enableOAuth2(Key);
        ASSERT_TRUE(m_server.start()) << m_server.errorText().toStdString();
        ASSERT_TRUE(m_fake.setAccounts({googleAccount(Google, User)}));
    }

    void TearDown() override
    {
        if (HasFailure())
            std::cerr << "Dovecot said:\n" << m_server.log().right(3000).toStdString() << '\n';
    }

    static QByteArray token(qint64 lifetimeSecs, const QByteArray &key = Key)
    {
        return lumora::test::testJwt(key, User, QDateTime::currentDateTimeUtc().addSecs(lifetimeSecs));
    }

    // Logs in and waits for the outcome; the connection's problem, None when it is ready.
    ImapConnection::Problem login(QString *message = nullptr)
    {
        ImapAccountConfig config;
        config.host = QStringLiteral("127.0.0.1");
        config.port = m_server.imapsPort();
        config.security = ImapAccountConfig::Security::ImplicitTls;
        config.user = User;
        config.signIn = ImapAccountConfig::SignIn::OAuth2;
        config.onlineAccount = Google;
        config.tokens = std::make_shared<OnlineAccountsTokenSource>(Google, m_fake.connection());
        config.trustedFingerprints = {m_server.fingerprint()};
        ImapConnection connection(config);
        connection.open();
        EXPECT_TRUE(waitUntil([&] { return connection.isReady() || connection.isDead(); }, 15000));
        if (message)
            *message = connection.problemText();
        return connection.isReady() ? ImapConnection::Problem::None : connection.problem();
    }

    static inline const QByteArray Key = "online-accounts-test-key";
    static inline const QString User = QStringLiteral("zoe");
    DovecotServer m_server;
};

TEST_F(OnlineAccountsLogin, ValidTokenSignsIn)
{
    ASSERT_TRUE(m_fake.setToken(Google, token(3600)));
    QString message;
    EXPECT_EQ(login(&message), ImapConnection::Problem::None) << message.toStdString();
    EXPECT_EQ(m_fake.callCount(Google, QStringLiteral("EnsureCredentials")), 0);
}

TEST_F(OnlineAccountsLogin, ExpiredTokenIsRenewedThroughTheServiceAndSignsIn)
{
    // The service still believes in the token; the server knows better.
    ASSERT_TRUE(m_fake.setToken(Google, token(-600), 3000));
    ASSERT_TRUE(m_fake.setRenewed(Google, token(3600)));
    QString message;
    EXPECT_EQ(login(&message), ImapConnection::Problem::None) << message.toStdString();
    EXPECT_EQ(m_fake.calls(Google),
              (QStringList{QStringLiteral("GetAccessToken"), QStringLiteral("EnsureCredentials"),
                           QStringLiteral("GetAccessToken")}));
}

TEST_F(OnlineAccountsLogin, TokenTheServerRefusesIsAWrongPassword)
{
    ASSERT_TRUE(m_fake.setToken(Google, token(3600, "some other key")));
    QString message;
    EXPECT_EQ(login(&message), ImapConnection::Problem::WrongPassword) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("refused the sign-in token"))) << message.toStdString();
    EXPECT_EQ(m_fake.callCount(Google, QStringLiteral("EnsureCredentials")), 1);

    // No token at all is a different matter: worth trying again later.
    m_fake.removeToken(Google);
    EXPECT_EQ(login(&message), ImapConnection::Problem::Token) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("the online account %1").arg(Google))) << message.toStdString();
}

} // namespace
