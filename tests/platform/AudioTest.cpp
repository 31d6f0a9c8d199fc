#include "platform/Audio.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tests/fixtures/AudioCapture.h"
#include "tests/fixtures/TempFolder.h"

using namespace platform;

namespace {

constexpr uint32_t kRate = 22050;

struct Loopback {
    AudioDevice device;
    Loopback() { EXPECT_EQ(device.OpenLoopback(kRate), AUDIO_OK); }

    std::unique_ptr<AudioBuffer> Buffer(uint32_t flags, const std::vector<uint8_t>& pcm, uint16_t channels = 2) {
        AudioBufferDesc desc;
        desc.flags = flags;
        desc.bytes = static_cast<uint32_t>(pcm.size());
        desc.format = audiotest::Pcm16Format(channels, kRate);
        std::unique_ptr<AudioBuffer> b;
        EXPECT_EQ(device.CreateBuffer(desc, &b), AUDIO_OK);
        if (!b) return b;
        uint8_t* p = b->Lock(0, desc.bytes);
        EXPECT_NE(p, nullptr);
        if (p) std::memcpy(p, pcm.data(), pcm.size());
        EXPECT_EQ(b->Unlock(), AUDIO_OK);
        return b;
    }
};

uint32_t Status(AudioBuffer& b) {
    uint32_t s = 0xFFFF;
    EXPECT_EQ(b.GetStatus(&s), AUDIO_OK);
    return s;
}

}  // namespace

TEST(Audio, MissingOutputIsReportedNotFatal) {
    AudioDevice device;
    EXPECT_EQ(device.Open("no such sound output"), AUDIO_ERR_NO_DEVICE);
    EXPECT_FALSE(device.IsOpen());
    std::unique_ptr<AudioBuffer> b;
    AudioBufferDesc desc;
    desc.bytes = 100;
    desc.format = audiotest::Pcm16Format(1, kRate);
    EXPECT_EQ(device.CreateBuffer(desc, &b), AUDIO_ERR_NO_DEVICE);
    EXPECT_EQ(b, nullptr);
    EXPECT_STREQ(AudioResultName(AUDIO_ERR_NO_DEVICE), "AUDIO_ERR_NO_DEVICE");
}

TEST(Audio, LevelsAreHundredthsOfADecibel) {
    struct Case {
        int32_t level;
        float gain;
    } cases[] = {{0, 1.0f}, {-2000, 0.1f}, {-600, 0.501187f}, {-10000, 0.0f}, {-20000, 0.0f}, {300, 1.0f}};
    for (const Case& c : cases) EXPECT_NEAR(AudioLevelToGain(c.level), c.gain, 1e-5f) << c.level;
}

TEST(Audio, BadBuffersAreRefused) {
    Loopback lb;
    struct Case {
        const char* what;
        uint32_t flags;
        uint32_t bytes;
        uint16_t channels, bits, tag;
        long result;
    } cases[] = {
        {"no bytes", 0, 0, 2, 16, 1, AUDIO_ERR_INVALID_PARAM},
        {"24-bit", 0, 600, 2, 24, 1, AUDIO_ERR_BAD_FORMAT},
        {"six channels", 0, 600, 6, 16, 1, AUDIO_ERR_BAD_FORMAT},
        {"compressed", 0, 600, 2, 16, 2, AUDIO_ERR_BAD_FORMAT},
        {"stereo in 3D", AUDIO_BUFFER_CTRL3D, 600, 2, 16, 1, AUDIO_ERR_INVALID_PARAM},
        {"ring of part frames", AUDIO_BUFFER_GETCURRENTPOSITION2, 601, 2, 16, 1, AUDIO_ERR_INVALID_PARAM},
        {"mono in 3D", AUDIO_BUFFER_CTRL3D, 600, 1, 16, 1, AUDIO_OK},
    };
    for (const Case& c : cases) {
        AudioBufferDesc desc;
        desc.flags = c.flags;
        desc.bytes = c.bytes;
        desc.format = audiotest::Pcm16Format(c.channels, kRate);
        desc.format.bitsPerSample = c.bits;
        desc.format.blockAlign = static_cast<uint16_t>(c.channels * c.bits / 8);
        desc.format.formatTag = c.tag;
        std::unique_ptr<AudioBuffer> b;
        EXPECT_EQ(lb.device.CreateBuffer(desc, &b), c.result) << c.what;
        EXPECT_EQ(b != nullptr, c.result == AUDIO_OK) << c.what;
    }
    auto b = lb.Buffer(0, audiotest::MakePcm16(100, 2));
    EXPECT_EQ(b->Lock(300, 101), nullptr);
    EXPECT_EQ(b->Lock(401, 1), nullptr);
    EXPECT_NE(b->Lock(399, 1), nullptr);
    EXPECT_EQ(b->SetVolume(-100), AUDIO_ERR_CONTROL_UNAVAILABLE);
    EXPECT_EQ(b->SetPosition(1, 2, 3), AUDIO_ERR_CONTROL_UNAVAILABLE);
    EXPECT_EQ(b->SetCurrentPosition(400), AUDIO_ERR_INVALID_PARAM);
}

