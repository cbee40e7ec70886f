// The tray icon's tool tip: the owner's tip and the status note (which names folders and
// accounts from mail servers) shown line by line as cleanly as any other mail text.
#include "platform/desktop/TrayIconHost.h"

#include "platform/core/MailText.h"
#include "tests/testsupport/HostileText.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace lumora;
using namespace lumora::test;

TEST(TrayIconHost, HostileTipsAndNotesAreShownCleaned)
{
    TrayIconHost host;
    NOTIFYICONDATAA data;
    data.hWnd = 7;
    data.uID = 1;
    data.uFlags = NIF_TIP;
    const QByteArray tip = QStringLiteral("Lumora \x1b[31mnew\x1b[0m mail\u202E").toUtf8();
    std::memcpy(data.szTip, tip.constData(), size_t(tip.size()));
    ASSERT_TRUE(host.notify(NIM_ADD, data));
    EXPECT_EQ(host.toolTip(7, 1), QStringLiteral("Lumora new mail"));

    for (const HostileRow &row : hostileRows()) {
        host.setStatusNote(QStringLiteral("folder ") + row.text + QStringLiteral(" is gone\nsecond line"));
        const QString shown = host.toolTip(7, 1);
        EXPECT_TRUE(holdsNothingHostile(shown, true)) << row.name;
        // A line break in the note starts a line of the tip, as the note's own do.
        if (row.text.contains(QLatin1Char('\n')))
            continue;
        EXPECT_EQ(shown,
                  QStringLiteral("Lumora new mail\n")
                      + MailText::forDisplay(QStringLiteral("folder ") + row.text + QStringLiteral(" is gone"))
                      + QStringLiteral("\nsecond line"))
            << row.name;
        if (row.text.size() < 100) {
            EXPECT_TRUE(shown.contains(row.shown)) << row.name;
        }
    }
    host.setStatusNote(QString());
    EXPECT_EQ(host.toolTip(7, 1), QStringLiteral("Lumora new mail"));
    data.uFlags = 0;
    host.notify(NIM_DELETE, data);
}
