#include "world/SkillKinds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "commands/GameCommandManager.h"
#include "engine/core/Random.h"
#include "engine/core/NameHash.h"
#include "engine/effects/EffectManager.h"
#include "engine/sound/SoundEffect.h"
#include "world/CombatObject.h"
#include "world/EffectRecord.h"
#include "world/MapAreaSet.h"
#include "world/PathFinder.h"
#include "world/SkillLevelRecord.h"
#include "world/SkillRecord.h"
#include "world/SkillRecordKinds.h"
#include "world/UnitEffect.h"
#include "world/WorldObjectManager.h"

namespace {

// The world objects within radius of the owner that pass the record's two masks.
std::vector<CWorldObject*> Around(const CSkillInstance& s, float radius) {
    std::vector<CWorldObject*> out;
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (m && s.owner && s.record)
        m->QueryRange(s.owner->position, radius, s.record->excludeMask1, s.record->excludeMask2, s.owner, out);
    return out;
}

bool IsUnitOrBuilding(const CWorldObject& o) { return (o.flags & WO_COMBAT) != 0; }

// Loses amount of mana (hp 0) or takes it as damage of kind 3 from the source.
void Drain(CWorldObject& o, float amount, bool hp, int32_t sourceId, int mayCrit) {
    if (hp)
        o.TakeDamage(amount, sourceId, 3, 1, mayCrit);
    else
        o.ConsumeMana(amount);
}

// Gains amount of mana or HP (the negative side of the same operations).
void Gain(CWorldObject& o, float amount, bool hp) {
    if (hp)
        o.TakeDamage(-amount, o.id, 3, 0, 0);
    else
        o.ConsumeMana(-amount);
}

// A blocked landing cell gives way to the first open one on the line back toward from.
platform::Vec3 OpenCellToward(const platform::Vec3& to, const platform::Vec3& from) {
    if (!g_pPathFinder) return to;
    CWalkGrid& grid = g_pPathFinder->walkGrid();
    const PathPoint cell = grid.FromWorld(to);
    platform::Vec3 open = to;
    if (grid.Contains(cell.cellX, cell.cellZ) && !grid.IsTerrainFree(cell.cellX, cell.cellZ) &&
        grid.FindCellOnWorldLine(to, from, &open))
        return open;
    return to;
}

// A skill's sound at a point, heard only where its unit can be seen.
void PlayIfVisible(CResource* sound, const CWorldObject& unit, const platform::Vec3& at) {
    if (!sound || sound->Type() != RES_SOUND_EFFECT || !unit.IsVisible()) return;
    const float where[3] = {at.x, at.y, at.z};
    static_cast<CSoundEffect*>(sound)->PlayAt(where, false);
}

template <class T>
CSkillInstance* Make(void* storage) {
    return new (storage) T;
}

}  // namespace

void RegisterSkillKinds(CWorldObjectManager& m) {
    m.SetSkillFactory(0, &Make<CBasicSkill>, sizeof(CBasicSkill));
    m.SetSkillFactory(1, &Make<CEffectOtherSelfSkill>, sizeof(CEffectOtherSelfSkill));
    m.SetSkillFactory(2, &Make<CEffectAuraSkill>, sizeof(CEffectAuraSkill));
    m.SetSkillFactory(3, &Make<CDamageAuraSkill>, sizeof(CDamageAuraSkill));
    m.SetSkillFactory(4, &Make<CDirectAttackSkill>, sizeof(CDirectAttackSkill));
    m.SetSkillFactory(5, &Make<CObjectEffectSkill>, sizeof(CObjectEffectSkill));
    m.SetSkillFactory(6, &Make<CChannelSkill>, sizeof(CChannelSkill));
    m.SetSkillFactory(7, &Make<CTeleportSkill>, sizeof(CTeleportSkill));
    m.SetSkillFactory(8, &Make<CReflectionSkill>, sizeof(CReflectionSkill));
}