TEST(Audio, StaticBufferPlaysItsSamplesAtItsVolume) {
    Loopback lb;
    auto pcm = audiotest::MakePcm16(8000, 2);
    auto b = lb.Buffer(AUDIO_BUFFER_CTRLVOLUME, pcm);
    std::string why;

    ASSERT_EQ(b->Play(false), AUDIO_OK);
    EXPECT_EQ(Status(*b), AUDIO_STATUS_PLAYING);
    auto out = audiotest::Render(lb.device, 1000);
    EXPECT_TRUE(audiotest::MatchesSource(out, 0, pcm, 0, 1000, 1.0f, &why)) << why;

    // Stop keeps the place: nothing comes out, and Play goes on from there.
    ASSERT_EQ(b->Stop(), AUDIO_OK);
    EXPECT_EQ(Status(*b), 0u);
    uint32_t cursor = 0;
    EXPECT_EQ(b->GetCurrentPosition(&cursor), AUDIO_OK);
    EXPECT_EQ(cursor, 1000u * 4);
    EXPECT_EQ(audiotest::Peak(audiotest::Render(lb.device, 500), 0), 0.0f);
    ASSERT_EQ(b->SetVolume(-2000), AUDIO_OK);
    ASSERT_EQ(b->Play(false), AUDIO_OK);
    out = audiotest::Render(lb.device, 2500);
    // The mixer glides to a new gain over its first 2048 frames; past them the level is exact.
    EXPECT_TRUE(audiotest::MatchesSource(out, 2100, pcm, 3100, 400, 0.1f, &why)) << why;

    // Rewind while stopped, then silence at -10000.
    b->Stop();
    EXPECT_EQ(b->SetCurrentPosition(0), AUDIO_OK);
    ASSERT_EQ(b->SetVolume(kAudioVolumeMin), AUDIO_OK);
    b->Play(false);
    out = audiotest::Render(lb.device, 2500);
    EXPECT_TRUE(audiotest::MatchesSource(out, 2100, pcm, 2100, 400, 0.0f, &why)) << why;
    EXPECT_EQ(b->VolumeCalls(), 2u);

    // A buffer played once stops at its end; played again it starts over.
    b->SetVolume(0);
    audiotest::Render(lb.device, 6000);
    EXPECT_EQ(Status(*b), 0u);
    b->Play(false);
    out = audiotest::Render(lb.device, 300);
    EXPECT_TRUE(audiotest::MatchesSource(out, 0, pcm, 0, 300, 1.0f, &why)) << why;
}

TEST(Audio, LoopingBufferWrapsAround) {
    Loopback lb;
    auto pcm = audiotest::MakePcm16(1000, 2);
    auto b = lb.Buffer(0, pcm);
    b->Play(true);
    EXPECT_EQ(Status(*b), AUDIO_STATUS_PLAYING | AUDIO_STATUS_LOOPING);
    auto out = audiotest::Render(lb.device, 2500);
    std::string why;
    EXPECT_TRUE(audiotest::MatchesSource(out, 1000, pcm, 0, 1000, 1.0f, &why)) << why;
    EXPECT_TRUE(audiotest::MatchesSource(out, 2000, pcm, 0, 500, 1.0f, &why)) << why;
    EXPECT_EQ(Status(*b), AUDIO_STATUS_PLAYING | AUDIO_STATUS_LOOPING);
}

