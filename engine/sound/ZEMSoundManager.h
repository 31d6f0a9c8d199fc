// The process's one sound device: its output format, the 3D listener and its
// distances, the volumes of the two sound groups (streamed music and sound
// effects), the list of loaded sounds that a volume change reaches, and the
// pool of play records that sound effects draw from.
//
// Without a usable device the manager stays switched off and the game runs
// silently: sound resources are refused, and plays succeed without sound.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/sound/SoundBuffer.h"
#include "platform/Audio.h"

class CResourceManager;
class CSound;

class CZEMSoundManager {
public:
    CZEMSoundManager();
    virtual ~CZEMSoundManager();
    CZEMSoundManager(const CZEMSoundManager&) = delete;
    CZEMSoundManager& operator=(const CZEMSoundManager&) = delete;

    // Opens the default output (or the named one); 0 with error 10005 when there is none.
    int CreateSoundDevice(const char* deviceName = nullptr);
    // Tests: an output that renders into memory at rate.
    int CreateLoopbackDevice(uint32_t rate);
    // Sets the output format, makes the first block of play records and, with
    // use3D, takes the listener (distance factor 0.1). 1 and enabled; 0 with
    // error 10005, or 0 without a device.
    int InitSoundDevice(bool use3D, uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample);
    // After a failed initialisation: the sound list emptied, listener and
    // device released, the pool freed; from then on everything is silent.
    void SwitchOff();

    // Makes the resource manager create sound effects (type 2) and streamed
    // sounds (type 3), and refuse both while sound is off.
    void RegisterResources(CResourceManager& resources);

    bool IsEnabled() const { return m_enabled; }
    platform::AudioDevice* Device() { return m_device.IsOpen() ? &m_device : nullptr; }

    // Group volumes, 0..1, sent to every sound of the group.
    void SetStreamVolume(float volume);
    void SetEffectVolume(float volume);
    float StreamVolume() const { return m_streamVolume; }
    float EffectVolume() const { return m_effectVolume; }
    int32_t StreamLevel() const { return m_streamLevel; }
    int32_t EffectLevel() const { return m_effectLevel; }
    // 0 gives -5000, 1 gives 0, v between them -5000 + trunc(5000 sin(v x 1.5707)).
    static int32_t VolumeLevel(float volume);

    // The loader thread adds sounds while the main thread walks the list: both take the list's lock.
    void AddSound(CSound* sound);
    void RemoveSound(CSound* sound);
    size_t SoundCount() const;

    // The camera's eye, the point it looks at and its up direction; Commit
    // hands them to the device. The eye is also where positional plays are
    // heard from.
    void SetListener(const float eye[3], const float target[3], const float up[3]);
    int Commit();
    bool HasListener() const { return m_hasListener; }
    const platform::AudioListener& Listener() const { return m_listener; }

    float MinDistance() const { return m_minDistance; }
    float MaxDistance() const { return m_maxDistance; }
    float HearingDistance() const { return m_hearingDistance; }
    void SetDistances(float minDistance, float maxDistance, float hearingDistance);

    // The pool of play records: blocks of kPoolBlockSize records, handed out
    // and taken back through a free list. Records go back to the system only
    // when the whole pool is freed. Effects loaded on the loader thread take
    // records while the main thread plays, so the pool has its own lock.
    int GrowSoundPool();
    CSoundBuffer* PopSoundNode();
    void PushSoundNode(CSoundBuffer* record);
    void FreeSoundPool();
    size_t PoolBlockCount() const;

    static constexpr size_t kPoolBlockSize = 20;

private:
    void SendLevel(int32_t type, int32_t level);
    void GrowLocked();
    void PushLocked(CSoundBuffer* record);

    platform::AudioDevice m_device;
    platform::AudioListener m_listener;
    bool m_hasListener = false;
    float m_minDistance = 1.0f;
    float m_maxDistance = 1.0e9f;
    float m_hearingDistance = 0.0f;
    mutable std::mutex m_soundsLock;
    std::vector<CSound*> m_sounds;
    float m_streamVolume = 1.0f;
    int32_t m_streamLevel = 0;
    float m_effectVolume = 1.0f;
    int32_t m_effectLevel = 0;
    bool m_enabled = false;

    mutable std::mutex m_poolLock;
    std::vector<std::unique_ptr<CSoundBuffer[]>> m_blocks;
    CSoundBuffer* m_freeHead = nullptr;
    CSoundBuffer* m_freeTail = nullptr;
};

extern CZEMSoundManager* g_pSoundManager;
