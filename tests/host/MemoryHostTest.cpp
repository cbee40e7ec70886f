#include "host/memory/MemoryApplication.h"
#include "host/memory/MemoryDemoStore.h"
#include "host/memory/MemoryPropertyPages.h"

#include <QRegularExpression>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

const QDateTime kBase(QDate(2026, 1, 5), QTime(9, 0));

MemoryItemData mail(const QString &subject, int minutes, bool unread = true)
{
    MemoryItemData s;
    s.subject = subject;
    s.senderName = QStringLiteral("Sender of ") + subject;
    s.receivedTime = kBase.addSecs(minutes * 60);
    s.unread = unread;
    return s;
}

QStringList unreadSubjects(const host::ItemsPtr &items)
{
    QStringList subjects;
    for (host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true")); item; item = items->FindNext())
        subjects << item->Subject();
    return subjects;
}

class MemoryHost : public ::testing::Test
{
protected:
    MemoryApplication app;
    MemoryFolderPtr inbox = app.addStore(QStringLiteral("Personal Folders"));
    host::NameSpace *ns = app.GetNamespace(QStringLiteral("MAPI"));
};

} // namespace

TEST_F(MemoryHost, FindYieldsUnreadItemsInInsertionOrderNotByTime)
{
    app.deliver(inbox, mail(QStringLiteral("late"), 30), false);
    app.deliver(inbox, mail(QStringLiteral("read"), 10, false), false);
    app.deliver(inbox, mail(QStringLiteral("early"), 5), false);

    host::ItemsPtr items = inbox->items();
    EXPECT_EQ(unreadSubjects(items), (QStringList{QStringLiteral("late"), QStringLiteral("early")}));
    EXPECT_EQ(items->FindNext(), nullptr) << "the search ended";
    EXPECT_EQ(items->Count(), 3);

    // Spacing and case of the filter are free; anything else matches nothing.
    EXPECT_NE(items->Find(QStringLiteral("[UnRead]=True")), nullptr);
    EXPECT_EQ(items->Find(QStringLiteral("[Unread] = false")), nullptr);
    EXPECT_EQ(items->FindNext(), nullptr);
    EXPECT_EQ(items->Find(QString()), nullptr);
}

TEST_F(MemoryHost, FindCarriesOnWhileItemsComeAndGo)
{
    MemoryItemPtr a = app.deliver(inbox, mail(QStringLiteral("a"), 1), false);
    MemoryItemPtr b = app.deliver(inbox, mail(QStringLiteral("b"), 2), false);
    app.deliver(inbox, mail(QStringLiteral("c"), 3), false);

    host::ItemsPtr items = inbox->items();
    ASSERT_EQ(items->Find(QStringLiteral("[Unread] = true")), a);
    ASSERT_TRUE(a->Delete());
    app.setUnread(b, false);
    app.deliver(inbox, mail(QStringLiteral("d"), 4), false);
    EXPECT_EQ(items->FindNext()->Subject(), QStringLiteral("c"));
    EXPECT_EQ(items->FindNext()->Subject(), QStringLiteral("d"));
    EXPECT_EQ(items->FindNext(), nullptr);
}

TEST_F(MemoryHost, IdsAreUpperCaseHexAndResolveUntilTheItemIsDeleted)
{
    MemoryItemPtr item = app.deliver(inbox, mail(QStringLiteral("x"), 1), false);
    const QRegularExpression hex(QStringLiteral("^[0-9A-F]+$"));
    for (const QString &id : {item->EntryID(), inbox->EntryID(), inbox->StoreID()})
        EXPECT_TRUE(hex.match(id).hasMatch()) << id.toStdString();
    EXPECT_NE(inbox->EntryID(), inbox->StoreID());

    const QString id = item->EntryID();
    EXPECT_EQ(ns->GetItemFromID(id, inbox->StoreID()), item);
    EXPECT_EQ(ns->GetItemFromID(id, QString()), item) << "without a store id every store is searched";
    EXPECT_EQ(ns->GetItemFromID(id, QStringLiteral("00")), nullptr);
    EXPECT_EQ(ns->GetItemFromID(inbox->EntryID(), inbox->StoreID()), nullptr) << "a folder id is no item id";
    EXPECT_EQ(ns->GetFolderFromID(inbox->EntryID(), inbox->StoreID()), inbox);

    ASSERT_TRUE(item->Delete());
    EXPECT_EQ(ns->GetItemFromID(id, inbox->StoreID()), nullptr) << "stale after delete";
    EXPECT_FALSE(item->Display());
    EXPECT_FALSE(item->Delete());
    EXPECT_EQ(app.deletedIds(), QStringList{id});

    // The item now lies in Deleted Items under a new id; deleting it there removes it for good.
    host::FolderPtr trash = ns->GetDefaultFolder(host::FolderDeletedItems);
    ASSERT_EQ(trash->items()->Count(), 1);
    host::ItemPtr moved = trash->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_NE(moved, nullptr);
    EXPECT_NE(moved->EntryID(), id);
    EXPECT_EQ(moved->Subject(), QStringLiteral("x"));
    const QString movedId = moved->EntryID();
    ASSERT_TRUE(moved->Delete());
    EXPECT_EQ(trash->items()->Count(), 0);
    EXPECT_EQ(ns->GetItemFromID(movedId, QString()), nullptr);
}

