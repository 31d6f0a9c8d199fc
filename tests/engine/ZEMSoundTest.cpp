#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/sound/ZEMSound.h"
#include "engine/sound/ZEMSoundManager.h"
#include "platform/Clock.h"
#include "tools/OggWriter.h"
#include "tools/PackageWriter.h"
#include "tools/WaveWriter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>

#include "tests/fixtures/AudioCapture.h"
#include "tests/fixtures/TempFolder.h"

namespace {

constexpr uint32_t kRate = 22050;

std::atomic<uint32_t> g_now{1000};
uint32_t VirtualNow() { return g_now.load(); }

// A loopback sound device on a clock the test moves, and a folder for sounds.
struct StreamRig {
    CMessageTable table;
    CErrorReport report;
    CZEMSoundManager manager;
    TempFolder tmp;

    StreamRig() {
        platform::SetClockSource(VirtualNow);
        table.SetMsg(MSG_ERROR_STREAM_TOO_SHORT, "too short: %s");
        table.SetMsg(MSG_ERROR_NOT_WAVE_FILE, "not wave: %s");
        EXPECT_EQ(manager.CreateLoopbackDevice(kRate), 1);
        EXPECT_EQ(manager.InitSoundDevice(true, 2, kRate, 16), 1);
    }
    ~StreamRig() { platform::SetClockSource(nullptr); }

    std::string Wave(const std::string& name, const std::vector<uint8_t>& pcm, uint16_t channels, uint16_t bits = 16) {
        platform::AudioFormat f = audiotest::Pcm16Format(channels, kRate);
        f.bitsPerSample = bits;
        f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
        f.avgBytesPerSec = f.blockAlign * kRate;
        std::vector<uint8_t> bytes = BuildWave(f, pcm);
        return tmp.Write(name, std::vector<unsigned char>(bytes.begin(), bytes.end()));
    }

    // Renders 20 ms and runs one feeder step, until the feeder ends or
    // maxSteps have passed; the output is appended to out. The steps run.
    int Drive(CZEMSound& s, std::vector<float>& out, int maxSteps, uint32_t msPerStep = 20) {
        int steps = 0;
        while (steps < maxSteps) {
            auto part = audiotest::Render(*manager.Device(), kRate * msPerStep / 1000);
            out.insert(out.end(), part.begin(), part.end());
            g_now += msPerStep;
            ++steps;
            if (!s.FeederStep(g_now)) break;
        }
        return steps;
    }
};

// Loads as the resource manager does: the requested name and the package range are set first.
int LoadStream(CZEMSound& s, const char* name, const std::string& path, uint32_t offset = 0, uint32_t size = 0) {
    s.SetPath(name);
    s.SetLocation(offset, size);
    return s.Load(path.c_str(), 1);
}

// First output frame from which frames [0, 500) of the source follow, or -1.
int FindSourceStart(const std::vector<float>& out, const std::vector<uint8_t>& pcm, uint32_t from, uint32_t to) {
    for (uint32_t f = from; f < to; ++f) {
        if (audiotest::MatchesSource(out, f, pcm, 0, 500, 1.0f, nullptr)) return static_cast<int>(f);
    }
    return -1;
}

}  // namespace

TEST(ZEMSound, RingSizesFollowTheFormat) {
    StreamRig rig;
    struct Case {
        const char* what;
        uint16_t channels, bits;
        uint32_t frames;
        uint32_t bufferSize, chunkSize;  // 0: too short to stream
    } cases[] = {
        {"16-bit stereo", 2, 16, kRate * 2, 88200, 22050}, {"16-bit mono", 1, 16, kRate * 2, 44100, 22050},
        {"8-bit stereo", 2, 8, kRate * 2, 44100, 22050},   {"8-bit mono", 1, 8, kRate * 2, 0, 0},
        {"half a second", 2, 16, kRate / 2, 0, 0},         {"exactly a second", 2, 16, kRate, 88200, 22050},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> pcm(static_cast<size_t>(c.frames) * c.channels * c.bits / 8, c.bits == 8 ? 0x80 : 0);
        std::string path = rig.Wave("s.wav", pcm, c.channels, c.bits);
        CZEMSound s;
        rig.report.Set(0, "");
        int ok = LoadStream(s, "MUSIC.WAV", path);
        EXPECT_EQ(ok, c.bufferSize ? 1 : 0) << c.what;
        EXPECT_EQ(s.BufferSize(), c.bufferSize) << c.what;
        EXPECT_EQ(s.ChunkSize(), c.chunkSize) << c.what;
        if (!c.bufferSize) {
            EXPECT_EQ(rig.report.Text(), "too short: MUSIC.WAV") << c.what;
            EXPECT_EQ(rig.report.GetCode(), ERR_FILE_NOT_FOUND);
        }
        EXPECT_EQ(rig.manager.SoundCount(), ok ? 1u : 0u) << c.what;
    }
    EXPECT_EQ(rig.manager.SoundCount(), 0u);  // unloading leaves the list
}

