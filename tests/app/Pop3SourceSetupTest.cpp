// POP3 accounts among the sources: from the command line and the settings, opened and let
// go by an apply, their password from the secret service and their state in the data folder.
#include "app/MailSourceSetup.h"
#include "app/Pop3SourceFactory.h"
#include "host/common/MailApplication.h"
#include "host/common/MailSource.h"
#include "settings/SettingsLocation.h"
#include "tests/app/FakePasswordStore.h"
#include "tests/testsupport/TempHome.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace lumora;
using namespace lumora::test;

namespace {

TEST(Pop3SourceSetup, CommandLineAndKeptAccountsAreOpenedOnceAndAnApplyLetsGoOfARemovedOne)
{
    TempHome home;
    qputenv("MAILDIR", QFile::encodeName(home.path() + QStringLiteral("/none")));
    MailApplication mail;
    FakePasswordStore passwords;
    passwords.stored.insert(QStringLiteral("anna@127.0.0.1:1995"), QStringLiteral("secret"));
    passwords.stored.insert(QStringLiteral("bob@127.0.0.1:1110"), QStringLiteral("secret"));
    QStringList said;
    MailSourceSetup setup(mail, passwords, false, [&said](const QString &text) { said << text; });

    HostSettings stored;
    // The same account named twice, once on the command line: watched once.
    stored.pop3Accounts = {QStringLiteral("pop3://bob@127.0.0.1:1110?interval=2"),
                           QStringLiteral("pop3s://anna@127.0.0.1:1995"), QStringLiteral("pop3s://a@h?interval=0")};
    MailSourceSetup::CommandLine commandLine;
    commandLine.pop3Urls = {QStringLiteral("pop3s://anna@127.0.0.1:1995")};
    QString error;
    ASSERT_TRUE(setup.compose(commandLine, stored, &error)) << error.toStdString();
    qunsetenv("MAILDIR");
    EXPECT_EQ(setup.openAccounts(),
              (QStringList{QStringLiteral("anna@127.0.0.1:1995"), QStringLiteral("bob@127.0.0.1:1110")}));
    EXPECT_TRUE(setup.openStores().isEmpty());
    EXPECT_EQ(setup.describe(),
              (QStringList{QStringLiteral("POP3 account anna@127.0.0.1:1995"),
                           QStringLiteral("POP3 account bob@127.0.0.1:1110")}));
    // The interval that cannot be right is said; the rest is watched.
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said.first().contains(QStringLiteral("interval"))) << said.first().toStdString();

    QSignalSpy closed(&setup, &MailSourceSetup::sourceClosed);
    HostSettings applied;
    applied.pop3Accounts = {QStringLiteral("pop3s://anna@127.0.0.1:1995")};
    setup.apply(applied, {});
    // bob was kept and is let go; anna came from the command line and stays.
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(setup.openAccounts(), QStringList{QStringLiteral("anna@127.0.0.1:1995")});
}

TEST(Pop3SourceSetup, AnAddressNotUnderstoodOrWithoutPasswordEndsTheComposition)
{
    TempHome home;
    qputenv("MAILDIR", QFile::encodeName(home.path() + QStringLiteral("/none")));
    MailApplication mail;
    FakePasswordStore passwords;
    MailSourceSetup setup(mail, passwords, false, {});
    MailSourceSetup::CommandLine commandLine;
    commandLine.pop3Urls = {QStringLiteral("pop://anna@host")};
    QString error;
    EXPECT_FALSE(setup.compose(commandLine, {}, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("--pop3: "))) << error.toStdString();

    MailSourceSetup again(mail, passwords, false, {});
    commandLine.pop3Urls = {QStringLiteral("pop3s://anna@host")};
    EXPECT_FALSE(again.compose(commandLine, {}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("No password for anna@host:995"))) << error.toStdString();
    EXPECT_TRUE(mail.sources().isEmpty());
    qunsetenv("MAILDIR");
}

TEST(Pop3SourceSetup, EachAccountKeepsItsStateInAFileOfItsOwnInTheDataFolder)
{
    TempHome home;
    const QString a = Pop3SourceFactory::statePath(QStringLiteral("anna@host:995"));
    const QString b = Pop3SourceFactory::statePath(QStringLiteral("anna@host:1995"));
    EXPECT_NE(a, b);
    EXPECT_TRUE(a.startsWith(SettingsLocation::dataFolder() + QStringLiteral("/pop3/"))) << a.toStdString();
    // A user name may hold a slash; the file stays in its folder.
    const QString odd = Pop3SourceFactory::statePath(QStringLiteral("a/../../b@host:995"));
    EXPECT_EQ(QFileInfo(odd).absolutePath(), SettingsLocation::dataFolder() + QStringLiteral("/pop3"));
}

} // namespace
