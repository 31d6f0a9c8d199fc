#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>

#include "engine/effects/ObjectLookup.h"
#include "engine/effects/RibbonManager.h"
#include "engine/render/GameObject.h"
#include "engine/render/MeshResource.h"
#include "platform/GfxBuffer.h"
#include "tests/fixtures/EffectWorld.h"
#include "tools/AnimationWriter.h"

using namespace platform;

namespace {

struct Vertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
};

std::vector<Vertex> ReadVertices(CGfxVertexBuffer* buffer, uint32_t count) {
    std::vector<Vertex> out(count);
    void* data = nullptr;
    if (buffer->Lock(0, 0, &data, LOCK_READONLY) != GFX_OK) return {};
    for (uint32_t i = 0; i < count; ++i) {
        const auto* p = static_cast<const uint8_t*>(data) + i * CEffectManager::kVertexStride;
        std::memcpy(&out[i].x, p, 12);
        std::memcpy(&out[i].colour, p + 12, 4);
        std::memcpy(&out[i].u, p + 16, 8);
    }
    buffer->Unlock();
    return out;
}

// True when every expected line appears in the log in this order.
bool InOrder(const std::vector<std::string>& log, const std::vector<std::string>& expected) {
    size_t at = 0;
    for (const std::string& line : log)
        if (at < expected.size() && line == expected[at]) ++at;
    return at == expected.size();
}

class MapLookup : public IObjectLookup {
public:
    MapLookup() { g_pObjectLookup = this; }
    ~MapLookup() override { g_pObjectLookup = nullptr; }
    CSceneObject* FindObject(int32_t id) override {
        auto it = objects.find(id);
        return it == objects.end() ? nullptr : it->second;
    }
    std::map<int32_t, CSceneObject*> objects;
};

// A still quad on a 2 x 2 sheet: orange, a quarter opaque, one unit wide.
EffectFileLayer SheetLayer() {
    EffectFileLayer layer = EffectWorld::StillLayer(10, 10);
    EffectLayer& l = layer.values;
    l.colours = {Vec4(1, 0.5f, 0, 0.25f), Vec4(1, 0.5f, 0, 0.25f), Vec4(1, 0.5f, 0, 0.25f), Vec4(1, 0.5f, 0, 0.25f)};
    l.peakAlpha = 0.25f;
    l.fadeInEnd = 0;
    l.fadeOutStart = 100;
    l.sheetColumns = l.sheetRows = 2;
    l.sheetFps = 8;
    l.sheetLoop = 1;
    l.twoSided = 1;
    return layer;
}

}  // namespace

TEST(EffectDraw, IndexBufferHoldsTwoTrianglesPerQuad) {
    EffectWorld w;
    void* data = nullptr;
    ASSERT_EQ(w.effects.IndexBuffer()->Lock(0, 0, &data, LOCK_READONLY), GFX_OK);
    const auto* i = static_cast<const uint16_t*>(data);
    EXPECT_EQ(std::vector<uint16_t>(i, i + 12), (std::vector<uint16_t>{0, 1, 3, 0, 3, 2, 4, 5, 7, 4, 7, 6}));
    EXPECT_EQ(std::vector<uint16_t>(i + 5994, i + 6000),
              (std::vector<uint16_t>{3996, 3997, 3999, 3996, 3999, 3998}));
    w.effects.IndexBuffer()->Unlock();
}

TEST(EffectDraw, ThePassSetsItsStatesDrawsTheGroupAndRestores) {
    EffectWorld w;
    CEffectInstance* fx = w.Start(w.Load({SheetLayer()}));
    fx->Update(0.01f);
    w.models.device.ClearLog();
    w.effects.QueueForDraw(fx);
    w.effects.DrawEffects(0);
    EXPECT_TRUE(InOrder(w.models.device.Log(),
                        {"RenderState 27 1", "RenderState 137 0", "RenderState 14 0", "RenderState 22 1",
                         "StageState 0 4 4", "StageState 0 5 0", "StageState 0 6 2", "RenderState 19 5",
                         "RenderState 20 2", "Draw 4 prims 2 indexed stream stride 24 fvf 322", "RenderState 137 1",
                         "RenderState 27 0", "RenderState 14 1", "RenderState 22 3", "StageState 0 5 1"}));
    EXPECT_TRUE(w.effects.Queue().empty());
    // Another group, or a second pass in the same frame, draws nothing and still empties the queue.
    w.effects.QueueForDraw(fx);
    const uint32_t draws = w.models.device.DrawCount();
    w.effects.DrawEffects(5);
    w.effects.DrawEffects(0);
    EXPECT_EQ(w.models.device.DrawCount(), draws);
    EXPECT_TRUE(w.effects.Queue().empty());
    w.effects.ReleaseEffect(fx);
}

