#include "engine/sound/ZEMSound.h"

#include <chrono>
#include <cstring>
#include <system_error>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/sound/ZEMSoundManager.h"
#include "platform/Clock.h"

namespace {

constexpr uint32_t kStreamFlags = platform::AUDIO_BUFFER_GETCURRENTPOSITION2 | platform::AUDIO_BUFFER_CTRLVOLUME |
                                  platform::AUDIO_BUFFER_CTRLPAN | platform::AUDIO_BUFFER_CTRLFREQUENCY;
constexpr uint64_t kMaxRingBytes = 0x0FFFFFFF;

}  // namespace

CZEMSound::CZEMSound() : CSound(RES_STREAM_SOUND) {}

CZEMSound::~CZEMSound() { UnloadStream(); }

int CZEMSound::Load(const char* path, int) {
    UnloadStream();
    m_name = ErrorName(path);
    m_reader = CSoundReader::ForName(m_name.c_str());
    if (!m_reader->Open(path, &m_format, Offset(), Size())) {
        m_reader.reset();
        return 0;
    }
    uint64_t bufferSize = static_cast<uint64_t>(m_format.blockAlign) * m_format.samplesPerSec;
    uint32_t chunkSize = m_format.samplesPerSec;
    if (m_reader->TotalBytes() < bufferSize || bufferSize == chunkSize) {
        m_reader.reset();
        ErrorReport().SetError(ERR_FILE_NOT_FOUND, GetMessageText(MSG_ERROR_STREAM_TOO_SHORT), m_name);
        return 0;
    }
    m_desc.flags = kStreamFlags;
    m_desc.bytes = static_cast<uint32_t>(bufferSize);
    m_desc.format = m_format;
    if (bufferSize > kMaxRingBytes || !m_buffer.Create(nullptr, m_desc, false)) {
        if (bufferSize > kMaxRingBytes) ReportSoundError("ZEMSound", __LINE__, platform::AUDIO_ERR_BAD_FORMAT);
        ErrorReport().Chain("%s", m_name);
        m_reader.reset();
        return 0;
    }
    m_bufferSize = static_cast<uint32_t>(bufferSize);
    m_chunkSize = chunkSize;
    {
        std::lock_guard<std::mutex> lock(m_lock);
        Prefill();
    }
    if (g_pSoundManager) g_pSoundManager->AddSound(this);
    return 1;
}

void CZEMSound::Unload() {
    UnloadStream();
    CSound::Unload();
}

void CZEMSound::UnloadStream() {
    StopFeeder();
    if (g_pSoundManager) g_pSoundManager->RemoveSound(this);
    std::lock_guard<std::mutex> lock(m_lock);
    m_reader.reset();
    m_buffer.Release();
    m_bufferSize = m_chunkSize = 0;
    m_prefilled = false;
    m_state = STATE_STOPPED;
}

void CZEMSound::WriteChunk(uint8_t* p, uint32_t bytes) {
    uint32_t got = 0;
    if (m_reader) m_reader->Read(p, bytes, &got);
    // Past the last byte of the sound the chunk is silence, not what the ring held a lap ago.
    if (got < bytes) std::memset(p + got, m_format.bitsPerSample == 8 ? 0x80 : 0, bytes - got);
}

void CZEMSound::Prefill() {
    m_buffer.m_paused = false;
    m_buffer.Rewind();
    m_buffer.Stop();
    m_buffer.Rewind();
    if (m_reader) m_reader->Reset();
    if (uint8_t* p = m_buffer.LockRegion(0, m_bufferSize)) {
        WriteChunk(p, m_bufferSize);
        m_buffer.UnlockRegion();
    }
    m_writeOffset = 0;
    m_wrapPending = false;
    m_lastPlayCursor = 0;
    m_writtenSinceWrap = m_bufferSize;
    m_prefilled = true;
}

void CZEMSound::StopFeeder() {
    Stop();
    if (m_thread.joinable()) {
        m_thread.join();
    } else if (m_feederRunning) {
        FeederStep(platform::TimeGetTime());  // a driven feeder finishes its stop now
    }
    std::lock_guard<std::mutex> lock(m_lock);
    m_feederRunning = false;
    m_feedPaused = false;
}