// Kind 1 ---------------------------------------------------------------------

void CEffectOtherSelfSkill::Init() {
    if (level < 1 || !owner) return;
    CastOnTargets();
    if (g_pWorldObjectManager) g_pWorldObjectManager->BuildSpawnCandidates(2 * owner->bounds.radius * owner->bounds.scale);
    startArmed = 0;
    otherDone = 0;
}

bool CEffectOtherSelfSkill::CarriesEffectKind8(const CWorldObject& unit) const {
    for (CUnitEffect* e : unit.effects)
        if (e->record && e->record->kind == 8) return true;
    return false;
}

void CEffectOtherSelfSkill::ForListed(void (*each)(CCombatObject&)) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    for (int32_t copyId : list) {
        CWorldObject* o = m ? m->GetObjectById(copyId) : nullptr;
        if (o && o->IsCombatObject()) each(static_cast<CCombatObject&>(*o));
    }
}

void CEffectOtherSelfSkill::AutoTarget(int32_t /*a*/, int32_t /*targetId*/, int32_t /*c*/) {
    auto* r = dynamic_cast<CEffectOtherSelfSkillRecord*>(record);
    if (!owner || !r) return;
    point = owner->position;
    owner->currentOrders.Clear();
    owner->SetOrder(0, 0, owner->position, -1, -1, 1);
    ++owner->conditions[0];
    if (!owner->HasLocalAuthority()) RestartCooldown();
    owner->stateFlags |= 0x80u;
    speedFactor = owner->attackAnimationRate;
    owner->attackAnimationRate = 0;
    ForListed([](CCombatObject& copy) {
        ++copy.conditions[0];
        if (copy.HasLocalAuthority()) copy.RequestOrder(0, 0, copy.position, -1, -1);
        copy.attackAnimationRate = 0;
    });
    ApplyEffectsToTarget(*owner);
    startArmed = 1;
    otherDone = 0;
    castTimer = 0;
    active = 1;
    PlayIfVisible(record->shootInfo.sound, *owner, owner->position);
}

void CEffectOtherSelfSkill::Update(float elapsed) {
    AdvanceCooldown(elapsed);
    auto* r = dynamic_cast<CEffectOtherSelfSkillRecord*>(record);
    if (!active || !owner || !r || (!startArmed && !otherDone && castTimer == 0)) return;
    castTimer += elapsed;
    if (castTimer < kSecondPhase) {
        if (startArmed && g_pEffectManager && r->otherEffectResource)
            g_pEffectManager->AttachEffectsToUnit(owner, static_cast<int>(r->otherWord), r->otherEffectResource,
                                                  nullptr, nullptr);
        startArmed = 0;
        return;
    }
    if (castTimer < kLastPhase) {
        if (!otherDone) {
            otherDone = 1;
            startArmed = 0;
            if (g_pEffectManager && r->selfEffectResource) {
                g_pEffectManager->AttachEffectsToUnit(owner, static_cast<int>(r->kindWord), r->selfEffectResource,
                                                      nullptr, nullptr);
                CWorldObjectManager* m = g_pWorldObjectManager;
                for (int32_t copyId : list)
                    if (CWorldObject* o = m ? m->GetObjectById(copyId) : nullptr)
                        g_pEffectManager->AttachEffectsToUnit(o, static_cast<int>(r->kindWord),
                                                              r->selfEffectResource, nullptr, nullptr);
            }
        }
        return;
    }
    owner->RemoveCondition(0);
    owner->attackAnimationRate = CarriesEffectKind8(*owner) ? speedFactor : 1.0f;
    owner->stateFlags &= ~0x80u;
    // The copies were held and frozen with the owner: they are let go with it.
    ForListed([](CCombatObject& copy) {
        copy.RemoveCondition(0);
        copy.attackAnimationRate = 1.0f;
    });
    ApplyToListed();
    startArmed = 1;
    otherDone = 0;
    castTimer = 0;
    Stop();
}

