#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/SoundEffect.h"
#include "engine/sound/ZEMSound.h"
#include "engine/sound/ZEMSoundManager.h"
#include "tools/OggWriter.h"
#include "tools/PackageWriter.h"
#include "tools/WaveWriter.h"

#include <gtest/gtest.h>

#include "tests/fixtures/AudioCapture.h"
#include "tests/fixtures/TempFolder.h"

namespace {

constexpr uint32_t kRate = 22050;

// A game folder with a loose mono WAV and a packaged stereo Ogg, a loopback
// sound device and a resource manager that makes sound resources.
struct EffectRig {
    TempFolder tmp;
    CMessageTable table;
    CErrorReport report;
    std::vector<uint8_t> mono = audiotest::MakePcm16(kRate, 1);
    std::vector<uint8_t> stereo = audiotest::MakePcm16(kRate / 2, 2);
    std::vector<uint8_t> stereoOgg = EncodeOgg(stereo, 2, kRate);
    CZEMSoundManager manager;
    std::unique_ptr<CResourceManager> resources;

    EffectRig() {
        std::vector<uint8_t> wav = BuildWave(audiotest::Pcm16Format(1, kRate), mono);
        tmp.Write("SOUND/MONO.WAV", std::vector<unsigned char>(wav.begin(), wav.end()));
        CPackageWriter package("SOUND.DRP");
        package.Add("STEREO.OGG", stereoOgg);
        EXPECT_TRUE(package.WritePackage(tmp.path()));
        EXPECT_TRUE(CPackageWriter::WriteList(tmp.Path("PACKAGELIST.DRL"), {&package}));
        EXPECT_EQ(manager.CreateLoopbackDevice(kRate), 1);
        EXPECT_EQ(manager.InitSoundDevice(true, 2, kRate, 16), 1);
        manager.SetDistances(40.0f, 100000.0f, 200.0f);
        resources = std::make_unique<CResourceManager>(tmp.path());
        EXPECT_EQ(resources->FileIndex().LoadPackageList(tmp.Path("PACKAGELIST.DRL").c_str()), 1);
        manager.RegisterResources(*resources);
    }
    ~EffectRig() { resources.reset(); }

    CSoundEffect* Effect(const char* name) {
        auto* e = dynamic_cast<CSoundEffect*>(resources->GetResource(name, RES_SOUND_EFFECT, nullptr, 1));
        EXPECT_NE(e, nullptr) << name << ": " << report.Text();
        return e;
    }
    std::vector<float> Render(uint32_t frames) { return audiotest::Render(*manager.Device(), frames); }
};

bool Playing(const CSoundBuffer* r) { return (r->Status() & platform::AUDIO_STATUS_PLAYING) != 0; }

}  // namespace

TEST(SoundEffect, LoadsFromLooseFilesAndPackagesAndPlaysTheirSamples) {
    EffectRig rig;
    CSoundEffect* mono = rig.Effect("MONO.WAV");
    CSoundEffect* stereo = rig.Effect("STEREO.OGG");
    ASSERT_TRUE(mono && stereo);
    EXPECT_TRUE(mono->Uses3D());
    EXPECT_FALSE(stereo->Uses3D());
    EXPECT_EQ(mono->RecordCount(), 2u);
    EXPECT_EQ(rig.manager.SoundCount(), 2u);

    ASSERT_EQ(stereo->Play(false), 1);
    auto out = rig.Render(kRate / 2);
    std::string why;
    std::vector<uint8_t> decoded = audiotest::DecodeOgg(rig.stereoOgg);
    EXPECT_TRUE(audiotest::MatchesSource(out, 0, decoded, 0, kRate / 2, 1.0f, &why)) << why;

    // The group volume reaches the copies that play.
    stereo->Play(true);
    rig.manager.SetEffectVolume(0.5f);
    EXPECT_EQ(stereo->BusyRecords().back()->LastLevel(), -1465);

    rig.resources->ReleaseResource(mono);
    rig.resources->ReleaseResource(stereo);
    EXPECT_EQ(rig.manager.SoundCount(), 0u);
}