TEST(EffectDraw, QuadVerticesColoursAndSheetFrames) {
    EffectWorld w;
    CEffectInstance* fx = w.Start(w.Load({SheetLayer()}));
    const struct {
        float dt;
        float u, v;  // the frame's top left corner
    } frames[] = {{0.01f, 0, 0}, {0.375f, 0.5f, 0.5f}, {0.125f, 0, 0}, {0.125f, 0.5f, 0}};
    for (const auto& f : frames) {
        fx->Update(f.dt);
        fx->Draw();
        std::vector<Vertex> v = ReadVertices(w.effects.VertexBuffer(), 4);
        const float corners[4][2] = {{-0.5f, 0.5f}, {0.5f, 0.5f}, {-0.5f, -0.5f}, {0.5f, -0.5f}};
        const float uv[4][2] = {{f.u, f.v}, {f.u + 0.5f, f.v}, {f.u, f.v + 0.5f}, {f.u + 0.5f, f.v + 0.5f}};
        for (int k = 0; k < 4; ++k) {
            EXPECT_FLOAT_EQ(v[k].x, corners[k][0]);
            EXPECT_FLOAT_EQ(v[k].y, corners[k][1]);
            EXPECT_EQ(v[k].z, 0.0f);
            EXPECT_EQ(v[k].colour, 0x40FF8000u);
            EXPECT_FLOAT_EQ(v[k].u, uv[k][0]) << f.dt << " corner " << k;
            EXPECT_FLOAT_EQ(v[k].v, uv[k][1]) << f.dt << " corner " << k;
        }
    }
    EXPECT_EQ(fx->GetPrimitiveCount(), 2);
    w.effects.ReleaseEffect(fx);
}

TEST(EffectDraw, TrianglesClampTheirTextureAndTexturelessBillboardsDrawNothing) {
    EffectWorld w;
    CEffectInstance* fx = w.Start(w.Load({EffectWorld::StillLayer(10, 10)}));
    CEffectInstance* bare = w.Start(w.Load({EffectWorld::StillLayer(10, 10, "")}));
    fx->Update(0.01f);
    bare->Update(0.01f);
    w.models.device.ClearLog();
    bare->Draw();
    EXPECT_EQ(w.models.device.Count("Draw"), 0u);
    EXPECT_EQ(bare->GetPrimitiveCount(), 0);
    fx->Draw();
    EXPECT_TRUE(InOrder(w.models.device.Log(), {"Sampler 0 1 3", "Sampler 0 2 3", "Draw 4 prims 1 stream stride 24 fvf 322",
                                                "Sampler 0 1 1", "Sampler 0 2 1"}));
    std::vector<Vertex> v = ReadVertices(w.effects.VertexBuffer(), 3);
    EXPECT_EQ(v[1].u, 2.0f);
    EXPECT_EQ(v[2].v, 2.0f);
    EXPECT_EQ(fx->GetPrimitiveCount(), 1);
    w.effects.ReleaseEffect(fx);
    w.effects.ReleaseEffect(bare);
}

