// One play record of a sound: a device buffer (its 3D part included), the
// flags it was made with, whether it loops or stands paused, and the last
// level sent to it. Sound effects take records from the sound manager's pool
// and hand them back; a streamed sound keeps one of its own.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/Audio.h"

// Sets error 10005 for a failed sound device call: "File : %s\nLine : %d\n%s : %s"
// with the reporting module's name, the line and the result's name and description.
void ReportSoundError(const char* source, int line, long result);

class CSoundBuffer {
public:
    CSoundBuffer() = default;
    virtual ~CSoundBuffer();
    CSoundBuffer(const CSoundBuffer&) = delete;
    CSoundBuffer& operator=(const CSoundBuffer&) = delete;

    // A new device buffer by desc, or (with source) one that shares source's
    // bytes. With use3D the buffer takes the sound manager's distances. 0 with
    // error 10005 on failure.
    int Create(const CSoundBuffer* source, const platform::AudioBufferDesc& desc, bool use3D);
    // Writes size bytes from the start. 0 with error 10005 when the bytes do not fit.
    int Fill(const uint8_t* data, uint32_t size);
    // The bytes of [offset, offset + size) to write into, then UnlockRegion; null with error 10005.
    uint8_t* LockRegion(uint32_t offset, uint32_t size);
    int UnlockRegion();
    int SetPosition(float x, float y, float z);
    // paused = 0 and looping = loop; true when the device started it.
    int Play(bool loop);
    // Stops where it is.
    int Stop();
    int Rewind();
    // Only for a buffer made with volume control and a level other than the
    // last one: clamps to -5000..0 and sends -10000 (silence) for -5000.
    int SetVolume(int32_t level);
    uint32_t Status() const;
    uint32_t PlayCursor() const;
    // Releases the device buffer; the record can be used again.
    void Release();

    bool HasBuffer() const { return m_buffer != nullptr; }
    platform::AudioBuffer* Buffer() const { return m_buffer.get(); }
    uint32_t Flags() const { return m_flags; }
    const float* Position() const { return m_position; }
    int32_t LastLevel() const { return m_lastLevel; }

    bool m_looping = false;
    bool m_paused = false;
    CSoundBuffer* m_next = nullptr;  // the pool's free list

    static constexpr int32_t kQuietest = -5000;

private:
    std::unique_ptr<platform::AudioBuffer> m_buffer;
    float m_position[3] = {0, 0, 0};
    uint32_t m_flags = 0;
    int32_t m_lastLevel = 0;  // a new device buffer plays at full level
};
