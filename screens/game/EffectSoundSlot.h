// The ambient event of a match (rain or snow): at the end of every period it
// either switches the weather off or, while it is off, turns it on as one of
// two variants by chance. Each variant shows its own effect at a point, and
// the first keeps a looping sound going. So that every machine sees the same
// weather, a change is not applied where it is decided: it goes out as a
// player-event command, and the state changes when the command comes back.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/Math.h"

class CResource;
class CEffectInstance;
class CGameCommand;
class CHeldSound;
class CSoundEffect;

class CEffectSoundSlot {
public:
    static constexpr int32_t kVariantA = 0;
    static constexpr int32_t kVariantB = 1;
    static constexpr int32_t kOff = 2;
    // The player-event kind of a weather change; its value byte is the new state.
    static constexpr uint32_t kEventKind = 3;

    CEffectSoundSlot() = default;
    ~CEffectSoundSlot();
    CEffectSoundSlot(const CEffectSoundSlot&) = delete;
    CEffectSoundSlot& operator=(const CEffectSoundSlot&) = delete;

    // Chances in percent; a period of 0, or no chance at all, leaves the slot
    // inactive. The effects and the sound come from the play resources.
    int Init(float chanceA, float chanceB, float period);
    // Sends a change at the end of each period.
    void Update(float dt);
    // A change that came back as a command.
    void SetState(int32_t newState);
    // 1 when the record was this slot's weather change and was applied; a
    // state outside 0..2 is dropped.
    int ApplyCommand(const CGameCommand& record);
    // Moves the running effect to position and advances it; an effect that
    // ended makes way for a new one of the current variant.
    void Start(float dt, const platform::Vec3& position);
    // Gives back the sound and the running effect.
    void Stop();

    bool Active() const { return period != 0; }

    float chanceA = 0;
    float chanceB = 0;
    float timer = 0;
    float period = 0;
    CEffectInstance* instance = nullptr;
    CResource* effectA = nullptr;
    CResource* effectB = nullptr;
    CSoundEffect* sound = nullptr;
    int32_t state = kOff;
    std::shared_ptr<CHeldSound> held;
};