void CEffectOtherSelfSkill::ApplyToListed() {
    CWorldObjectManager* m = g_pWorldObjectManager;
    for (int32_t copyId : list)
        if (CWorldObject* o = m ? m->GetObjectById(copyId) : nullptr) ApplyEffectsToTarget(*o);
}

// Kind 4 ---------------------------------------------------------------------

int CDirectAttackSkill::Start(const platform::Vec3& point, int32_t /*targetId*/) {
    if (!owner) return 1;
    // Chosen so that the sweep starts at the owner (factor 1 at t = 0) and
    // ends on the point (factor 2 at the travel time).
    travel = point - owner->position;
    travel.y = 0;
    startPoint = owner->position - travel;
    endFactor = 2.0f;
    travelTimer = 0;
    castTimer = 0;
    hitList.clear();
    active = 1;
    return 1;
}

int CDirectAttackSkill::SetTarget(const platform::Vec3& point, int32_t targetId, int /*hasTarget*/) {
    auto* r = dynamic_cast<CDirectAttackSkillRecord*>(record);
    if (!r || !owner || r->kindWord[3] == 0 || !fireArmed) return 0;
    fireArmed = 0;
    owner->SetOrder(6, 4, point, targetId, id, 1);
    return 1;
}

platform::Vec3 CDirectAttackSkill::CurrentPoint() const {
    const float total = Amount(2);
    const float u = total > 0 ? std::min(travelTimer / total, 1.0f) : 1.0f;
    return startPoint + travel * ((1 - u) + u * endFactor);
}

void CDirectAttackSkill::HitAround() {
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (!m || !owner || !record) return;
    std::vector<CWorldObject*> found;
    m->QueryRange(CurrentPoint(), Amount(3), record->excludeMask1, record->excludeMask2, owner, found);
    for (CWorldObject* o : found) {
        if (!IsUnitOrBuilding(*o) || std::find(hitList.begin(), hitList.end(), o->id) != hitList.end()) continue;
        ApplyEffectsToTarget(*o);
        hitList.push_back(o->id);
    }
}

void CDirectAttackSkill::Update(float elapsed) {
    AdvanceCooldown(elapsed);
    if (!active || !owner) return;
    castTimer += elapsed;
    travelTimer += elapsed;
    const bool travelled = travelTimer >= Amount(2);
    if (castTimer < kHitInterval && !travelled) return;
    castTimer = 0;
    if (Amount(3) > 0) HitAround();
}

void CDirectAttackSkill::AutoTarget(int32_t /*a*/, int32_t targetId, int32_t /*c*/) {
    auto* r = dynamic_cast<CDirectAttackSkillRecord*>(record);
    if (!owner || !r) return;
    if (r->kindWord[2]) {
        platform::Vec3 to = EndPoint();
        to.y = owner->position.y;
        owner->TeleportTo(OpenCellToward(to, owner->position));
        owner->stateFlags &= ~0x80u;
    }
    if (Amount(3) <= 0) {
        CWorldObjectManager* m = g_pWorldObjectManager;
        CWorldObject* target = m ? m->GetObjectById(targetId) : nullptr;
        if (target && IsUnitOrBuilding(*target)) ApplyEffectsToTarget(*target);
    }
    for (CUnitEffect* e : owner->effects) e->Refresh(-1);
    Stop();
}

void CDirectAttackSkill::Stop() {
    active = 0;
    fireArmed = 1;
    travelTimer = 0;
    hitList.clear();
    targets.clear();
}

// Kind 8 ---------------------------------------------------------------------

void CReflectionSkill::Update(float elapsed) {
    if (!owner || level < 1) return;
    ApplyPendingLevels();
    secondTimer += elapsed;
    if (cooldownElapsed != kReady) cooldownElapsed += elapsed * cooldownRate;
}

