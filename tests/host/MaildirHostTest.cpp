#include "tests/host/MaildirTree.h"

#include "host/common/DraftItem.h"
#include "host/common/MailHeaderReader.h"
#include "host/maildir/MaildirApplication.h"
#include "host/maildir/MaildirStore.h"
#include "tests/host/FakeDesktopHandlers.h"
#include "tests/testsupport/FakeProcessLauncher.h"
#include "tests/testsupport/TempHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

#include <gtest/gtest.h>

using namespace lumora;
using lumora::test::MaildirTree;

namespace {

constexpr qint64 T0 = 1767600000; // 2026-01-05

QStringList subjectsOfUnread(host::MAPIFolder &folder)
{
    QStringList subjects;
    host::ItemsPtr items = folder.items();
    for (host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true")); item; item = items->FindNext())
        subjects.append(item->Subject());
    return subjects;
}

host::FolderPtr childNamed(host::MAPIFolder &folder, const QString &name)
{
    host::FoldersPtr children = folder.folders();
    for (int i = 1; i <= children->Count(); ++i) {
        if (children->Item(i)->Name() == name)
            return children->Item(i);
    }
    return nullptr;
}

TEST(MaildirStores, FolderTreeWithDecodedNamesAndDefaults)
{
    MaildirTree tree;
    tree.makeFolder(QStringLiteral(".Work"));
    tree.makeFolder(QStringLiteral(".Work.Reports"));
    tree.makeFolder(QStringLiteral(".&AOk-t&AOk-"));
    tree.makeFolder(QStringLiteral(".Orphan.Child")); // parent folder missing
    QDir().mkpath(tree.root() + QStringLiteral("/.NoCur/new")); // not a folder without cur/
    QDir().mkpath(tree.root() + QStringLiteral("/..Bad/cur"));
    QTemporaryDir outside;
    QDir().mkpath(outside.path() + QStringLiteral("/cur"));
    QFile::link(outside.path(), tree.root() + QStringLiteral("/.Escape"));

    MaildirApplication app({tree.root(), tree.root() + QStringLiteral("/missing")});
    host::NameSpace *ns = app.GetNamespace(QStringLiteral("MAPI"));
    ASSERT_TRUE(ns);
    EXPECT_EQ(app.GetNamespace(QStringLiteral("Other")), nullptr);
    ASSERT_EQ(ns->folders()->Count(), 1);
    host::FolderPtr inbox = ns->GetDefaultFolder(host::FolderInbox);
    ASSERT_TRUE(inbox);
    EXPECT_EQ(inbox->Name(), QStringLiteral("Inbox"));
    EXPECT_EQ(inbox->DefaultItemType(), 0);

    QStringList names;
    host::FoldersPtr top = inbox->folders();
    for (int i = 1; i <= top->Count(); ++i)
        names.append(top->Item(i)->Name());
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("Orphan.Child"), QStringLiteral("Work"), QStringLiteral("été")}));
    host::FolderPtr work = childNamed(*inbox, QStringLiteral("Work"));
    ASSERT_TRUE(work);
    EXPECT_TRUE(childNamed(*work, QStringLiteral("Reports")));
    EXPECT_EQ(top->Item(0), nullptr);
    EXPECT_EQ(top->Item(top->Count() + 1), nullptr);

    // Drafts and Trash are created on demand.
    host::FolderPtr trash = ns->GetDefaultFolder(host::FolderDeletedItems);
    ASSERT_TRUE(trash);
    EXPECT_TRUE(QFileInfo(tree.root() + QStringLiteral("/.Trash/cur")).isDir());
    ASSERT_TRUE(ns->GetDefaultFolder(host::FolderDrafts));
    EXPECT_TRUE(QFileInfo(tree.root() + QStringLiteral("/.Drafts/new")).isDir());
    host::FolderPtr calendar = ns->GetDefaultFolder(host::FolderCalendar);
    ASSERT_TRUE(calendar);
    EXPECT_EQ(calendar->DefaultItemType(), host::AppointmentItemType);
    EXPECT_EQ(calendar->items()->Add()->ItemType(), host::AppointmentItemType);

    // Every folder resolves from its ids again; ids are upper-case hex only.
    static const QRegularExpression hex(QStringLiteral("^[0-9A-F]+$"));
    for (const host::FolderPtr &f : {inbox, work, trash, calendar}) {
        EXPECT_TRUE(hex.match(f->EntryID()).hasMatch());
        EXPECT_TRUE(hex.match(f->StoreID()).hasMatch());
        host::FolderPtr again = ns->GetFolderFromID(f->EntryID(), f->StoreID());
        ASSERT_TRUE(again);
        EXPECT_EQ(again->Name(), f->Name());
    }
}

