#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace lumora {

class MailSource;

// Makes the Maildir store sources: the default store and the roots the user names.
class MaildirSourceFactory
{
public:
    // $MAILDIR, else ~/Maildir.
    static QString defaultRoot();
    // A source for the root; null with *why when it is missing or no directory.
    static std::unique_ptr<MailSource> create(const QString &root, QString *why);
    // The path a root is known by, so that one store named two ways is one store.
    static QString canonical(const QString &root);
};

} // namespace lumora
