// OAuth2 sign-in: the SASL messages, the account address, the token command, and logins
// against a Dovecot that validates tokens itself.
#include "host/imap/ImapOAuth.h"
#include "host/imap/ImapAccountConfig.h"
#include "host/imap/ImapApplication.h"
#include "host/imap/ImapConnection.h"
#include "host/imap/ImapTokenCommand.h"
#include "host/imap/ImapWatcher.h"
#include "tests/testsupport/DovecotServer.h"
#include "tests/testsupport/ImapTestClient.h"
#include "tests/testsupport/TestJwt.h"
#include "tests/testsupport/VirtualClock.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace lumora;
using lumora::test::DovecotServer;
using lumora::test::ImapTestClient;
using lumora::test::testJwt;
using lumora::test::waitUntil;

namespace {

const QByteArray Key = "a key only this test knows, 32+ bytes long";

// Dovecot's own error challenges, as it sent them for a token it would not take.
const QByteArray BearerChallenge = "eyJzdGF0dXMiOiJpbnZhbGlkX3Rva2VuIn0=";
const QByteArray XOAuth2Challenge = "eyJzdGF0dXMiOiI0MDEiLCJzY2hlbWVzIjoiYmVhcmVyIiwic2NvcGUiOiJtYWlsIn0=";

TEST(ImapOAuthMessages, CarryUserHostAndTokenInTheMechanismsFormats)
{
    EXPECT_EQ(ImapOAuth::initialResponse(ImapOAuth::Mechanism::OAuthBearer, QStringLiteral("alice@example.org"),
                                         QStringLiteral("imap.example.org"), 993, QStringLiteral("tok.en")),
              QByteArray("n,a=alice@example.org,\x01host=imap.example.org\x01port=993\x01"
                         "auth=Bearer tok.en\x01\x01"));
    EXPECT_EQ(ImapOAuth::initialResponse(ImapOAuth::Mechanism::XOAuth2, QStringLiteral("alice@example.org"),
                                         QStringLiteral("imap.example.org"), 993, QStringLiteral("tok.en")),
              QByteArray("user=alice@example.org\x01"
                         "auth=Bearer tok.en\x01\x01"));
    // A ',' or '=' in the name would end or corrupt the GS2 header; a ^A would end a field.
    EXPECT_TRUE(ImapOAuth::initialResponse(ImapOAuth::Mechanism::OAuthBearer, QStringLiteral("a,b=c\x01"),
                                           QStringLiteral("h"), 1, QStringLiteral("t"))
                    .startsWith("n,a=a=2Cb=3Dc,\x01"));
}

TEST(ImapOAuthMessages, ReadTheServersReasonAndAnswerItsChallenge)
{
    EXPECT_EQ(ImapOAuth::errorStatus(BearerChallenge), QStringLiteral("invalid_token"));
    EXPECT_EQ(ImapOAuth::errorStatus(XOAuth2Challenge), QStringLiteral("401"));
    EXPECT_EQ(ImapOAuth::errorStatus(QByteArray(R"({"status":401})").toBase64()), QStringLiteral("401"));
    EXPECT_TRUE(ImapOAuth::saysTokenRefused(ImapOAuth::errorStatus(BearerChallenge)));
    EXPECT_TRUE(ImapOAuth::saysTokenRefused(ImapOAuth::errorStatus(XOAuth2Challenge)));
    EXPECT_FALSE(ImapOAuth::saysTokenRefused(QStringLiteral("insufficient_scope")));
    // Hostile or broken challenges give no status rather than a wrong one.
    EXPECT_TRUE(ImapOAuth::errorStatus("!!not base64!!").isEmpty());
    EXPECT_TRUE(ImapOAuth::errorStatus(QByteArray("[1,2]").toBase64()).isEmpty());
    EXPECT_TRUE(ImapOAuth::errorStatus({}).isEmpty());
    EXPECT_EQ(ImapOAuth::errorAcknowledgement(ImapOAuth::Mechanism::OAuthBearer), QByteArray("AQ=="));
    EXPECT_EQ(ImapOAuth::errorAcknowledgement(ImapOAuth::Mechanism::XOAuth2), QByteArray());
}

TEST(ImapOAuthAddress, KeepsTheTokenSourceThroughTheSavedAddress)
{
    ImapAccountConfig c;
    c.host = QStringLiteral("imap.gmail.com");
    c.user = QStringLiteral("alice@gmail.com");
    c.signIn = ImapAccountConfig::SignIn::OAuth2;
    // Quotes, spaces, '&', '=', '+', '%' and '#' all have meanings in an address.
    c.tokenCommand = QStringLiteral("oauth-token --user 'alice@gmail.com' --scope a+b&c=d %20 #x");
    const std::optional<ImapAccountConfig> back = ImapAccountConfig::fromUrl(c.toUrl());
    ASSERT_TRUE(back) << c.toUrl().toStdString();
    EXPECT_EQ(back->signIn, ImapAccountConfig::SignIn::OAuth2);
    EXPECT_EQ(back->tokenCommand, c.tokenCommand);
    EXPECT_EQ(back->user, c.user);
    EXPECT_TRUE(back->onlineAccount.isEmpty());

    c.tokenCommand.clear();
    c.onlineAccount = QStringLiteral("account_1700000000_0");
    const std::optional<ImapAccountConfig> online = ImapAccountConfig::fromUrl(c.toUrl());
    ASSERT_TRUE(online);
    EXPECT_EQ(online->onlineAccount, c.onlineAccount);
    EXPECT_TRUE(online->tokenCommand.isEmpty());

    // Accounts saved before OAuth2 keep their exact address.
    ImapAccountConfig plain;
    plain.host = QStringLiteral("mail.example.org");
    plain.user = QStringLiteral("bob");
    EXPECT_EQ(plain.toUrl(), QStringLiteral("imaps://bob@mail.example.org:993"));
    EXPECT_EQ(ImapAccountConfig::fromUrl(plain.toUrl())->signIn, ImapAccountConfig::SignIn::Password);
}

TEST(ImapOAuthAddress, RefusesAnOAuth2AccountWithoutExactlyOneTokenSource)
{
    QString error;
    EXPECT_FALSE(ImapAccountConfig::fromUrl(QStringLiteral("imaps://a@h?auth=oauth2"), &error));
    EXPECT_TRUE(error.contains(QLatin1String("token command"))) << error.toStdString();
    EXPECT_FALSE(ImapAccountConfig::fromUrl(QStringLiteral("imaps://a@h?auth=oauth2&tokencmd=x&online=y")));
    EXPECT_FALSE(ImapAccountConfig::fromUrl(QStringLiteral("imaps://a@h?auth=kerberos"), &error));
    EXPECT_TRUE(error.contains(QLatin1String("kerberos")));
    EXPECT_TRUE(ImapAccountConfig::fromUrl(QStringLiteral("imaps://a@h?auth=password")));
}

// A token command as a script in a folder of the test's own; it notes each run in runs.
class TokenScript
{
public:
    explicit TokenScript(const QByteArray &body)
    {
        m_path = m_dir.path() + QStringLiteral("/token");
        QFile f(m_path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\necho run >> \"" + QFile::encodeName(runsPath()) + "\"\n" + body);
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString path() const { return m_path; }
    QString dir() const { return m_dir.path(); }
    QString runsPath() const { return m_dir.path() + QStringLiteral("/runs"); }
    int runs() const
    {
        QFile f(runsPath());
        return f.open(QIODevice::ReadOnly) ? int(f.readAll().count('\n')) : 0;
    }
    // A file the script can print (cat "$dir/name").
    void put(const QString &name, const QByteArray &content) const
    {
        QFile f(m_dir.path() + QLatin1Char('/') + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

TEST(ImapTokenCommandRun, TakesTheFirstLineAndReportsFailuresInTheUsersTerms)
{
    TokenScript good("printf 'tok-123 \\r\\nsecond line\\n'\n");
    ImapTokenCommand command(good.path());
    ImapTokenSource::Token t = command.token(false);
    EXPECT_EQ(t.value, QStringLiteral("tok-123"));
    EXPECT_TRUE(t.problem.isEmpty());

    TokenScript failing("echo 'the keyring is locked' >&2\nexit 3\n");
    t = ImapTokenCommand(failing.path()).token(false);
    EXPECT_TRUE(t.value.isEmpty());
    EXPECT_TRUE(t.problem.contains(QLatin1String("exit status 3"))) << t.problem.toStdString();
    EXPECT_TRUE(t.problem.contains(QLatin1String("the keyring is locked"))) << t.problem.toStdString();

    TokenScript silent("exit 0\n");
    t = ImapTokenCommand(silent.path()).token(false);
    EXPECT_TRUE(t.value.isEmpty());
    EXPECT_TRUE(t.problem.contains(QLatin1String("no usable token")));

    t = ImapTokenCommand(good.dir() + QStringLiteral("/no-such-program")).token(false);
    EXPECT_TRUE(t.value.isEmpty());
    EXPECT_TRUE(t.problem.contains(QLatin1String("could not be started"))) << t.problem.toStdString();

    EXPECT_TRUE(ImapTokenCommand(QString()).token(false).problem.contains(QLatin1String("empty")));
}

TEST(ImapTokenCommandRun, RunsNoShellSoNothingInTheLineIsChainedOrExpanded)
{
    TokenScript script("printf '%s|' \"$@\"\n");
    const QString marker = script.dir() + QStringLiteral("/chained");
    // Through a shell this would print one word and then create the marker file.
    ImapTokenCommand command(script.path() + QStringLiteral(" $HOME;touch ") + marker);
    const ImapTokenSource::Token t = command.token(false);
    EXPECT_EQ(t.value, QStringLiteral("$HOME;touch|") + marker + QLatin1Char('|'));
    EXPECT_FALSE(QFile::exists(marker));
}

TEST(ImapTokenCommandRun, KeepsATokenUntilShortlyBeforeItExpiresAndAsksAfreshWhenRefused)
{
    VirtualClockScope time;
    const QDateTime expires = time.clock.now().addSecs(3600);
    TokenScript script(
        "if [ \"$LUMORA_TOKEN_REFRESH\" = 1 ]; then echo renewed; else cat \"$(dirname \"$0\")/jwt\"; fi\n");
    const QByteArray jwt = testJwt(Key, QStringLiteral("alice"), expires);
    script.put(QStringLiteral("jwt"), jwt + '\n');
    ASSERT_EQ(ImapTokenCommand::jwtExpiry(jwt).toSecsSinceEpoch(), expires.toSecsSinceEpoch());

    ImapTokenCommand command(script.path());
    EXPECT_EQ(command.token(false).value, QString::fromLatin1(jwt));
    EXPECT_EQ(command.token(false).value, QString::fromLatin1(jwt));
    EXPECT_EQ(script.runs(), 1);
    time.clock.advance((3600 - ImapTokenSource::RenewBeforeSecs - 10) * 1000LL);
    EXPECT_EQ(command.token(false).value, QString::fromLatin1(jwt));
    EXPECT_EQ(script.runs(), 1);
    // Inside the renewal margin the command runs again.
    time.clock.advance(20 * 1000);
    EXPECT_EQ(command.token(false).value, QString::fromLatin1(jwt));
    EXPECT_EQ(script.runs(), 2);
    // A refusal asks the program for a new one, and says so.
    EXPECT_EQ(command.token(true).value, QStringLiteral("renewed"));
    EXPECT_EQ(script.runs(), 3);
    // "renewed" states no expiry: reused only for the moment the sessions of a start need.
    EXPECT_EQ(command.token(false).value, QStringLiteral("renewed"));
    EXPECT_EQ(script.runs(), 3);
    time.clock.advance((ImapTokenSource::ReuseUnknownSecs + 1) * 1000LL);
    command.token(false);
    EXPECT_EQ(script.runs(), 4);
}

TEST(ImapTokenCommandRun, ReadsNoExpiryFromWhatIsNotAJsonWebToken)
{
    EXPECT_FALSE(ImapTokenCommand::jwtExpiry("ya29.opaque-google-token").isValid());
    EXPECT_FALSE(ImapTokenCommand::jwtExpiry("a.b.c").isValid());
    EXPECT_FALSE(ImapTokenCommand::jwtExpiry("x." + QByteArray(R"({"exp":"soon"})").toBase64() + ".y").isValid());
    EXPECT_FALSE(ImapTokenCommand::jwtExpiry("x." + QByteArray(R"({"exp":-5})").toBase64() + ".y").isValid());
}

// Logins against Dovecot's own token validation.
class ImapOAuthLogin : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!DovecotServer::unavailableReason().isEmpty())
            return;
        s_server = new DovecotServer();
        s_server->enableOAuth2(Key);
        s_xoauth2 = new DovecotServer();
        s_xoauth2->enableOAuth2(Key, QStringLiteral("xoauth2"));
        for (DovecotServer *server : {s_server, s_xoauth2}) {
            if (!server->start())
                ADD_FAILURE() << server->errorText().toStdString();
        }
    }
    static void TearDownTestSuite()
    {
        delete s_server;
        delete s_xoauth2;
        s_server = s_xoauth2 = nullptr;
    }
    void SetUp() override
    {
        const QString reason = DovecotServer::unavailableReason();
        if (!reason.isEmpty())
            GTEST_SKIP() << "no IMAP server to test against: " << reason.toStdString();
        ASSERT_TRUE(s_server && s_server->isRunning() && s_xoauth2 && s_xoauth2->isRunning());
    }

    static QString user()
    {
        return QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()).toLower();
    }

