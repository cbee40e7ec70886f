#include "platform/desktop/Sound.h"

#include "platform/core/Verbose.h"

#include <QFile>
#include <QFileInfo>

#include <alsa/asoundlib.h>
#include <canberra.h>

#include <cstdarg>
#include <cstdio>

namespace lumora {

namespace {

// Theme event used when the chosen file cannot be played.
constexpr const char *FallbackEvent = "message-new-email";

// ALSA prints every failed device look-up on stderr, so a machine without a sound card
// would fill the user's terminal on each new mail; its messages go to the trace instead.
void alsaMessage(const char *file, int line, const char *function, int error, const char *format, ...)
{
    if (!Verbose::enabled())
        return;
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    Verbose::line(QStringLiteral("sound: ALSA %1:%2 (%3): %4%5")
                      .arg(QString::fromLocal8Bit(file))
                      .arg(line)
                      .arg(QString::fromLocal8Bit(function), QString::fromLocal8Bit(text),
                           error ? QStringLiteral(": ") + QString::fromLocal8Bit(snd_strerror(error)) : QString()));
}

class CanberraSound : public Sound
{
public:
    ~CanberraSound() override
    {
        if (m_context)
            ca_context_destroy(m_context);
    }

    void PlaySoundA(const QString &path, quintptr, quint32 flags) override
    {
        ca_context *context = this->context();
        if (!context)
            return;
        if (!path.isEmpty() && looksLikeWave(path)) {
            const QByteArray file = QFile::encodeName(QFileInfo(path).absoluteFilePath());
            // ca_context_play hands the work to the sound server's thread and returns.
            if (ca_context_play(context, 0, CA_PROP_MEDIA_FILENAME, file.constData(), CA_PROP_MEDIA_ROLE, "event",
                                nullptr)
                == CA_SUCCESS)
                return;
        }
        if (flags & SND_NODEFAULT)
            return;
        ca_context_play(context, 0, CA_PROP_EVENT_ID, FallbackEvent, CA_PROP_EVENT_DESCRIPTION, "New mail",
                        CA_PROP_MEDIA_ROLE, "event", nullptr);
    }

private:
    ca_context *context()
    {
        // One failed attempt is enough: a system without a sound server stays silent.
        if (!m_context && !m_failed) {
            snd_lib_error_set_handler(alsaMessage);
            if (ca_context_create(&m_context) != CA_SUCCESS) {
                m_context = nullptr;
                m_failed = true;
            } else {
                ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "Lumora", CA_PROP_APPLICATION_ID, "lumora",
                                        nullptr);
            }
        }
        return m_context;
    }

    ca_context *m_context = nullptr;
    bool m_failed = false;
};

Sound *g_installed = nullptr;

} // namespace

Sound::~Sound() = default;

Sound &Sound::instance()
{
    static CanberraSound real;
    return g_installed ? *g_installed : real;
}

void Sound::setInstance(Sound *sound)
{
    g_installed = sound;
}

bool Sound::looksLikeWave(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(12);
    return head.size() == 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE";
}

} // namespace lumora
