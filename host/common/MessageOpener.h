#pragma once

#include <QString>

namespace lumora {

// Opens a message file with the user's display command ("%f" is the file, else it is
// appended), started detached without a shell.
class MessageOpener
{
public:
    // False with *error saying why when the command is empty or cannot be started.
    static bool open(const QString &command, const QString &path, QString *error);
};

} // namespace lumora
