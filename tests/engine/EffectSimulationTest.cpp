#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/effects/EffectLayer.h"
#include "engine/render/GameObject.h"
#include "platform/CrtRandom.h"
#include "tests/fixtures/EffectWorld.h"

using platform::Matrix;
using platform::Vec3;

namespace {

std::vector<float> Ages(const CEffectLayer& layer) {
    std::vector<float> ages;
    for (const CEffectParticle* p = layer.Particles(); p; p = p->next) ages.push_back(p->age);
    std::sort(ages.begin(), ages.end());
    return ages;
}

Vec3 At(const Matrix& m) { return {m(3, 0), m(3, 1), m(3, 2)}; }

}  // namespace

TEST(EffectRandom, StaysBetweenTheBoundsEvenWhenTheyAreTheWrongWayRound) {
    platform::CrtSrand(7);
    const struct {
        float a, b;
    } cases[] = {{1, 1}, {2, 5}, {5, 2}, {-3, -7}};
    for (const auto& c : cases) {
        for (int i = 0; i < 200; ++i) {
            float v = EffectRandom(c.a, c.b);
            EXPECT_GE(v, c.a) << c.a << " " << c.b;
            EXPECT_LE(v, c.a + std::fabs(c.b - c.a) + 1e-5f) << c.a << " " << c.b;
        }
    }
}

TEST(EffectEmission, OneParticlePerIntervalAndCatchUpInOneFrame) {
    EffectWorld w;
    CEffectInstance* fx = w.Start(w.Load({EffectWorld::StillLayer(0.25f, 10)}));
    CEffectLayer& layer = *fx->Layers()[0];
    fx->Update(0.125f);  // the first emission comes at once
    EXPECT_EQ(layer.count, 1u);
    fx->Update(0.125f);
    EXPECT_EQ(layer.count, 1u);
    fx->Update(0.125f);  // one interval has passed
    EXPECT_EQ(layer.count, 2u);
    fx->Update(0.625f);  // the timer reaches three intervals within this frame ...
    EXPECT_EQ(layer.count, 2u);
    std::vector<float> before = Ages(layer);
    fx->Update(0);       // ... and are caught up at the next emission, aged as if born on time
    ASSERT_EQ(layer.count, 5u);
    std::vector<float> ages = Ages(layer);
    EXPECT_EQ(std::vector<float>(ages.begin(), ages.begin() + 3), (std::vector<float>{0, 0.25f, 0.5f}));
    EXPECT_EQ(std::vector<float>(ages.begin() + 3, ages.end()), before);
    w.effects.ReleaseEffect(fx);
}

TEST(EffectEmission, ZeroLifeAndZeroInterval) {
    EffectWorld w;
    // Life 0 with an interval: a single particle that lives until Stop.
    CEffectInstance* single = w.Start(w.Load({EffectWorld::StillLayer(0.1f, 0)}));
    for (int i = 0; i < 50; ++i) EXPECT_EQ(single->Update(0.1f), 1);
    EXPECT_EQ(single->GetParticleCount(), 1u);
    single->Stop();
    EXPECT_EQ(single->Update(0.1f), 1);  // the particle dies in this update
    EXPECT_EQ(single->GetParticleCount(), 0u);
    EXPECT_EQ(single->Update(0.1f), 0);
    // Interval 0: one particle every update, up to the cap of 1000.
    CEffectInstance* stream = w.Start(w.Load({EffectWorld::StillLayer(0, 0)}));
    for (int i = 0; i < 1005; ++i) stream->Update(0.01f);
    EXPECT_EQ(stream->GetParticleCount(), CEffectLayer::kMaxParticles);
    w.effects.ReleaseEffect(single);
    w.effects.ReleaseEffect(stream);
    EXPECT_EQ(w.effects.LiveCount(), 0u);
}