TEST(MaildirStores, RejectsUnknownStaleAndForgedIds)
{
    MaildirTree tree;
    tree.makeFolder(QStringLiteral(".Gone"));
    MaildirApplication app({tree.root()});
    host::NameSpace *ns = app.session();
    host::FolderPtr inbox = ns->GetDefaultFolder(host::FolderInbox);
    const QString store = inbox->StoreID();
    const QString goneId = MaildirStore::folderEntryId(QStringLiteral(".Gone"));
    ASSERT_TRUE(ns->GetFolderFromID(goneId, store));
    QDir(tree.folderPath(QStringLiteral(".Gone"))).removeRecursively();
    EXPECT_EQ(ns->GetFolderFromID(goneId, store), nullptr);

    auto hexOf = [](const char *text) { return QString::fromLatin1(QByteArray(text).toHex().toUpper()); };
    EXPECT_EQ(ns->GetFolderFromID(inbox->EntryID(), QStringLiteral("00")), nullptr);
    EXPECT_EQ(ns->GetFolderFromID(QStringLiteral("zz"), store), nullptr);
    EXPECT_EQ(ns->GetFolderFromID(QString(), store), nullptr);
    EXPECT_EQ(ns->GetFolderFromID(hexOf("F/etc"), store), nullptr);
    EXPECT_EQ(ns->GetFolderFromID(hexOf("F.."), store), nullptr);
    EXPECT_EQ(ns->GetItemFromID(hexOf("M/../../etc/passwd"), store), nullptr);
    EXPECT_EQ(ns->GetItemFromID(hexOf("M../x"), store), nullptr);
    EXPECT_EQ(ns->GetItemFromID(hexOf("M/nosuchmessage"), store), nullptr);
    EXPECT_EQ(ns->GetItemFromID(QStringLiteral("4D2F6a"), store), nullptr); // lower-case hex
}

