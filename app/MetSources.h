#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace lumora {

class MailSource;

// The stores and accounts Lumora has met, kept in the host's settings. One met for the first
// time has its Inbox watched, once: a first start over several sources watches every Inbox,
// and a store first named on the command line is watched without a visit to the picker.
// A source the user later unticks stays unticked at the next start.
class MetSources
{
public:
    using Say = std::function<void(const QString &text)>;

    // Adds the Inbox of every source neither met nor watched to the watched folders and
    // keeps them all as met. The default store is not among them: the add-in's own first
    // start watches its Inbox, so a start over it alone writes nothing more. Returns how many Inboxes were added; what cannot be written is
    // said, and a source whose Inbox could not be added is met again at the next start.
    static int watchNewInboxes(const QList<MailSource *> &sources, const Say &say);
    // Store ids met so far.
    static QStringList met();
};

} // namespace lumora
