#pragma once

#include "addinapi/AddInGlobals.h"
#include "addinapi/OlAddInInterface.h"
#include "popup/PopupStyle.h"
#include "popup/PopupWindow.h"
#include "popup/PopupWindowsManager.h"
#include "queue/Queue.h"
#include "settings/AddInSettings.h"
#include "settings/SettingsTable.h"
#include "tests/testsupport/FakeController.h"
#include "tests/testsupport/FakeScreen.h"
#include "tests/testsupport/FakeSound.h"
#include "tests/testsupport/VirtualClock.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <memory>

namespace lumora::test {

// The settings a fresh installation writes, from the same table the add-in writes them from.
inline AddInSettings defaultSettings()
{
    AddInSettings s;
    for (const SettingsTable::Row &row : SettingsTable::rows())
        SettingsTable::store(row, SettingsTable::defaultText(row, QStringLiteral("/nonexistent")), s);
    return s;
}

// A styled popup and its manager on a 1024 x 738 work area, a virtual clock, a real queue
// and a recording controller, all published through addIn() as the add-in does.
class PopupFixture : public ::testing::Test
{
protected:
    PopupFixture()
    {
        Clock::setInstance(&clock);
        addIn().queue = &queue;
        addIn().controller = &controller;
        addIn().settings = defaultSettings();
    }
    ~PopupFixture() override
    {
        popup.reset();
        addIn().queue = nullptr;
        addIn().controller = nullptr;
        addIn().settings = AddInSettings();
        Clock::setInstance(nullptr);
    }

    // Built on demand so a test can change addIn().settings first.
    PopupWindow &window(AddInSettings settings = defaultSettings())
    {
        if (!popup) {
            popup = std::make_unique<PopupWindow>();
            style.SetPopupProps(*popup, settings);
        }
        return *popup;
    }

    QLabel *label(const char *name) const { return popup->findChild<QLabel *>(QLatin1String(name)); }
    QString text(const char *name) const { return label(name)->text(); }

    void add(const QString &from, const QString &subject, int importance = 1, const QString &folder = "Inbox")
    {
        queue.Add(from, subject, QStringLiteral("eid-") + subject, QStringLiteral("sid-") + subject, folder,
                  importance);
    }

    VirtualClock clock;
    FakeScreen screen;
    FakeSound sound;
    Queue queue;
    FakeController controller;
    PopupStyle style;
    PopupWindowsManager manager;
    std::unique_ptr<PopupWindow> popup;
};

} // namespace lumora::test