TEST(EffectEmission, TheCapHoldsAndEmissionResumesAsParticlesDie) {
    EffectWorld w;
    CEffectInstance* fx = w.Start(w.Load({EffectWorld::StillLayer(0, 1.0f)}));
    const CEffectLayer& layer = *fx->Layers()[0];
    uint32_t most = 0;
    bool capped = false;
    for (int i = 0; i < 1300; ++i) {
        fx->Update(0.0009f);
        most = std::max(most, layer.count);
        capped = capped || layer.count == CEffectLayer::kMaxParticles;
    }
    EXPECT_TRUE(capped);
    EXPECT_EQ(most, CEffectLayer::kMaxParticles);
    // The newest particle is from the last updates: emission went on after the cap.
    EXPECT_LE(Ages(layer).front(), 0.0009f * 2);
    w.effects.ReleaseEffect(fx);
}

TEST(EffectEmission, DurationStopsTheLayerWhichEndsWithItsLastParticle) {
    EffectWorld w;
    EffectFileLayer l = EffectWorld::StillLayer(0.25f, 0.5f);
    l.values.emissionDuration = 1.0f;
    CEffectInstance* fx = w.Start(w.Load({l}));
    int updates = 0;
    while (fx->Update(0.125f) && updates < 100) ++updates;
    // Stopped after 1 s, the last particle lives 0.5 s more.
    EXPECT_GE(updates, 11);
    EXPECT_LE(updates, 14);
    EXPECT_EQ(fx->Layers()[0], nullptr);
    w.effects.ReleaseEffect(fx);
}

TEST(EffectQuality, AZeroMaskWordNeverRunsDrawsOrKeepsTheInstanceAlive) {
    EffectWorld w;
    EffectFile file = MakeEffectFile({EffectWorld::StillLayer(0.1f, 1), EffectWorld::StillLayer(0.1f, 1)});
    file.options[0] = {1, 0};
    file.options[1] = {0, 1};
    file.options[2] = {1};  // shorter than the layer list: the missing word reads as 0
    CEffectResource* fx = w.Load(file);
    fx->AddRef();
    fx->AddRef();
    for (uint32_t grade : {0u, 1u, 2u}) {
        w.effects.qualityGrade = grade;
        CEffectInstance* instance = w.Start(fx);
        EXPECT_EQ(instance->Update(0.1f), 1);
        const bool second = grade == 1;
        EXPECT_EQ(instance->Layers()[0]->count, second ? 0u : 1u) << grade;
        EXPECT_EQ(instance->Layers()[1]->count, second ? 1u : 0u) << grade;
        EXPECT_EQ(instance->Layers()[second ? 0 : 1]->age, 0.0f);
        w.effects.ReleaseEffect(instance);
    }
    // An endless layer that is not selected does not keep the instance alive
    // once the selected one has finished.
    EffectFileLayer brief = EffectWorld::StillLayer(0.1f, 0.05f);
    brief.values.emissionDuration = 0.05f;
    EffectFile off = MakeEffectFile({EffectWorld::StillLayer(0.1f, 0), brief});
    off.options = {std::vector<uint32_t>{0, 1}, std::vector<uint32_t>{0, 1}, std::vector<uint32_t>{0, 1}};
    w.effects.qualityGrade = 0;
    CEffectInstance* none = w.Start(w.Load(off));
    int updates = 0;
    while (none->Update(0.1f) && updates < 10) ++updates;
    EXPECT_LT(updates, 10);
    EXPECT_NE(none->Layers()[0], nullptr);
    w.effects.ReleaseEffect(none);
}

