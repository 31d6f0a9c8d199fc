#include "screens/game/EffectSoundSlot.h"

#include <gtest/gtest.h>

#include "commands/GameCommandManager.h"
#include "engine/sound/SoundEffect.h"
#include "engine/sound/ZEMSoundManager.h"
#include "screens/game/PlayResources.h"
#include "tests/fixtures/AudioCapture.h"
#include "tests/fixtures/EffectWorld.h"
#include "tools/WaveWriter.h"

namespace {

constexpr uint32_t kRate = 22050;

// The play resources with rain and snow effects and the rain's loop, on a
// loopback sound device, and the command manager offline.
struct SlotWorld : EffectWorld {
    CGameCommandManager commands;
    CZEMSoundManager sound;
    CPlayResources play;

    SlotWorld() {
        std::vector<uint8_t> pcm = audiotest::MakePcm16(kRate, 1);
        models.folder.WriteLoose("WEATHER-RAIN.WAV", BuildWave(audiotest::Pcm16Format(1, kRate), pcm));
        EXPECT_EQ(sound.CreateLoopbackDevice(kRate), 1);
        EXPECT_EQ(sound.InitSoundDevice(true, 2, kRate, 16), 1);
        play.ambientEffects[0] = Load({StillLayer(0.1f, 0.2f)});
        EffectFileLayer snow = StillLayer(0.1f, 0.2f);
        snow.values.emissionDuration = 0.3f;
        play.ambientEffects[1] = Load({snow});
        sound.RegisterResources(models.Manager());
        play.ambientSound = models.Manager().GetResource("WEATHER-RAIN.WAV", RES_SOUND_EFFECT, nullptr, 1);
        EXPECT_NE(play.ambientSound, nullptr);
    }

    // The states sent since the last call, in order.
    std::vector<int> Sent() {
        std::vector<int> states;
        while (CGameCommand* r = commands.NextCommand()) {
            EXPECT_EQ(r->Type(), CMD_PLAYER_EVENT);
            EXPECT_EQ(r->U8(2), CEffectSoundSlot::kEventKind);
            states.push_back(r->U8(3));
            commands.FreeCommand(r);
        }
        return states;
    }
};

bool Looping(const CEffectSoundSlot& slot) {
    const CSoundBuffer* r = slot.held ? slot.held->Record() : nullptr;
    return r && (r->Status() & platform::AUDIO_STATUS_PLAYING) && (r->Status() & platform::AUDIO_STATUS_LOOPING);
}

}  // namespace

TEST(EffectSoundSlot, AnInactiveSlotNeverSends) {
    SlotWorld w;
    CEffectSoundSlot slot;
    EXPECT_EQ(slot.Init(0, 0, 30), 1);
    EXPECT_FALSE(slot.Active());
    for (int i = 0; i < 100; ++i) slot.Update(1.0f);
    EXPECT_TRUE(w.Sent().empty());
    CEffectSoundSlot noPeriod;
    noPeriod.Init(100, 100, 0);
    noPeriod.Update(5);
    EXPECT_TRUE(w.Sent().empty());
}

TEST(EffectSoundSlot, PeriodEndsSendChangesThatApplyOnlyWhenTheyComeBack) {
    SlotWorld w;
    CEffectSoundSlot slot;
    slot.Init(100, 0, 10);
    slot.Update(10);  // exactly the period: not past it
    EXPECT_TRUE(w.Sent().empty());
    slot.Update(0.5f);
    EXPECT_EQ(w.Sent(), std::vector<int>{CEffectSoundSlot::kVariantA});
    EXPECT_EQ(slot.state, CEffectSoundSlot::kOff);  // not applied where it was decided
    CGameCommand* back = w.commands.BuildPlayerEvent(CEffectSoundSlot::kEventKind, 0, 0);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(slot.ApplyCommand(*back), 1);
    w.Sent();
    EXPECT_EQ(slot.state, CEffectSoundSlot::kVariantA);
    // A slot that is on always turns off at the next period end, whatever the chances.
    slot.Update(10.5f);
    EXPECT_EQ(w.Sent(), std::vector<int>{CEffectSoundSlot::kOff});
    // Chance A 0 and chance B 100 gives the second variant.
    CEffectSoundSlot snowy;
    snowy.Init(0, 100, 1);
    snowy.Update(1.5f);
    EXPECT_EQ(w.Sent(), std::vector<int>{CEffectSoundSlot::kVariantB});
    // A state outside 0..2, or another event kind, is not this slot's.
    CGameCommand* wrongState = w.commands.BuildPlayerEvent(CEffectSoundSlot::kEventKind, 9, 0);
    CGameCommand* wrongKind = w.commands.BuildPlayerEvent(2, 1, 0);
    EXPECT_EQ(slot.ApplyCommand(*wrongState), 0);
    EXPECT_EQ(slot.ApplyCommand(*wrongKind), 0);
    EXPECT_EQ(slot.state, CEffectSoundSlot::kVariantA);
    while (CGameCommand* r = w.commands.NextCommand()) w.commands.FreeCommand(r);
}

TEST(EffectSoundSlot, TheVariantEffectRestartsWhenItEndsAndTheRainLoopsOnlyInStateZero) {
    SlotWorld w;
    CEffectSoundSlot slot;
    slot.Init(100, 100, 10);
    ASSERT_NE(slot.held, nullptr);
    const platform::Vec3 at(5, 0, 5);
    slot.Start(0.1f, at);
    EXPECT_EQ(slot.instance, nullptr);  // off: nothing to show
    slot.SetState(CEffectSoundSlot::kVariantA);
    EXPECT_TRUE(Looping(slot));
    slot.Start(0.1f, at);
    ASSERT_NE(slot.instance, nullptr);
    EXPECT_EQ(w.effects.LiveCount(), 1u);
    slot.Start(0.1f, at);
    EXPECT_EQ(w.effects.Queue().size(), 1u);
    w.effects.DrawEffects(0);
    slot.SetState(CEffectSoundSlot::kVariantB);
    EXPECT_FALSE(Looping(slot));
    // The stopped rain runs out, and snow takes its place.
    CEffectInstance* rain = slot.instance;
    for (int i = 0; i < 20 && slot.instance == rain; ++i) slot.Start(0.1f, at);
    EXPECT_NE(slot.instance, nullptr);
    EXPECT_EQ(w.effects.LiveCount(), 1u);
    slot.SetState(CEffectSoundSlot::kOff);
    for (int i = 0; i < 20 && slot.instance; ++i) slot.Start(0.1f, at);
    EXPECT_EQ(slot.instance, nullptr);
    EXPECT_EQ(w.effects.LiveCount(), 0u);
    slot.SetState(CEffectSoundSlot::kVariantA);
    slot.Start(0.1f, at);
    slot.Stop();  // the live count drops once, by the manager
    EXPECT_EQ(w.effects.LiveCount(), 0u);
    EXPECT_EQ(slot.held, nullptr);
}
