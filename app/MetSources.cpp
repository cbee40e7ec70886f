#include "app/MetSources.h"

#include "app/HostSettings.h"
#include "app/WatchedFolderList.h"
#include "host/MAPIFolder.h"
#include "host/common/MailSource.h"
#include "platform/core/Registry.h"
#include "settings/modRegistry.h"

#include <QCoreApplication>
#include <QSet>

namespace lumora {

namespace {

const QLatin1String kValue("MetStores");

} // namespace

QStringList MetSources::met()
{
    // One id a line: an id may hold any other character.
    return modRegistry::ReadRegistryValue(reg::HKEY_CURRENT_USER, HostSettings::Key, kValue)
        .toString()
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

int MetSources::watchNewInboxes(const QList<MailSource *> &sources, const Say &say)
{
    QStringList met = MetSources::met();
    const QSet<QString> watched = WatchedFolderList::stores();
    const qsizetype before = met.size();
    int added = 0;
    for (MailSource *source : sources) {
        const QString id = source->storeId();
        if (met.contains(id))
            continue;
        // A source with a watched folder was set up before it was kept as met.
        if (!watched.contains(id)) {
            const host::FolderPtr inbox = source->defaultFolder(host::FolderInbox);
            if (!inbox)
                continue; // nothing to watch yet (an account not reached): met once it is
            QString why;
            if (!WatchedFolderList::add(inbox->EntryID(), inbox->StoreID(), &why)) {
                say(QCoreApplication::translate("MetSources", "Lumora: the Inbox of %1 is not watched: %2.")
                        .arg(source->description(), why));
                continue;
            }
            ++added;
        }
        met.append(id);
    }
    if (met.size() != before
        && !modRegistry::WriteRegistryValue(reg::HKEY_CURRENT_USER, HostSettings::Key, kValue,
                                            met.join(QLatin1Char('\n')), reg::REG_SZ)) {
        say(QCoreApplication::translate("MetSources",
                                        "Lumora: the sources met cannot be kept (%1); their Inboxes are "
                                        "watched again at the next start if you untick them.")
                .arg(modRegistry::LastWriteError()));
    }
    return added;
}

} // namespace lumora
