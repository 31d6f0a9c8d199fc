#include "engine/core/ErrorReport.h"
#include "engine/sound/Sound.h"
#include "engine/sound/SoundBuffer.h"
#include "engine/sound/ZEMSoundManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/fixtures/AudioCapture.h"

namespace {

// A sound that records the levels it is sent.
struct RecordingSound : CSound {
    explicit RecordingSound(int32_t type) : CSound(type) {}
    ~RecordingSound() override {
        if (g_pSoundManager) g_pSoundManager->RemoveSound(this);  // as every sound leaves the list
    }
    int Load(const char*, int) override { return 1; }
    std::vector<int32_t> levels;
    void StopAll() override {}
    void Pause() override {}
    void Resume() override {}
    void SetVolume(int32_t level) override { levels.push_back(level); }
    void DropDevice() override {}
};

struct Device {
    CErrorReport report;
    CZEMSoundManager manager;
    Device() {
        EXPECT_EQ(manager.CreateLoopbackDevice(22050), 1);
        EXPECT_EQ(manager.InitSoundDevice(true, 2, 22050, 16), 1);
        manager.SetDistances(40.0f, 100000.0f, 200.0f);
    }
};

platform::AudioBufferDesc Desc(uint32_t flags, uint16_t channels, uint32_t bytes) {
    platform::AudioBufferDesc d;
    d.flags = flags;
    d.bytes = bytes;
    d.format = audiotest::Pcm16Format(channels, 22050);
    return d;
}

}  // namespace

TEST(SoundManager, VolumeLawGivesTheLevelsOfTheOptions) {
    struct Case {
        float volume;
        int32_t level;
    } cases[] = {{0.0f, -5000}, {1.0f, 0}, {0.5f, -1465}, {0.001f, -4993}, {0.999f, -1}, {NAN, -5000}};
    for (const Case& c : cases) EXPECT_EQ(CZEMSoundManager::VolumeLevel(c.volume), c.level) << c.volume;
}

TEST(SoundManager, GroupVolumesReachOnlyTheirGroup) {
    Device d;
    RecordingSound effect(RES_SOUND_EFFECT), stream(RES_STREAM_SOUND);
    d.manager.AddSound(&effect);
    d.manager.AddSound(&stream);
    d.manager.SetEffectVolume(0.5f);
    d.manager.SetStreamVolume(0.0f);
    d.manager.SetStreamVolume(1.0f);
    EXPECT_EQ(effect.levels, std::vector<int32_t>({-1465}));
    EXPECT_EQ(stream.levels, std::vector<int32_t>({-5000, 0}));
    EXPECT_EQ(d.manager.EffectLevel(), -1465);
    d.manager.RemoveSound(&effect);
    d.manager.SetEffectVolume(1.0f);
    EXPECT_EQ(effect.levels.size(), 1u);
    EXPECT_EQ(d.manager.SoundCount(), 1u);
}

TEST(SoundManager, MissingDeviceLeavesSoundOff) {
    CErrorReport report;
    CZEMSoundManager manager;
    EXPECT_EQ(manager.CreateSoundDevice("no such sound output"), 0);
    EXPECT_EQ(report.GetCode(), ERR_DEVICE_CALL);
    EXPECT_NE(report.Text().find("File : ZEMSoundManager\nLine : "), std::string::npos) << report.Text();
    EXPECT_NE(report.Text().find("AUDIO_ERR_NO_DEVICE : No sound output is available."), std::string::npos);
    EXPECT_EQ(manager.InitSoundDevice(true, 2, 22050, 16), 0);
    EXPECT_FALSE(manager.IsEnabled());
    manager.SwitchOff();
    EXPECT_EQ(manager.Device(), nullptr);
    EXPECT_EQ(manager.PoolBlockCount(), 0u);
    EXPECT_EQ(manager.Commit(), 0);
}

TEST(SoundManager, PoolGrowsByBlocksOfTwenty) {
    Device d;
    EXPECT_EQ(d.manager.PoolBlockCount(), 1u);
    std::vector<CSoundBuffer*> taken;
    for (int i = 0; i < 20; ++i) taken.push_back(d.manager.PopSoundNode());
    EXPECT_EQ(d.manager.PoolBlockCount(), 1u);
    taken.push_back(d.manager.PopSoundNode());
    EXPECT_EQ(d.manager.PoolBlockCount(), 2u);
    // A record handed back is handed out again, after the ones already free.
    d.manager.PushSoundNode(taken[3]);
    for (int i = 0; i < 19; ++i) EXPECT_NE(d.manager.PopSoundNode(), taken[3]);
    EXPECT_EQ(d.manager.PopSoundNode(), taken[3]);
    d.manager.FreeSoundPool();
    EXPECT_EQ(d.manager.PoolBlockCount(), 0u);
}

