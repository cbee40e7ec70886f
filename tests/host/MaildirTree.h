#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

namespace lumora::test {

// A real Maildir++ tree in a temporary directory, with files placed at chosen times.
class MaildirTree
{
public:
    MaildirTree() { makeFolder(QString()); }

    QString root() const { return m_dir.path(); }
    QString folderPath(const QString &folder) const
    {
        return folder.isEmpty() ? root() : root() + QLatin1Char('/') + folder;
    }

    void makeFolder(const QString &folder) const
    {
        for (const char *sub : {"cur", "new", "tmp"})
            QDir().mkpath(folderPath(folder) + QLatin1Char('/') + QLatin1String(sub));
    }

    // Writes a message as folder/sub/fileName with its modification time at secs.nanos.
    QString put(const QString &folder, const QString &sub, const QString &fileName, const QByteArray &content,
                qint64 secs = 0, long nanos = 0) const
    {
        const QString path = folderPath(folder) + QLatin1Char('/') + sub + QLatin1Char('/') + fileName;
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        file.close();
        if (secs > 0) {
            timespec times[2] = {{secs, nanos}, {secs, nanos}};
            utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
        }
        return path;
    }

    static QByteArray message(const QByteArray &subject, const QByteArray &from = "Ann <ann@example.org>")
    {
        return "From: " + from + "\nSubject: " + subject + "\nDate: Mon, 5 Jan 2026 09:00:00 +0100\n\nHello\n";
    }

private:
    QTemporaryDir m_dir;
};

} // namespace lumora::test
