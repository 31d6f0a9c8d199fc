#include "world/Projectile.h"

#include <cmath>
#include <cstring>

#include "commands/GameCommandManager.h"
#include "engine/effects/EffectManager.h"
#include "engine/render/Draw2D.h"
#include "engine/render/ModelResource.h"
#include "engine/sound/SoundEffect.h"
#include "platform/GfxDevice.h"
#include "world/CombatObject.h"
#include "world/SightGrid.h"
#include "world/SkillInstance.h"
#include "world/SkillRecord.h"
#include "world/SpatialTree.h"
#include "world/VisualRef.h"
#include "world/WorldObject.h"
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {

// DIRECT_ATTACK: the skill kind whose instant shots hand the caster its next order.
constexpr uint32_t kShootingSkillKind = 4;

float HorizontalLength(const Vec3& v) { return std::sqrt(v.x * v.x + v.z * v.z); }

CWorldObject* FindObject(int32_t id) {
    return id >= 0 && g_pWorldObjectManager ? g_pWorldObjectManager->GetObjectById(id) : nullptr;
}

}  // namespace

CProjectile::CProjectile() { flags |= kConstructionFlags; }

CProjectile::~CProjectile() { ReleaseShooter(); }

float CProjectile::SteeringGain(float t, float estimate) {
    if (t < 0.4f * estimate) return 0.01f;
    if (0.4f * estimate < t && t < estimate) return 0.05f;
    return 1.0f;
}

void CProjectile::TurnTo(const Vec3& direction) {
    facing = direction;
    Vec3 side = Vec3Normalize(Vec3Cross(Vec3(0, 1, 0), direction));
    if (side.x == 0 && side.y == 0 && side.z == 0) side = Vec3(1, 0, 0);  // straight up or down
    sideAxis = side;
    upAxis = Vec3Cross(direction, side);
    flags |= SO_ROTATION_CHANGED;
}

void CProjectile::MoveTo(const Vec3& to) {
    position = to;
    flags |= SO_POSITION_CHANGED;
    if (g_pSpatialTree && treeLeaves[0] >= 0) g_pSpatialTree->Move(this);
}

void CProjectile::Setup(CWorldObject* shooterObject, const VisualRef* info, CWorldObject* target, const Vec3& point,
                        int32_t caster, int32_t slot) {
    shootInfo = info;
    shooter = shooterObject;
    if (shooter) ++shooter->refCount;
    targetId = target ? target->id : -1;
    targetPoint = point;
    casterIndex = caster;
    effectSlot = slot;
    // A stealthed target is not followed: the shot flies to where it stood.
    if (target && (target->stateFlags & kStealthBit)) {
        targetPoint = target->bounds.center;
        targetId = -1;
    }
    m_speed = info ? platform::BitsFloat(info->refWord1) : 0;
    const float angle = info ? platform::BitsFloat(info->refWord2) : 0;
    const float yaw = shooter ? shooter->GetFacingAngle() : 0;
    const float scale = shooter ? shooter->bounds.scale : 1.0f;
    const Vec3 aim = targetId >= 0 && target ? target->bounds.center : targetPoint;
    flags |= SO_VISIBLE;
    if (m_speed > 0) {
        auto* model = info && info->model && info->model->Type() == RES_MODEL ? static_cast<CModelResource*>(info->model)
                                                                              : nullptr;
        if (model) model->AddRef();
        Vec3 launch(platform::BitsFloat(info->offset[0]), platform::BitsFloat(info->offset[1]), platform::BitsFloat(info->offset[2]));
        if (shooter) launch = Vec3TransformCoord(launch, shooter->world);
        Init(0, launch, nullptr, model, 0, yaw, scale);
        Vec3 direction = aim - position;
        const float h = HorizontalLength(direction);
        giveUpDistance = 0;
        if (shooter && shooter->IsCombatObject())
            giveUpDistance = 2.5f * static_cast<CCombatObject*>(shooter)->attackRange;
        if (h > 0) {
            direction.y += std::tan(angle) * h;
            TurnTo(Vec3Normalize(direction));
            flightEstimate = h / m_speed;
            return;
        }
        // Nothing to cross: the shot arrives where it starts.
    } else {
        Init(0, targetPoint, nullptr, nullptr, 0, yaw, scale);
    }
    Arrive(FindObject(targetId));
    flags |= SO_FROZEN;
    if (m_speed <= 0) {
        PlayShootSound();
        // A shooting skill's instant shot is done at launch: the caster turns
        // to where it struck and goes on with its next order.
        CSkillInstance* skill =
            casterIndex >= 0 && g_pWorldObjectManager ? g_pWorldObjectManager->GetSkillInstance(casterIndex) : nullptr;
        if (skill && skill->record && skill->record->kind == kShootingSkillKind) skill->SteerProjectile(*this);
    }
}