    static ImapAccountConfig account(const DovecotServer &server, const QString &tokenCommand)
    {
        ImapAccountConfig c;
        c.host = QStringLiteral("127.0.0.1");
        c.port = server.imapsPort();
        c.user = user();
        c.trustedFingerprints = {server.fingerprint()};
        c.signIn = ImapAccountConfig::SignIn::OAuth2;
        c.tokenCommand = tokenCommand;
        c.tokens = std::make_shared<ImapTokenCommand>(tokenCommand);
        return c;
    }

    // Opens a session and waits for its end of the login.
    static std::unique_ptr<ImapConnection> login(const ImapAccountConfig &config)
    {
        auto connection = std::make_unique<ImapConnection>(config);
        connection->open();
        ImapConnection *c = connection.get();
        c->waitFor([c] { return c->isReady() || c->isDead(); });
        return connection;
    }

    static QByteArray valid() { return testJwt(Key, user(), QDateTime::currentDateTime().addSecs(3600)); }
    static QByteArray expired() { return testJwt(Key, user(), QDateTime::currentDateTime().addSecs(-600)); }

    static inline DovecotServer *s_server = nullptr;
    static inline DovecotServer *s_xoauth2 = nullptr;
};

TEST_F(ImapOAuthLogin, AValidTokenSignsInWithOAuthBearerOrXOAuth2AsTheServerOffers)
{
    TokenScript script("cat \"$(dirname \"$0\")/jwt\"\n");
    script.put(QStringLiteral("jwt"), valid());
    std::unique_ptr<ImapConnection> c = login(account(*s_server, script.path()));
    EXPECT_TRUE(c->isReady()) << c->problemText().toStdString();
    EXPECT_TRUE(s_server->log().contains(QStringLiteral("user=<%1>, method=OAUTHBEARER").arg(user())));

    c = login(account(*s_xoauth2, script.path()));
    EXPECT_TRUE(c->isReady()) << c->problemText().toStdString();
    EXPECT_TRUE(s_xoauth2->log().contains(QStringLiteral("user=<%1>, method=XOAUTH2").arg(user())));
}

TEST_F(ImapOAuthLogin, AnExpiredTokenIsRenewedByTheCommandAndTheLoginGoesOn)
{
    TokenScript script("if [ \"$LUMORA_TOKEN_REFRESH\" = 1 ]; then cat \"$(dirname \"$0\")/valid\"; "
                       "else cat \"$(dirname \"$0\")/expired\"; fi\n");
    script.put(QStringLiteral("valid"), valid());
    script.put(QStringLiteral("expired"), expired());
    for (DovecotServer *server : {s_server, s_xoauth2}) {
        const int before = script.runs();
        std::unique_ptr<ImapConnection> c = login(account(*server, script.path()));
        EXPECT_TRUE(c->isReady()) << server->log().toStdString();
        EXPECT_EQ(script.runs() - before, 2);
    }
}

TEST_F(ImapOAuthLogin, ARefusedTokenIsAnAccountProblemLikeAWrongPassword)
{
    TokenScript script("cat \"$(dirname \"$0\")/jwt\"\n");
    // Signed with another key: no renewal makes the server take it.
    script.put(QStringLiteral("jwt"), testJwt("some other key", user(), QDateTime::currentDateTime().addSecs(3600)));
    std::unique_ptr<ImapConnection> c = login(account(*s_server, script.path()));
    EXPECT_TRUE(c->isDead());
    EXPECT_EQ(c->problem(), ImapConnection::Problem::WrongPassword);
    EXPECT_TRUE(c->problemText().contains(QLatin1String("refused the sign-in token of ") + user()))
        << c->problemText().toStdString();
    // One renewal was tried, no more.
    EXPECT_EQ(script.runs(), 2);
}

TEST_F(ImapOAuthLogin, AFailingCommandIsReportedAndNotTakenForARefusal)
{
    TokenScript script("echo 'no network to reach the provider' >&2\nexit 1\n");
    std::unique_ptr<ImapConnection> c = login(account(*s_server, script.path()));
    EXPECT_TRUE(c->isDead());
    EXPECT_EQ(c->problem(), ImapConnection::Problem::Token);
    EXPECT_TRUE(c->problemText().contains(QLatin1String("no network to reach the provider")))
        << c->problemText().toStdString();

    // A server without either mechanism is told apart from a refusal too.
    ImapAccountConfig plainOnly = account(*s_server, script.path());
    DovecotServer passwordsOnly;
    ASSERT_TRUE(passwordsOnly.start()) << passwordsOnly.errorText().toStdString();
    plainOnly.port = passwordsOnly.imapsPort();
    plainOnly.trustedFingerprints = {passwordsOnly.fingerprint()};
    c = login(plainOnly);
    EXPECT_EQ(c->problem(), ImapConnection::Problem::Protocol);
    EXPECT_TRUE(c->problemText().contains(QLatin1String("does not offer OAuth2")));
}

TEST_F(ImapOAuthLogin, TheWholeHostWatchesAnOAuth2AccountAndKeepsRetryingWhileNoTokenCanBeHad)
{
    TokenScript script("cat \"$(dirname \"$0\")/jwt\"\n");
    script.put(QStringLiteral("jwt"), "");
    ImapAccountConfig config = account(*s_server, script.path());
    ImapAccountConfig direct = config;
    direct.signIn = ImapAccountConfig::SignIn::Password;
    direct.password = QStringLiteral("secret");
    ImapTestClient client(direct);
    ASSERT_TRUE(client.isReady());

    ImapApplication app(QList<ImapAccountConfig>{config});
    app.watcher()->setBackoff(50, 200);
    app.setStartupCheckMs(600000);
    app.start();
    // No token yet: the account is not given up, it is tried again.
    ASSERT_TRUE(waitUntil([&] { return script.runs() >= 2; }, 15000));
    EXPECT_EQ(app.watcher()->idlingCount(), 0);
    script.put(QStringLiteral("jwt"), valid());
    ASSERT_TRUE(waitUntil([&] { return app.watcher()->idlingCount() == 1; }, 15000)) << s_server->log().toStdString();

    QSignalSpy newMail(&app, &host::Application::NewMail);
    ASSERT_TRUE(client.append("INBOX", "From: a@example.org\r\nSubject: signed in with a token\r\n\r\nHi\r\n"));
    ASSERT_TRUE(waitUntil([&] { return newMail.count() == 1; }, 15000));
}

} // namespace