TEST(ZEMSound, StreamedSamplesMatchTheSourceAndStopAtTheEnd) {
    StreamRig rig;
    const uint32_t frames = kRate * 3 + 1234;
    auto pcm = audiotest::MakePcm16(frames, 2);
    std::string path = rig.Wave("m.wav", pcm, 2);
    CZEMSound s;
    s.SetManualFeed(true);
    ASSERT_EQ(LoadStream(s, "M.WAV", path), 1) << rig.report.Text();
    ASSERT_EQ(s.Play(false), 1);
    EXPECT_EQ(s.StreamState(), CZEMSound::STATE_PLAYING);
    std::vector<float> out;
    int steps = rig.Drive(s, out, 1000);
    std::string why;
    EXPECT_TRUE(audiotest::MatchesSource(out, 0, pcm, 0, frames, 1.0f, &why)) << why;
    // It ends by itself within a chunk and a few checks of its last byte, and
    // what follows the sound in the ring is silence, not an old lap.
    EXPECT_EQ(s.StreamState(), CZEMSound::STATE_STOPPED);
    EXPECT_LT(steps, static_cast<int>(frames / 441) + 25);
    size_t loud = 0;
    for (size_t i = static_cast<size_t>(frames) * 2; i < out.size(); i += 2) loud += out[i] != 0.0f;
    EXPECT_LE(loud, 2u * 441) << "frames of old sound after the end";  // at most two passes pass unseen
    EXPECT_EQ(s.Buffer().Status(), 0u);
    EXPECT_EQ(s.Buffer().PlayCursor(), 0u);

    // Played again it starts from its first byte.
    ASSERT_EQ(s.Play(false), 1);
    out.clear();
    rig.Drive(s, out, 50);
    EXPECT_TRUE(audiotest::MatchesSource(out, 0, pcm, 0, 20000, 1.0f, &why)) << why;
}

TEST(ZEMSound, OggStreamFromAPackageMatchesItsDecoding) {
    StreamRig rig;
    auto pcm = audiotest::MakePcm16(kRate * 2 + 777, 2);
    std::vector<uint8_t> ogg = EncodeOgg(pcm, 2, kRate);
    std::vector<uint8_t> decoded = audiotest::DecodeOgg(ogg);
    CPackageWriter writer("MUSIC.DRP");
    writer.Add("first.dat", std::string("something before"));
    writer.Add("M.OGG", ogg);
    ASSERT_TRUE(writer.WritePackage(rig.tmp.path()));
    CZEMSound s;
    s.SetManualFeed(true);
    ASSERT_EQ(LoadStream(s, "M.OGG", rig.tmp.Path("MUSIC.DRP"), writer.Records()[1].offset,
                         static_cast<uint32_t>(ogg.size())),
              1)
        << rig.report.Text();
    ASSERT_EQ(s.Play(false), 1);
    std::vector<float> out;
    rig.Drive(s, out, 1000);
    std::string why;
    // Chunks of 22,050 bytes end inside a stereo frame: the next chunk must go on from that very byte.
    EXPECT_TRUE(audiotest::MatchesSource(out, 0, decoded, 0, static_cast<uint32_t>(decoded.size() / 4), 1.0f, &why))
        << why;
    EXPECT_EQ(s.StreamState(), CZEMSound::STATE_STOPPED);
}

