#pragma once

#include <QString>

#include <memory>

namespace lumora {

class MailSource;

// Makes mbox file sources: each --mbox, and the spool $MAIL names when nothing else is.
class MboxSourceFactory
{
public:
    // $MAIL, or empty when it is not set.
    static QString defaultSpool();
    // A source for the file; null with *why when it is a folder, no mbox, or its folder is
    // missing. A file that does not exist yet is fine: the first delivery makes it.
    static std::unique_ptr<MailSource> create(const QString &path, QString *why);
    // The path a file is known by, so that one file named two ways is one source.
    static QString canonical(const QString &path);
};

} // namespace lumora