TEST(EffectParticle, AlphaStaysWithinZeroAndOne) {
    EffectWorld w;
    EffectFileLayer l = EffectWorld::StillLayer(0.1f, 1);
    l.values.colours = {platform::Vec4(1, 1, 1, 0.5f), platform::Vec4(1, 1, 1, 0.5f), platform::Vec4(1, 1, 1, -40),
                        platform::Vec4(1, 1, 1, -40)};
    l.values.fadeInRate = 1000;
    l.values.fadeOutRate = -1000;
    l.values.peakAlpha = 3;
    CEffectInstance* fx = w.Start(w.Load({l}));
    fx->Update(0.01f);
    const CEffectLayer& layer = *fx->Layers()[0];
    CEffectParticle p = *layer.Particles();
    const struct {
        float age, frameTime;
    } cases[] = {{0.1f, 0.1f}, {0.1f, 5.0f}, {0.7f, 0.5f}, {0.4f, 0.2f}, {0.9f, 10.0f}};
    for (const auto& c : cases) {
        p.age = c.age;
        p.frameTime = c.frameTime;
        layer.AdvanceColour(p);
        EXPECT_GE(p.a, 0.0f) << c.age;
        EXPECT_LE(p.a, 1.0f) << c.age;
    }
    w.effects.ReleaseEffect(fx);
}

TEST(EffectParticle, SizeSwingsBackAndForthWithLoopAndHoldsWithout) {
    EffectWorld w;
    EffectFileLayer swing = EffectWorld::StillLayer(0.1f, 10);
    swing.values.sizeGrowth = 2.0f;
    swing.values.sizePeriod = 1.0f;
    swing.values.sizeLoop = 1;
    EffectFileLayer hold = swing;
    hold.values.sizeLoop = 0;
    CEffectInstance* fx = w.Start(w.Load({swing, hold}));
    fx->Update(0.01f);
    const CEffectLayer& looped = *fx->Layers()[0];
    const CEffectLayer& held = *fx->Layers()[1];
    const CEffectParticle& p = *looped.Particles();
    EXPECT_FLOAT_EQ(looped.SizeAt(p, 0.5f), 1.0f + 0.5f * 2.0f);
    EXPECT_FLOAT_EQ(looped.SizeAt(p, 1.5f), 1.0f + 0.5f * 2.0f);  // on the way back
    EXPECT_LT(looped.SizeAt(p, 1.6f), looped.SizeAt(p, 1.5f));
    EXPECT_FLOAT_EQ(looped.SizeAt(p, 2.25f), 1.0f + 0.25f * 2.0f);  // growing again
    EXPECT_FLOAT_EQ(held.SizeAt(*held.Particles(), 1.5f), 1.0f + 2.0f);
    w.effects.ReleaseEffect(fx);
}

TEST(EffectParticle, ClosedFormPositionMatchesTheDirectFormula) {
    EffectWorld w;
    EffectFileLayer l = LinearLayer("SPARK.DDS");
    l.values.gravity = {0, -9.8f, 0};
    l.values.acceleration = 1.5f;
    l.values.billboard = 0;
    l.values.particleLife = 10;
    CGameObject owner;
    owner.world = platform::MatrixTranslation(3, 4, 5);
    CEffectInstance* fx = w.Start(w.Load({l}), &owner);
    fx->Update(0.01f);
    const CEffectLayer& layer = *fx->Layers()[0];
    CEffectParticle p = *layer.Particles();
    for (float t : {0.0f, 0.3f, 1.7f, 4.0f}) {
        p.age = t;
        const Vec3 expect =
            p.origin + p.start + p.velocity * t + p.acceleration * (0.5f * t * t) + Vec3(0, -9.8f, 0) * (0.5f * t * t);
        const Vec3 got = At(layer.ParticleMatrix(p, fx->Parent()));
        EXPECT_NEAR(got.x, expect.x, 1e-4f) << t;
        EXPECT_NEAR(got.y, expect.y, 1e-4f) << t;
        EXPECT_NEAR(got.z, expect.z, 1e-4f) << t;
    }
    EXPECT_FLOAT_EQ(p.origin.y, 4.0f);
    w.effects.ReleaseEffect(fx);
}

