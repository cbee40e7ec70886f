#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace lumora::test {

// Replaces $PATH with one private folder for its lifetime, so a test decides which
// programs are "installed".
class PrivatePath
{
public:
    PrivatePath();
    ~PrivatePath();

    // Puts an executable script of that name into the folder; returns its path.
    QString install(const QString &program, const QByteArray &script = "#!/bin/sh\n");
    QString filePath(const QString &program) const { return m_dir.filePath(program); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldPath;
};

// Writes a file, creating its folder; executable when asked. False when it cannot.
bool writeFile(const QString &path, const QByteArray &contents, bool executable = false);

} // namespace lumora::test
