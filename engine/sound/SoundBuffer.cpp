#include "engine/sound/SoundBuffer.h"

#include <algorithm>
#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/sound/ZEMSoundManager.h"

void ReportSoundError(const char* source, int line, long result) {
    ErrorReport().SetError(ERR_DEVICE_CALL, "File : %s\nLine : %d\n%s : %s", source, line,
                           platform::AudioResultName(result), platform::AudioResultDescription(result));
}

CSoundBuffer::~CSoundBuffer() = default;

int CSoundBuffer::Create(const CSoundBuffer* source, const platform::AudioBufferDesc& desc, bool use3D) {
    m_buffer.reset();
    m_flags = desc.flags;
    m_looping = m_paused = false;
    m_lastLevel = 0;
    std::memset(m_position, 0, sizeof(m_position));
    CZEMSoundManager* manager = g_pSoundManager;
    platform::AudioDevice* device = manager ? manager->Device() : nullptr;
    if (!device) {
        ReportSoundError("ZEMSound", __LINE__, platform::AUDIO_ERR_NO_DEVICE);
        return 0;
    }
    long r;
    if (source) {
        r = source->m_buffer ? device->DuplicateBuffer(*source->m_buffer, &m_buffer)
                             : platform::AUDIO_ERR_INVALID_PARAM;
    } else {
        r = device->CreateBuffer(desc, &m_buffer);
    }
    if (r == platform::AUDIO_OK && use3D) r = m_buffer->SetDistances(manager->MinDistance(), manager->MaxDistance());
    if (r != platform::AUDIO_OK) {
        m_buffer.reset();
        ReportSoundError("ZEMSound", __LINE__, r);
        return 0;
    }
    return 1;
}

int CSoundBuffer::Fill(const uint8_t* data, uint32_t size) {
    uint8_t* p = LockRegion(0, size);
    if (!p) return 0;
    if (data && size) std::memcpy(p, data, size);
    return UnlockRegion();
}

uint8_t* CSoundBuffer::LockRegion(uint32_t offset, uint32_t size) {
    uint8_t* p = m_buffer ? m_buffer->Lock(offset, size) : nullptr;
    if (!p) ReportSoundError("ZEMSound", __LINE__, platform::AUDIO_ERR_INVALID_PARAM);
    return p;
}

int CSoundBuffer::UnlockRegion() {
    long r = m_buffer ? m_buffer->Unlock() : platform::AUDIO_ERR_INVALID_CALL;
    if (r != platform::AUDIO_OK) {
        ReportSoundError("ZEMSound", __LINE__, r);
        return 0;
    }
    return 1;
}

int CSoundBuffer::SetPosition(float x, float y, float z) {
    m_position[0] = x;
    m_position[1] = y;
    m_position[2] = z;
    return m_buffer && m_buffer->SetPosition(x, y, z) == platform::AUDIO_OK;
}

int CSoundBuffer::Play(bool loop) {
    m_paused = false;
    m_looping = loop;
    return m_buffer && m_buffer->Play(loop) == platform::AUDIO_OK;
}

int CSoundBuffer::Stop() { return m_buffer && m_buffer->Stop() == platform::AUDIO_OK; }

int CSoundBuffer::Rewind() { return m_buffer && m_buffer->SetCurrentPosition(0) == platform::AUDIO_OK; }

int CSoundBuffer::SetVolume(int32_t level) {
    if (!m_buffer || !(m_flags & platform::AUDIO_BUFFER_CTRLVOLUME) || level == m_lastLevel) return 0;
    level = std::clamp(level, kQuietest, 0);
    m_lastLevel = level;
    return m_buffer->SetVolume(level == kQuietest ? platform::kAudioVolumeMin : level) == platform::AUDIO_OK;
}

uint32_t CSoundBuffer::Status() const {
    uint32_t s = 0;
    if (m_buffer) m_buffer->GetStatus(&s);
    return s;
}

uint32_t CSoundBuffer::PlayCursor() const {
    uint32_t c = 0;
    if (m_buffer) m_buffer->GetCurrentPosition(&c);
    return c;
}

void CSoundBuffer::Release() {
    m_buffer.reset();
    m_looping = m_paused = false;
    m_lastLevel = 0;
}