int32_t CReflectionSkill::GetAnswerId(int32_t attackerId) {
    if (!owner || !owner->alive || attackerId == owner->id || level < 1 || !IsReady()) return -1;
    // The owner's own test: it must be able to cast and to pay.
    const CSkillLevelRecord* l = LevelRecord();
    if (owner->conditions[1] > 0 || (l && owner->mana < l->manaCost)) return -1;
    return id;
}

void CReflectionSkill::AutoTarget(int32_t /*a*/, int32_t attackerId, int32_t /*c*/) {
    auto* r = dynamic_cast<CReflectionSkillRecord*>(record);
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (!owner || !r || level < 1) return;
    if (g_pEffectManager && r->auraEffectResource)
        g_pEffectManager->AttachEffectsToUnit(owner, static_cast<int>(r->auraWord), r->auraEffectResource, nullptr,
                                              nullptr);
    RestartCooldown();
    ApplyEffectsToTarget(*owner);
    CWorldObject* attacker = m ? m->GetObjectById(attackerId) : nullptr;
    if (attacker && attacker != owner) ApplyEffectsToTarget(*attacker);
    for (CUnitEffect* e : owner->effects) e->Refresh(attackerId);
    if (const CSkillLevelRecord* l = LevelRecord()) owner->ConsumeMana(l->manaCost);
    PlayIfVisible(record->shootInfo.sound, *owner, owner->position);
}

// Kind 2 ---------------------------------------------------------------------

uint32_t CEffectAuraSkill::AuraWord() const {
    auto* r = dynamic_cast<const CEffectAuraSkillRecord*>(record);
    return r ? r->auraWord : 0;
}

void CEffectAuraSkill::Init() {
    if (record && (record->flags & CSkillRecord::kFlagPassive)) Activate(1);
}

void CEffectAuraSkill::Update(float elapsed) {
    AdvanceCooldown(elapsed);
    castTimer += elapsed;
    if (!owner || !owner->alive || !record) return;
    const bool activeType = (record->flags & CSkillRecord::kFlagActivePassive) != 0;
    const bool passive = (record->flags & CSkillRecord::kFlagPassive) != 0;
    const bool running = activeType && AuraWord() != 0 && active;
    const float period = running ? 0.3f : 1.0f;
    if (castTimer < period) return;
    if (!passive) {
        if (!running) return;
        if (cooldownElapsed >= Amount(2)) {
            active = 0;
            Deactivate();
            return;
        }
    }
    for (CWorldObject* o : Around(*this, Amount(1)))
        if (IsUnitOrBuilding(*o)) ApplyEffectsToTarget(*o);
    castTimer = 0;
}

void CEffectAuraSkill::Stop() {
    active = 0;
    Deactivate();
    targets.clear();
}

// Kind 3 ---------------------------------------------------------------------

void CDamageAuraSkill::AutoTarget(int32_t value, int32_t b, int32_t /*c*/) {
    if (owner)
        for (CUnitEffect* e : owner->effects) e->Refresh(b);
    stored = value;
    if (owner && !owner->HasLocalAuthority()) RestartCooldown();
}

void CDamageAuraSkill::Update(float elapsed) {
    AdvanceCooldown(elapsed);
    if (!active || !owner || !record) return;
    castTimer += elapsed;
    runTimer += elapsed;
    if (!started) {
        started = 1;
        Activate(1);
    }
    const CSkillLevelRecord* l = LevelRecord();
    const float upkeep = l ? l->manaCost : 0;
    if (!owner->alive || owner->mana < upkeep) {
        CWorldObjectManager* m = g_pWorldObjectManager;
        if (owner->HasLocalAuthority() && g_pGameCommandManager && m && !owner->orderRequested) {
            g_pGameCommandManager->BuildCastSkill(static_cast<uint32_t>(id), owner->id, -1, owner->position,
                                                  static_cast<uint32_t>(m->localSlot), 0, 1);
            owner->orderRequested = 1;
        }
        return;
    }
    bool paid = false;
    if (runTimer >= Amount(3)) {
        owner->ConsumeMana(upkeep);
        paid = true;
    }
    if (castTimer < 1.0f && !paid) return;
    auto* r = dynamic_cast<CDamageAuraSkillRecord*>(record);
    const float amount = Amount(2);
    if (r && amount != 0) {
        for (CWorldObject* o : Around(*this, Amount(1))) {
            if (!IsUnitOrBuilding(*o) || o->team == owner->team) continue;
            const bool hp = r->kindWord1 != 0;
            const float current = hp ? o->hitPoints : o->mana;
            Drain(*o, r->kindWord2 ? amount * current : amount, hp, owner->id, 0);
        }
    }
    runTimer = 0;
    castTimer = 0;
}

