// How the game object reads the model's records:
//   sub-model record: field2 is the animation track it sits on (-1: none);
//   action event: c is its time and d its duration, both seconds as 4-byte floats;
//   sound cue: a is the model's sound record, b its time (seconds as a 4-byte
//     float), c non-zero plays it at the object's position;
//   action trail values: [0] the switch, [1]-[4] the trail's colour and alpha.
// Events name the model's effect records by index; an index outside the
// records is skipped, as is a model without actions.
#include "engine/render/GameObject.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "engine/render/AnimationResource.h"
#include "engine/effects/EffectManager.h"
#include "engine/render/MeshResource.h"
#include "engine/render/WalkGridView.h"
#include "engine/resource/ResourceManager.h"
#include "engine/effects/RibbonManager.h"
#include "engine/effects/EffectResource.h"
#include "engine/render/ShaderSet.h"
#include "engine/sound/SoundEffect.h"

using namespace platform;

CWalkGridView* g_pWalkGridView = nullptr;

namespace {

float BitsToFloat(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

int32_t SubModelBone(const ModelSubModel& record) { return static_cast<int32_t>(record.field2); }

// How long the effect's first layer emits; 0 (endless, or no layer) has no event window.
float FirstLayerDuration(const CResource* effect) {
    if (!effect || effect->Type() != RES_EFFECT) return 0;
    const auto& layers = static_cast<const CEffectResource*>(effect)->Layers();
    return layers.empty() ? 0 : layers.front()->emissionDuration;
}

uint32_t TrackCount(const CModelResource* model) {
    return model && model->Animation() ? model->Animation()->TrackCount() : 0;
}

constexpr uint32_t kOccupied = 0x10;
constexpr uint32_t kOccupantBits = 0x0FFFFFF0;  // bit 4 and the count in bits 5-27

}  // namespace

uint32_t MarkCellWord(uint32_t word) {
    uint32_t occupants = word & kOccupantBits;
    if (occupants != kOccupantBits) occupants = ((occupants + kOccupied) | kOccupied) & kOccupantBits;
    return (word & ~kOccupantBits) | occupants;
}

uint32_t UnmarkCellWord(uint32_t word) {
    uint32_t occupants = word & kOccupantBits & ~kOccupied;
    if (occupants > kOccupied) occupants = (occupants - kOccupied) | kOccupied;
    return (word & ~kOccupantBits) | occupants;
}

CGameObject::CGameObject() {
    flags = SO_GAME_OBJECT;
    ++refCount;
    CGameObject::SetColor(1, 1, 1, material.Get().ambient.a);
}

CGameObject::~CGameObject() { ReleaseModel(); }

CGameObject* CGameObject::ParentObject() const {
    return parent && (parent->flags & SO_GAME_OBJECT) ? static_cast<CGameObject*>(parent) : nullptr;
}

void CGameObject::Init(uint32_t kindWord, const Vec3& pos, CGameObject* parentObject, CModelResource* modelResource,
                       uint32_t startAction, float yaw, float scale) {
    kind = kindWord;
    parent = parentObject;
    SetModel(modelResource);
    Place(pos, yaw, scale);
    if (model) CreateChildren();
    if (!parentObject) {
        if (model)
            bounds.SetBox(model->BoundsMin(), model->BoundsMax(), position, model->HalfDepthOverride(), scale, 0);
        else
            bounds.SetBox(Vec3(-1, -1, -1), Vec3(1, 1, 1), position, 1.0f, scale, 0);
    } else {
        parentObject->children.push_back(this);
    }
    if (model) SetAction(startAction ? model->FindAction(startAction, nullptr) : nullptr, 1, 0);
}

void CGameObject::SetModel(CModelResource* modelResource) {
    model = modelResource;
    if (model && model->Animation()) bones.assign(model->Animation()->TrackCount(), Matrix::Identity());
    for (CEffectInstance* instance : attachedEffects)
        if (g_pEffectManager) g_pEffectManager->ReleaseEffect(instance);
    attachedEffects.clear();
    attachedEnabled.clear();
    if (model && g_pEffectManager) {
        for (const ModelEffect& record : model->Effects()) {
            if (!record.attached) continue;
            CEffectInstance* instance = g_pEffectManager->CreateEffect(Vec3(), record.effect, nullptr, record.boneIndex,
                                                                       record.placement, kind, 0);
            if (record.effect) record.effect->AddRef();
            attachedEffects.push_back(instance);
            attachedEnabled.push_back(0);
        }
    }
    if (ribbon && g_pRibbonManager) g_pRibbonManager->RemoveRibbon(ribbon);
    ribbon = nullptr;
    if (model && model->RibbonPart(0) >= 0 && model->RibbonPart(1) >= 0 && g_pRibbonManager)
        ribbon = g_pRibbonManager->CreateRibbon(this, model->RibbonPart(0), model->RibbonPart(1));
}

void CGameObject::SetModelTree(CModelResource* modelResource) {
    SetModel(modelResource);
    if (model) bounds.SetBox(model->BoundsMin(), model->BoundsMax(), position, model->HalfDepthOverride(), 1.0f, 0);
    for (CGameObject* child : children) delete child;
    children.clear();
    if (model) {
        for (const ModelSubModel& record : model->SubModels()) {
            auto* child = new CGameObject;
            if (record.model) record.model->AddRef();
            child->parent = this;
            child->SetModelTree(record.model);
            child->flags |= SO_VISIBLE;
            child->time = time;
            children.push_back(child);
        }
    }
    SetAction(nullptr, 1, static_cast<int>(holdAtEnd));
}

void CGameObject::CreateChildren() {
    uint32_t tracks = TrackCount(model);
    bool animated = model->Animation() != nullptr;
    for (const ModelSubModel& record : model->SubModels()) {
        if (animated && SubModelBone(record) >= static_cast<int32_t>(tracks)) continue;
        auto* child = new CGameObject;
        if (record.model) record.model->AddRef();
        child->Init(kind, position, this, record.model, 0, 0, 1.0f);
        child->flags |= SO_VISIBLE;
        child->time = time;
    }
}

void CGameObject::SetAction(const ModelAction* newAction, int recurse, int hold) {
    if (!model) return;
    holdAtEnd = hold ? 1 : 0;
    if (!newAction) newAction = model->GetAction(0);
    hasAction = newAction != nullptr;
    action = newAction ? *newAction : ModelAction();
    size_t oneShots = 0;
    for (const ActionEvent& event : action.events)
        if (event.effectRecord < model->Effects().size() && !model->Effects()[event.effectRecord].attached) ++oneShots;
    eventStarted.resize(oneShots, 0);
    std::fill(attachedEnabled.begin(), attachedEnabled.end(), 0);
    time = 0;
    justStarted = restarted = 1;
    finished = 0;
    if (recurse)
        for (CGameObject* child : children) child->SetAction(nullptr, recurse, hold);
    auto restyle = [this](CRibbonTrail* trail) {
        if (!trail) return;
        trail->SetStyle(action.trail[0], &action.trail[1]);
        trail->ClearSegments();
    };
    restyle(ribbon);
    for (CGameObject* child : children) restyle(child->ribbon);
    for (ActionSoundCue& cue : action.soundCues) cue.pending = 1;
}

void CGameObject::ReleaseModel() {
    if (model && g_pResourceManager) g_pResourceManager->ReleaseResource(model);
    model = nullptr;
    action = ModelAction();
    previousAction = ModelAction();
    hasAction = false;
    DetachEffects();
}

void CGameObject::DetachEffects() {
    auto give = [](CEffectInstance* instance) {
        if (g_pEffectManager) g_pEffectManager->ReleaseEffect(instance);
    };
    for (CEffectInstance* instance : attachedEffects) give(instance);
    for (CEffectInstance* instance : actionEffects) give(instance);
    for (CEffectInstance* instance : extraEffects) give(instance);
    attachedEffects.clear();
    attachedEnabled.clear();
    actionEffects.clear();
    extraEffects.clear();
    if (ribbon && g_pRibbonManager) g_pRibbonManager->RemoveRibbon(ribbon);
    ribbon = nullptr;
    for (CGameObject* child : children) delete child;
    children.clear();
}

int CGameObject::Update(float dt) {
    if (CGameObject* p = ParentObject()) {
        time = p->time;
        restarted = p->restarted;
        justStarted = p->justStarted;
        flags = p->flags;
    }
    if (restarted && !justStarted) {
        for (CEffectInstance* instance : actionEffects) instance->Restart();
        std::fill(eventStarted.begin(), eventStarted.end(), 0);
        restarted = 0;
    }
    finished = 0;
    if (flags & SO_FROZEN) {
        int running = UpdateEffects(dt, 1);
        return running == 0 && refCount <= 1 ? 0 : 1;
    }
    FadeTint(dt);
    if (hasAction && action.startTime != action.endTime && !parent && model && model->Animation())
        AdvanceTime(dt, action.endTime - action.startTime);
    if (!holdAtEnd && (restarted || justStarted)) dt = 0;
    RebuildTransform();
    if (hasAction && action.trail[0]) UpdateTrails();
    if (dt > 0) RunEvents();
    UpdateEffects(dt, 0);
    for (auto it = children.begin(); it != children.end();) {
        if ((*it)->Update(dt) == 0) {
            // Children are only ever owned here, so one that ends is freed with its removal.
            delete *it;
            it = children.erase(it);
        } else {
            ++it;
        }
    }
    justStarted = 0;
    return 1;
}

void CGameObject::UpdateTrails() {
    bool first = true;
    for (CGameObject* child : children) {
        if (child->ribbon && child->ribbon->active)
            child->ribbon->Update(world, first ? &action.trailPointsA : &action.trailPointsB, time);
        first = false;
    }
}

void CGameObject::RunEvents() {
    if (!model || !hasAction) return;
    const auto& records = model->Effects();
    int32_t tracks = static_cast<int32_t>(TrackCount(model));
    size_t oneShot = 0;
    for (const ActionEvent& event : action.events) {
        if (event.effectRecord >= records.size()) continue;
        const ModelEffect& record = records[event.effectRecord];
        size_t slot = 0;
        if (record.attached)
            for (uint32_t i = 0; i < event.effectRecord; ++i) slot += records[i].attached ? 1 : 0;
        else
            slot = oneShot++;
        float at = BitsToFloat(event.c), duration = BitsToFloat(event.d);
        if (record.boneIndex >= tracks) {
            if (record.attached && slot < attachedEnabled.size()) attachedEnabled[slot] = 0;
            continue;
        }
        if (record.attached) {
            if (slot < attachedEnabled.size())
                attachedEnabled[slot] = at <= time && (time < at + duration || duration == 0) ? 1 : 0;
            continue;
        }
        float layerDuration = FirstLayerDuration(record.effect);
        if (slot < eventStarted.size() && !eventStarted[slot] && at <= time &&
            (time <= at + kEventWindow || layerDuration == 0) && g_pEffectManager) {
            CEffectInstance* instance = g_pEffectManager->CreateEffect(Vec3(), record.effect, nullptr, record.boneIndex,
                                                                       record.placement, kind, 0);
            if (record.effect) record.effect->AddRef();
            actionEffects.push_back(instance);
            eventStarted[slot] = 1;
        }
    }
}

void CGameObject::AdvanceTime(float dt, float length) {
    time += dt * speed;
    if (time <= length) return;
    if (holdAtEnd) {
        finished = 1;
        time = length - 0.000001f;
        return;
    }
    previousAction = action;
    restarted = 1;
    time = std::fmod(time, length);
    if (time < 0) time += length;
}

void CGameObject::FadeTint(float step) {
    ColorValue& tint = material.Get().ambient;
    float target = tintTarget.x;
    if (tint.r < target) {
        float rise = std::fmin(step, target - tint.r);
        tint.r += rise;
        tint.g += rise;
        tint.b += rise;
    } else if (tint.r > target) {
        float fall = std::fmin(step, tint.r - target);
        tint.r -= fall;
        tint.g -= fall;
        tint.b -= fall;
    } else {
        return;
    }
    ColorValue& diffuse = material.Get().diffuse;
    diffuse.r = tint.r;
    diffuse.g = tint.g;
    diffuse.b = tint.b;
}

void CGameObject::PlaceEffect(CEffectInstance& instance) const {
    if (instance.Kind() != CEffectInstance::kPlain) return;
    Matrix base = world;
    if (instance.boneIndex >= 0 && static_cast<size_t>(instance.boneIndex) < bones.size())
        base = bones[instance.boneIndex] * world;
    instance.world = instance.hasOffset ? instance.offset * base : base;
}

int CGameObject::UpdateEffects(float dt, int restart) {
    int running = 0;
    auto step = [&](CEffectInstance& instance) {
        if (restart) instance.Restart();
        PlaceEffect(instance);
        int alive = instance.Update(dt);
        if (alive == 1) running = 1;
        return alive == 1;
    };
    for (CEffectInstance* instance : attachedEffects) step(*instance);
    for (auto* list : {&actionEffects, &extraEffects}) {
        for (auto it = list->begin(); it != list->end();) {
            if (step(**it)) {
                ++it;
            } else {
                if (g_pEffectManager) g_pEffectManager->ReleaseEffect(*it);
                it = list->erase(it);
            }
        }
    }
    return running;
}

void CGameObject::QueueEffects() {
    if (!g_pEffectManager) return;
    for (CEffectInstance* instance : extraEffects) g_pEffectManager->QueueForDraw(instance);
    for (size_t i = 0; i < attachedEffects.size(); ++i)
        if (i < attachedEnabled.size() && attachedEnabled[i]) g_pEffectManager->QueueForDraw(attachedEffects[i]);
    for (CEffectInstance* instance : actionEffects) g_pEffectManager->QueueForDraw(instance);
}

void CGameObject::PlaceChildren() {
    if (!model) return;
    const auto& records = model->SubModels();
    size_t i = 0;
    for (CGameObject* child : children) {
        if (i >= records.size()) break;
        const ModelSubModel& record = records[i++];
        int32_t bone = SubModelBone(record);
        Matrix m = record.placement;
        if (bone >= 0 && static_cast<size_t>(bone) < bones.size()) m = m * bones[bone];
        child->world = m * world;
    }
}

void CGameObject::DrawParts(bool shadowPass) {
    CMeshResource* mesh = model->Mesh();
    if (!mesh) return;
    float at = action.startTime + time;
    const Matrix* palette = bones.empty() ? nullptr : bones.data();
    for (uint32_t i = 0; i < mesh->PartCount(); ++i)
        mesh->DrawPartPosed(i, &at, palette, static_cast<uint32_t>(bones.size()), shadowPass);
}

void CGameObject::Render() {
    // A frozen object that still shows only keeps its effects and sounds going.
    bool queueOnly = (flags & SO_FROZEN) && material.Get().ambient.a > 0;
    if (!queueOnly && !model) return;
    CGfxDevice* device = g_pResourceManager ? g_pResourceManager->Device() : nullptr;
    if (!queueOnly && device && model) {
        device->SetTransform(TS_WORLD, &world);
        CAnimationResource* animation = model->Animation();
        if (animation && hasAction && action.startTime != action.endTime) {
            animation->GetTrackMatrix(bones.data(), action.startTime + time, 0);
            PlaceChildren();
        }
        material.Apply(*device, colorScale.x, colorScale.y, colorScale.z);
        const ColorValue& ambient = material.Get().ambient;
        const ColorValue& diffuse = material.Get().diffuse;
        if (model->Mesh()) model->Mesh()->SetAlpha(static_cast<int32_t>(ambient.a * 255.0f));
        if (animation && g_pShaderSet && g_pShaderSet->IsReady()) {
            CShaderEffect* skin = g_pShaderSet->SkinEffect();
            skin->SetVector("MaterialAmbient",
                            Vec4(ambient.r * colorScale.x, ambient.g * colorScale.y, ambient.b * colorScale.z, 1));
            skin->SetVector("MaterialDiffuse",
                            Vec4(diffuse.r * colorScale.x, diffuse.g * colorScale.y, diffuse.b * colorScale.z, 1));
            skin->SetMatrix("mWorld", world);
            Matrix inverse = Matrix::Identity();
            MatrixInverse(world, &inverse);
            skin->SetMatrix("mInvWorld", inverse);
        }
        DrawParts(false);
        size_t i = 0;
        for (CGameObject* child : children)
            if (i++ < model->SubModels().size()) child->Render();
    }
    if (!(flags & SO_NO_EFFECT_QUEUE)) QueueEffects();
    if (model) PlayDueSounds();
}

void CGameObject::PlayDueSounds() {
    const auto& sounds = model->Sounds();
    for (ActionSoundCue& cue : action.soundCues) {
        if (!cue.pending || cue.a >= sounds.size() || BitsToFloat(cue.b) > time) continue;
        CResource* sound = sounds[cue.a].sound;
        if (!sound || sound->Type() != RES_SOUND_EFFECT) continue;
        auto* effect = static_cast<CSoundEffect*>(sound);
        if (cue.c) {
            float at[3] = {position.x, position.y, position.z};
            effect->PlayAt(at, false);
        } else {
            effect->Play(false);
        }
        cue.pending = 0;
    }
}

void CGameObject::RenderPose() {
    if ((flags & SO_FROZEN) || material.Get().ambient.a <= 0 || !model) return;
    CGfxDevice* device = g_pResourceManager ? g_pResourceManager->Device() : nullptr;
    if (!device) return;
    device->SetTransform(TS_WORLD, &world);
    if (model->Animation() && g_pShaderSet && g_pShaderSet->IsReady())
        g_pShaderSet->SkinEffect()->SetMatrix("mWorld", world);
    DrawParts(true);
    PlaceChildren();
    for (CGameObject* child : children) child->RenderPose();
}

int CGameObject::CountEffectPrimitives() {
    int count = 0;
    for (CGameObject* child : children) count += child->CountPrimitives();
    for (CEffectInstance* instance : attachedEffects)
        if (instance->alive) count += instance->GetPrimitiveCount();
    for (CEffectInstance* instance : actionEffects) count += instance->GetPrimitiveCount();
    for (CEffectInstance* instance : extraEffects) count += instance->GetPrimitiveCount();
    return count;
}

int CGameObject::CountPrimitives() {
    int own = model && model->Mesh() ? static_cast<int>(model->Mesh()->TotalPrimitives()) : 0;
    return own + CountEffectPrimitives();
}

void CGameObject::SetAlpha(float a) {
    material.Get().ambient.a = a;
    for (CGameObject* child : children) child->SetAlpha(a);
}

void CGameObject::SetColorScale(float r, float g, float b) {
    CSceneObject::SetColorScale(r, g, b);
    for (CGameObject* child : children) child->SetColorScale(r, g, b);
}

void CGameObject::SetColorScale2(float r, float g, float b) {
    CSceneObject::SetColorScale2(r, g, b);
    for (CGameObject* child : children) child->SetColorScale2(r, g, b);
}

void CGameObject::SetColor(float r, float g, float b, float a) {
    CSceneObject::SetColor(r, g, b, a);
    for (CGameObject* child : children) child->SetColor(r, g, b, a);
}

void CGameObject::ResetColor() { SetColor(1, 1, 1, material.Get().ambient.a); }

void CGameObject::ApplyGrid(bool mark) const {
    CWalkGridView* grid = g_pWalkGridView;
    if (!grid || !grid->cells) return;
    for (int32_t z = gridRect[2]; z <= gridRect[3]; ++z) {
        if (z < 0 || z >= grid->height) continue;
        for (int32_t x = gridRect[0]; x <= gridRect[1]; ++x) {
            if (x < 0 || x >= grid->width) continue;
            uint32_t& word = grid->cells[static_cast<size_t>(grid->width) * z + x];
            word = mark ? MarkCellWord(word) : UnmarkCellWord(word);
        }
    }
}

void CGameObject::MarkGridCells(int recompute) {
    CWalkGridView* grid = g_pWalkGridView;
    if (!grid) return;
    int32_t c = static_cast<int32_t>(grid->cellSize);
    if (c == 0) return;  // a cell narrower than one unit has no footprint in whole cells
    if (recompute) {
        const Vec3& low = bounds.innerBox[3];
        const Vec3& high = bounds.innerBox[1];
        gridRect[0] = static_cast<int32_t>(low.x) / c;
        gridRect[1] = static_cast<int32_t>(high.x) / c;
        gridRect[2] = static_cast<int32_t>(low.z) / c;
        gridRect[3] = static_cast<int32_t>(high.z) / c;
    }
    ApplyGrid(true);
}

void CGameObject::UnmarkGridCells() {
    if (g_pWalkGridView && static_cast<int32_t>(g_pWalkGridView->cellSize) != 0) ApplyGrid(false);
}

void CGameObject::OccupyGrid(int recompute) {
    if (!(flags & SO_OCCUPIES_GRID)) return;
    if (recompute) {
        if (flags & SO_GRID_MARKED) return;
        flags |= SO_GRID_MARKED;
        MarkGridCells(1);
    } else if (flags & SO_GRID_MARKED) {
        MarkGridCells(0);
    }
}

void CGameObject::VacateGrid(int forget) {
    if (!(flags & SO_OCCUPIES_GRID) || !(flags & SO_GRID_MARKED)) return;
    if (forget) flags &= ~SO_GRID_MARKED;
    UnmarkGridCells();
}
