#pragma once

#include <QString>

#include <memory>

namespace lumora {

class MailSource;

// Makes MH mail directory sources, one for each --mh.
class MhSourceFactory
{
public:
    // A source for the directory; null with *why when it is missing or no directory.
    static std::unique_ptr<MailSource> create(const QString &root, QString *why);
    static QString canonical(const QString &root);
};

} // namespace lumora
