#include "host/memory/MemoryApplication.h"
#include "host/memory/MemoryExplorer.h"
#include "host/memory/MemoryInspector.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace lumora;

TEST(MemoryExplorers, ActiveExplorerFollowsActivationAndClose)
{
    MemoryApplication app;
    EXPECT_EQ(app.ActiveExplorer(), nullptr);
    QSignalSpy newExplorer(app.explorers(), &host::Explorers::NewExplorer);

    MemoryExplorer *first = app.openExplorer();
    MemoryExplorer *second = app.openExplorer();
    EXPECT_EQ(newExplorer.count(), 2);
    EXPECT_EQ(app.explorers()->Count(), 2);
    EXPECT_EQ(app.ActiveExplorer(), second) << "the newest window is in front";

    QSignalSpy firstActivate(first, &host::Explorer::Activate);
    QSignalSpy firstDeactivate(first, &host::Explorer::Deactivate);
    QSignalSpy secondDeactivate(second, &host::Explorer::Deactivate);
    second->activate();
    first->activate();
    EXPECT_EQ(secondDeactivate.count(), 1) << "focus moves from one window to the other";
    EXPECT_EQ(firstActivate.count(), 1);
    EXPECT_EQ(app.ActiveExplorer(), first);
    first->activate();
    EXPECT_EQ(firstActivate.count(), 1) << "already active";
    first->deactivate();
    first->deactivate();
    EXPECT_EQ(firstDeactivate.count(), 1);
    EXPECT_EQ(app.ActiveExplorer(), first) << "still the front-most main window";

    // Handlers of Close already see the remaining windows, as a controller re-tracking needs.
    host::Explorer *seenInClose = nullptr;
    int countInClose = -1;
    QObject::connect(first, &host::Explorer::Close, [&] {
        seenInClose = app.ActiveExplorer();
        countInClose = app.explorers()->Count();
    });
    QPointer<MemoryExplorer> watch(first);
    first->close();
    EXPECT_EQ(seenInClose, second);
    EXPECT_EQ(countInClose, 1);
    first = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watch.isNull()) << "a closed window is deleted later";

    QSignalSpy secondClose(second, &host::Explorer::Close);
    second->close();
    second->close();
    EXPECT_EQ(secondClose.count(), 1);
    EXPECT_EQ(app.ActiveExplorer(), nullptr);
    EXPECT_EQ(app.explorers()->Count(), 0);
}

TEST(MemoryExplorers, BeforeFolderSwitchCanBeCancelled)
{
    MemoryApplication app;
    MemoryFolderPtr inbox = app.addStore(QStringLiteral("Store"));
    MemoryExplorer *explorer = app.openExplorer();
    EXPECT_TRUE(explorer->switchFolder(inbox.get()));
    QObject::connect(explorer, &host::Explorer::BeforeFolderSwitch,
                     [&](host::MAPIFolder *folder, bool *cancel) { *cancel = folder == inbox.get(); });
    EXPECT_FALSE(explorer->switchFolder(inbox.get()));
}

TEST(MemoryInspectors, CountAndCloseOrder)
{
    MemoryApplication app;
    QSignalSpy newInspector(app.inspectors(), &host::Inspectors::NewInspector);
    MemoryInspector *a = app.openInspector();
    MemoryInspector *b = app.openInspector();
    EXPECT_EQ(newInspector.count(), 2);
    EXPECT_EQ(app.inspectors()->Count(), 2);

    int countInClose = -1;
    QObject::connect(a, &host::Inspector::Close, [&] { countInClose = app.inspectors()->Count(); });
    app.closeInspector(a);
    EXPECT_EQ(countInClose, 1);
    QSignalSpy bClose(b, &host::Inspector::Close);
    b->close();
    app.closeInspector(b);
    EXPECT_EQ(bClose.count(), 1);
    EXPECT_EQ(app.inspectors()->Count(), 0);
}