int CZEMSound::Play(bool loop) {
    if (!g_pSoundManager || !g_pSoundManager->IsEnabled()) return 1;
    if (!m_buffer.HasBuffer()) return 0;
    StopFeeder();
    {
        std::lock_guard<std::mutex> lock(m_lock);
        // A sound played before starts again from its first byte.
        if (!m_prefilled) Prefill();
        m_prefilled = false;
        m_buffer.SetVolume(g_pSoundManager->StreamLevel());
        m_loop = loop;
        m_buffer.Play(true);
        m_lastTick = platform::TimeGetTime();
        m_state = STATE_PLAYING;
        m_fadeStep = 0;
        m_feedPaused = false;
        m_feederRunning = true;
    }
    if (m_manualFeed) return 1;
    try {
        m_thread = std::thread(&CZEMSound::FeederThread, this);
    } catch (const std::system_error&) {
        std::lock_guard<std::mutex> lock(m_lock);
        EndFeed();
        m_feederRunning = false;
        ErrorReport().SetError(ERR_THREAD, GetMessageText(MSG_ERROR_CREATE_THREAD), m_name);
        return 0;
    }
    return 1;
}

void CZEMSound::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_state == STATE_PLAYING) m_state = STATE_STOP_REQUESTED;
        m_fadeStep = 0;
    }
    m_wake.notify_all();
}

void CZEMSound::Pause() {
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_feederRunning || m_state != STATE_PLAYING) return;
    if (m_buffer.Status() & platform::AUDIO_STATUS_PLAYING) {
        m_buffer.m_paused = true;
        m_buffer.Stop();
        m_feedPaused = true;
    }
}

void CZEMSound::Resume() {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_feederRunning) return;
        if ((m_buffer.Status() & platform::AUDIO_STATUS_PLAYING) || m_buffer.m_paused) {
            m_buffer.Play(m_buffer.m_looping);
            m_lastTick = platform::TimeGetTime();
            m_feedPaused = false;
        }
    }
    m_wake.notify_all();
}

void CZEMSound::SetVolume(int32_t level) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_buffer.SetVolume(level);
}

void CZEMSound::DropDevice() {
    StopFeeder();
    std::lock_guard<std::mutex> lock(m_lock);
    m_buffer.Release();
}

void CZEMSound::FadeOut(int32_t step) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_fadeStep = step;
}

int32_t CZEMSound::StreamState() const {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_state;
}

void CZEMSound::EndFeed() {
    m_buffer.m_paused = false;
    m_buffer.Rewind();
    m_buffer.Stop();
    m_state = STATE_STOPPED;
    m_fadeStep = 0;
}

bool CZEMSound::FeederStep(uint32_t now) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_state == STATE_STOP_REQUESTED || m_state == STATE_STOPPED) {
        EndFeed();
        return false;
    }
    if (m_feedPaused) return true;

    if (!m_reader || m_reader->RemainingBytes() == 0) {
        // All data is in the ring: wait for the cursor to pass its end.
        uint32_t cursor = m_buffer.PlayCursor();
        // Data that reaches the ring's end is passed when the cursor wraps:
        // the cursor itself never gets as far as the ring's size.
        bool passed = m_writtenSinceWrap <= cursor || (m_writtenSinceWrap >= m_bufferSize && cursor < m_lastPlayCursor);
        if (!m_wrapPending && passed) {
            if (!m_loop) {
                EndFeed();
                return false;
            }
            Prefill();
            m_prefilled = false;
            m_buffer.Play(true);
            cursor = 0;
        }
        if (cursor < m_lastPlayCursor) m_wrapPending = false;
        m_lastPlayCursor = cursor;
        return true;
    }

    if (now - m_lastTick <= kCheckInterval) return true;
    m_lastTick = now;
    uint32_t cursor = m_buffer.PlayCursor();
    if (m_fadeStep > 0) {
        m_buffer.SetVolume(m_buffer.LastLevel() - m_fadeStep);
        if (m_buffer.LastLevel() <= CSoundBuffer::kQuietest) {
            EndFeed();
            return false;
        }
    }
    if (cursor < m_writeOffset || cursor > m_writeOffset + m_chunkSize) {
        if (uint8_t* p = m_buffer.LockRegion(m_writeOffset, m_chunkSize)) {
            WriteChunk(p, m_chunkSize);
            m_buffer.UnlockRegion();
        }
        if (m_writeOffset == 0) {
            m_writtenSinceWrap = 0;
            m_wrapPending = true;
        }
        m_writtenSinceWrap += m_chunkSize;
        m_writeOffset = (m_writeOffset + m_chunkSize) % m_bufferSize;
    }
    if (cursor < m_lastPlayCursor) m_wrapPending = false;
    m_lastPlayCursor = cursor;
    return true;
}

void CZEMSound::FeederThread() {
    while (FeederStep(platform::TimeGetTime())) {
        std::unique_lock<std::mutex> lock(m_lock);
        // A paused feeder sleeps until it is resumed or stopped; a playing one
        // looks again after a millisecond, or at once when stopped.
        if (m_feedPaused) {
            m_wake.wait(lock, [this] { return !m_feedPaused || m_state != STATE_PLAYING; });
        } else {
            m_wake.wait_for(lock, std::chrono::milliseconds(1), [this] { return m_state != STATE_PLAYING; });
        }
    }
}