TEST(EffectParticle, LocalSpaceFollowsAMovingParentAndWorldSpaceStaysBehind) {
    EffectWorld w;
    EffectFileLayer world = EffectWorld::StillLayer(10, 10);
    EffectFileLayer local = world;
    local.values.localSpace = 1;
    CGameObject owner;
    CEffectInstance* fx = w.Start(w.Load({world, local}), &owner);
    fx->Update(0.01f);
    const CEffectLayer& inWorld = *fx->Layers()[0];
    const CEffectLayer& inLocal = *fx->Layers()[1];
    EXPECT_EQ(At(inWorld.ParticleMatrix(*inWorld.Particles(), fx->Parent())).x, 0.0f);
    owner.world = platform::MatrixTranslation(10, 0, 0);
    fx->Update(0.01f);
    EXPECT_EQ(At(inWorld.ParticleMatrix(*inWorld.Particles(), fx->Parent())).x, 0.0f);
    EXPECT_EQ(At(inLocal.ParticleMatrix(*inLocal.Particles(), fx->Parent())).x, 10.0f);
    w.effects.ReleaseEffect(fx);
}

TEST(EffectManager, PoolsAreFirstInFirstOutAndTheLiveCountBalances) {
    EffectWorld w;
    CEffectResource* fx = w.Load({EffectWorld::StillLayer(0.1f, 1)});
    std::vector<CEffectInstance*> made;
    for (int i = 0; i < 150; ++i) {  // past one chunk of 100
        fx->AddRef();
        made.push_back(w.Start(fx));
    }
    CLinkEffect* link = w.effects.CreateLinkEffect(1, 2, nullptr, 0);
    EXPECT_EQ(w.effects.LiveCount(), 151u);
    EXPECT_EQ(w.effects.InstancePool().ChunkCount(), 2u);
    for (int i = 0; i < 120; ++i) w.effects.QueueForDraw(made[0]);  // the queue grows past its reserve
    const void* nextBefore = w.effects.InstancePool().NextFree();
    w.effects.ReleaseEffect(made[3]);
    w.effects.ReleaseEffect(nullptr);
    w.effects.ReleaseEffect(link);
    EXPECT_EQ(w.effects.LiveCount(), 149u);
    // The freed block comes back only after the blocks that were free before it.
    CEffectInstance* again = w.Start(nullptr);
    EXPECT_EQ(static_cast<const void*>(again), nextBefore);
    EXPECT_NE(again, made[3]);
    w.effects.ReleaseEffect(again);
    for (CEffectInstance* i : made)
        if (i != made[3]) w.effects.ReleaseEffect(i);
    EXPECT_EQ(w.effects.LiveCount(), 0u);
    EXPECT_TRUE(w.effects.Queue().empty());  // released instances leave the queue
    w.models.Manager().ReleaseResource(fx);
}

TEST(EffectInstance, RestartRunsTheInitialisationAgain) {
    EffectWorld w;
    CEffectInstance* fx = w.Start(w.Load({EffectWorld::StillLayer(0.1f, 1)}));
    for (int i = 0; i < 5; ++i) fx->Update(0.1f);
    fx->Stop();
    ASSERT_GT(fx->GetParticleCount(), 1u);
    fx->Restart();
    EXPECT_EQ(fx->elapsed, 0.0f);
    EXPECT_EQ(fx->stopping, 0u);
    EXPECT_EQ(fx->GetParticleCount(), 0u);
    EXPECT_EQ(fx->Layers()[0]->stopped, 0u);
    fx->Update(0.1f);
    EXPECT_EQ(fx->GetParticleCount(), 1u);
    fx->SetElapsed(2.0f);
    EXPECT_EQ(fx->Layers()[0]->age, 2.0f);
    fx->SetLayersVisible(0);
    EXPECT_EQ(fx->GetParticleCount(), 0u);
    EXPECT_EQ(fx->GetPrimitiveCount(), 0);
    w.effects.ReleaseEffect(fx);
}