TEST(LinkEffect, TwoCrossedQuadsBetweenTheEnds) {
    EffectWorld w;
    MapLookup lookup;
    CSceneObject source, target;
    target.position = Vec3(10, 0, 0);
    source.bounds.center = Vec3(0, 1, 0);
    target.bounds.center = Vec3(10, 1, 0);
    lookup.objects = {{1, &source}, {2, &target}};
    EffectFileLayer beam = SheetLayer();
    beam.values.sheetColumns = 1;
    beam.values.sheetRows = 1;
    CLinkEffect* link = w.effects.CreateLinkEffect(1, 2, w.Load({beam}), 0);
    link->Draw();  // not started yet
    EXPECT_EQ(w.models.device.Count("Draw"), 0u);
    EXPECT_EQ(link->Update(0.01f), 1);
    EXPECT_EQ(link->started, 1u);
    w.models.device.ClearLog();
    link->Draw();
    EXPECT_EQ(w.models.device.Count("Draw 4 prims 4 indexed stream stride 24 fvf 322"), 1u);
    std::vector<Vertex> v = ReadVertices(w.effects.VertexBuffer(), 8);
    const float expect[8][5] = {{0, 1.5f, 0, 0, 0},  {10, 1.5f, 0, 1, 0},  {0, 0.5f, 0, 0, 1},  {10, 0.5f, 0, 1, 1},
                                {0, 1, 0.5f, 0, 0},  {10, 1, 0.5f, 1, 0},  {0, 1, -0.5f, 0, 1}, {10, 1, -0.5f, 1, 1}};
    for (int k = 0; k < 8; ++k) {
        EXPECT_FLOAT_EQ(v[k].x, expect[k][0]) << k;
        EXPECT_FLOAT_EQ(v[k].y, expect[k][1]) << k;
        EXPECT_NEAR(v[k].z, expect[k][2], 1e-6f) << k;
        EXPECT_EQ(v[k].u, expect[k][3]) << k;
        EXPECT_EQ(v[k].v, expect[k][4]) << k;
        EXPECT_EQ(v[k].colour, 0x40FF8000u);
    }
    EXPECT_EQ(link->GetPrimitiveCount(), 2);
    w.effects.ReleaseEffect(link);
    EXPECT_EQ(w.effects.LiveCount(), 0u);
}

TEST(LinkEffect, NoLayersAimingRateAndALostEnd) {
    EffectWorld w;
    MapLookup lookup;
    CSceneObject source, target;
    lookup.objects = {{1, &source}, {2, &target}};
    // No layers: never starts, never draws, alive until Stop.
    CLinkEffect* empty = w.effects.CreateLinkEffect(1, 2, w.Load(MakeEffectFile({})), 0);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(empty->Update(0.1f), 1);
    EXPECT_EQ(empty->started, 0u);
    empty->Draw();
    EXPECT_EQ(w.models.device.Count("Draw"), 0u);
    empty->Stop();
    EXPECT_EQ(empty->Update(0.1f), 0);
    // However fast the target moves, the facing turns at most ten times a second.
    CLinkEffect* link = w.effects.CreateLinkEffect(1, 2, w.Load({SheetLayer()}), 0);
    for (int i = 0; i < 100; ++i) {
        const float a = 0.3f * static_cast<float>(i);
        target.position = Vec3(std::cos(a), 0, std::sin(a)) * 10.0f;
        link->Update(0.01f);
    }
    EXPECT_GE(link->reaims, 9u);
    EXPECT_LE(link->reaims, 11u);
    // The target goes away mid-beam: nothing is drawn and the link reports that it ended.
    lookup.objects.erase(2);
    EXPECT_EQ(link->Update(0.01f), 0);
    w.models.device.ClearLog();
    link->Draw();
    EXPECT_EQ(w.models.device.Count("Draw"), 0u);
    w.effects.ReleaseEffect(empty);
    w.effects.ReleaseEffect(link);
}

