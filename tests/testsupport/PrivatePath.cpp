#include "tests/testsupport/PrivatePath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lumora::test {

PrivatePath::PrivatePath()
    : m_oldPath(qgetenv("PATH"))
{
    qputenv("PATH", m_dir.path().toLocal8Bit());
}

PrivatePath::~PrivatePath()
{
    qputenv("PATH", m_oldPath);
}

QString PrivatePath::install(const QString &program, const QByteArray &script)
{
    const QString path = filePath(program);
    writeFile(path, script, true);
    return path;
}

bool writeFile(const QString &path, const QByteArray &contents, bool executable)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
        return false;
    file.close();
    return !executable || file.setPermissions(file.permissions() | QFile::ExeOwner);
}

} // namespace lumora::test
