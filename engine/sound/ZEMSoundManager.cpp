#include "engine/sound/ZEMSoundManager.h"

#include <algorithm>
#include <cmath>

#include "engine/resource/ResourceManager.h"
#include "engine/sound/Sound.h"
#include "engine/sound/SoundEffect.h"
#include "engine/sound/ZEMSound.h"

CZEMSoundManager* g_pSoundManager = nullptr;

CZEMSoundManager::CZEMSoundManager() {
    if (!g_pSoundManager) g_pSoundManager = this;
}

CZEMSoundManager::~CZEMSoundManager() {
    SwitchOff();
    if (g_pSoundManager == this) g_pSoundManager = nullptr;
}

int CZEMSoundManager::CreateSoundDevice(const char* deviceName) {
    long r = m_device.Open(deviceName);
    if (r != platform::AUDIO_OK) {
        ReportSoundError("ZEMSoundManager", __LINE__, r);
        return 0;
    }
    return 1;
}

int CZEMSoundManager::CreateLoopbackDevice(uint32_t rate) {
    long r = m_device.OpenLoopback(rate);
    if (r != platform::AUDIO_OK) {
        ReportSoundError("ZEMSoundManager", __LINE__, r);
        return 0;
    }
    return 1;
}

int CZEMSoundManager::InitSoundDevice(bool use3D, uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample) {
    if (!m_device.IsOpen()) return 0;
    if (PoolBlockCount() == 0) GrowSoundPool();
    long r = m_device.SetOutputFormat(channels, samplesPerSec, bitsPerSample);
    if (r != platform::AUDIO_OK) {
        ReportSoundError("ZEMSoundManager", __LINE__, r);
        return 0;
    }
    if (use3D) {
        m_listener = m_device.Listener();
        // One unit of the game's space is a tenth of a metre.
        m_listener.distanceFactor = 0.1f;
        m_hasListener = true;
    }
    m_enabled = true;
    return 1;
}

void CZEMSoundManager::RegisterResources(CResourceManager& resources) {
    resources.SetFactory(RES_SOUND_EFFECT, [](CUiWindow*) -> CResource* { return new CSoundEffect(); });
    resources.SetFactory(RES_STREAM_SOUND, [](CUiWindow*) -> CResource* { return new CZEMSound(); });
    resources.SetSoundDeviceCheck([this] { return m_enabled; });
}

void CZEMSoundManager::SwitchOff() {
    std::vector<CSound*> sounds;
    {
        std::lock_guard<std::mutex> lock(m_soundsLock);
        sounds.swap(m_sounds);
    }
    // Sounds still loaded give their buffers and records back while the pool
    // and the device exist; otherwise their feeders and records would reach
    // into freed memory.
    for (CSound* s : sounds) s->DropDevice();
    m_hasListener = false;
    m_enabled = false;
    FreeSoundPool();
    m_device.Close();
}

int32_t CZEMSoundManager::VolumeLevel(float volume) {
    if (volume == 1.0f) return 0;
    // NaN counts as silence; it has no level.
    if (volume == 0.0f || std::isnan(volume)) return CSoundBuffer::kQuietest;
    double s = std::sin(static_cast<double>(volume) * 1.5707);
    return CSoundBuffer::kQuietest + static_cast<int32_t>(std::trunc(5000.0 * s));
}

void CZEMSoundManager::SetStreamVolume(float volume) {
    m_streamVolume = volume;
    m_streamLevel = VolumeLevel(volume);
    SendLevel(RES_STREAM_SOUND, m_streamLevel);
}

void CZEMSoundManager::SetEffectVolume(float volume) {
    m_effectVolume = volume;
    m_effectLevel = VolumeLevel(volume);
    SendLevel(RES_SOUND_EFFECT, m_effectLevel);
}

void CZEMSoundManager::SendLevel(int32_t type, int32_t level) {
    std::lock_guard<std::mutex> lock(m_soundsLock);
    for (CSound* s : m_sounds) {
        if (s->Type() == type) s->SetVolume(level);
    }
}

void CZEMSoundManager::AddSound(CSound* sound) {
    if (!sound) return;
    std::lock_guard<std::mutex> lock(m_soundsLock);
    m_sounds.push_back(sound);
}

void CZEMSoundManager::RemoveSound(CSound* sound) {
    std::lock_guard<std::mutex> lock(m_soundsLock);
    m_sounds.erase(std::remove(m_sounds.begin(), m_sounds.end(), sound), m_sounds.end());
}

size_t CZEMSoundManager::SoundCount() const {
    std::lock_guard<std::mutex> lock(m_soundsLock);
    return m_sounds.size();
}

void CZEMSoundManager::SetListener(const float eye[3], const float target[3], const float up[3]) {
    float front[3] = {target[0] - eye[0], target[1] - eye[1], target[2] - eye[2]};
    float length = std::sqrt(front[0] * front[0] + front[1] * front[1] + front[2] * front[2]);
    for (int i = 0; i < 3; ++i) {
        m_listener.position[i] = eye[i];
        if (length > 0.0f) m_listener.front[i] = front[i] / length;  // a camera on its target keeps its heading
        m_listener.top[i] = up[i];
    }
}

int CZEMSoundManager::Commit() {
    if (!m_enabled || !m_hasListener) return 0;
    long r = m_device.SetListener(m_listener);
    if (r != platform::AUDIO_OK) {
        ReportSoundError("ZEMSoundManager", __LINE__, r);
        return 0;
    }
    return 1;
}

void CZEMSoundManager::SetDistances(float minDistance, float maxDistance, float hearingDistance) {
    m_minDistance = minDistance;
    m_maxDistance = maxDistance;
    m_hearingDistance = hearingDistance;
}

int CZEMSoundManager::GrowSoundPool() {
    std::lock_guard<std::mutex> lock(m_poolLock);
    GrowLocked();
    return 1;
}

void CZEMSoundManager::GrowLocked() {
    auto block = std::make_unique<CSoundBuffer[]>(kPoolBlockSize);
    for (size_t i = 0; i < kPoolBlockSize; ++i) PushLocked(&block[i]);
    m_blocks.push_back(std::move(block));
}

CSoundBuffer* CZEMSoundManager::PopSoundNode() {
    std::lock_guard<std::mutex> lock(m_poolLock);
    if (!m_freeHead) GrowLocked();
    CSoundBuffer* r = m_freeHead;
    m_freeHead = r->m_next;
    if (!m_freeHead) m_freeTail = nullptr;
    r->m_next = nullptr;
    return r;
}

void CZEMSoundManager::PushSoundNode(CSoundBuffer* record) {
    if (!record) return;
    record->Release();
    std::lock_guard<std::mutex> lock(m_poolLock);
    PushLocked(record);
}

void CZEMSoundManager::PushLocked(CSoundBuffer* record) {
    record->m_next = nullptr;
    if (m_freeTail) {
        m_freeTail->m_next = record;
    } else {
        m_freeHead = record;
    }
    m_freeTail = record;
}

void CZEMSoundManager::FreeSoundPool() {
    std::lock_guard<std::mutex> lock(m_poolLock);
    m_blocks.clear();
    m_freeHead = m_freeTail = nullptr;
}

size_t CZEMSoundManager::PoolBlockCount() const {
    std::lock_guard<std::mutex> lock(m_poolLock);
    return m_blocks.size();
}
