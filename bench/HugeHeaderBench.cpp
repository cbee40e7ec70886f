// Times reading a message whose subject line is 1 MiB long, from its file as the popup's
// queueing does; exits non-zero when the best of five reads takes 10 ms or more.
#include "host/common/MailHeaderReader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace lumora;

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.eml"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 2;
    QByteArray subject(1024 * 1024, 'a');
    for (qsizetype i = 7; i < subject.size(); i += 8)
        subject[i] = ' ';
    file.write("From: =?UTF-8?Q?Ren=C3=A9?= <r@example.org>\nSubject: " + subject + "\n\nbody\n");
    file.close();

    double best = 1e9;
    qsizetype shown = 0;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        t.start();
        const MailHeaders h = MailHeaderReader::parseFile(path);
        best = qMin(best, double(t.nsecsElapsed()) / 1e6);
        shown = h.subject.size();
    }
    std::printf("1 MiB subject: best of 5 reads %.2f ms (target < 10 ms), %lld characters kept\n", best,
                static_cast<long long>(shown));
    return best < 10.0 ? 0 : 1;
}
