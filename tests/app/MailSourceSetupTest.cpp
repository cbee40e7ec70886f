// Every source in one run, and sources opened and closed by an apply while Lumora runs:
// the new store's Inbox is watched at once, a removed one is let go with its folders.
#include "app/MailSourceSetup.h"
#include "app/MetSources.h"
#include "app/WatchedFolderList.h"
#include "host/common/MailApplication.h"
#include "host/common/MailSource.h"
#include "platform/core/Profile.h"
#include "tests/app/FakePasswordStore.h"
#include "tests/host/MaildirTree.h"
#include "tests/testsupport/TempHome.h"

#include <QDir>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace lumora;
using namespace lumora::test;

namespace {

QByteArray watchedSection()
{
    QByteArray buffer(1 << 16, '\0');
    const quint32 n =
        GetPrivateProfileSectionA("EntryID", buffer.data(), quint32(buffer.size()), WatchedFolderList::iniFile());
    // One line each, each ended by a NUL.
    return buffer.left(n);
}

} // namespace

TEST(MailSourceSetup, ComposesEveryStoreAndOpensAndClosesWhatAnApplyChanges)
{
    TempHome home;
    QDir().mkpath(QFileInfo(WatchedFolderList::iniFile()).absolutePath());
    MaildirTree mine;
    MaildirTree kept;
    MaildirTree later;
    qputenv("MAILDIR", QFile::encodeName(mine.root()));
    MailApplication mail;
    FakePasswordStore passwords;
    QStringList said;
    MailSourceSetup setup(mail, passwords, false, [&said](const QString &text) { said << text; });

    HostSettings stored;
    stored.stores = {kept.root(), home.path() + QStringLiteral("/gone")};
    QString error;
    ASSERT_TRUE(setup.compose({}, stored, &error)) << error.toStdString();
    qunsetenv("MAILDIR");
    // The default store first, the kept one beside it; the missing one is said, not fatal.
    ASSERT_EQ(mail.sources().size(), 2);
    EXPECT_EQ(setup.defaultStore(), QDir(mine.root()).canonicalPath());
    EXPECT_EQ(setup.openStores(), (QStringList{QDir(mine.root()).canonicalPath(), QDir(kept.root()).canonicalPath()}));
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said.first().contains(QStringLiteral("/gone does not exist"))) << said.first().toStdString();

    QList<MailSource *> opened;
    QObject::connect(&setup, &MailSourceSetup::sourceOpened, [&opened](MailSource *source) { opened << source; });
    QSignalSpy closed(&setup, &MailSourceSetup::sourceClosed);
    HostSettings applied;
    applied.stores = {later.root()};
    setup.apply(applied, {});
    // The kept store is let go, the new one opened; the default store stays.
    ASSERT_EQ(opened.size(), 1);
    ASSERT_EQ(closed.count(), 1);
    EXPECT_EQ(setup.openStores(), (QStringList{QDir(mine.root()).canonicalPath(), QDir(later.root()).canonicalPath()}));
    MailSource *source = opened.first();
    EXPECT_EQ(source->topFolder()->FolderPath(), QDir(later.root()).canonicalPath());

    // What the host does with them: the new Inbox is watched, the closed store's folders not.
    const host::FolderPtr inbox = source->defaultFolder(host::FolderInbox);
    const QString closedId = closed.first().first().toString();
    QString why;
    ASSERT_TRUE(WatchedFolderList::add(QStringLiteral("00"), closedId, &why)) << why.toStdString();
    ASSERT_TRUE(WatchedFolderList::add(inbox->EntryID(), inbox->StoreID(), &why)) << why.toStdString();
    ASSERT_TRUE(WatchedFolderList::add(inbox->EntryID(), inbox->StoreID(), &why));
    ASSERT_TRUE(WatchedFolderList::removeStore(closedId, &why)) << why.toStdString();
    EXPECT_EQ(watchedSection(), ("EID0=" + inbox->EntryID() + QLatin1Char('|') + inbox->StoreID()).toUtf8() + '\0');
}