TEST(Audio, DuplicatesShareTheBytesAndPlayTogether) {
    Loopback lb;
    auto pcm = audiotest::MakePcm16(2000, 2);
    auto master = lb.Buffer(AUDIO_BUFFER_CTRLVOLUME, pcm);
    std::unique_ptr<AudioBuffer> copy;
    ASSERT_EQ(lb.device.DuplicateBuffer(*master, &copy), AUDIO_OK);
    master->SetVolume(-10000);
    master->Play(false);
    copy->Play(false);
    auto out = audiotest::Render(lb.device, 500);
    std::string why;
    EXPECT_TRUE(audiotest::MatchesSource(out, 0, pcm, 0, 500, 1.0f, &why)) << why;

    // Writing through one of them while the other plays reaches the next start.
    std::unique_ptr<AudioBuffer> third;
    ASSERT_EQ(lb.device.DuplicateBuffer(*master, &third), AUDIO_OK);
    uint8_t* p = third->Lock(0, static_cast<uint32_t>(pcm.size()));
    ASSERT_NE(p, nullptr);
    std::memset(p, 0, pcm.size());
    ASSERT_EQ(third->Unlock(), AUDIO_OK);
    out = audiotest::Render(lb.device, 500);
    EXPECT_TRUE(audiotest::MatchesSource(out, 0, pcm, 500, 500, 1.0f, &why)) << why;
    copy->Stop();
    copy->SetCurrentPosition(0);
    copy->Play(false);
    EXPECT_EQ(audiotest::Peak(audiotest::Render(lb.device, 500), 0), 0.0f);

    // The master may go first; the copies keep the bytes.
    master.reset();
    copy.reset();
    p = third->Lock(0, 4);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(third->Play(false), AUDIO_OK);
}

TEST(Audio, RingPlaysWhatIsWrittenBehindItsCursor) {
    Loopback lb;
    const uint32_t frames = kRate;  // one second, as a stream's ring
    auto first = audiotest::MakePcm16(frames * 2, 2);
    std::vector<uint8_t> lap1(first.begin(), first.begin() + frames * 4);
    std::vector<uint8_t> lap2(first.begin() + frames * 4, first.end());
    auto ring = lb.Buffer(AUDIO_BUFFER_GETCURRENTPOSITION2 | AUDIO_BUFFER_CTRLVOLUME, lap1);
    ASSERT_TRUE(ring->IsRing());
    ASSERT_EQ(ring->Play(true), AUDIO_OK);

    // Play in 10 ms steps, writing each quarter of the ring with the second
    // lap's bytes once the cursor has left it.
    std::vector<float> out;
    uint32_t quarter = frames;  // bytes of a quarter second of 16-bit stereo
    uint32_t written = 0;
    for (int step = 0; step < 200; ++step) {
        auto part = audiotest::Render(lb.device, 220);
        out.insert(out.end(), part.begin(), part.end());
        uint32_t cursor = 0;
        ASSERT_EQ(ring->GetCurrentPosition(&cursor), AUDIO_OK);
        ASSERT_EQ(cursor % 4, 0u);
        while (written < 4 && cursor >= (written + 1) * quarter) {
            uint8_t* p = ring->Lock(written * quarter, quarter);
            ASSERT_NE(p, nullptr);
            std::memcpy(p, lap2.data() + written * quarter, quarter);
            ring->Unlock();
            ++written;
        }
    }
    EXPECT_EQ(written, 3u);  // the last quarter is still playing, so it keeps the first lap's bytes
    std::string why;
    EXPECT_TRUE(audiotest::MatchesSource(out, 0, first, 0, frames + 3 * quarter / 4, 1.0f, &why)) << why;
    EXPECT_EQ(Status(*ring), AUDIO_STATUS_PLAYING | AUDIO_STATUS_LOOPING);

    // Stop keeps the cursor; a ring played once ends by itself.
    uint32_t before = 0, after = 0;
    ring->Stop();
    ring->GetCurrentPosition(&before);
    audiotest::Render(lb.device, 1000);
    ring->GetCurrentPosition(&after);
    EXPECT_EQ(before, after);
    ring->Play(false);
    for (int i = 0; i < 60 && Status(*ring); ++i) audiotest::Render(lb.device, 1000);
    EXPECT_EQ(Status(*ring), 0u);
}

