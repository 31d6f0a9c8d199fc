// A long sound (music, ambience) played from a one-second ring buffer that a
// feeder refills from the sound's reader while it plays. It loops, pauses,
// resumes, fades out and stops.
//
// The feeder's work is one step (FeederStep) that its thread repeats about
// every millisecond; tests switch the thread off and drive the steps on their
// own clock. Every step that touches the ring or the fields below does so
// under the sound's lock; Play and Unload wait for an old feeder to end, and a
// stop wakes the feeder even while the sound is paused.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "engine/sound/Sound.h"
#include "engine/sound/SoundBuffer.h"
#include "engine/sound/SoundReader.h"

class CZEMSound : public CSound {
public:
    enum State : int32_t { STATE_STOPPED = 0, STATE_PLAYING = 1, STATE_STOP_REQUESTED = 2 };

    CZEMSound();
    ~CZEMSound() override;

    // Opens the reader on path (with the resource's offset and size inside a
    // package), makes the ring and fills it. 0 with the error report set: a
    // sound of less than one second (or 8-bit mono) is too short to stream.
    int Load(const char* path, int flag) override;
    void Unload() override;

    // With sound switched off: 1 and nothing. Otherwise starts from the first
    // byte (a running feeder is stopped first); 0 with error 10007 when the
    // feeder thread cannot start.
    int Play(bool loop);
    void Stop();
    void StopAll() override { Stop(); }
    void Pause() override;
    void Resume() override;
    void SetVolume(int32_t level) override;
    void DropDevice() override;
    // Lowers the level by step at every refill check until the sound is silent, then stops it.
    void FadeOut(int32_t step);

    // One pass of the feeder at time now (milliseconds); false once it has ended.
    bool FeederStep(uint32_t now);
    // Tests: no feeder thread; they call FeederStep themselves.
    void SetManualFeed(bool manual) { m_manualFeed = manual; }

    int32_t StreamState() const;
    uint32_t BufferSize() const { return m_bufferSize; }
    uint32_t ChunkSize() const { return m_chunkSize; }
    const CSoundBuffer& Buffer() const { return m_buffer; }

    // Refill checks are this many milliseconds apart.
    static constexpr uint32_t kCheckInterval = 42;

private:
    void Prefill();  // under the lock
    void WriteChunk(uint8_t* p, uint32_t bytes);
    void EndFeed();  // under the lock: rewound, stopped, state 0
    void StopFeeder();
    void FeederThread();
    void UnloadStream();

    std::string m_name;  // what errors show
    platform::AudioBufferDesc m_desc;
    bool m_loop = false;
    std::unique_ptr<CSoundReader> m_reader;
    CSoundBuffer m_buffer;
    uint32_t m_bufferSize = 0;
    uint32_t m_chunkSize = 0;
    uint32_t m_writtenSinceWrap = 0;
    uint32_t m_writeOffset = 0;
    bool m_wrapPending = false;
    uint32_t m_lastPlayCursor = 0;
    bool m_prefilled = false;

    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::thread m_thread;
    bool m_manualFeed = false;
    bool m_feederRunning = false;
    bool m_feedPaused = false;
    uint32_t m_lastTick = 0;
    int32_t m_state = STATE_STOPPED;
    int32_t m_fadeStep = 0;
};
