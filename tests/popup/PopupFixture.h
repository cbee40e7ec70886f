#pragma once

#include "addin/AddInGlobals.h"
#include "addin/OlAddInInterface.h"
#include "platform/VirtualClock.h"
#include "popup/PopupStyle.h"
#include "popup/PopupWindow.h"
#include "popup/PopupWindowsManager.h"
#include "queue/Queue.h"
#include "settings/AddInSettings.h"
#include "tests/testsupport/FakeScreen.h"
#include "tests/testsupport/FakeSound.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <memory>

namespace lumora::test {

// Records the controller calls the popup makes.
class FakeController : public OlAddInInterface
{
public:
    struct Call
    {
        QString what;
        QString entryId;
        QString storeId;
    };

    bool Enabled() const override { return true; }
    void setEnabled(bool) override {}
    bool WindowState() const override { return false; }
    qint16 NewMsgCount() const override { return 0; }
    bool ShowMailMessage(const QString &EntryID, const QString &StoreID) override
    {
        calls.append({QStringLiteral("show"), EntryID, StoreID});
        return failWith.isEmpty();
    }
    bool DeleteMailMessage(const QString &EntryID, const QString &StoreID) override
    {
        calls.append({QStringLiteral("delete"), EntryID, StoreID});
        return failWith.isEmpty();
    }
    QString lastActionError() const override { return failWith; }
    void GetNewMailMessages() override {}
    void UpdatePopupSettings() override {}
    void TestPopup() override {}
    void ComposeNewContact() override {}
    void ComposeNewAppointment() override {}
    void ComposeNewTask() override {}
    void ComposeNewNote() override {}
    void ComposeNewMail() override {}

    QList<Call> calls;
    // When set, every message action fails with this reason.
    QString failWith;
};

// The settings a fresh installation writes.
inline AddInSettings defaultSettings()
{
    AddInSettings s;
    s.PopAlign = 3;
    s.ManualXPos = 200;
    s.ManualYPos = 300;
    s.GradientColor1 = 16744576;
    s.GradientColor2 = 16777215;
    s.GradientOrientation = 1;
    s.MessageDelay = 4000;
    s.SoundPath = QStringLiteral("/nonexistent/new.wav");
    s.PopupDelete = 1;
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