void CDamageAuraSkill::Stop() {
    active = 0;
    started = 0;
    if (level > 0) {
        stored = 0;
        runTimer = 0;
    }
    Deactivate();
    targets.clear();
}

// Kind 5 ---------------------------------------------------------------------

int CObjectEffectSkill::Start(const platform::Vec3& point, int32_t targetId) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    CWorldObject* target = m ? m->GetObjectById(targetId) : nullptr;
    if (!target || !record || !RollPercent(Amount(5))) return 0;
    if (!m->PassesFilter(*target, record->excludeMask1, 0, owner)) return 0;
    return CSkillInstance::Start(point, targetId);
}

void CObjectEffectSkill::AutoTarget(int32_t /*a*/, int32_t targetId, int32_t /*c*/) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    auto* r = dynamic_cast<CObjectEffectSkillRecord*>(record);
    if (!owner || !m || !r) return;
    const bool authority = owner->HasLocalAuthority();
    if (!authority) RestartCooldown();
    for (CUnitEffect* e : owner->effects) e->Refresh(owner->id);
    CWorldObject* target = m->GetObjectById(targetId);
    if (target && target->alive) {
        ApplyEffectsToTarget(*target);
        if (r->kindWord[3] == 2) {
            // Each takes the other's ratio of current to maximum.
            const bool hp = r->kindWord[1] != 0;
            const int32_t stat = hp ? 5 : 6;
            auto ratio = [&](CWorldObject& o) {
                const float max = o.GetStat(stat);
                return max > 0 ? (hp ? o.hitPoints : o.mana) / max : 0.0f;
            };
            const float mine = ratio(*owner), theirs = ratio(*target);
            auto set = [&](CWorldObject& o, float f) { (hp ? o.hitPoints : o.mana) = f * o.GetStat(stat); };
            set(*owner, theirs);
            set(*target, mine);
        } else if (target != owner && Amount(3) != 0) {
            const float a3 = Amount(3);
            const bool gainHp = r->kindWord[2] != 0;
            const float amount = std::min(a3, gainHp ? target->hitPoints : target->mana);
            Gain(*owner, amount * Amount(4), gainHp);
            Drain(*target, a3, r->kindWord[1] != 0, owner->id, (record->flags & 0x80) != 0);
        }
        if (target->team != owner->team && authority && IsUnitOrBuilding(*target)) target->ReactToAttacker(owner);
    }
    if (--hits < 1) active = 0;
}

// Kind 6 ---------------------------------------------------------------------

void CChannelSkill::AutoTarget(int32_t /*a*/, int32_t targetId, int32_t /*c*/) {
    channelTarget = targetId;
    if (level < 1) return;
    active = 1;
    castTimer = 0;
    tickTimer = 0;
    drainTimer = 0;
}