TEST(SoundEffect, AnOggLengthClaimIsNotAllocatedBeforeItDecodes) {
    // The last page claims 0x7FFF0000 frames (4 GiB of mono PCM); the file holds a few thousand.
    std::vector<uint8_t> pcm = audiotest::MakePcm16(kRate / 4, 1);
    std::vector<std::vector<uint8_t>> pages = EncodeOggPages(pcm, 1, kRate);
    ASSERT_GT(pages.size(), 2u);
    ASSERT_EQ(SetOggPageGranule(pages.back(), 0x7FFF0000), 1);
    std::vector<uint8_t> ogg;
    for (const auto& p : pages) ogg.insert(ogg.end(), p.begin(), p.end());
    EffectRig rig;
    rig.tmp.Write("SOUND/CLAIM.OGG", std::vector<unsigned char>(ogg.begin(), ogg.end()));
    rig.resources->FileIndex().ScanFolder(".");
    CSoundEffect* e = dynamic_cast<CSoundEffect*>(rig.resources->GetResource("CLAIM.OGG", RES_SOUND_EFFECT, nullptr, 1));
    ASSERT_NE(e, nullptr) << rig.report.Text();
    // What decoded, not the claim; the test run's allocation limit catches a
    // buffer sized from the claim before this line is reached.
    EXPECT_GT(e->Bytes(), pcm.size() / 2);
    EXPECT_LE(e->Bytes(), pcm.size() + 8192);
    rig.resources->ReleaseResource(e);
}

TEST(SoundEffect, SoundOffRefusesSoundResources) {
    EffectRig rig;
    rig.manager.SwitchOff();
    rig.report.Set(ERR_DATA, "earlier");
    EXPECT_EQ(rig.resources->GetResource("MONO.WAV", RES_SOUND_EFFECT, nullptr, 1), nullptr);
    EXPECT_EQ(rig.report.Text(), "Sound load fail MONO.WAV\n");
    EXPECT_EQ(rig.report.GetCode(), ERR_DATA);
    EXPECT_EQ(rig.resources->GetResource("STEREO.OGG", RES_STREAM_SOUND, nullptr, 1), nullptr);
    EXPECT_EQ(rig.report.Text(), "Sound load fail STEREO.OGG\n");
}

TEST(SoundEffect, ThirdOverlappingPlayRestartsTheFirst) {
    EffectRig rig;
    CSoundEffect* e = rig.Effect("MONO.WAV");
    ASSERT_TRUE(e);
    ASSERT_EQ(e->Play(false), 1);
    CSoundBuffer* first = e->BusyRecords().front();
    rig.Render(1000);
    ASSERT_EQ(e->Play(false), 1);
    CSoundBuffer* second = e->BusyRecords().back();
    rig.Render(1000);
    ASSERT_EQ(e->Play(false), 1);
    rig.Render(100);
    EXPECT_EQ(e->RecordCount(), 2u);
    EXPECT_EQ(e->BusyRecords().back(), first);
    EXPECT_EQ(first->PlayCursor(), 100u * 2);
    EXPECT_EQ(second->PlayCursor(), 1100u * 2);

    // A finished copy is used again before anything is restarted.
    rig.Render(kRate);
    EXPECT_FALSE(Playing(first) || Playing(second));
    e->Play(false);
    EXPECT_EQ(e->RecordCount(), 2u);
    EXPECT_EQ(e->BusyRecords().back(), second);
    rig.resources->ReleaseResource(e);
}

TEST(SoundEffect, PlayAtNeedsMonoAndTheHearingDistance) {
    EffectRig rig;
    CSoundEffect* mono = rig.Effect("MONO.WAV");
    CSoundEffect* stereo = rig.Effect("STEREO.OGG");
    ASSERT_TRUE(mono && stereo);
    const float eye[3] = {1000, 50, 1000}, target[3] = {1000, 50, 1100}, up[3] = {0, 1, 0};
    rig.manager.SetListener(eye, target, up);
    struct Case {
        const char* what;
        CSoundEffect* effect;
        float at[3];
        float volume;
        int result;
        bool plays;
    } cases[] = {
        {"stereo", stereo, {1000, 50, 1010}, 1.0f, 0, false}, {"250 away", mono, {1250, 50, 1000}, 1.0f, 1, false},
        {"200 away", mono, {1000, 50, 1200}, 1.0f, 1, false}, {"volume 0", mono, {1000, 50, 1010}, 0.0f, 1, false},
        {"near", mono, {1100, 50, 1000}, 1.0f, 1, true},
    };
    for (const Case& c : cases) {
        rig.manager.SetEffectVolume(c.volume);
        mono->StopAll();
        size_t before = mono->BusyRecords().size() + stereo->BusyRecords().size();
        EXPECT_EQ(c.effect->PlayAt(c.at, false), c.result) << c.what;
        size_t after = mono->BusyRecords().size() + stereo->BusyRecords().size();
        EXPECT_EQ(after > before, c.plays) << c.what;
        if (c.plays) {
            EXPECT_TRUE(Playing(c.effect->BusyRecords().back())) << c.what;
            EXPECT_EQ(c.effect->BusyRecords().back()->Position()[0], 1100.0f);
        }
    }
    // With the volume at 0 a plain play succeeds silently too.
    rig.manager.SetEffectVolume(0.0f);
    size_t before = stereo->BusyRecords().size();
    EXPECT_EQ(stereo->Play(false), 1);
    EXPECT_EQ(stereo->BusyRecords().size(), before);
    rig.resources->ReleaseResource(mono);
    rig.resources->ReleaseResource(stereo);
}

