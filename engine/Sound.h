// What the sound manager knows of a loaded sound: its group (effect or
// stream) and the operations a change of the group's volume, a pause of the
// game or a stop reaches. Sound effects and streamed sounds derive from it.
#pragma once

#include <cstdint>

#include "platform/Audio.h"

enum SoundGroup : int32_t {
    SOUND_GROUP_EFFECT = 2,  // held whole, played by several records at once
    SOUND_GROUP_STREAM = 3,  // streamed through a ring by a feeder thread
};

class CSound {
public:
    explicit CSound(int32_t group) : m_group(group) {}
    virtual ~CSound();
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;

    virtual void StopAll() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    // Level in hundredths of a decibel by the rules of CSoundBuffer::SetVolume.
    virtual void SetVolume(int32_t level) = 0;

    int32_t Group() const { return m_group; }
    const platform::AudioFormat& Format() const { return m_format; }

protected:
    platform::AudioFormat m_format;

private:
    int32_t m_group;
};
