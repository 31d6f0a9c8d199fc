// The base of the two sound resources, sound effects (type 2) and streamed
// sounds (type 3): their PCM format, and the operations that a change of the
// group volume, a pause of the game or a stop reaches through the sound
// manager's list.
#pragma once

#include <cstdint>

#include "engine/resource/Resource.h"
#include "platform/Audio.h"

class CSound : public CResource {
public:
    explicit CSound(int32_t type) : CResource(type) {}
    ~CSound() override;

    // Forgets the file and the format.
    void Unload() override;

    virtual void StopAll() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    // Level in hundredths of a decibel by the rules of CSoundBuffer::SetVolume.
    virtual void SetVolume(int32_t level) = 0;
    // Sound is being switched off: stop, and let go of every device buffer
    // and pool record now, before the device and the pool are gone. The sound
    // stays loaded as far as its owner can tell and plays silently from then on.
    virtual void DropDevice() = 0;

    const platform::AudioFormat& Format() const { return m_format; }

protected:
    // The name errors show: the requested name, or the path when there is none.
    const char* ErrorName(const char* path) const { return Path().empty() ? (path ? path : "") : Path().c_str(); }

    platform::AudioFormat m_format;
};
