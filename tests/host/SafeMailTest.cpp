#include "host/HostSafeMailItem.h"
#include "host/memory/MemoryApplication.h"

#include <gtest/gtest.h>

using namespace lumora;

TEST(HostSafeMailItem, ReadsTheSenderAndOpensTheWrappedItem)
{
    MemoryApplication app;
    MemoryFolderPtr inbox = app.addStore(QStringLiteral("Store"));
    MemoryItemData data;
    data.senderName = QStringLiteral("Ingrid Halvorsen");
    MemoryItemPtr item = app.deliver(inbox, data, false);

    host::HostSafeMailItem wrapper;
    EXPECT_TRUE(wrapper.SenderName().isEmpty());
    EXPECT_FALSE(wrapper.Display());

    wrapper.setItem(item);
    EXPECT_EQ(wrapper.item(), item);
    EXPECT_EQ(wrapper.SenderName(), QStringLiteral("Ingrid Halvorsen"));
    EXPECT_TRUE(wrapper.Display());
    EXPECT_EQ(app.displayedIds(), QStringList{item->EntryID()});

    // A new unsaved message opens as a draft being composed.
    wrapper.setItem(app.defaultFolder(inbox, host::FolderDrafts)->items()->Add());
    EXPECT_TRUE(wrapper.SenderName().isEmpty());
    EXPECT_TRUE(wrapper.Display());
    EXPECT_EQ(app.composedTypes(), QList<int>{host::MailItemType});

    // An item that cannot be read gives an empty sender and opens nothing.
    item->setReadsFail(true);
    wrapper.setItem(item);
    EXPECT_TRUE(wrapper.SenderName().isEmpty());
    EXPECT_FALSE(wrapper.Display());
}