TEST(EffectManager, AttachEffectsToUnitByAttachmentSlot) {
    EffectWorld w;
    AnimationFile hands;
    hands.keyCount = 2;
    hands.length = 1;
    for (const char* name : {"Bip01", "Bip01 Head", "Bip01 L Hand", "Bip01 R Hand", "Bip01 L Foot", "Bip01 R Foot"}) {
        AnimationTrack t;
        t.name = name;
        t.keys = {MakeAnimationKey({0, 0, 0}), MakeAnimationKey({1, 0, 0})};
        hands.tracks.push_back(t);
    }
    w.models.folder.WriteLoose("HANDS.DRA", WriteAnimationFile(hands));
    ModelFile file = HeroModelFile();
    file.animationName = "HANDS.DRA";
    file.effects.clear();
    file.subModels.clear();
    file.actions[0].events.clear();
    EffectFileLayer endlessLayer = EffectWorld::StillLayer(0.1f, 1);
    EffectFileLayer briefLayer = endlessLayer;
    briefLayer.values.emissionDuration = 1;
    CEffectResource* endless = w.Load({endlessLayer});
    CEffectResource* brief = w.Load({briefLayer});
    const struct {
        int slot;
        bool isEndless;
        std::vector<int32_t> bones;  // of the instances made, in order
    } cases[] = {
        {1, true, {2, 3}}, {3, false, {4, 5}}, {6, true, {-1}}, {5, true, {}}, {0, true, {1}},
    };
    for (const auto& c : cases) {
        CModelResource* model = w.models.Load(file, "HANDS.DRC");
        ASSERT_NE(model, nullptr);
        model->AddRef();
        CGameObject unit;
        unit.Init(3, Vec3(), nullptr, model, 0, 0, 1.0f);
        CEffectInstance *out1 = nullptr, *out2 = nullptr;
        w.effects.AttachEffectsToUnit(&unit, c.slot, c.isEndless ? endless : brief, &out1, &out2);
        std::vector<int32_t> bones;
        for (CEffectInstance* fx : unit.ExtraEffects()) bones.push_back(fx->boneIndex);
        EXPECT_EQ(bones, c.bones) << c.slot;
        EXPECT_EQ(out1 != nullptr, c.isEndless && !c.bones.empty()) << c.slot;
        EXPECT_EQ(out2 != nullptr, c.isEndless && c.bones.size() == 2) << c.slot;
        if (c.slot == 6) {
            EXPECT_EQ(&unit.ExtraEffects().front()->Parent(), &unit.world);
        }
        // A held instance in the first out pointer stops a second attachment.
        const size_t before = unit.ExtraEffects().size();
        if (out1) {
            w.effects.AttachEffectsToUnit(&unit, c.slot, endless, &out1, &out2);
            EXPECT_EQ(unit.ExtraEffects().size(), before);
        }
        unit.DetachEffects();
        EXPECT_EQ(w.effects.LiveCount(), 0u);
    }
    w.models.Manager().ReleaseResource(endless);
    w.models.Manager().ReleaseResource(brief);
}

TEST(EffectManager, TheSelectionMarkerFollowsItsUnit) {
    EffectWorld w;
    CEffectResource* marker = w.Load({EffectWorld::StillLayer(10, 0)});
    {
        CGameObject unit;
        unit.Place(Vec3(7, 0, 3), 0, 1.0f);
        unit.Update(0);
        CEffectInstance* fx = w.effects.CreateMarkerEffect(marker, &unit);
        ASSERT_NE(fx, nullptr);
        EXPECT_EQ(&fx->Parent(), &unit.world);
        EXPECT_EQ(unit.ExtraEffects().size(), 1u);
        unit.UpdateEffects(0.1f, 0);
        const CEffectLayer& layer = *fx->Layers()[0];
        EXPECT_FLOAT_EQ(layer.ParticleMatrix(*layer.Particles(), fx->Parent())(3, 0), 7.0f);
        EXPECT_EQ(w.effects.LiveCount(), 1u);
    }
    EXPECT_EQ(w.effects.LiveCount(), 0u);  // the unit gave it back
}

namespace {

TrailPoint Sample(const Vec3& a, const Vec3& b, float time) {
    TrailPoint s{};
    const float f[7] = {a.x, a.y, a.z, b.x, b.y, b.z, time};
    std::memcpy(s.data(), f, 28);
    return s;
}

std::vector<TrailPoint> Samples(int n) {
    std::vector<TrailPoint> s;
    for (int i = 0; i < n; ++i)
        s.push_back(Sample(Vec3(1.0f + i, 0, 0), Vec3(1.0f + i, 1, 0), 0.1f * static_cast<float>(i + 1)));
    return s;
}

}  // namespace

