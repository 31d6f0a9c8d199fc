// The application's one background music: switching to the music already
// playing neither restarts it nor keeps the caller's extra reference.
#include "engine/resource/Resource.h"
#include "engine/sound/ZEMSound.h"
#include "tests/app/AppFixture.h"
#include "tests/fixtures/AudioCapture.h"
#include "tools/WaveWriter.h"

namespace {

class MusicSwitch : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        // Two seconds of stereo sound: long enough to stream.
        const uint32_t rate = 22050;
        const std::vector<uint8_t> pcm(rate * 2 * 2 * 2, 0x10);
        for (const char* name : {"MUSIC-A.WAV", "MUSIC-B.WAV"})
            ASSERT_EQ(WriteWave(tmp.path() + "/" + name, audiotest::Pcm16Format(2, rate), pcm), 1);
        MakeApp();
        app->SetFirstScreenMaker([] { return new CScriptedScreen("A", nullptr, {}); });
        ASSERT_EQ(app->CreateApp(), 1) << ErrorReport().Text();
    }
    CZEMSound* Get(const char* name) {
        return static_cast<CZEMSound*>(app->Resources().GetResource(name, RES_STREAM_SOUND, nullptr, 0));
    }
};

TEST_F(MusicSwitch, SameMusicPlaysOnAndNoneStops) {
    CZEMSound* a = Get("MUSIC-A.WAV");
    ASSERT_NE(a, nullptr) << ErrorReport().Text();
    app->PlayBgm(a);
    EXPECT_EQ(app->Bgm(), a);
    EXPECT_EQ(a->StreamState(), CZEMSound::STATE_PLAYING);
    const int32_t refs = a->RefCount();

    // The next screen asks for the same music.
    CZEMSound* again = Get("MUSIC-A.WAV");
    ASSERT_EQ(again, a);
    EXPECT_EQ(a->RefCount(), refs + 1);
    app->PlayBgm(again);
    EXPECT_EQ(app->Bgm(), a);
    EXPECT_EQ(a->RefCount(), refs);
    EXPECT_EQ(a->StreamState(), CZEMSound::STATE_PLAYING);

    // Another music replaces it; by name the same way.
    EXPECT_EQ(app->PlayBgmByName("MUSIC-B.WAV"), 1);
    ASSERT_NE(app->Bgm(), nullptr);
    EXPECT_NE(app->Bgm(), a);
    EXPECT_EQ(app->PlayBgmByName("NO-SUCH.OGG"), 0);
    EXPECT_EQ(app->Bgm(), nullptr);

    app->PlayBgm(Get("MUSIC-A.WAV"));
    app->PlayBgm(nullptr);
    EXPECT_EQ(app->Bgm(), nullptr);
    app->StopBgm();
    EXPECT_EQ(app->Bgm(), nullptr);
}

}  // namespace
