#include "screens/game/EffectSoundSlot.h"

#include "commands/CommandRecords.h"
#include "commands/GameCommandManager.h"
#include "engine/core/Random.h"
#include "engine/effects/EffectManager.h"
#include "engine/resource/Resource.h"
#include "engine/sound/SoundEffect.h"
#include "engine/sound/ZEMSoundManager.h"
#include "screens/game/PlayResources.h"

CEffectSoundSlot::~CEffectSoundSlot() { Stop(); }

int CEffectSoundSlot::Init(float a, float b, float seconds) {
    Stop();
    chanceA = a;
    chanceB = b;
    period = seconds;
    timer = 0;
    instance = nullptr;
    effectA = effectB = nullptr;
    sound = nullptr;
    state = kOff;
    if (period == 0 || (chanceA == 0 && chanceB == 0)) {
        period = 0;
        return 1;
    }
    if (g_pPlayResources) {
        effectA = g_pPlayResources->ambientEffects[0];
        effectB = g_pPlayResources->ambientEffects[1];
        CResource* loop = g_pPlayResources->ambientSound;
        if (loop && loop->Type() == RES_SOUND_EFFECT) sound = static_cast<CSoundEffect*>(loop);
    }
    if (sound) held = sound->TakeHeld();
    return 1;
}

void CEffectSoundSlot::Update(float dt) {
    if (period == 0) return;
    timer += dt;
    if (!(timer > period)) return;
    timer = 0;
    int32_t next = kOff;
    if (state == kOff) {
        if (RollPercent(chanceA))
            next = kVariantA;
        else if (RollPercent(chanceB))
            next = kVariantB;
        else
            return;
    }
    if (g_pGameCommandManager) g_pGameCommandManager->BuildPlayerEvent(kEventKind, static_cast<uint32_t>(next), 1);
}

int CEffectSoundSlot::ApplyCommand(const CGameCommand& record) {
    if (record.Type() != CMD_PLAYER_EVENT || record.U8(2) != kEventKind) return 0;
    const int32_t value = record.U8(3);
    if (value > kOff) return 0;
    SetState(value);
    return 1;
}

void CEffectSoundSlot::SetState(int32_t newState) {
    state = newState;
    if (instance) instance->Stop();
    CSoundBuffer* record = held ? held->Record() : nullptr;
    if (!record) return;
    if (state == kVariantA) {
        if (g_pSoundManager) record->SetVolume(g_pSoundManager->EffectLevel());
        record->Play(true);
    } else {
        record->Stop();
        record->Rewind();
    }
}

void CEffectSoundSlot::Start(float dt, const platform::Vec3& position) {
    if (!g_pEffectManager) return;
    if (instance) {
        instance->position = position;
        if (instance->Update(dt) == 1) {
            g_pEffectManager->QueueForDraw(instance);
            return;
        }
        g_pEffectManager->ReleaseEffect(instance);
        instance = nullptr;
    }
    if (state == kOff) return;
    CResource* effect = state == kVariantA ? effectA : effectB;
    if (!effect) return;
    effect->AddRef();
    instance = g_pEffectManager->CreateEffect(position, effect, nullptr, -1, platform::Matrix::Identity(), 0, 0);
}

void CEffectSoundSlot::Stop() {
    if (sound && held) sound->ReleaseHeld(held);
    held.reset();
    // The manager lowers its live count itself.
    if (instance && g_pEffectManager) g_pEffectManager->ReleaseEffect(instance);
    instance = nullptr;
}
