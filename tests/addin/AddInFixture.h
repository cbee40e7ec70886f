#pragma once

#include "addin/Connect.h"
#include "addin/OlAddIn.h"
#include "addinapi/AddInGlobals.h"
#include "host/memory/MemoryApplication.h"
#include "host/memory/MemoryExplorer.h"
#include "tests/testsupport/VirtualClock.h"

#include "tests/testsupport/FakeNotifyIconHost.h"
#include "tests/testsupport/FakeProcessLauncher.h"
#include "tests/testsupport/FakeScreen.h"
#include "tests/testsupport/FakeSound.h"
#include "tests/testsupport/FakeWindowSystem.h"
#include "tests/testsupport/TempHome.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace lumora {
class Main;
class PopupWindow;
} // namespace lumora

namespace lumora::test {

// A connected add-in on an in-memory host, on a virtual clock, with every platform
// facility faked: the whole add-in as the host would run it, minus the real desktop.
class AddInFixture : public ::testing::Test
{
protected:
    AddInFixture();
    // A clock starting at `start`, for hosts whose mail carries real times.
    explicit AddInFixture(const QDateTime &start);
    ~AddInFixture() override;

    // Writes the host program file with this major version and registers its folder.
    void setHostVersion(int major);
    // Writes the template INI beside the "library".
    void setTemplateIni(const QByteArray &text);
    // Opens a main window (unless told not to) and connects the add-in.
    void connectAddIn(bool withExplorer = true);
    // Connects the add-in to another host than the in-memory one; it must have a window.
    void connectAddInTo(host::Application *host);
    void disconnectAddIn();

    OlAddIn *controller() const { return connect ? connect->m_BaseClass() : nullptr; }
    QString dataFolder() const;
    QString iniPath() const { return dataFolder() + QStringLiteral("/Lumora.ini"); }
    // Writes the watched-folder section directly (as the options page does).
    void watch(const QStringList &entries);
    QString entryFor(const MemoryFolderPtr &folder) const;
    MemoryItemPtr deliver(const QString &subject, const QDateTime &received, int importance = 1,
                          const MemoryFolderPtr &folder = {});
    // Lines of the --verbose trace since the fixture started.
    QStringList trace;
    int traceCount(const QString &prefix) const;
    int scans() const { return traceCount(QStringLiteral("scan:")); }
    // The trace lines of shown messages ("popup: 2 of 5, folder ...").
    QStringList popupLines() const;

    Main *main() const;
    PopupWindow *popup() const;
    // Runs the clock until the popup has come and gone (bounded).
    void drainPopup();

    // Each test gets a fresh home, so the registry, INI and log start empty even when the
    // binary runs all tests in one process.
    TempHome home;
    VirtualClock clock;
    FakeNotifyIconHost tray;
    FakeWindowSystem windows;
    FakeProcessLauncher launcher;
    FakeSound sound;
    FakeScreen screen;
    QTemporaryDir libraryDir;
    MemoryApplication app;
    MemoryFolderPtr inbox;
    MemoryExplorer *explorer = nullptr;
    std::unique_ptr<Connect> connect;
};

} // namespace lumora::test
