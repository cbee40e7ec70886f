#pragma once

#include <QString>
#include <QTemporaryDir>

namespace lumora::test {

// A private $HOME with its XDG folders, set in the environment for the process's life,
// so that nothing a test does reaches the real home.
class TempHome
{
public:
    TempHome();
    ~TempHome();

    QString path() const { return m_dir.path(); }
    QString configHome() const;
    QString dataHome() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_oldHome;
};

// The file's bytes, or "<missing>" when it cannot be read.
QByteArray fileBytes(const QString &path);

// Path of a file under tests/data.
QString fixturePath(const QString &relative);

} // namespace lumora::test