void CChannelSkill::Update(float elapsed) {
    AdvanceCooldown(elapsed);
    if (!active) return;
    CWorldObjectManager* m = g_pWorldObjectManager;
    CWorldObject* target = m ? m->GetObjectById(channelTarget) : nullptr;
    auto* r = dynamic_cast<CSkillRecord6*>(record);
    if (!owner || !r) return;
    castTimer += elapsed;
    tickTimer += elapsed;
    drainTimer += elapsed;
    bool broken = !target || !target->alive;
    if (!broken && tickTimer > 0.1f) {
        tickTimer = 0;
        if (drainTimer > Amount(5)) {
            EndGivenEffects(*owner);
            EndGivenEffects(*target);
            if (Amount(3) > 0) {
                Drain(*target, Amount(4), r->kindWord1 != 0, owner->id, 0);
                Gain(*owner, r->kindWord2 ? Amount(3) * Amount(4) : Amount(3), r->kindWord1 != 0);
            }
            drainTimer = 0;
        }
        const float gap = DistanceXZ(owner->position, target->position) - target->bounds.radius * target->bounds.scale;
        broken = gap >= Amount(1) || !m->PassesFilter(*target, record->excludeMask1, 0, owner) ||
                 owner->conditions[0] > 0 || owner->conditions[1] > 0 || owner->conditions[4] > 0 ||
                 castTimer > Amount(2) || !target->alive;
    }
    if (!broken) return;
    Stop();
    if (owner->HasLocalAuthority() && !owner->orderRequested) {
        if (CGameCommand* c = BeginCommand(CMD_UNIT_STOP)) c->SetU16(2, static_cast<uint32_t>(owner->id));
        owner->orderRequested = 1;
    }
}

void CChannelSkill::Stop() {
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (owner) EndGivenEffects(*owner);
    if (CWorldObject* t = m ? m->GetObjectById(channelTarget) : nullptr) EndGivenEffects(*t);
    active = 0;
    castTimer = 0;
    tickTimer = 0;
    drainTimer = kReady;
    targets.clear();
}

// Kind 7 ---------------------------------------------------------------------

int CTeleportSkill::Start(const platform::Vec3& point, int32_t targetId) {
    auto* r = dynamic_cast<CTeleportSkillRecord*>(record);
    if (!owner || !r) return 0;
    if (active) return 1;
    if (!RollPercent(static_cast<float>(r->kindWord4))) return 0;
    destination = point;
    return CSkillInstance::Start(point, targetId);
}

bool CTeleportSkill::FindDestination(const CTeleportSkillRecord& r, platform::Vec3* out) const {
    const float reach = Amount(3);
    if (r.teleportText.empty() && reach > 0) {
        platform::Vec3 to = destination;
        const float away = DistanceXZ(owner->position, to);
        if (away > reach) to = owner->position + (to - owner->position) * (reach / away);
        *out = OpenCellToward(to, owner->position);
        return true;
    }
    char base[16];
    std::snprintf(base, sizeof base, "Base%d", owner->team + 1);
    const std::string& name = r.teleportText.empty() ? std::string(base) : r.teleportText;
    CNamedArea* area = g_pMapAreaSet ? g_pMapAreaSet->Find(NameHash(name)) : nullptr;
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (!area || !m) return false;
    const float radius = owner->bounds.radius * owner->bounds.scale;
    m->BuildSpawnCandidates(radius);
    m->FindFreeSpawnPoint(area->centre, radius, 1, out);
    return true;
}

void CTeleportSkill::AutoTarget(int32_t /*a*/, int32_t /*b*/, int32_t /*c*/) {
    auto* r = dynamic_cast<CTeleportSkillRecord*>(record);
    if (!owner || !r) return;
    if (g_pEffectManager && r->arriveEffectResource)
        g_pEffectManager->AttachEffectsToUnit(owner, static_cast<int>(r->arriveWord), r->arriveEffectResource, nullptr,
                                              nullptr);
    platform::Vec3 to;
    if (FindDestination(*r, &to)) {
        // Only this machine searched (and drew) for the spot: every machine
        // moves the owner when the record comes back.
        if (g_pGameCommandManager && owner->HasLocalAuthority())
            g_pGameCommandManager->BuildSkillAction(owner->id, owner->id, id, to, 1);
        PlayIfVisible(r->arriveSoundResource, *owner, to);
    }
    owner->stateFlags &= ~0x80u;
    Stop();
}
