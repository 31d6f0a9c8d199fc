// Effects and shots each frame. Targets: 2,000 live particles (10 instances of
// 4 layers of 50) updated and drawn on the recording device in at most 1 ms of
// processor time a frame, measured beside a naive per-frame Euler integration
// of the same number of particles; 500 flying projectiles updated in at most
// 0.5 ms a frame.
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/effects/EffectManager.h"
#include "engine/effects/EffectResource.h"
#include "engine/render/RenderStateCache.h"
#include "engine/resource/ResourceManager.h"
#include "platform/File.h"
#include "platform/GfxRecordingDevice.h"
#include "tools/DdsWriter.h"
#include "tools/EffectFileWriter.h"
#include "world/GameDataRegistry.h"
#include "world/ProjectileManager.h"
#include "world/SpatialTree.h"
#include "world/Unit.h"
#include "world/UnitData.h"
#include "world/VisualRef.h"
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {

constexpr int kInstances = 10;
constexpr float kFrame = 0.016f;

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    WriteWholeFile(path, bytes.data(), bytes.size());
}

// A layer that keeps 50 particles alive: one a frame, each living 50 frames.
EffectFileLayer FiftyLayer() {
    EffectFileLayer layer = BillboardLayer("SPARK.DDS");
    layer.values.emissionDuration = 0;
    layer.values.emissionInterval = kFrame;
    layer.values.particleLife = 50.5f * kFrame;
    layer.values.billboard = 0;
    return layer;
}

void BM_Update2000ParticlesAndDraw(benchmark::State& state) {
    const std::string path = BenchFolder("effects");
    CreateFolders(path);
    WriteFile(path + "/SPARK.DDS", CDdsWriter::Solid(FMT_A8R8G8B8, 4, 4, 0xFFFFFFFFu));
    WriteFile(path + "/FOUR.DRE",
              WriteEffectFile(MakeEffectFile({FiftyLayer(), FiftyLayer(), FiftyLayer(), FiftyLayer()})));
    CGfxRecordingDevice device;
    CRenderStateCache states;
    states.SetDevice(&device);
    CResourceManager rm(path);
    rm.SetDevice(&device);
    RegisterEffectResources(rm);
    CEffectManager effects;
    effects.CreateDeviceObjects();
    std::vector<CEffectInstance*> instances;
    for (int i = 0; i < kInstances; ++i) {
        CResource* fx = rm.GetResource("FOUR.DRE", RES_EFFECT, nullptr, 1);
        if (!fx) {
            state.SkipWithError("the effect did not load");
            return;
        }
        instances.push_back(effects.CreateEffect(Vec3(static_cast<float>(i), 0, 0), fx, nullptr, -1,
                                                 Matrix::Identity(), 0, 0));
    }
    for (int frame = 0; frame < 120; ++frame)
        for (CEffectInstance* fx : instances) fx->Update(kFrame);
    uint32_t particles = 0;
    for (auto _ : state) {
        particles = 0;
        for (CEffectInstance* fx : instances) {
            fx->Update(kFrame);
            effects.QueueForDraw(fx);
            particles += fx->GetParticleCount();
        }
        effects.DrawEffects(0);
        device.ClearLog();
    }
    state.counters["particles"] = particles;
    for (CEffectInstance* fx : instances) effects.ReleaseEffect(fx);
}
BENCHMARK(BM_Update2000ParticlesAndDraw)->Unit(benchmark::kMicrosecond)->MinTime(BenchMinTime(0.5));

// The same number of particles moved by a plain Euler step and written as
// three coloured vertices each, with no emission, ageing or fade.
void BM_Naive2000ParticlesEuler(benchmark::State& state) {
    struct Particle {
        Vec3 position, velocity;
    };
    std::vector<Particle> particles(kInstances * 4 * 50);
    for (size_t i = 0; i < particles.size(); ++i)
        particles[i] = {Vec3(static_cast<float>(i % 50), 0, 0), Vec3(0.1f, 3.0f, 0.2f)};
    std::vector<float> vertices(particles.size() * 3 * 6);
    const Vec3 gravity(0, -9.8f, 0);
    for (auto _ : state) {
        float* out = vertices.data();
        for (Particle& p : particles) {
            p.velocity += gravity * kFrame;
            p.position += p.velocity * kFrame;
            for (int k = 0; k < 3; ++k) {
                *out++ = p.position.x + 0.5f * static_cast<float>(k);
                *out++ = p.position.y;
                *out++ = p.position.z;
                *out++ = 1.0f;
                *out++ = 0;
                *out++ = 0;
            }
        }
        benchmark::DoNotOptimize(vertices.data());
    }
}
BENCHMARK(BM_Naive2000ParticlesEuler)->Unit(benchmark::kMicrosecond)->MinTime(BenchMinTime(0.5));

void BM_Update500Projectiles(benchmark::State& state) {
    CGameDataRegistry registry;
    CSpatialTree tree;
    tree.Build(3, 2000, 2000, -100, 100);
    CWorldObjectManager world;
    auto& record = registry.AddNamed(std::make_unique<CUnitData>(), "Archer");
    auto* shooter = static_cast<CUnit*>(world.CreateObject(0));
    if (!shooter || shooter->InitFromRecord({100, 0, 100}, &record, 1, 0, 1) != 1 ||
        world.RegisterObject(shooter, -1, 1, 0) != 1) {
        state.SkipWithError("the shooter was not made");
        return;
    }
    VisualRef shot;
    const float speed = 10.0f;
    std::memcpy(&shot.refWord1, &speed, 4);
    CProjectileManager projectiles;
    auto topUp = [&] {
        for (size_t i = projectiles.Live().size(); i < 500; ++i)
            projectiles.Launch(shooter, &shot, nullptr, {100.0f + static_cast<float>(i % 100), 0, 240}, -1, 0);
    };
    topUp();
    for (auto _ : state) {
        projectiles.Update(kFrame);
        state.PauseTiming();
        topUp();
        state.ResumeTiming();
    }
    projectiles.Clear();
}
BENCHMARK(BM_Update500Projectiles)->Unit(benchmark::kMicrosecond)->MinTime(BenchMinTime(0.5));

}  // namespace

BENCHMARK_MAIN();
