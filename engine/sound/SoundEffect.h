// A short sound held whole and played through several device buffers that
// share its bytes, so that it can overlap itself: at most two copies at once
// (a third play restarts the oldest), plus any number held by callers that
// keep their copy (a looping ambience). Mono PCM sounds can also be played at
// a point of the world, when that point is within the sound manager's hearing
// distance of the listener.
#pragma once

#include <deque>
#include <memory>
#include <vector>

#include "engine/sound/Sound.h"
#include "engine/sound/SoundBuffer.h"

// A play record lent to a caller that keeps it. The effect clears it when it
// takes the record back or is unloaded, so the caller never reaches a record
// that has gone back to the pool (and maybe to another sound).
class CHeldSound {
public:
    CSoundBuffer* Record() const { return m_record; }

private:
    friend class CSoundEffect;
    CSoundBuffer* m_record = nullptr;
};

class CSoundEffect : public CSound {
public:
    CSoundEffect();
    ~CSoundEffect() override;

    // Reads the whole sound (the resource's offset and size inside a package)
    // and makes the first two records. 0 with the error report set.
    int Load(const char* path, int flag) override;
    void Unload() override;

    // With sound off or the effect volume at 0: success without sound.
    // 0 only when no record could be had or the device refused to play.
    int Play(bool loop);
    // As Play, at a point of the world; 0 for a sound without 3D, success
    // without sound when the point is not nearer than the hearing distance.
    int PlayAt(const float position[3], bool loop);

    void StopAll() override;
    void Pause() override;
    void Resume() override;
    void SetVolume(int32_t level) override;
    void DropDevice() override;

    // A record for a caller that keeps it; null when none can be had.
    std::shared_ptr<CHeldSound> TakeHeld();
    // Stops the held record and takes it back; the handle is cleared.
    void ReleaseHeld(const std::shared_ptr<CHeldSound>& held);

    bool Uses3D() const { return m_use3D; }
    // PCM bytes of the loaded sound.
    uint32_t Bytes() const { return m_desc.bytes; }
    size_t RecordCount() const { return m_all.size(); }
    // Records playing or standing paused for plays (held ones not counted), oldest first.
    const std::deque<CSoundBuffer*>& BusyRecords() const { return m_busy; }

    // Copies of one effect that play at once before the oldest is restarted.
    static constexpr size_t kMaxBusy = 2;

private:
    CSoundBuffer* TakeRecord(bool held);
    CSoundBuffer* NewRecord(const CSoundBuffer* master);
    template <typename F>
    void ForEachInUse(F f);
    void UnloadEffect();
    void DropRecords();

    platform::AudioBufferDesc m_desc;
    bool m_loop = false;
    std::vector<CSoundBuffer*> m_all;
    std::deque<CSoundBuffer*> m_free;
    std::deque<CSoundBuffer*> m_busy;
    std::vector<std::shared_ptr<CHeldSound>> m_held;
    CSoundBuffer* m_master = nullptr;
    bool m_use3D = false;
};