TEST(MaildirItems, UnreadOldestFirstFromListingsOnly)
{
    MaildirTree tree;
    // Two deliveries within one second keep their order by the sub-second time.
    tree.put({}, QStringLiteral("new"), QStringLiteral("b.host"), MaildirTree::message("second"), T0 + 10, 500000000);
    tree.put({}, QStringLiteral("new"), QStringLiteral("a.host"), MaildirTree::message("third"), T0 + 10, 900000000);
    tree.put({}, QStringLiteral("cur"), QStringLiteral("c.host:2,"), MaildirTree::message("first"), T0 + 10, 100000000);
    tree.put({}, QStringLiteral("cur"), QStringLiteral("d.host:2,S"), MaildirTree::message("read"), T0);
    tree.put({}, QStringLiteral("cur"), QStringLiteral("e.host:2,FS"), MaildirTree::message("flagged read"), T0);
    tree.put({}, QStringLiteral("cur"), QStringLiteral("f.host"), MaildirTree::message("no info"), T0 + 20);
    tree.put({}, QStringLiteral("cur"), QStringLiteral(".hidden:2,"), MaildirTree::message("dot"), T0);
    tree.put({}, QStringLiteral("tmp"), QStringLiteral("g.host"), MaildirTree::message("in tmp"), T0);
    QTemporaryDir outside;
    QFile secret(outside.path() + QStringLiteral("/secret"));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write(MaildirTree::message("outside"));
    secret.close();
    QFile::link(secret.fileName(), tree.root() + QStringLiteral("/cur/h.host:2,"));
    QDir().mkpath(tree.root() + QStringLiteral("/cur/i.dir:2,"));

    MaildirApplication app({tree.root()});
    host::FolderPtr inbox = app.session()->GetDefaultFolder(host::FolderInbox);
    const quint64 opened = MailHeaderReader::filesOpened();
    host::ItemsPtr items = inbox->items();
    EXPECT_EQ(items->Count(), 6);
    int found = 0;
    QDateTime previous;
    for (host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true")); item; item = items->FindNext()) {
        ++found;
        EXPECT_TRUE(item->UnRead());
        EXPECT_TRUE(!previous.isValid() || previous < item->ReceivedTime());
        previous = item->ReceivedTime();
    }
    EXPECT_EQ(found, 4);
    EXPECT_EQ(MailHeaderReader::filesOpened(), opened); // listing and file times only
    EXPECT_EQ(subjectsOfUnread(*inbox),
              (QStringList{QStringLiteral("first"), QStringLiteral("second"), QStringLiteral("third"),
                           QStringLiteral("no info")}));
    EXPECT_EQ(items->Find(QStringLiteral("[Unread] = false")), nullptr);
    EXPECT_EQ(items->FindNext(), nullptr);

    host::ItemPtr first = items->Find(QStringLiteral("[Unread]=true"));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->ReceivedTime().toMSecsSinceEpoch(), (T0 + 10) * 1000 + 100);
    EXPECT_EQ(first->SenderName(), QStringLiteral("Ann"));
    EXPECT_EQ(first->Importance(), 1);
}

TEST(MaildirItems, IdStaysValidAcrossMoveToCurAndFlagChanges)
{
    MaildirTree tree;
    const QString inNew =
        tree.put({}, QStringLiteral("new"), QStringLiteral("1767600000.M1P2.host"), MaildirTree::message("moving"), T0);
    MaildirApplication app({tree.root()});
    host::NameSpace *ns = app.session();
    host::FolderPtr inbox = ns->GetDefaultFolder(host::FolderInbox);
    host::ItemPtr item = inbox->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(item);
    const QString id = item->EntryID();
    const QString store = inbox->StoreID();

    const QString inCur = tree.root() + QStringLiteral("/cur/1767600000.M1P2.host:2,");
    ASSERT_TRUE(QFile::rename(inNew, inCur));
    host::ItemPtr again = ns->GetItemFromID(id, store);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Subject(), QStringLiteral("moving"));
    EXPECT_TRUE(again->UnRead());

    ASSERT_TRUE(QFile::rename(inCur, inCur + QStringLiteral("RS")));
    app.checkForChanges();
    host::ItemPtr read = ns->GetItemFromID(id, store);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->EntryID(), id);
    EXPECT_FALSE(read->UnRead());
    EXPECT_EQ(item->Subject(), QStringLiteral("moving")); // the older handle follows the file too

    QFile::remove(inCur + QStringLiteral("RS"));
    app.checkForChanges();
    EXPECT_EQ(ns->GetItemFromID(id, store), nullptr);
    EXPECT_FALSE(item->Display());
    EXPECT_FALSE(item->Delete());
}