TEST_F(MemoryHost, DefaultFoldersAreCreatedOnceWithTheirItemKinds)
{
    struct Case
    {
        int kind;
        const char *name;
        int itemType;
    };
    const Case cases[] = {{host::FolderInbox, "Personal Folders", host::MailItemType},
                          {host::FolderDrafts, "Drafts", host::MailItemType},
                          {host::FolderDeletedItems, "Deleted Items", host::MailItemType},
                          {host::FolderCalendar, "Calendar", host::AppointmentItemType},
                          {host::FolderContacts, "Contacts", host::ContactItemType},
                          {host::FolderNotes, "Notes", host::NoteItemType},
                          {host::FolderTasks, "Tasks", host::TaskItemType}};
    for (const Case &c : cases) {
        host::FolderPtr folder = ns->GetDefaultFolder(c.kind);
        ASSERT_NE(folder, nullptr) << c.kind;
        EXPECT_EQ(folder->Name(), QLatin1String(c.name));
        EXPECT_EQ(folder->DefaultItemType(), c.itemType);
        EXPECT_EQ(ns->GetDefaultFolder(c.kind), folder) << "created once";
        EXPECT_EQ(folder->StoreID(), inbox->StoreID());
    }
    EXPECT_EQ(ns->GetDefaultFolder(4), nullptr);
    EXPECT_EQ(inbox->folders()->Count(), 6);
    EXPECT_EQ(inbox->folders()->Item(0), nullptr);
    EXPECT_EQ(inbox->folders()->Item(7), nullptr);

    MemoryApplication empty;
    EXPECT_EQ(empty.GetNamespace(QStringLiteral("MAPI"))->GetDefaultFolder(host::FolderInbox), nullptr);
    EXPECT_EQ(empty.GetNamespace(QStringLiteral("other")), nullptr);
}

TEST_F(MemoryHost, SecondStoreKeepsItsOwnFoldersAndIds)
{
    MemoryFolderPtr archive = app.addStore(QStringLiteral("Archive"));
    MemoryFolderPtr sub = app.addFolder(archive, QStringLiteral("2025"));
    MemoryItemPtr item = app.deliver(sub, mail(QStringLiteral("old"), 1), false);

    EXPECT_EQ(ns->folders()->Count(), 2);
    EXPECT_EQ(ns->folders()->Item(2), archive);
    EXPECT_EQ(ns->GetFolderFromID(sub->EntryID(), archive->StoreID()), sub);
    EXPECT_EQ(ns->GetFolderFromID(sub->EntryID(), inbox->StoreID()), nullptr);
    EXPECT_EQ(ns->GetItemFromID(item->EntryID(), archive->StoreID()), item);
    EXPECT_EQ(ns->GetDefaultFolder(host::FolderInbox), inbox) << "the first store is the default";

    ASSERT_TRUE(item->Delete());
    EXPECT_EQ(app.defaultFolder(archive, host::FolderDeletedItems)->items()->Count(), 1)
        << "deleted into its own store";
}

TEST_F(MemoryHost, InjectedFailuresGiveEmptyValues)
{
    MemoryFolderPtr closed = app.addFolder(inbox, QStringLiteral("Closed"));
    MemoryItemPtr hidden = app.deliver(closed, mail(QStringLiteral("hidden"), 1), false);
    closed->setOpenFails(true);
    EXPECT_EQ(ns->GetFolderFromID(closed->EntryID(), closed->StoreID()), nullptr);
    EXPECT_EQ(ns->GetItemFromID(hidden->EntryID(), QString()), nullptr);

    MemoryItemData broken = mail(QStringLiteral("broken"), 2);
    broken.readsFail = true;
    MemoryItemPtr item = app.deliver(inbox, broken, false);
    // The store still finds it; only reading it fails.
    host::ItemPtr found = inbox->items()->Find(QStringLiteral("[Unread] = true"));
    ASSERT_EQ(found, item);
    EXPECT_TRUE(found->EntryID().isEmpty());
    EXPECT_TRUE(found->Subject().isEmpty());
    EXPECT_TRUE(found->SenderName().isEmpty());
    EXPECT_FALSE(found->ReceivedTime().isValid());
    EXPECT_EQ(found->Importance(), 0);
    EXPECT_FALSE(found->Display());
    EXPECT_FALSE(found->Delete());
    EXPECT_TRUE(app.displayedIds().isEmpty());

    app.setNamespaceFails(true);
    EXPECT_EQ(app.GetNamespace(QStringLiteral("MAPI")), nullptr);
    EXPECT_EQ(app.session(), nullptr);
}

