// Accounts from the command line: where passwords come from and go, and what is remembered.
#include "app/ImapSetup.h"
#include "host/imap/ImapTokenSource.h"
#include "tests/app/FakePasswordStore.h"

#include <QFile>
#include <QMap>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::test::FakePasswordStore;

namespace {

struct Said
{
    explicit Said(ImapSetup &setup)
    {
        QObject::connect(&setup, &ImapSetup::say, [this](const QString &line) { lines.append(line); });
    }
    QStringList lines;
};

const QString Url = QStringLiteral("imaps://anna@mail.example");
const QString Key = QStringLiteral("anna@mail.example:993");

TEST(ImapSetup, PasswordIsAskedOnceThenComesFromTheSecretServiceAndNeverFromAFile)
{
    FakePasswordStore store;
    int asked = 0;
    for (int run = 0; run < 2; ++run) {
        ImapSetup setup(store);
        setup.setPrompt([&](const QString &account) {
            ++asked;
            EXPECT_EQ(account, Key);
            return std::optional<QString>(QStringLiteral("s3cret"));
        });
        QString error;
        const auto accounts = setup.accounts({{Url}, false, {QStringLiteral("ab:cd")}, true, {}}, &error);
        ASSERT_TRUE(accounts) << error.toStdString();
        EXPECT_EQ(accounts->first().password, QStringLiteral("s3cret"));
        EXPECT_EQ(accounts->first().trustedFingerprints, QStringList{QStringLiteral("ABCD")});
    }
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(store.stored.value(Key), QStringLiteral("s3cret"));
    // The trust file remembers the certificate and nothing secret.
    QFile trust(ImapSetup::trustFile());
    ASSERT_TRUE(trust.open(QIODevice::ReadOnly));
    const QByteArray text = trust.readAll();
    EXPECT_TRUE(text.contains("ABCD"));
    EXPECT_FALSE(text.contains("s3cret"));
}

TEST(ImapSetup, WithoutSecretServiceThePasswordServesThisSessionOnlyAndTheUserIsTold)
{
    FakePasswordStore store;
    store.reachable = false;
    ImapSetup setup(store);
    Said said(setup);
    setup.setPrompt([](const QString &) { return std::optional<QString>(QStringLiteral("pw")); });
    const auto accounts = setup.accounts({{Url}, false, {}, true, {}}, nullptr);
    ASSERT_TRUE(accounts);
    EXPECT_EQ(accounts->first().password, QStringLiteral("pw"));
    EXPECT_TRUE(said.lines.join(QLatin1Char('\n')).contains(QStringLiteral("for this session only")))
        << said.lines.join(QLatin1Char('\n')).toStdString();
}

TEST(ImapSetup, RefusalsAndWarnings)
{
    FakePasswordStore store;
    {
        // No password stored and no dialog to ask in: no account, and the reason.
        ImapSetup setup(store);
        QString error;
        EXPECT_FALSE(setup.accounts({{Url}, false, {}, false, {}}, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("No password for anna@mail.example:993"))) << error.toStdString();
    }
    {
        // A cancelled prompt is no password either.
        ImapSetup setup(store);
        setup.setPrompt([](const QString &) { return std::nullopt; });
        EXPECT_FALSE(setup.accounts({{Url}, false, {}, true, {}}, nullptr));
    }
    {
        ImapSetup setup(store);
        QString error;
        EXPECT_FALSE(setup.accounts({{QStringLiteral("imaps://anna:pw@mail.example")}, false, {}, false, {}}, &error));
        EXPECT_TRUE(error.contains(QStringLiteral("Leave the password out")));
    }
    {
        // No encryption only when asked for, and never without a warning.
        store.stored.insert(QStringLiteral("anna@mail.example:143"), QStringLiteral("pw"));
        ImapSetup setup(store);
        Said said(setup);
        const auto accounts = setup.accounts(
            {{QStringLiteral("imap://anna@mail.example?security=plain")}, false, {}, false, {}}, nullptr);
        ASSERT_TRUE(accounts);
        EXPECT_EQ(accounts->first().security, ImapAccountConfig::Security::Plain);
        EXPECT_TRUE(said.lines.join(QLatin1Char('\n')).contains(QStringLiteral("without encryption")));
    }
}

} // namespace

namespace {

TEST(ImapSetup, AnOAuth2AccountNeedsNoPasswordAndGetsItsTokenSource)
{
    FakePasswordStore store;
    ImapSetup setup(store);
    int asked = 0;
    setup.setPrompt([&](const QString &) {
        ++asked;
        return std::optional<QString>(QStringLiteral("never used"));
    });
    QString error;
    const auto command =
        setup.account(QStringLiteral("imaps://zoe%40gmail.com@imap.gmail.com?auth=oauth2&tokencmd=/bin/echo%20tok"),
                      {{}, false, {QStringLiteral("ab:cd")}, true, {}}, &error);
    ASSERT_TRUE(command) << error.toStdString();
    ASSERT_TRUE(command->tokens);
    EXPECT_EQ(command->tokens->token(false).value, QStringLiteral("tok"));
    EXPECT_TRUE(command->password.isEmpty());
    EXPECT_EQ(command->trustedFingerprints, QStringList{QStringLiteral("ABCD")});

    const auto online =
        setup.account(QStringLiteral("imaps://zoe%40gmail.com@imap.gmail.com?auth=oauth2&online=account_1"),
                      {{}, false, {}, true, {}}, &error);
    ASSERT_TRUE(online) << error.toStdString();
    ASSERT_TRUE(online->tokens);
    EXPECT_TRUE(online->tokens->describe().contains(QLatin1String("account_1")))
        << online->tokens->describe().toStdString();
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(store.stored.isEmpty());
}

} // namespace
