// The folder picker as a user works it: expanding stores and folders, ticking and
// unticking, Apply, Cancel and the window's close button.
#include "props/frmFolders.h"

#include "host/maildir/MaildirApplication.h"
#include "props/FolderIcons.h"
#include "tests/props/PropsFixture.h"

#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace lumora;
using namespace lumora::test;

namespace {

class PickerTest : public PropsFixture
{
protected:
    PickerTest()
    {
        store1 = app.addStore(QStringLiteral("Personal Folders"));
        inbox = app.addFolder(store1, QStringLiteral("Inbox"));
        app.addFolder(store1, QStringLiteral("Calendar"), host::AppointmentItemType);
        lists = app.addFolder(store1, QStringLiteral("Lists"));
        debian = app.addFolder(lists, QStringLiteral("debian"));
    }
    static QString entry(const MemoryFolderPtr &f) { return f->EntryID() + QLatin1Char('|') + f->StoreID(); }
    void watch(const QStringList &values)
    {
        QByteArray text = "[Setup]\nInit=0\n\n[EntryID]\n";
        for (int i = 0; i < values.size(); ++i)
            text += "EID" + QByteArray::number(i) + " = " + values.at(i).toUtf8() + '\n';
        writeIni(text);
    }
    void load()
    {
        picker = std::make_unique<frmFolders>(&app);
        picker->Form_Load();
        picker->show();
    }
    QTreeWidgetItem *node(const QString &key) const { return picker->node(key); }
    QStringList childTexts(QTreeWidgetItem *item) const
    {
        QStringList texts;
        for (int i = 0; item && i < item->childCount(); ++i)
            texts << item->child(i)->text(0);
        return texts;
    }
    void press(const char *button)
    {
        QTest::mouseClick(picker->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
    }
    static bool sameImage(const QIcon &a, const QIcon &b) { return a.pixmap(16).toImage() == b.pixmap(16).toImage(); }

    MemoryFolderPtr store1;
    MemoryFolderPtr inbox;
    MemoryFolderPtr lists;
    MemoryFolderPtr debian;
    std::unique_ptr<frmFolders> picker;
};

TEST_F(PickerTest, StoredInboxIsCheckedUnderACollapsedStoreThatShowsMailFoldersOnly)
{
    watch({entry(inbox)});
    load();
    EXPECT_EQ(picker->windowTitle(), QStringLiteral(" Select Folders To Scan"));
    ASSERT_EQ(picker->tree()->topLevelItemCount(), 1);
    QTreeWidgetItem *store = picker->tree()->topLevelItem(0);
    EXPECT_EQ(store->text(0), QStringLiteral("Personal Folders"));
    EXPECT_EQ(store->checkState(0), Qt::Unchecked);
    EXPECT_FALSE(store->isExpanded());
    EXPECT_EQ(store->childCount(), 0); // nothing read before the user asks
    EXPECT_TRUE(sameImage(store->icon(0), FolderIcons::image(12)));

    store->setExpanded(true);
    EXPECT_EQ(childTexts(store), (QStringList{QStringLiteral("Inbox"), QStringLiteral("Lists")}));
    QTreeWidgetItem *inboxNode = node(QStringLiteral("Personal Folders:Inbox"));
    ASSERT_NE(inboxNode, nullptr);
    EXPECT_EQ(inboxNode->checkState(0), Qt::Checked);
    EXPECT_TRUE(sameImage(inboxNode->icon(0), FolderIcons::image(9)));
    EXPECT_TRUE(sameImage(node(QStringLiteral("Personal Folders:Lists"))->icon(0), FolderIcons::image(1)));
}

TEST_F(PickerTest, EachFolderIsReadOnceHoweverOftenItIsExpanded)
{
    watch({});
    load();
    QTreeWidgetItem *store = picker->tree()->topLevelItem(0);
    store->setExpanded(true);
    QTreeWidgetItem *listsNode = node(QStringLiteral("Personal Folders:Lists"));
    ASSERT_NE(listsNode, nullptr);
    // Lists has exactly one sub-folder: it is read once and keeps its state.
    listsNode->setExpanded(true);
    ASSERT_EQ(listsNode->childCount(), 1);
    QTreeWidgetItem *child = listsNode->child(0);
    child->setCheckState(0, Qt::Checked);
    for (int i = 0; i < 2; ++i) {
        listsNode->setExpanded(false);
        store->setExpanded(false);
        store->setExpanded(true);
        listsNode->setExpanded(true);
    }
    EXPECT_EQ(store->childCount(), 2);
    ASSERT_EQ(listsNode->childCount(), 1);
    EXPECT_EQ(listsNode->child(0), child);
    EXPECT_EQ(child->checkState(0), Qt::Checked);
    // A folder without sub-folders loses its expand button once read.
    child->setExpanded(true);
    EXPECT_EQ(child->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

TEST_F(PickerTest, ApplyReturnsTheCheckedFoldersInTheOrderTheyWereChecked)
{
    watch({});
    load();
    picker->tree()->topLevelItem(0)->setExpanded(true);
    node(QStringLiteral("Personal Folders:Lists"))->setExpanded(true);
    node(QStringLiteral("Personal Folders:Lists:debian"))->setCheckState(0, Qt::Checked);
    node(QStringLiteral("Personal Folders:Inbox"))->setCheckState(0, Qt::Checked);
    node(QStringLiteral("Personal Folders:Lists"))->setCheckState(0, Qt::Checked);
    node(QStringLiteral("Personal Folders:Inbox"))->setCheckState(0, Qt::Unchecked);
    press("cmdApply");
    EXPECT_FALSE(picker->Canceled());
    EXPECT_EQ(picker->EntryIDs(), (QStringList{entry(debian), entry(lists)}));
}

TEST_F(PickerTest, ApplyWithNothingCheckedReturnsAnEmptyListNotACancel)
{
    watch({entry(inbox)});
    load();
    picker->tree()->topLevelItem(0)->setExpanded(true);
    node(QStringLiteral("Personal Folders:Inbox"))->setCheckState(0, Qt::Unchecked);
    press("cmdApply");
    EXPECT_FALSE(picker->Canceled());
    EXPECT_TRUE(picker->EntryIDs().isEmpty());
}

TEST_F(PickerTest, CancelEscapeAndTheCloseButtonAllCancel)
{
    watch({entry(inbox)});
    for (int way = 0; way < 3; ++way) {
        load();
        picker->tree()->topLevelItem(0)->setExpanded(true);
        node(QStringLiteral("Personal Folders:Lists"))->setCheckState(0, Qt::Checked);
        if (way == 0)
            press("cmdCancel");
        else if (way == 1)
            QTest::keyClick(picker.get(), Qt::Key_Escape);
        else
            picker->close();
        EXPECT_TRUE(picker->Canceled()) << way;
        EXPECT_TRUE(picker->EntryIDs().isEmpty()) << way;
    }
}

TEST_F(PickerTest, BadAndDuplicateStoredValuesAreSkippedWithoutEmptyingTheTree)
{
    watch({QStringLiteral("no-bar"), entry(lists), entry(lists), QStringLiteral("a|b|c")});
    load();
    ASSERT_EQ(picker->tree()->topLevelItemCount(), 1);
    picker->tree()->topLevelItem(0)->setExpanded(true);
    EXPECT_EQ(node(QStringLiteral("Personal Folders:Lists"))->checkState(0), Qt::Checked);
    press("cmdApply");
    EXPECT_EQ(picker->EntryIDs(), QStringList{entry(lists)});
    ASSERT_EQ(log->entries.size(), 1);
    EXPECT_TRUE(log->entries.at(0).startsWith(QStringLiteral("3|frmFolders|Error ")));
    EXPECT_TRUE(log->entries.at(0).endsWith(QStringLiteral(") in procedure Form_Load")));
}

TEST_F(PickerTest, FoldersWithColonsAndStoresOfOneNameCanBeExpanded)
{
    MemoryFolderPtr odd = app.addFolder(store1, QStringLiteral("a:b"));
    MemoryFolderPtr inside = app.addFolder(odd, QStringLiteral("c"));
    MemoryFolderPtr twin = app.addStore(QStringLiteral("Personal Folders"));
    MemoryFolderPtr twinChild = app.addFolder(twin, QStringLiteral("Archive"));
    watch({entry(inside), entry(twinChild)});
    load();
    ASSERT_EQ(picker->tree()->topLevelItemCount(), 2);
    for (int i = 0; i < 2; ++i)
        picker->tree()->topLevelItem(i)->setExpanded(true);
    QTreeWidgetItem *oddNode = node(QStringLiteral("Personal Folders:a%3Ab"));
    ASSERT_NE(oddNode, nullptr);
    EXPECT_EQ(oddNode->text(0), QStringLiteral("a:b"));
    oddNode->setExpanded(true);
    EXPECT_EQ(childTexts(oddNode), QStringList{QStringLiteral("c")});
    EXPECT_EQ(oddNode->child(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(childTexts(picker->tree()->topLevelItem(1)), QStringList{QStringLiteral("Archive")});
    EXPECT_EQ(picker->tree()->topLevelItem(1)->child(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(frmFolders::splitKey(oddNode->child(0)->data(0, frmFolders::KeyRole).toString()),
              (QStringList{QStringLiteral("Personal Folders"), QStringLiteral("a:b"), QStringLiteral("c")}));
}

TEST_F(PickerTest, AStoredStoreFolderIsShownChecked)
{
    // Where a store's top folder holds mail itself, its stored entry shows as checked, and
    // unticking it removes it.
    watch({entry(store1)});
    load();
    QTreeWidgetItem *store = picker->tree()->topLevelItem(0);
    EXPECT_EQ(store->checkState(0), Qt::Checked);
    store->setCheckState(0, Qt::Unchecked);
    press("cmdApply");
    EXPECT_TRUE(picker->EntryIDs().isEmpty());
}

} // namespace

namespace {

class MaildirPickerTest : public PropsFixture
{};

} // namespace

// Every Maildir store's Inbox (and any two folders of one name) share a folder id: the
// store id tells them apart, in the pre-checks and in what Apply returns.
TEST_F(MaildirPickerTest, FoldersOfOneIdInTwoStoresAreKeptApart)
{
    const QString first = home.path() + QStringLiteral("/Maildir");
    const QString second = home.path() + QStringLiteral("/Work");
    for (const QString &dir : {first, second, second + QStringLiteral("/.Lists")}) {
        for (const char *sub : {"/cur", "/new", "/tmp"})
            ASSERT_TRUE(QDir().mkpath(dir + QLatin1String(sub)));
    }
    MaildirApplication maildir({first, second});
    host::FoldersPtr tops = maildir.GetNamespace(QStringLiteral("MAPI"))->folders();
    ASSERT_EQ(tops->Count(), 2);
    const auto entryOf = [](const host::FolderPtr &f) { return f->EntryID() + QLatin1Char('|') + f->StoreID(); };
    ASSERT_EQ(tops->Item(1)->EntryID(), tops->Item(2)->EntryID());
    writeIni(("[EntryID]\nEID0 = " + entryOf(tops->Item(1)) + "\n").toUtf8());

    frmFolders picker(&maildir);
    picker.Form_Load();
    ASSERT_EQ(picker.tree()->topLevelItemCount(), 2);
    QTreeWidgetItem *work = picker.tree()->topLevelItem(1);
    EXPECT_EQ(picker.tree()->topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(work->checkState(0), Qt::Unchecked);
    EXPECT_EQ(work->text(0), QStringLiteral("Inbox (~/Work)"));
    work->setCheckState(0, Qt::Checked);
    work->setExpanded(true);
    ASSERT_EQ(work->childCount(), 1);
    work->child(0)->setCheckState(0, Qt::Checked);
    QTest::mouseClick(picker.findChild<QPushButton *>(QStringLiteral("cmdApply")), Qt::LeftButton);
    host::FoldersPtr workFolders = tops->Item(2)->folders();
    EXPECT_EQ(picker.EntryIDs(),
              (QStringList{entryOf(tops->Item(1)), entryOf(tops->Item(2)), entryOf(workFolders->Item(1))}));
}