TEST(SoundEffect, PauseAndResumeRestartOnlyWhatPlayed) {
    EffectRig rig;
    CSoundEffect* e = rig.Effect("STEREO.OGG");
    ASSERT_TRUE(e);
    e->Play(false);  // half a second, over before the pause
    CSoundBuffer* once = e->BusyRecords().back();
    rig.Render(kRate);
    e->Play(true);
    CSoundBuffer* looping = e->BusyRecords().back();
    ASSERT_NE(once, looping);
    rig.Render(100);
    e->Pause();
    EXPECT_FALSE(Playing(looping));
    EXPECT_TRUE(looping->m_paused);
    EXPECT_EQ(audiotest::Peak(rig.Render(1000), 0), 0.0f);
    e->Resume();
    EXPECT_TRUE(Playing(looping));
    EXPECT_FALSE(Playing(once));
    e->StopAll();
    EXPECT_FALSE(Playing(looping));
    EXPECT_EQ(looping->PlayCursor(), 0u);
    rig.resources->ReleaseResource(e);
}

TEST(SoundEffect, HeldRecordsAreNotTakenOverAndClearOnUnload) {
    EffectRig rig;
    CSoundEffect* e = rig.Effect("MONO.WAV");
    ASSERT_TRUE(e);
    std::shared_ptr<CHeldSound> held = e->TakeHeld();
    ASSERT_TRUE(held && held->Record());
    CSoundBuffer* kept = held->Record();
    kept->Play(true);
    for (int i = 0; i < 4; ++i) e->Play(false);
    EXPECT_TRUE(Playing(kept));
    EXPECT_EQ(std::count(e->BusyRecords().begin(), e->BusyRecords().end(), kept), 0);
    EXPECT_EQ(e->RecordCount(), 3u);

    // Given back, it is stopped and lent again.
    e->ReleaseHeld(held);
    EXPECT_EQ(held->Record(), nullptr);
    EXPECT_FALSE(Playing(kept));
    std::shared_ptr<CHeldSound> again = e->TakeHeld();
    EXPECT_EQ(again->Record(), kept);

    // Unloaded, the effect leaves its holder nothing to reach.
    rig.resources->ReleaseResource(e);
    EXPECT_EQ(again->Record(), nullptr);
}

TEST(SoundEffect, StreamedSoundsComeThroughTheResourceManager) {
    EffectRig rig;
    std::vector<uint8_t> long_ = audiotest::MakePcm16(kRate * 2, 2);
    std::vector<uint8_t> wav = BuildWave(audiotest::Pcm16Format(2, kRate), long_);
    rig.tmp.Write("MUSIC/THEME.WAV", std::vector<unsigned char>(wav.begin(), wav.end()));
    CResourceManager resources(rig.tmp.path());
    rig.manager.RegisterResources(resources);
    auto* s = dynamic_cast<CZEMSound*>(resources.GetResource("THEME.WAV", RES_STREAM_SOUND, nullptr, 1));
    ASSERT_NE(s, nullptr) << rig.report.Text();
    EXPECT_EQ(s->Name(), "THEME.WAV");
    EXPECT_EQ(s->BufferSize(), 88200u);
    rig.manager.SetStreamVolume(0.5f);
    EXPECT_EQ(s->Buffer().LastLevel(), -1465);
    resources.ReleaseResource(s);
    EXPECT_EQ(rig.manager.SoundCount(), 0u);
}

TEST(SoundEffect, SoundsLoadedWhenSoundGoesOffPlaySilently) {
    EffectRig rig;
    CSoundEffect* e = rig.Effect("MONO.WAV");
    std::vector<uint8_t> music = audiotest::MakePcm16(kRate * 2, 2);
    std::vector<uint8_t> wav = BuildWave(audiotest::Pcm16Format(2, kRate), music);
    std::string path = rig.tmp.Write("THEME.WAV", std::vector<unsigned char>(wav.begin(), wav.end()));
    auto stream = std::make_unique<CZEMSound>();
    ASSERT_TRUE(e && stream->Load(path.c_str(), 1));
    e->Play(true);
    std::shared_ptr<CHeldSound> held = e->TakeHeld();
    ASSERT_EQ(stream->Play(true), 1);  // its feeder thread runs

    rig.manager.SwitchOff();
    EXPECT_EQ(held->Record(), nullptr);
    EXPECT_EQ(e->Play(false), 1);
    EXPECT_EQ(stream->Play(false), 1);
    EXPECT_EQ(stream->StreamState(), CZEMSound::STATE_STOPPED);
    stream.reset();
    rig.resources->ReleaseResource(e);
}