TEST(MailSourceSetup, ACommandLineStoreThatCannotBeWatchedEndsTheComposition)
{
    TempHome home;
    qputenv("MAILDIR", QFile::encodeName(home.path() + QStringLiteral("/none")));
    MailApplication mail;
    FakePasswordStore passwords;
    MailSourceSetup setup(mail, passwords, false, {});
    QString error;
    EXPECT_FALSE(setup.compose({{home.path() + QStringLiteral("/missing")}, {}, false, {}, {}, {}}, {}, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("--maildir: "))) << error.toStdString();
    EXPECT_TRUE(mail.sources().isEmpty());
    qunsetenv("MAILDIR");
}

// A first start over several sources watches every Inbox; the choices a user makes after
// that hold at the next start, and a store first named later is watched once.
TEST(MetSources, EveryInboxIsWatchedTheFirstTimeItsSourceIsMetAndOnlyThen)
{
    TempHome home;
    QDir().mkpath(QFileInfo(WatchedFolderList::iniFile()).absolutePath());
    MaildirTree first;
    MaildirTree second;
    MaildirTree later;
    qputenv("MAILDIR", QFile::encodeName(first.root()));
    MailApplication mail;
    FakePasswordStore passwords;
    QStringList said;
    const auto say = [&said](const QString &text) { said << text; };
    MailSourceSetup setup(mail, passwords, false, say);
    QString error;
    ASSERT_TRUE(setup.compose({{second.root()}, {}, false, {}, {}, {}}, {}, &error)) << error.toStdString();
    qunsetenv("MAILDIR");
    ASSERT_EQ(mail.sources().size(), 2);
    const auto inboxLine = [](MailSource *source) {
        const host::FolderPtr inbox = source->defaultFolder(host::FolderInbox);
        return (inbox->EntryID() + QLatin1Char('|') + inbox->StoreID()).toUtf8();
    };

    // As the add-in's first start leaves it: the default store's Inbox only.
    QString why;
    const host::FolderPtr defaultInbox = mail.sources().at(0)->defaultFolder(host::FolderInbox);
    ASSERT_TRUE(WatchedFolderList::add(defaultInbox->EntryID(), defaultInbox->StoreID(), &why));
    EXPECT_EQ(MetSources::watchNewInboxes(mail.sources().mid(1), say), 1);
    EXPECT_EQ(watchedSection(),
              "EID0=" + inboxLine(mail.sources().at(0)) + '\0' + "EID1=" + inboxLine(mail.sources().at(1)) + '\0');

    // The user unticks the second store: the next start leaves it so.
    ASSERT_TRUE(WatchedFolderList::removeStore(mail.sources().at(1)->storeId(), &why));
    EXPECT_EQ(MetSources::watchNewInboxes(mail.sources().mid(1), say), 0);
    EXPECT_FALSE(watchedSection().contains(inboxLine(mail.sources().at(1))));

    // A store named for the first time later is watched, once.
    HostSettings applied;
    applied.stores = {later.root()};
    setup.apply(applied, {});
    ASSERT_EQ(mail.sources().size(), 3);
    EXPECT_EQ(MetSources::watchNewInboxes(mail.sources().mid(1), say), 1);
    EXPECT_TRUE(watchedSection().contains(inboxLine(mail.sources().at(2))));
    EXPECT_EQ(MetSources::watchNewInboxes(mail.sources().mid(1), say), 0);
    EXPECT_EQ(MetSources::met().size(), 2);
    EXPECT_TRUE(said.isEmpty()) << said.join(QLatin1Char('\n')).toStdString();
}

