// The real player: the wave check it makes before handing a file over, and that a machine
// without a usable sound device gets no library noise on stderr.
#include "platform/desktop/Sound.h"
#include "platform/core/Verbose.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

using namespace lumora;

namespace {

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// Collects what is written to file descriptor 2 while it lives.
class StderrCapture
{
public:
    StderrCapture()
    {
        std::fflush(stderr);
        m_saved = ::dup(2);
        m_file = std::tmpfile();
        ::dup2(::fileno(m_file), 2);
    }
    ~StderrCapture() { restore(); }

    QByteArray text()
    {
        restore();
        std::rewind(m_file);
        QByteArray all;
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, m_file)) > 0)
            all.append(buffer, static_cast<qsizetype>(n));
        return all;
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
    }

    int m_saved = -1;
    std::FILE *m_file = nullptr;
};

} // namespace

TEST(Sound, OnlyReadableRiffWaveFilesCountAsWaves)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString wave = dir.filePath(QStringLiteral("ok.wav"));
    ASSERT_TRUE(writeFile(wave, QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16)));
    EXPECT_TRUE(Sound::looksLikeWave(wave));

    const QString ogg = dir.filePath(QStringLiteral("named.wav"));
    ASSERT_TRUE(writeFile(ogg, "OggS\0\0\0\0\0\0\0\0"));
    EXPECT_FALSE(Sound::looksLikeWave(ogg));
    const QString shortFile = dir.filePath(QStringLiteral("short.wav"));
    ASSERT_TRUE(writeFile(shortFile, "RIFF"));
    EXPECT_FALSE(Sound::looksLikeWave(shortFile));
    EXPECT_FALSE(Sound::looksLikeWave(dir.path()));
    EXPECT_FALSE(Sound::looksLikeWave(dir.filePath(QStringLiteral("missing.wav"))));
    EXPECT_FALSE(Sound::looksLikeWave(QString()));
}

TEST(Sound, PlayingLeavesStderrQuiet)
{
    // On a build machine there is usually no sound card: the device look-ups fail and the
    // sound library must not say so on stderr. With a card the test holds as well.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString wave = dir.filePath(QStringLiteral("tone.wav"));
    // Split where a hex escape would swallow the letters that follow ("\x00da").
    static const char header[] = "RIFF\x2c\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x40\x1f\x00\x00"
                                 "\x80\x3e\x00\x00\x02\x00\x10\x00"
                                 "data\x08\x00\x00\x00";
    static_assert(sizeof header - 1 == 44);
    QByteArray data(header, sizeof header - 1);
    data.append(8, '\0');
    ASSERT_TRUE(writeFile(wave, data));

    QStringList trace;
    Verbose::setSink([&trace](const QString &line) { trace << line; });
    Verbose::setEnabled(true);
    StderrCapture capture;
    Sound::instance().PlaySoundA(wave, 0, Sound::SND_FILENAME | Sound::SND_ASYNC);
    Sound::instance().PlaySoundA(dir.filePath(QStringLiteral("missing.wav")), 0,
                                 Sound::SND_FILENAME | Sound::SND_ASYNC);
    QThread::msleep(300);
    const QByteArray noise = capture.text();
    Verbose::setEnabled(false);
    Verbose::setSink(nullptr);
    EXPECT_FALSE(noise.contains("ALSA")) << noise.constData();
}
