#pragma once

#include "platform/core/PlatformExport.h"

#include <QString>
#include <QtGlobal>

namespace lumora {

// Plays notification sounds. Replaceable so tests can see what would have been played.
class LUMORA_PLATFORM_EXPORT Sound
{
public:
    // Flags with their usual meaning.
    static constexpr quint32 SND_ASYNC = 0x0001;
    static constexpr quint32 SND_NODEFAULT = 0x0002;
    static constexpr quint32 SND_FILENAME = 0x20000;

    virtual ~Sound();

    // Starts playing the wave file at path and returns at once. When the file is missing,
    // is no file, or cannot be played, the desktop's new-mail sound plays instead (unless
    // SND_NODEFAULT). Nothing is reported back; a silent desktop just stays silent.
    // module is accepted for the call's shape and ignored.
    virtual void PlaySoundA(const QString &path, quintptr module, quint32 flags) = 0;

    // The player in force: libcanberra unless a test installed another.
    static Sound &instance();
    // Installs a player (not owned); nullptr restores the real one.
    static void setInstance(Sound *sound);

    // True when path names a readable regular file that starts like a RIFF/WAVE file.
    static bool looksLikeWave(const QString &path);
};

} // namespace lumora