// A source the user set up before the met list existed keeps exactly the folders it had.
TEST(MetSources, ASourceWithAWatchedFolderIsMetWithoutItsInbox)
{
    TempHome home;
    QDir().mkpath(QFileInfo(WatchedFolderList::iniFile()).absolutePath());
    MaildirTree first;
    MaildirTree second;
    second.makeFolder(QStringLiteral(".Lists"));
    qputenv("MAILDIR", QFile::encodeName(first.root()));
    MailApplication mail;
    FakePasswordStore passwords;
    MailSourceSetup setup(mail, passwords, false, {});
    QString error;
    ASSERT_TRUE(setup.compose({{second.root()}, {}, false, {}, {}, {}}, {}, &error)) << error.toStdString();
    qunsetenv("MAILDIR");
    ASSERT_EQ(mail.sources().size(), 2);
    QString why;
    ASSERT_TRUE(WatchedFolderList::add(QStringLiteral("2E4C69737473"), mail.sources().at(1)->storeId(), &why));
    const QByteArray before = watchedSection();

    QStringList said;
    EXPECT_EQ(MetSources::watchNewInboxes(mail.sources().mid(1), [&said](const QString &t) { said << t; }), 0);
    EXPECT_EQ(watchedSection(), before);
    EXPECT_EQ(MetSources::met(), QStringList{mail.sources().at(1)->storeId()});
    EXPECT_TRUE(said.isEmpty());
}

// The spool $MAIL names is watched only when nothing else is; --mbox and --mh name files and
// directories that must be what they claim.
TEST(MailSourceSetup, MboxAndMhSourcesAndTheSpoolOfLastResort)
{
    TempHome home;
    qputenv("MAILDIR", QFile::encodeName(home.path() + QStringLiteral("/none")));
    const QString spool = home.path() + QStringLiteral("/spool");
    qputenv("MAIL", QFile::encodeName(spool));
    FakePasswordStore passwords;
    QString error;
    {
        MailApplication mail;
        MailSourceSetup setup(mail, passwords, false, {});
        ASSERT_TRUE(setup.compose({}, {}, &error)) << error.toStdString();
        // A spool not made yet is watched for its first delivery.
        ASSERT_EQ(mail.sources().size(), 1);
        EXPECT_EQ(setup.openOthers(), QStringList{QStringLiteral("mbox: %1 ($MAIL)").arg(spool)});
        EXPECT_TRUE(setup.openStores().isEmpty());
    }
    const QString mh = home.path() + QStringLiteral("/Mail");
    ASSERT_TRUE(QDir().mkpath(mh + QStringLiteral("/inbox")));
    {
        MailApplication mail;
        MailSourceSetup setup(mail, passwords, false, {});
        ASSERT_TRUE(setup.compose({{}, {}, false, {}, {}, {}, {mh, mh + QStringLiteral("/.")}}, {}, &error));
        ASSERT_EQ(mail.sources().size(), 1); // the same directory twice is one source, and no spool
        EXPECT_EQ(setup.openOthers(), QStringList{QStringLiteral("MH: %1 (command line)").arg(mh)});
        EXPECT_EQ(setup.describe(), QStringList{QStringLiteral("MH mail directory %1").arg(mh)});
    }
    QFile notMbox(home.path() + QStringLiteral("/notes.txt"));
    ASSERT_TRUE(notMbox.open(QIODevice::WriteOnly));
    notMbox.write("Dear diary\n");
    notMbox.close();
    const struct
    {
        QStringList mboxes;
        QStringList mhDirs;
        QString says;
    } refused[] = {
        {{mh}, {}, QStringLiteral("--mbox: %1 is a folder").arg(mh)},
        {{notMbox.fileName()}, {}, QStringLiteral("--mbox: %1 is no mbox file").arg(notMbox.fileName())},
        {{home.path() + QStringLiteral("/no/such/spool")}, {}, QStringLiteral("--mbox: the folder of the mbox file")},
        {{}, {spool}, QStringLiteral("--mh: the MH mail directory %1 does not exist").arg(spool)},
    };
    for (const auto &row : refused) {
        MailApplication mail;
        MailSourceSetup setup(mail, passwords, false, {});
        EXPECT_FALSE(setup.compose({{}, {}, false, {}, {}, row.mboxes, row.mhDirs}, {}, &error));
        EXPECT_TRUE(error.startsWith(row.says)) << error.toStdString();
    }
    qunsetenv("MAIL");
    qunsetenv("MAILDIR");
}