TEST(MaildirItems, MessageKeysSurviveASynchronisersRenameAndTellMessagesApart)
{
    // By Message-ID; without one by date, sender and subject (a synchroniser may give the
    // file a name of its own); without a date by the unique name, which a rename keeps.
    MaildirTree tree;
    tree.put({}, QStringLiteral("new"), QStringLiteral("1767600000.M1P1.host"),
             "Received: from a by mx; Mon, 5 Jan 2026 08:59:00 +0000\nMessage-ID: <k1@x>\n"
                 + MaildirTree::message("with id"),
             T0);
    tree.put({}, QStringLiteral("new"), QStringLiteral("1767600000.M2P1.host"), MaildirTree::message("no id"), T0 + 1);
    tree.put({}, QStringLiteral("new"), QStringLiteral("1767600000.M3P1.host,S=20"), "Subject: bare\n\nx\n", T0 + 2);
    MaildirApplication app({tree.root()});
    host::FolderPtr inbox = app.session()->GetDefaultFolder(host::FolderInbox);
    const auto keys = [&] {
        QStringList out;
        host::ItemsPtr items = inbox->items();
        for (host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true")); item; item = items->FindNext())
            out << item->MessageKey();
        return out;
    };
    const QStringList before = keys();
    ASSERT_EQ(before.size(), 3);
    EXPECT_EQ(before.at(0), QStringLiteral("<k1@x>"));
    EXPECT_NE(before.at(1), before.at(2));
    EXPECT_EQ(inbox->items()->Find(QStringLiteral("[Unread] = true"))->OriginTime(),
              QDateTime(QDate(2026, 1, 5), QTime(8, 59), Qt::UTC));

    // A synchroniser's rename: a new name for the message without an id, a uid for the last.
    ASSERT_TRUE(QFile::rename(tree.root() + QStringLiteral("/new/1767600000.M2P1.host"),
                              tree.root() + QStringLiteral("/new/1767600099_0.77.sync,U=5,FMD5=ab:2,")));
    ASSERT_TRUE(QFile::rename(tree.root() + QStringLiteral("/new/1767600000.M3P1.host,S=20"),
                              tree.root() + QStringLiteral("/cur/1767600000.M3P1.host,S=20,U=6:2,")));
    app.checkForChanges();
    EXPECT_EQ(keys(), before);
}

TEST(MaildirItems, DeleteMovesIntoTrashAndNeverOverwrites)
{
    MaildirTree tree;
    tree.put({}, QStringLiteral("cur"), QStringLiteral("dup.host:2,"), "Subject: one\n\n1", T0);
    tree.put({}, QStringLiteral("new"), QStringLiteral("fresh.host"), "Subject: two\n\n2", T0 + 1);
    tree.makeFolder(QStringLiteral(".Trash"));
    tree.put(QStringLiteral(".Trash"), QStringLiteral("cur"), QStringLiteral("dup.host:2,"), "Subject: old\n\n0", T0);

    MaildirApplication app({tree.root()});
    host::NameSpace *ns = app.session();
    host::ItemsPtr items = ns->GetDefaultFolder(host::FolderInbox)->items();
    host::ItemPtr first = items->Find(QStringLiteral("[Unread] = true"));
    host::ItemPtr second = items->FindNext();
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->Delete());
    EXPECT_TRUE(second->Delete());
    EXPECT_FALSE(first->Delete()); // already gone

    const QStringList inTrash = QDir(tree.root() + QStringLiteral("/.Trash/cur")).entryList(QDir::Files);
    EXPECT_EQ(inTrash.size(), 3);
    EXPECT_TRUE(inTrash.contains(QStringLiteral("fresh.host:2,")));
    QStringList contents;
    for (const QString &name : inTrash) {
        QFile f(tree.root() + QStringLiteral("/.Trash/cur/") + name);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        contents.append(QString::fromUtf8(f.readAll().right(1)));
    }
    contents.sort();
    EXPECT_EQ(contents, (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}));
    EXPECT_EQ(items->Count(), 0);

    // A message already in Trash stays there.
    host::ItemPtr trashed =
        ns->GetDefaultFolder(host::FolderDeletedItems)->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(trashed);
    EXPECT_FALSE(trashed->Delete());
    EXPECT_EQ(QDir(tree.root() + QStringLiteral("/.Trash/cur")).entryList(QDir::Files).size(), 3);
}

