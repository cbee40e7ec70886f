#include "tests/testsupport/TempHome.h"

#include <QFile>

#include <QDir>

namespace lumora::test {

TempHome::TempHome()
    : m_oldHome(qgetenv("HOME"))
{
    QDir(m_dir.path()).mkpath(QStringLiteral(".config"));
    QDir(m_dir.path()).mkpath(QStringLiteral(".local/share"));
    QDir(m_dir.path()).mkpath(QStringLiteral(".cache"));
    qputenv("HOME", m_dir.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", configHome().toUtf8());
    qputenv("XDG_DATA_HOME", dataHome().toUtf8());
    qputenv("XDG_CACHE_HOME", (m_dir.path() + QStringLiteral("/.cache")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", m_dir.path().toUtf8());
    qunsetenv("MAILDIR");
}

TempHome::~TempHome()
{
    qputenv("HOME", m_oldHome);
}

QString TempHome::configHome() const
{
    return m_dir.path() + QStringLiteral("/.config");
}

QString TempHome::dataHome() const
{
    return m_dir.path() + QStringLiteral("/.local/share");
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString fixturePath(const QString &relative)
{
    return QStringLiteral(LUMORA_TEST_DATA_DIR "/") + relative;
}

} // namespace lumora::test