void CProjectile::ReleaseShooter() {
    // The world keeps the object while the shot holds it; once given back,
    // the world object manager ends it like any other.
    if (shooter && g_pWorldObjectManager && g_pWorldObjectManager->GetObjectById(shooter->id) == shooter &&
        shooter->refCount > 0)
        --shooter->refCount;
    shooter = nullptr;
}

void CProjectile::PlayShootSound() {
    CResource* sound = shootInfo ? shootInfo->sound : nullptr;
    if (!sound || sound->Type() != RES_SOUND_EFFECT || !IsVisible()) return;
    const float at[3] = {position.x, position.y, position.z};
    static_cast<CSoundEffect*>(sound)->PlayAt(at, false);
}

void CProjectile::ApplyHit(CWorldObject* target) {
    if (casterIndex < 0) {
        if (target && effectSlot != 6 && shooter) target->ReceiveAttack(shooter, 0);
    } else if (shooter && shooter->HasLocalAuthority() && g_pWorldObjectManager && g_pGameCommandManager &&
               g_pWorldObjectManager->GetSkillInstance(casterIndex)) {
        // Only the machine that simulates the shooter sends what the shot did.
        g_pGameCommandManager->BuildCastSkill(static_cast<uint32_t>(casterIndex), shooter->id,
                                              target ? target->id : -1, position,
                                              static_cast<uint32_t>(g_pWorldObjectManager->localSlot), 1, 1);
    }
    PlayShootSound();
}

void CProjectile::Arrive(CWorldObject* target) {
    ApplyHit(target);
    // One chain entry per hit; a target that is gone or dead ends the shot.
    bool goOn = false;
    if (!chainTargets.empty()) {
        const int32_t next = chainTargets.back();
        chainTargets.pop_back();
        const CWorldObject* nextObject = FindObject(next);
        goOn = nextObject && nextObject->alive;
        if (goOn) targetId = next;
    }
    if (!goOn) flags |= SO_FROZEN;
    CResource* impact = shootInfo ? shootInfo->effect : nullptr;
    if (!impact || !g_pEffectManager) return;
    if (!target) {
        impact->AddRef();
        if (CEffectInstance* fx =
                g_pEffectManager->CreateEffect(position, impact, nullptr, -1, Matrix::Identity(), kind, 0))
            ExtraEffects().push_back(fx);
    } else {
        g_pEffectManager->AttachEffectsToUnit(target, effectSlot, impact, nullptr, nullptr);
    }
}

void CProjectile::UpdateFog() {
    CWorldObjectManager* m = g_pWorldObjectManager;
    const bool fogged = m && m->fogOfWar && m->sightGrid && m->sightGrid->GetCell(position, -1) < 1;
    if (fogged)
        flags |= SO_HIDDEN;
    else
        flags &= ~SO_HIDDEN;
}

int CProjectile::Update(float dt) {
    if (!Finished()) {
        CWorldObject* target = FindObject(targetId);
        if (target && (target->stateFlags & kStealthBit)) {
            targetPoint = target->position;
            targetId = -1;
            target = nullptr;
        }
        Vec3 aim = targetPoint;
        float radius = kPointHitRadius;
        if (target) {
            radius = target->bounds.halfDepth * target->bounds.scale;
            aim = target->bounds.center;
            targetPoint = target->position;
        }
        const float away = HorizontalLength(aim - position);
        if (away > giveUpDistance && away > kGiveUpFloor) {
            flags |= SO_FROZEN;
            return 1;
        }
        flightTime += dt;
        const float k = SteeringGain(flightTime, flightEstimate);
        TurnTo(Vec3Normalize(facing + (aim - position) * (k * m_speed * dt)));
        const Vec3 next = position + facing * (m_speed * dt);
        if (PointNearSegment(position, next, aim, radius)) Arrive(target);
        MoveTo(next);
        UpdateFog();
    }
    if (CGameObject::Update(dt) == 0) {
        ReleaseShooter();
        return 0;
    }
    return 1;
}
