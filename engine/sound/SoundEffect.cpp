#include "engine/sound/SoundEffect.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/sound/SoundReader.h"
#include "engine/sound/ZEMSoundManager.h"

namespace {

constexpr uint32_t kLoadChunkBytes = 256 * 1024;

bool IsActive(const CSoundBuffer* r) { return r->m_paused || (r->Status() & platform::AUDIO_STATUS_PLAYING); }

void Halt(CSoundBuffer* r) {
    r->m_paused = false;
    r->Rewind();
    r->Stop();
}

}  // namespace

CSoundEffect::CSoundEffect() : CSound(RES_SOUND_EFFECT) {}

CSoundEffect::~CSoundEffect() { UnloadEffect(); }

CSoundBuffer* CSoundEffect::NewRecord(const CSoundBuffer* master) {
    CZEMSoundManager* manager = g_pSoundManager;
    if (!manager) return nullptr;
    CSoundBuffer* r = manager->PopSoundNode();
    if (!r->Create(master, m_desc, m_use3D)) {
        manager->PushSoundNode(r);
        return nullptr;
    }
    m_all.push_back(r);
    return r;
}

int CSoundEffect::Load(const char* path, int) {
    UnloadEffect();
    const char* name = ErrorName(path);
    std::unique_ptr<CSoundReader> reader = CSoundReader::ForName(name);
    if (!reader->Open(path, &m_format, Offset(), Size())) return 0;
    // The header's length is only a claim (an Ogg file's comes from its last
    // page): the bytes grow as they decode, up to what one sound buffer may hold.
    const uint32_t expected = std::min(reader->TotalBytes(), platform::kAudioMaxBufferBytes);
    std::vector<uint8_t> data;
    uint32_t got = 0;
    while (got < expected && reader->RemainingBytes() > 0) {
        uint32_t chunk = std::min(expected - got, kLoadChunkBytes);
        data.resize(got + chunk);
        uint32_t n = 0;
        reader->Read(data.data() + got, chunk, &n);
        if (n == 0) break;
        got += n;
    }
    reader.reset();
    data.resize(got);  // a sound shorter than its header claims plays what it has

    if (m_format.channels < 2 && m_format.formatTag == platform::kAudioFormatPcm) {
        m_desc.flags = platform::AUDIO_BUFFER_CTRL3D | platform::AUDIO_BUFFER_CTRLVOLUME;
        m_use3D = true;
    } else {
        m_desc.flags = platform::AUDIO_BUFFER_CTRLVOLUME | platform::AUDIO_BUFFER_CTRLPAN;
        m_use3D = false;
    }
    m_desc.bytes = got;
    m_desc.format = m_format;

    // The master holds the bytes; every other record shares them.
    m_master = NewRecord(nullptr);
    if (!m_master || !m_master->Fill(data.data(), got)) {
        UnloadEffect();
        return 0;
    }
    m_free.push_back(m_master);
    CSoundBuffer* second = NewRecord(m_master);
    if (!second) {
        UnloadEffect();
        return 0;
    }
    m_free.push_back(second);
    if (g_pSoundManager) g_pSoundManager->AddSound(this);
    SetState(1);
    return 1;
}

void CSoundEffect::Unload() {
    UnloadEffect();
    CSound::Unload();
}

void CSoundEffect::UnloadEffect() {
    if (g_pSoundManager) g_pSoundManager->RemoveSound(this);
    DropRecords();
}

void CSoundEffect::DropDevice() { DropRecords(); }

void CSoundEffect::DropRecords() {
    for (const auto& held : m_held) held->m_record = nullptr;
    m_held.clear();
    for (CSoundBuffer* r : m_all) {
        if (g_pSoundManager) {
            g_pSoundManager->PushSoundNode(r);
        } else {
            r->Release();
        }
    }
    m_all.clear();
    m_free.clear();
    m_busy.clear();
    m_master = nullptr;
}

CSoundBuffer* CSoundEffect::TakeRecord(bool held) {
    CSoundBuffer* r = nullptr;
    if (!m_free.empty()) {
        r = m_free.front();
        m_free.pop_front();
    } else {
        auto idle = std::find_if(m_busy.begin(), m_busy.end(), [](CSoundBuffer* b) { return !IsActive(b); });
        if (idle != m_busy.end()) {
            r = *idle;
            m_busy.erase(idle);
        } else if (m_busy.size() < kMaxBusy || !m_master) {
            r = m_master ? NewRecord(m_master) : nullptr;
        } else {
            r = m_busy.front();  // the oldest copy starts over
            Halt(r);
            m_busy.pop_front();
        }
    }
    if (r && !held) m_busy.push_back(r);
    return r;
}

int CSoundEffect::Play(bool loop) {
    CZEMSoundManager* manager = g_pSoundManager;
    if (!manager || !manager->IsEnabled() || !(manager->EffectVolume() > 0.0f)) return 1;
    CSoundBuffer* r = TakeRecord(false);
    if (!r) return 0;
    r->SetVolume(manager->EffectLevel());
    m_loop = loop;
    return r->Play(loop);
}

int CSoundEffect::PlayAt(const float position[3], bool loop) {
    CZEMSoundManager* manager = g_pSoundManager;
    if (!manager || !manager->IsEnabled() || !(manager->EffectVolume() > 0.0f)) return 1;
    if (!m_use3D) return 0;
    const float* ear = manager->Listener().position;
    float dx = position[0] - ear[0], dy = position[1] - ear[1], dz = position[2] - ear[2];
    if (!(std::sqrt(dx * dx + dy * dy + dz * dz) < manager->HearingDistance())) return 1;
    CSoundBuffer* r = TakeRecord(false);
    if (!r) return 0;
    r->SetVolume(manager->EffectLevel());
    m_loop = loop;
    r->SetPosition(position[0], position[1], position[2]);
    return r->Play(loop);
}

template <typename F>
void CSoundEffect::ForEachInUse(F f) {
    for (CSoundBuffer* r : m_busy) f(r);
    for (const auto& held : m_held) {
        if (held->m_record) f(held->m_record);
    }
}

void CSoundEffect::StopAll() { ForEachInUse(Halt); }

void CSoundEffect::Pause() {
    ForEachInUse([](CSoundBuffer* r) {
        if (r->Status() & platform::AUDIO_STATUS_PLAYING) {
            r->m_paused = true;
            r->Stop();
        }
    });
}

void CSoundEffect::Resume() {
    ForEachInUse([](CSoundBuffer* r) {
        if (IsActive(r)) r->Play(r->m_looping);
    });
}

void CSoundEffect::SetVolume(int32_t level) {
    ForEachInUse([level](CSoundBuffer* r) {
        if (IsActive(r)) r->SetVolume(level);
    });
}

std::shared_ptr<CHeldSound> CSoundEffect::TakeHeld() {
    CSoundBuffer* r = TakeRecord(true);
    if (!r) return nullptr;
    auto held = std::make_shared<CHeldSound>();
    held->m_record = r;
    m_held.push_back(held);
    return held;
}

void CSoundEffect::ReleaseHeld(const std::shared_ptr<CHeldSound>& held) {
    auto it = std::find(m_held.begin(), m_held.end(), held);
    if (it == m_held.end() || !held->m_record) return;
    Halt(held->m_record);
    m_free.push_back(held->m_record);
    held->m_record = nullptr;
    m_held.erase(it);
}