TEST(Audio, PositionedSoundComesFromItsSide) {
    Loopback lb;
    auto mono = audiotest::MakePcm16(4000, 1);
    auto b = lb.Buffer(AUDIO_BUFFER_CTRL3D | AUDIO_BUFFER_CTRLVOLUME, mono, 1);
    ASSERT_EQ(b->SetDistances(40.0f, 100000.0f), AUDIO_OK);
    AudioListener l;  // at the origin looking along +z, x to the right
    ASSERT_EQ(lb.device.SetListener(l), AUDIO_OK);

    b->SetPosition(30.0f, 0, 0);
    b->Play(true);
    audiotest::Render(lb.device, 2100);
    auto right = audiotest::Render(lb.device, 1000);
    EXPECT_GT(audiotest::Peak(right, 1), 2 * audiotest::Peak(right, 0));

    b->SetPosition(-30.0f, 0, 0);
    audiotest::Render(lb.device, 2100);
    auto left = audiotest::Render(lb.device, 1000);
    EXPECT_GT(audiotest::Peak(left, 0), 2 * audiotest::Peak(left, 1));

    // Past the minimum distance the sound falls off as min / distance.
    b->SetPosition(0, 0, 400.0f);
    audiotest::Render(lb.device, 2100);
    auto far = audiotest::Render(lb.device, 1000);
    b->SetPosition(0, 0, 40.0f);
    audiotest::Render(lb.device, 2100);
    auto near = audiotest::Render(lb.device, 1000);
    EXPECT_NEAR(audiotest::Peak(far, 0) / audiotest::Peak(near, 0), 0.1f, 0.02f);
}

TEST(Audio, ClosingTheDeviceSilencesItsBuffers) {
    auto lb = std::make_unique<Loopback>();
    auto b = lb->Buffer(0, audiotest::MakePcm16(100, 2));
    lb.reset();
    uint32_t s = 0;
    EXPECT_EQ(b->Play(false), AUDIO_ERR_NO_DEVICE);
    EXPECT_EQ(b->GetStatus(&s), AUDIO_ERR_NO_DEVICE);
    EXPECT_EQ(b->Lock(0, 4), nullptr);
}

// Opens the machine's own sound device in a process of its own (the sound
// libraries read their settings once per process). Run by the test below.
TEST(AudioStartChild, OpensTheRealDevice) {
    if (!std::getenv("QOR_AUDIO_CHILD")) GTEST_SKIP() << "run by AudioStart.NoSoundLibraryLinesOnStandardError";
    AudioDevice device;
    const long opened = device.Open(nullptr);
    EXPECT_TRUE(opened == AUDIO_OK || opened == AUDIO_ERR_NO_DEVICE) << opened;
    device.Close();
}

TEST(AudioStart, NoSoundLibraryLinesOnStandardError) {
    TempFolder tmp;
    const std::string errPath = tmp.path() + "/stderr.txt";
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("ALSOFT_", 0) == 0 || entry.rfind("GTEST_", 0) == 0) continue;
        env.push_back(entry);
    }
    env.push_back("QOR_AUDIO_CHILD=1");
    std::vector<char*> envp;
    for (std::string& s : env) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::string program = "/proc/self/exe", filter = "--gtest_filter=AudioStartChild.OpensTheRealDevice";
    char* argv[] = {program.data(), filter.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ASSERT_EQ(spawned, 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

    std::ifstream in(errPath);
    std::string line;
    while (std::getline(in, line)) {
        EXPECT_EQ(line.find("ALSA lib"), std::string::npos) << line;
        EXPECT_EQ(line.find("AL lib"), std::string::npos) << line;
    }
}