TEST(MaildirItems, DisplayAndNewItemsStartTheConfiguredPrograms)
{
    MaildirTree tree;
    const QString path = tree.put({}, QStringLiteral("new"), QStringLiteral("m.host"), "Subject: s\n\n", T0);
    lumora::test::FakeProcessLauncher launcher;
    lumora::test::FakeDesktopHandlers handlers;
    handlers.installAll(QStringLiteral("/usr/share/applications/any.desktop"));
    MaildirApplication app({tree.root()});
    host::ItemPtr item =
        app.session()->GetDefaultFolder(host::FolderInbox)->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->Display());
    ASSERT_EQ(launcher.calls.size(), 1);
    EXPECT_EQ(launcher.calls[0].program, QStringLiteral("xdg-open"));
    EXPECT_EQ(launcher.calls[0].arguments, QStringList{path});

    app.setDisplayCommand(QStringLiteral("mutt -R -f \"%f\""));
    EXPECT_TRUE(item->Display());
    EXPECT_EQ(launcher.calls[1].program, QStringLiteral("mutt"));
    EXPECT_EQ(launcher.calls[1].arguments, (QStringList{QStringLiteral("-R"), QStringLiteral("-f"), path}));
    launcher.fail = true;
    EXPECT_FALSE(item->Display());
    launcher.fail = false;

    host::ItemPtr mail = app.CreateItem(host::MailItemType);
    ASSERT_TRUE(mail);
    EXPECT_TRUE(mail->Display());
    EXPECT_EQ(launcher.calls.last().program, QStringLiteral("xdg-email"));
    EXPECT_EQ(app.CreateItem(4), nullptr);

    struct Draft
    {
        int type;
        const char *suffix;
        const char *marker;
    };
    for (const Draft &d :
         {Draft{host::AppointmentItemType, ".ics", "BEGIN:VEVENT"}, Draft{host::ContactItemType, ".vcf", "BEGIN:VCARD"},
          Draft{host::TaskItemType, ".ics", "BEGIN:VTODO"}, Draft{host::NoteItemType, ".ics", "BEGIN:VJOURNAL"}}) {
        host::ItemPtr created = app.CreateItem(d.type);
        ASSERT_TRUE(created);
        EXPECT_EQ(created->ItemType(), d.type);
        EXPECT_TRUE(created->EntryID().isEmpty());
        EXPECT_TRUE(created->Display());
        const QString draft = static_cast<DraftItem *>(created.get())->draftPath();
        EXPECT_TRUE(draft.startsWith(DraftItem::draftsFolder()));
        EXPECT_TRUE(draft.endsWith(QLatin1String(d.suffix)));
        QFile f(draft);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll().contains(d.marker));
        EXPECT_EQ(launcher.calls.last().program, QStringLiteral("xdg-open"));
        EXPECT_EQ(launcher.calls.last().arguments, QStringList{draft});
    }
    EXPECT_TRUE(
        DraftItem::draftsFolder().startsWith(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)));
}

struct BadFileCase
{
    const char *name;
    QByteArray content;
};

class MaildirBadMessages : public ::testing::TestWithParam<BadFileCase>
{};

TEST_P(MaildirBadMessages, ReadsWhatItCanWithoutFailing)
{
    MaildirTree tree;
    tree.put({}, QStringLiteral("new"), QStringLiteral("bad.host"), GetParam().content, T0);
    MaildirApplication app({tree.root()});
    host::ItemPtr item =
        app.session()->GetDefaultFolder(host::FolderInbox)->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->ReceivedTime().isValid());
    (void)item->Subject();
    (void)item->SenderName();
    EXPECT_GE(item->Importance(), 0);
    EXPECT_LE(item->Importance(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MaildirBadMessages,
    ::testing::Values(BadFileCase{"empty", ""}, BadFileCase{"onlyBody", "\n\nbody only"},
                      BadFileCase{"binary", QByteArray("\x00\x01\xff\xfe\n\n\x00", 7)},
                      BadFileCase{"headerWithoutEnd", QByteArray(300000, 'A')},
                      BadFileCase{"hugeHeader", "Subject: x\nX-Long: " + QByteArray(2 * 1024 * 1024, 'y') + "\n\n"}),
    [](const ::testing::TestParamInfo<BadFileCase> &row) { return std::string(row.param.name); });

TEST(MaildirItems, UnreadableAndVanishingFilesAreSkipped)
{
    MaildirTree tree;
    const QString locked = tree.put({}, QStringLiteral("new"), QStringLiteral("locked.host"), "Subject: l\n\n", T0);
    QFile::setPermissions(locked, QFileDevice::Permissions());
    const QString vanishing = tree.put({}, QStringLiteral("new"), QStringLiteral("v.host"), "Subject: v\n\n", T0 + 1);
    MaildirApplication app({tree.root()});
    host::ItemsPtr items = app.session()->GetDefaultFolder(host::FolderInbox)->items();
    host::ItemPtr first = items->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Subject(), geteuid() == 0 ? QStringLiteral("l") : QString());
    QFile::remove(vanishing);
    host::ItemPtr second = items->FindNext();
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->Subject().isEmpty());
    EXPECT_FALSE(second->Display());
}