TEST_F(MemoryHost, NonMailItemsCarryNoMailProperties)
{
    MemoryItemData request = mail(QStringLiteral("Meeting"), 1);
    request.itemType = host::AppointmentItemType;
    request.importance = 2;
    MemoryItemPtr item = app.deliver(inbox, request, false);
    EXPECT_EQ(inbox->items()->Find(QStringLiteral("[Unread] = true")), item);
    EXPECT_EQ(item->ItemType(), host::AppointmentItemType);
    EXPECT_EQ(item->Subject(), QStringLiteral("Meeting"));
    EXPECT_FALSE(item->ReceivedTime().isValid());
    EXPECT_TRUE(item->SenderName().isEmpty());
    EXPECT_EQ(item->Importance(), 0);
}

TEST_F(MemoryHost, NewItemsAreUnsavedAndTheirDisplayIsRecorded)
{
    for (int type : {1, 2, 3, 5}) {
        host::ItemPtr item = app.CreateItem(type);
        ASSERT_NE(item, nullptr) << type;
        EXPECT_TRUE(item->EntryID().isEmpty());
        EXPECT_FALSE(item->ReceivedTime().isValid());
        EXPECT_FALSE(item->Delete());
        EXPECT_TRUE(item->Display());
    }
    EXPECT_EQ(app.CreateItem(4), nullptr);
    EXPECT_EQ(app.CreateItem(-1), nullptr);

    host::FolderPtr drafts = ns->GetDefaultFolder(host::FolderDrafts);
    host::ItemPtr draft = drafts->items()->Add();
    ASSERT_NE(draft, nullptr);
    EXPECT_EQ(draft->ItemType(), host::MailItemType);
    EXPECT_EQ(drafts->items()->Count(), 0) << "an unsaved item is not held by the folder";
    EXPECT_TRUE(draft->Display());
    EXPECT_EQ(ns->GetDefaultFolder(host::FolderTasks)->items()->Add()->ItemType(), host::TaskItemType);

    EXPECT_EQ(app.composedTypes(), (QList<int>{1, 2, 3, 5, 0}));
    EXPECT_TRUE(app.displayedIds().isEmpty());
}

TEST_F(MemoryHost, EventsAndRecords)
{
    QSignalSpy newMail(&app, &host::Application::NewMail);
    MemoryItemPtr item = app.deliver(inbox, mail(QStringLiteral("x"), 1));
    app.deliver(inbox, mail(QStringLiteral("y"), 2), false);
    EXPECT_EQ(newMail.count(), 1);
    EXPECT_TRUE(item->Display());
    EXPECT_EQ(app.displayedIds(), QStringList{item->EntryID()});
    app.clearRecords();
    EXPECT_TRUE(app.displayedIds().isEmpty());

    QObject::connect(&app, &host::Application::OptionsPagesAdd, [&](host::PropertyPages *pages) {
        pages->Add(QStringLiteral("Some.Page"), QStringLiteral("Some"));
    });
    MemoryPropertyPages *pages = app.raiseOptionsPagesAdd();
    ASSERT_EQ(pages->pages().size(), 1);
    EXPECT_EQ(pages->pages().first().progId, QStringLiteral("Some.Page"));
    EXPECT_EQ(pages->pages().first().title, QStringLiteral("Some"));

    host::COMAddIn *entry = app.comAddIns()->add(QStringLiteral("Some.Connect"));
    EXPECT_EQ(app.comAddIns()->Item(QStringLiteral("some.connect")), entry);
    EXPECT_EQ(app.comAddIns()->add(QStringLiteral("Some.Connect")), entry);
    EXPECT_EQ(app.comAddIns()->Item(QStringLiteral("Other.Connect")), nullptr);
}

TEST(MemoryDemoStore, PopulatesAStoreAndDeliversSampleMail)
{
    MemoryApplication app;
    MemoryDemoStore::populate(app);
    ASSERT_EQ(app.stores().size(), 1);
    EXPECT_EQ(app.stores().first()->Name(), QStringLiteral("Inbox"));
    EXPECT_EQ(app.explorers()->Count(), 1);
    host::FolderPtr inbox = app.session()->GetDefaultFolder(host::FolderInbox);
    EXPECT_EQ(inbox->items()->Find(QStringLiteral("[Unread] = true")), nullptr) << "the demo starts read";

    QSignalSpy newMail(&app, &host::Application::NewMail);
    MemoryDemoStore::deliverSample(app, 3);
    EXPECT_EQ(newMail.count(), 1);
    host::ItemsPtr items = inbox->items();
    int unread = 0;
    int high = 0;
    QDateTime previous;
    for (host::ItemPtr item = items->Find(QStringLiteral("[Unread] = true")); item; item = items->FindNext()) {
        ++unread;
        high += item->Importance() == 2;
        EXPECT_FALSE(item->SenderName().isEmpty());
        EXPECT_FALSE(item->Subject().isEmpty());
        EXPECT_TRUE(!previous.isValid() || item->ReceivedTime() > previous) << "each one newer than the last";
        previous = item->ReceivedTime();
    }
    EXPECT_EQ(unread, 3);
    EXPECT_EQ(high, 1);
}
