// Every source in one run, and sources opened and closed by an apply while Lumora runs:
// the new store's Inbox is watched at once, a removed one is let go with its folders.
#include "app/MailSourceSetup.h"
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
    EXPECT_FALSE(setup.compose({{home.path() + QStringLiteral("/missing")}, {}, false, {}}, {}, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("--maildir: "))) << error.toStdString();
    EXPECT_TRUE(mail.sources().isEmpty());
    qunsetenv("MAILDIR");
}