TEST(MaildirStores, DefaultRootsFollowTheEnvironment)
{
    const QByteArray old = qgetenv("MAILDIR");
    qputenv("MAILDIR", "/srv/mail/me");
    EXPECT_EQ(MaildirApplication::defaultStoreRoots({QStringLiteral("/x")}),
              (QStringList{QStringLiteral("/srv/mail/me"), QStringLiteral("/x")}));
    qunsetenv("MAILDIR");
    EXPECT_EQ(MaildirApplication::defaultStoreRoots(), QStringList{QDir::homePath() + QStringLiteral("/Maildir")});
    if (!old.isNull())
        qputenv("MAILDIR", old);
}

} // namespace

// With no viewer for a kind of file the desktop's handler would fail out of sight: a mail
// file goes to the mail client instead, and what has neither says what to install, before
// any draft is written.
TEST(MaildirItems, WithoutADesktopHandlerMailGoesToTheMailClientAndTheRestSaysWhatToInstall)
{
    lumora::test::TempHome home;
    MaildirTree tree;
    const QString path = tree.put({}, QStringLiteral("new"), QStringLiteral("m.host"), "Subject: s\n\n", T0);
    const QString client = home.dataHome() + QStringLiteral("/applications/mailer.desktop");
    QDir().mkpath(QFileInfo(client).absolutePath());
    QFile entry(client);
    ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nName=Mailer\nExec=env A=1 mailer --open %u %i\n[Desktop Action x]\nExec=no\n");
    entry.close();

    lumora::test::FakeProcessLauncher launcher;
    lumora::test::FakeDesktopHandlers handlers;
    handlers.entries.insert(QStringLiteral("x-scheme-handler/mailto"), client);
    MaildirApplication app({tree.root()});
    host::ItemPtr item =
        app.session()->GetDefaultFolder(host::FolderInbox)->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->Display());
    ASSERT_EQ(launcher.calls.size(), 1);
    EXPECT_EQ(launcher.calls[0].program, QStringLiteral("env"));
    EXPECT_EQ(launcher.calls[0].arguments,
              (QStringList{QStringLiteral("A=1"), QStringLiteral("mailer"), QStringLiteral("--open"),
                           QUrl::fromLocalFile(path).toString()}));

    handlers.entries.clear();
    EXPECT_FALSE(item->Display());
    EXPECT_TRUE(item->ErrorText().contains(QStringLiteral("message/rfc822")));
    EXPECT_TRUE(item->ErrorText().contains(QStringLiteral("Install a mail program")));
    // A command of the user's own is the user's choice: started without asking the desktop.
    app.setDisplayCommand(QStringLiteral("mutt -f %f"));
    EXPECT_TRUE(item->Display());
    EXPECT_EQ(launcher.calls.last().program, QStringLiteral("mutt"));

    const qsizetype started = launcher.calls.size();
    for (const int type : {host::AppointmentItemType, host::TaskItemType, host::NoteItemType, host::ContactItemType,
                           host::MailItemType}) {
        host::ItemPtr created = app.CreateItem(type);
        ASSERT_TRUE(created);
        EXPECT_FALSE(created->Display()) << type;
        EXPECT_TRUE(created->ErrorText().contains(QStringLiteral("Install"))) << created->ErrorText().toStdString();
    }
    EXPECT_EQ(launcher.calls.size(), started);
    EXPECT_FALSE(QFileInfo::exists(DraftItem::draftsFolder()) && !QDir(DraftItem::draftsFolder()).isEmpty());
}
