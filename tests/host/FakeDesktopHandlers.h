#pragma once

#include "host/common/DesktopHandlers.h"

#include <QHash>

namespace lumora::test {

// Stands for the desktop's MIME associations; installed for its lifetime. A type with no
// entry has no handler.
class FakeDesktopHandlers : public DesktopHandlers
{
public:
    FakeDesktopHandlers() { DesktopHandlers::setInstance(this); }
    ~FakeDesktopHandlers() override { DesktopHandlers::setInstance(nullptr); }

    QString defaultEntry(const QString &mimeType) override { return entries.value(mimeType); }

    // Every kind Lumora hands to the desktop, each with an entry.
    void installAll(const QString &entry)
    {
        for (const char *type : {"message/rfc822", "x-scheme-handler/mailto", "text/calendar", "text/vcard"})
            entries.insert(QLatin1String(type), entry);
    }

    QHash<QString, QString> entries;
};

} // namespace lumora::test