TEST(RibbonTrail, UpdateShiftsInNewSamplesAndFadesInFromTheOldestLiveSegment) {
    EffectWorld w;
    CRibbonManager ribbons;
    CGameObject owner;
    CRibbonTrail* trail = ribbons.CreateRibbon(&owner, 0, 1);
    const uint32_t style[4] = {0x3F800000u, 0, 0, 0x3F800000u};  // red, fully opaque
    trail->SetStyle(1, style);
    const Matrix move = MatrixTranslation(0, 0, 5);
    std::vector<TrailPoint> five = Samples(5);
    const auto& seg = trail->Segments();
    trail->Update(move, &five, 0.35f);  // three samples are due
    EXPECT_EQ(trail->consumed, 3u);
    EXPECT_EQ(seg[97].a.x, 1.0f);
    EXPECT_EQ(seg[99].a.x, 3.0f);
    EXPECT_EQ(seg[99].b.z, 5.0f);
    EXPECT_EQ(seg[96].a.x, 0.0f);
    auto alphaOf = [&](int i) {
        uint32_t c;
        std::memcpy(&c, trail->Vertices().data() + 2 * i * CRibbonTrail::kStride + 12, 4);
        return c >> 24;
    };
    EXPECT_EQ(alphaOf(96), 0u);
    EXPECT_EQ(alphaOf(97), 85u);  // a third
    EXPECT_EQ(alphaOf(99), 255u);
    trail->Update(move, &five, 0.35f);  // nothing new: the band moves up by one
    EXPECT_EQ(seg[96].a.x, 1.0f);
    EXPECT_EQ(seg[99].a.x, 3.0f);
    trail->Update(move, &five, 0.05f);  // the animation started over
    EXPECT_EQ(trail->consumed, 0u);
    EXPECT_EQ(seg[99].a.x, 0.0f);
    std::vector<TrailPoint> many = Samples(150);
    trail->Update(move, &many, 100.0f);  // more than the band holds
    EXPECT_EQ(trail->consumed, 150u);
    EXPECT_EQ(seg[0].a.x, 51.0f);
    EXPECT_EQ(seg[99].a.x, 150.0f);
}

TEST(RibbonTrail, DrawnOnlyWhileItsOwnerShowsAndUnknownTrailsAreDeleted) {
    EffectWorld w;
    CRibbonManager ribbons;
    CGameObject owner;
    owner.flags |= SO_VISIBLE;
    owner.SetAlpha(1);
    CRibbonTrail* trail = ribbons.CreateRibbon(&owner, 0, 1);
    std::vector<TrailPoint> five = Samples(5);
    owner.flags |= SO_HIDDEN;
    trail->Update(Matrix::Identity(), &five, 1.0f);
    ribbons.DrawAll();
    EXPECT_EQ(w.models.device.Count("Draw"), 0u);
    EXPECT_EQ(trail->consumed, 5u);  // it kept updating
    owner.flags &= ~SO_HIDDEN;
    ribbons.DrawAll();
    EXPECT_EQ(w.models.device.Count("Draw 5 prims 198 up stride 16 fvf 66"), 1u);
    ribbons.RemoveRibbon(new CRibbonTrail);  // not the manager's: deleted, the list untouched
    ribbons.RemoveRibbon(nullptr);
    EXPECT_EQ(ribbons.Count(), 1u);
    ribbons.RemoveRibbon(trail);
    EXPECT_EQ(ribbons.Count(), 0u);
}

TEST(EffectDraw, MeshLayersDrawTheirMeshPerParticleWithDepthWritesOn) {
    EffectWorld w;
    CEffectInstance* still = w.Start(w.Load({MeshLayer("BODY.DRM")}));
    CEffectInstance* posed = w.Start(w.Load({MeshLayer("BODY.DRM", "WALK.DRA")}));
    for (CEffectInstance* fx : {still, posed}) {
        fx->Update(0.05f);
        ASSERT_EQ(fx->GetParticleCount(), 1u);
        auto* mesh = static_cast<CMeshResource*>(fx->Layers()[0]->Record().mesh);
        EXPECT_EQ(fx->GetPrimitiveCount(), static_cast<int>(mesh->TotalPrimitives()));
        w.models.device.ClearLog();
        w.effects.QueueForDraw(fx);
        w.effects.DrawEffects(0);
        EXPECT_GT(w.models.device.DrawCount(), 0u);
        EXPECT_TRUE(InOrder(w.models.device.Log(), {"RenderState 14 0", "RenderState 14 1", "RenderState 27 0",
                                                    "RenderState 27 1", "RenderState 14 0"}));
        w.effects.ReleaseEffect(fx);
    }
}