TEST(SoundBuffer, LevelsAreClampedAndRepeatsSkipped) {
    Device d;
    CSoundBuffer b;
    ASSERT_EQ(b.Create(nullptr, Desc(platform::AUDIO_BUFFER_CTRLVOLUME, 2, 400), false), 1);
    struct Case {
        int32_t level;
        int32_t sent;  // what the device holds afterwards
        uint32_t calls;
    } cases[] = {{0, 0, 0},   {-6000, -10000, 1}, {-5000, -10000, 1}, {-6000, -10000, 2},
                 {300, 0, 3}, {-1465, -1465, 4},  {-1465, -1465, 4},  {-4999, -4999, 5}};
    for (const Case& c : cases) {
        b.SetVolume(c.level);
        EXPECT_EQ(b.Buffer()->GetVolume(), c.sent) << c.level;
        EXPECT_EQ(b.Buffer()->VolumeCalls(), c.calls) << c.level;
    }
    // Without volume control nothing is sent.
    CSoundBuffer plain;
    ASSERT_EQ(plain.Create(nullptr, Desc(0, 2, 400), false), 1);
    EXPECT_EQ(plain.SetVolume(-100), 0);
    EXPECT_EQ(plain.Buffer()->VolumeCalls(), 0u);
}

TEST(SoundBuffer, FailuresReportTheDeviceError) {
    Device d;
    CSoundBuffer b;
    EXPECT_EQ(b.Create(nullptr, Desc(platform::AUDIO_BUFFER_CTRL3D, 2, 400), true), 0);
    EXPECT_EQ(d.report.GetCode(), ERR_DEVICE_CALL);
    EXPECT_EQ(d.report.Text().rfind("File : ZEMSound\nLine : ", 0), 0u) << d.report.Text();
    EXPECT_NE(d.report.Text().find("AUDIO_ERR_INVALID_PARAM"), std::string::npos);

    ASSERT_EQ(b.Create(nullptr, Desc(platform::AUDIO_BUFFER_CTRL3D, 1, 400), true), 1);
    d.report.Set(0, "");
    EXPECT_EQ(b.Fill(nullptr, 401), 0);
    EXPECT_EQ(d.report.GetCode(), ERR_DEVICE_CALL);
    EXPECT_EQ(b.LockRegion(390, 20), nullptr);
    EXPECT_EQ(b.SetPosition(1, 2, 3), 1);
    EXPECT_EQ(b.Position()[2], 3.0f);
}

TEST(SoundBuffer, DuplicatePlaysTheMastersSamples) {
    Device d;
    auto pcm = audiotest::MakePcm16(3000, 2);
    CSoundBuffer master, copy;
    ASSERT_EQ(master.Create(nullptr, Desc(platform::AUDIO_BUFFER_CTRLVOLUME, 2, 12000), false), 1);
    ASSERT_EQ(master.Fill(pcm.data(), 12000), 1);
    ASSERT_EQ(copy.Create(&master, Desc(0, 2, 0), false), 1);
    ASSERT_EQ(copy.Play(false), 1);
    auto out = audiotest::Render(*d.manager.Device(), 1000);
    std::string why;
    EXPECT_TRUE(audiotest::MatchesSource(out, 0, pcm, 0, 1000, 1.0f, &why)) << why;
    EXPECT_EQ(copy.Status(), platform::AUDIO_STATUS_PLAYING);
    copy.Stop();
    EXPECT_EQ(copy.PlayCursor(), 4000u);
    copy.Rewind();
    EXPECT_EQ(copy.PlayCursor(), 0u);
}

TEST(SoundManager, ListenerFollowsTheCameraOnCommit) {
    Device d;
    const float eye[3] = {10, 20, 30}, target[3] = {10, 20, 40}, up[3] = {0, 1, 0};
    d.manager.SetListener(eye, target, up);
    EXPECT_EQ(d.manager.Device()->Listener().position[0], 0.0f);  // not before the commit
    ASSERT_EQ(d.manager.Commit(), 1);
    const platform::AudioListener& l = d.manager.Device()->Listener();
    EXPECT_EQ(l.position[2], 30.0f);
    EXPECT_EQ(l.front[2], 1.0f);
    EXPECT_FLOAT_EQ(l.distanceFactor, 0.1f);

    // A mono sound to the camera's right is heard on the right.
    CSoundBuffer b;
    auto mono = audiotest::MakePcm16(20000, 1);
    ASSERT_EQ(b.Create(nullptr, Desc(platform::AUDIO_BUFFER_CTRL3D, 1, 40000), true), 1);
    b.Fill(mono.data(), 40000);
    b.SetPosition(40, 20, 30);
    b.Play(true);
    audiotest::Render(*d.manager.Device(), 2100);
    auto out = audiotest::Render(*d.manager.Device(), 1000);
    EXPECT_GT(audiotest::Peak(out, 1), 2 * audiotest::Peak(out, 0));

    // Turned round, the camera hears it on its left.
    const float back[3] = {10, 20, 20};
    d.manager.SetListener(eye, back, up);
    d.manager.Commit();
    audiotest::Render(*d.manager.Device(), 2100);
    out = audiotest::Render(*d.manager.Device(), 1000);
    EXPECT_GT(audiotest::Peak(out, 0), 2 * audiotest::Peak(out, 1));
}