TEST(ZEMSound, LoopStartsOverAfterTheLastByte) {
    StreamRig rig;
    const uint32_t frames = kRate * 2;
    auto pcm = audiotest::MakePcm16(frames, 2);
    CZEMSound s;
    s.SetManualFeed(true);
    ASSERT_EQ(LoadStream(s, "L.WAV", rig.Wave("l.wav", pcm, 2)), 1);
    ASSERT_EQ(s.Play(true), 1);
    std::vector<float> out;
    EXPECT_EQ(rig.Drive(s, out, 300), 300);  // a looping sound never ends by itself
    EXPECT_EQ(s.StreamState(), CZEMSound::STATE_PLAYING);
    int second = FindSourceStart(out, pcm, frames, frames + kRate);
    ASSERT_GT(second, 0);
    std::string why;
    EXPECT_TRUE(audiotest::MatchesSource(out, static_cast<uint32_t>(second), pcm, 0, frames, 1.0f, &why)) << why;
    EXPECT_GT(
        FindSourceStart(out, pcm, static_cast<uint32_t>(second) + frames, static_cast<uint32_t>(second) + 2 * frames),
        0);
    s.Stop();
    EXPECT_FALSE(s.FeederStep(g_now));
    EXPECT_EQ(s.StreamState(), CZEMSound::STATE_STOPPED);
    EXPECT_EQ(s.Buffer().Status(), 0u);
}

TEST(ZEMSound, FadeOutSilencesInFiftyChecks) {
    StreamRig rig;
    auto pcm = audiotest::MakePcm16(kRate * 5, 2);
    CZEMSound s;
    s.SetManualFeed(true);
    ASSERT_EQ(LoadStream(s, "F.WAV", rig.Wave("f.wav", pcm, 2)), 1);
    rig.manager.SetStreamVolume(1.0f);
    ASSERT_EQ(s.Play(false), 1);
    s.FadeOut(100);
    std::vector<float> out;
    int steps = rig.Drive(s, out, 200, CZEMSound::kCheckInterval + 1);  // every step is a refill check
    EXPECT_EQ(steps, 50);
    EXPECT_EQ(s.StreamState(), CZEMSound::STATE_STOPPED);
    EXPECT_EQ(s.Buffer().LastLevel(), -5000);
}

TEST(ZEMSound, PauseHoldsThePlaceAndResumeGoesOn) {
    StreamRig rig;
    auto pcm = audiotest::MakePcm16(kRate * 3, 2);
    CZEMSound s;
    s.SetManualFeed(true);
    ASSERT_EQ(LoadStream(s, "P.WAV", rig.Wave("p.wav", pcm, 2)), 1);
    ASSERT_EQ(s.Play(false), 1);
    std::vector<float> out;
    rig.Drive(s, out, 40);
    const uint32_t heard = static_cast<uint32_t>(out.size() / 2);
    s.Pause();
    std::vector<float> paused;
    EXPECT_EQ(rig.Drive(s, paused, 30), 30);
    EXPECT_EQ(audiotest::Peak(paused, 0), 0.0f);
    s.Resume();
    std::vector<float> after;
    rig.Drive(s, after, 40);
    std::string why;
    EXPECT_TRUE(audiotest::MatchesSource(after, 0, pcm, heard, 15000, 1.0f, &why)) << why;
}

TEST(ZEMSound, SoundOffPlaysNothingAndSucceeds) {
    StreamRig rig;
    auto pcm = audiotest::MakePcm16(kRate * 2, 2);
    CZEMSound s;
    ASSERT_EQ(LoadStream(s, "O.WAV", rig.Wave("o.wav", pcm, 2)), 1);
    rig.manager.SwitchOff();
    EXPECT_EQ(s.Play(true), 1);
    EXPECT_EQ(s.StreamState(), CZEMSound::STATE_STOPPED);
}

TEST(ZEMSound, StopAndUnloadOfAPausedStreamReturnAtOnce) {
    StreamRig rig;
    platform::SetClockSource(nullptr);  // the feeder thread runs on the real clock
    auto pcm = audiotest::MakePcm16(kRate * 3, 2);
    auto s = std::make_unique<CZEMSound>();
    ASSERT_EQ(LoadStream(*s, "T.WAV", rig.Wave("t.wav", pcm, 2)), 1);
    ASSERT_EQ(s->Play(true), 1);
    ASSERT_EQ(s->Play(true), 1);  // the first feeder is stopped and waited for
    s->Pause();
    auto done = std::async(std::launch::async, [&] {
        s->Stop();
        s->Play(false);
        s->Pause();
        s->Unload();
        return s->StreamState();
    });
    // A hang here is the fault; the limit only keeps the test from waiting for ever.
    ASSERT_EQ(done.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(done.get(), CZEMSound::STATE_STOPPED);
    EXPECT_EQ(rig.manager.SoundCount(), 0u);
}
