#pragma once

#include "platform/desktop/Sound.h"

#include <QList>

namespace lumora::test {

// Records what would have been played; installed for its lifetime.
class FakeSound : public Sound
{
public:
    struct Call
    {
        QString path;
        quint32 flags;
        // What the real player would do: the file itself, or the fallback event.
        bool playsFile;
    };

    FakeSound() { Sound::setInstance(this); }
    ~FakeSound() override { Sound::setInstance(nullptr); }

    void PlaySoundA(const QString &path, quintptr, quint32 flags) override
    {
        calls.append({path, flags, looksLikeWave(path)});
    }

    QList<Call> calls;
};

} // namespace lumora::test
