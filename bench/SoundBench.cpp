// Ogg decoding through the sound reader beside direct vorbisfile calls on the
// same bytes (target: within 10% of direct, and at least 50 times real time
// for 44.1 kHz stereo), and the feeder's share of a core while a stream plays
// (target: under 1%).
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"
#include <vorbis/vorbisfile.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "engine/sound/OggReader.h"
#include "engine/sound/ZEMSound.h"
#include "engine/sound/ZEMSoundManager.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "tools/OggWriter.h"
#include "tools/WaveWriter.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kSeconds = 10;

// Ten seconds of a chord with a slow tremolo: music-like enough for the encoder.
std::vector<uint8_t> MusicPcm() {
    std::vector<uint8_t> pcm;
    pcm.reserve(kRate * kSeconds * 4);
    for (uint32_t i = 0; i < kRate * kSeconds; ++i) {
        double t = static_cast<double>(i) / kRate;
        double env = 0.6 + 0.4 * std::sin(2 * M_PI * 0.5 * t);
        double l = env * (0.3 * std::sin(2 * M_PI * 220 * t) + 0.2 * std::sin(2 * M_PI * 277.2 * t));
        double r = env * (0.3 * std::sin(2 * M_PI * 329.6 * t) + 0.2 * std::sin(2 * M_PI * 440 * t));
        for (double v : {l, r}) {
            auto s = static_cast<int16_t>(v * 32000);
            pcm.push_back(static_cast<uint8_t>(s & 0xFF));
            pcm.push_back(static_cast<uint8_t>((static_cast<uint16_t>(s) >> 8) & 0xFF));
        }
    }
    return pcm;
}

struct Files {
    std::vector<uint8_t> pcm = MusicPcm();
    std::vector<uint8_t> ogg = EncodeOgg(pcm, 2, kRate);
    std::string folder;
    std::string oggPath, wavPath;
    Files() {
        folder = BenchFolder("sound");
        oggPath = folder + "/music.ogg";
        wavPath = folder + "/music.wav";
        platform::WriteWholeFile(oggPath, ogg.data(), ogg.size());
        platform::AudioFormat f;
        f.channels = 2;
        f.samplesPerSec = kRate;
        f.bitsPerSample = 16;
        f.blockAlign = 4;
        f.avgBytesPerSec = kRate * 4;
        WriteWave(wavPath, f, pcm);
    }
    ~Files() {
        platform::DeleteFile(oggPath);
        platform::DeleteFile(wavPath);
        rmdir(folder.c_str());
    }
};

Files& TheFiles() {
    static Files files;
    return files;
}

void ReportRealTime(benchmark::State& state, uint64_t decodedBytes) {
    state.SetBytesProcessed(static_cast<int64_t>(decodedBytes));
    // Seconds of sound decoded per second of time.
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(decodedBytes) / (kRate * 4.0), benchmark::Counter::kIsRate);
}

// The stream's way: chunks of one second's samples in bytes (44,100 bytes).
void BM_OggThroughReader(benchmark::State& state) {
    Files& f = TheFiles();
    COggReader reader;
    if (!reader.Open(f.oggPath.c_str(), nullptr, 0, 0)) {
        state.SkipWithError("open failed");
        return;
    }
    std::vector<uint8_t> chunk(kRate);
    uint64_t total = 0;
    for (auto _ : state) {
        reader.Reset();
        while (reader.RemainingBytes() > 0) {
            uint32_t n = 0;
            reader.Read(chunk.data(), static_cast<uint32_t>(chunk.size()), &n);
            total += n;
        }
        benchmark::DoNotOptimize(chunk.data());
    }
    ReportRealTime(state, total);
}
BENCHMARK(BM_OggThroughReader)->Unit(benchmark::kMillisecond);

void BM_OggDirect(benchmark::State& state) {
    Files& f = TheFiles();
    std::vector<uint8_t> chunk(kRate);
    uint64_t total = 0;
    for (auto _ : state) {
        FILE* file = std::fopen(f.oggPath.c_str(), "rb");
        OggVorbis_File vf;
        if (!file || ov_open(file, &vf, nullptr, 0) != 0) {
            if (file) std::fclose(file);
            state.SkipWithError("open failed");
            return;
        }
        int section = 0;
        long n;
        while ((n = ov_read(&vf, reinterpret_cast<char*>(chunk.data()), static_cast<int>(chunk.size()), 0, 2, 1,
                            &section)) != 0) {
            if (n > 0) total += static_cast<uint64_t>(n);
        }
        benchmark::DoNotOptimize(chunk.data());
        ov_clear(&vf);  // closes the file
    }
    ReportRealTime(state, total);
}
BENCHMARK(BM_OggDirect)->Unit(benchmark::kMillisecond);

std::atomic<uint32_t> g_now{0};
uint32_t Now() { return g_now.load(); }

// One second of a playing stream: a feeder pass every millisecond, the
// output mixed between passes. Only the passes are timed; the counter
// cpu_share is their time over the second of sound they fed.
void BM_FeederSecond(benchmark::State& state) {
    Files& f = TheFiles();
    CZEMSoundManager manager;
    manager.CreateLoopbackDevice(kRate);
    manager.InitSoundDevice(true, 2, kRate, 16);
    platform::SetClockSource(Now);
    CZEMSound sound;
    sound.SetManualFeed(true);
    const char* path = state.range(0) ? f.oggPath.c_str() : f.wavPath.c_str();
    if (!sound.Load(path, 1) || !sound.Play(true)) {
        state.SkipWithError("stream did not start");
        platform::SetClockSource(nullptr);
        return;
    }
    std::vector<float> out(kRate / 1000 * 2);
    double fed = 0, spentTotal = 0;
    for (auto _ : state) {
        double spent = 0;
        for (int ms = 0; ms < 1000; ++ms) {
            manager.Device()->RenderSamples(out.data(), kRate / 1000);
            ++g_now;
            auto t0 = std::chrono::steady_clock::now();
            sound.FeederStep(g_now);
            spent += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        }
        state.SetIterationTime(spent);
        spentTotal += spent;
        fed += 1.0;
    }
    state.counters["cpu_share"] = fed > 0 ? spentTotal / fed : 0.0;
    sound.Unload();
    platform::SetClockSource(nullptr);
}
BENCHMARK(BM_FeederSecond)->Arg(0)->Arg(1)->ArgName("ogg")->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
