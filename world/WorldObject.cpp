#include "world/WorldObject.h"

#include <algorithm>
#include <cmath>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/Random.h"
#include "engine/render/ModelResource.h"
#include "engine/sound/SoundEffect.h"
#include "platform/CrtRandom.h"
#include "world/CombatObject.h"
#include "world/EffectRecord.h"
#include "world/GameDataRegistry.h"
#include "world/SightGrid.h"
#include "world/SpatialTree.h"
#include "world/UnitEffect.h"
#include "world/WorldObjectManager.h"

using platform::Vec3;

namespace {

// Scene flags the visibility step sets while an object is out of the local
// view. 0x100 keeps an unseen object out of the cursor's picks; some objects
// carry it for good (passable decorations, units of record flag bit 26).
constexpr uint32_t kOutOfSight = 0x40000040u;
constexpr uint32_t kOutOfPicks = 0x100u;
constexpr int32_t kDeathAction = 6;

// The random part of every damage roll: r in [0, 1].
float DamageRoll(float power) {
    float r = static_cast<float>(platform::CrtRand()) / static_cast<float>(platform::kCrtRandMax);
    return power * 0.08f + r * (power * 0.12f - power * 0.08f);
}

}  // namespace

float CriticalChance(float attackerStat2) { return std::min((attackerStat2 - 100.0f) * 0.1f, 50.0f); }

float BaseDamage(float power, float factor, float armour) {
    return std::max(0.0f, power * factor - armour) + DamageRoll(power);
}

void SendHitOutcome(CWorldObject& target, CWorldObject* attacker, int32_t kind, float amount, bool lethal) {
    if (!g_pGameCommandManager) return;
    int32_t attackerId = attacker ? attacker->id : -1;
    g_pGameCommandManager->BuildHpChange(static_cast<uint32_t>(kind), 0, target.id, attackerId, amount, 1);
    if (lethal) g_pGameCommandManager->BuildUnitKilled(target.id, attackerId, 1);
}

CWorldObject::~CWorldObject() { RemoveAllEffects(); }

bool CWorldObject::HasLocalAuthority() const {
    return g_pWorldObjectManager ? g_pWorldObjectManager->HasLocalAuthority(*this) : true;
}

void CWorldObject::SetOwner(int32_t newOwner) {
    owner = newOwner;
    if (g_pWorldObjectManager && newOwner >= 0 && newOwner < kOwnerCount)
        team = g_pWorldObjectManager->ownerTeam[newOwner];
}

int CWorldObject::Update(float dt) {
    UpdateVisibility();
    if (g_pGameCommandManager && finished) {
        if (deadFlag) {
            flags |= SO_FROZEN;
            deadFlag = 0;
            if (!(flags & WO_ITEM)) RollRandomEvent();
        } else {
            SetAction(nullptr, 1, 0);
        }
    }
    return CGameObject::Update(dt);
}

void CWorldObject::UpdateVisibility() {
    CWorldObjectManager* m = g_pWorldObjectManager;
    CSightGrid* grid = m ? m->sightGrid : nullptr;
    int32_t viewer = m ? m->sightLayer : 0;
    // The step takes back only the pick bit it set itself: an object that
    // carries it for good keeps it when seen.
    auto inSight = [this] {
        flags &= ~kOutOfSight;
        if (m_unseenOutOfPicks) flags &= ~kOutOfPicks;
        m_unseenOutOfPicks = false;
    };
    if (!m || !m->fogOfWar || !grid) {
        inSight();
        if (viewer >= 0 && viewer < kPlayerSlots) seen[viewer] = 1;
        SetColorScale(1, 1, 1);
        return;
    }
    if (!(flags & kOutOfPicks)) m_unseenOutOfPicks = true;
    flags |= kOutOfSight | kOutOfPicks;
    const bool everyLayerDraws = m->gameMode == 3 || m->gameMode == 4;
    const bool hiddenFlyer = (unitFlags & 0x400000) && !(unitFlags & 0x800000);
    bool drawnSeen = false;
    int32_t drawnAnswer = -2;
    for (int32_t layer = 0; layer < kPlayerSlots; ++layer) {
        if (!grid->IsLayerActive(layer) || (hiddenFlyer && layer != viewer)) continue;
        int32_t answer = grid->AnySeen(layer, position, bounds.radius * bounds.scale, 0);
        seen[layer] = answer == 1 ? 1 : 0;
        if (layer != viewer && !everyLayerDraws) continue;
        if (answer == 1) drawnSeen = true;
        drawnAnswer = std::max(drawnAnswer, answer);
    }
    if (drawnSeen) {
        inSight();
        SetColorScale(1, 1, 1);
    } else if (drawnAnswer < 0) {
        SetColorScale(0, 0, 0);
    } else {
        SetColorScale(0.2f, 0.2f, 0.2f);
        if (unitFlags & 0x8) flags &= ~SO_HIDDEN;
    }
}

void CWorldObject::UpdateHealthBar(float dt) {
    healthBarTimer += dt;
    if (!(healthBarTimer > 0.2f)) return;
    float maximum = GetStat(5);
    float r = maximum > 0 ? hitPoints / maximum : 0.0f;
    healthBarColor = r <= 0.7f ? platform::Vec4(1, 2 * r, 0, 1) : platform::Vec4(2 * (1 - r), 1, 0, 1);
    healthBarTimer = 0;
}

void CWorldObject::AddRandomEvent(int32_t a, int32_t b, int32_t c) { randomEvents.push_back({{a, b, c}}); }

void CWorldObject::RollRandomEvent() {
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (randomEvents.empty() || !m || !g_pGameCommandManager) return;
    if (m->online && !m->host) return;
    if (!HasLocalAuthority() || !RollPercent(static_cast<float>(eventChance))) return;
    if (m->eventCounter < CWorldObjectManager::kDropIdBase ||
        m->eventCounter >= static_cast<int32_t>(CWorldObjectManager::kSpawnIdBase) - 1)
        m->eventCounter = CWorldObjectManager::kDropIdBase - 1;
    ++m->eventCounter;
    const RandomEvent& e = randomEvents[static_cast<size_t>(platform::CrtRand()) % randomEvents.size()];
    g_pGameCommandManager->BuildCreateObject(static_cast<uint32_t>(e.values[0]), static_cast<uint32_t>(e.values[1]),
                                             position, static_cast<uint32_t>(m->eventCounter), 1);
}

void CWorldObject::TeleportTo(const Vec3& p) {
    VacateGrid(1);
    position = p;
    flags |= 0x9000;
    RebuildTransform();
    if (g_pSpatialTree && treeLeaves[0] >= 0) g_pSpatialTree->Move(this);
    OccupyGrid(1);
}

void CWorldObject::PlayHitSound(const CWorldObject& attacker) {
    if (!g_pGameDataRegistry || !attacker.record || !record) return;
    CResource* sound = g_pGameDataRegistry->PreloadTable().HitSound(attacker.record->hitRow, record->hitColumn);
    auto* effect = dynamic_cast<CSoundEffect*>(sound);
    if (!effect || (flags & SO_HIDDEN) || !IsVisible()) return;
    float rgba[4];
    GetColor(rgba);
    if (!(rgba[3] > 0)) return;
    const float at[3] = {position.x, position.y, position.z};
    effect->PlayAt(at, false);
}

void CWorldObject::TakeDamage(float amount, int32_t attackerId, int32_t kind, int apply, int mayCrit) {
    if (amount == 0 || !IsCombatObject() || !alive) return;
    CWorldObjectManager* m = g_pWorldObjectManager;
    const bool authority = HasLocalAuthority();
    CWorldObject* attacker = m ? m->GetObjectById(attackerId) : nullptr;
    if (attacker && attacker->IsCombatObject() && authority) {
        if (owner == kOwnerHostileNeutral) ReactToAttacker(attacker);
        if (amount > 0)
            for (CUnitEffect* e : effects) e->ModifyIncomingDamage(&amount);
        if (m->damageScaling == 1 && attacker->team == 1 && kind == 3) amount = m->GetTeamDamageScale(amount, -1);
        if (mayCrit && (!IsUntargetable() || amount < 0) && RollPercent(CriticalChance(attacker->GetStat(2)))) {
            kind = 7;
            amount *= 1.5f;
        }
    }
    if (amount > 0 && IsUntargetable()) return;
    if (apply) {
        const bool lethal = hitPoints - amount < 1.0f;
        if (mayCrit || lethal || std::fabs(amount) >= 100.0f) {
            // The outcome comes back to every machine as commands.
            if (!authority) return;
            if (lethal) {
                hitPoints = 0;
                alive = 0;
            }
            SendHitOutcome(*this, attacker, kind, amount, lethal);
            if (lethal) GrantKillReward(attackerId);
            return;
        }
    }
    if (amount > 0)
        hitPoints = std::max(hitPoints - amount, std::min(hitPoints, 1.0f));
    else
        hitPoints = std::min(hitPoints - amount, std::max(hitPoints, GetStat(5)));
}

void CWorldObject::ConsumeMana(float amount) {
    if (amount == 0 || !IsCombatObject() || !alive) return;
    mana = std::min(std::max(mana - amount, 0.0f), std::max(GetStat(6), 0.0f));
}

float CWorldObject::RollDamage(CWorldObject* attacker, int32_t kind) {
    if (!attacker) return 0;
    return BaseDamage(attacker->GetStat(3), kind == 4 ? splashFactor : 1.0f, 0.0f);
}

void CWorldObject::ReceiveAttack(CWorldObject* attacker, int32_t kind) {
    if (!attacker) return;
    PlayHitSound(*attacker);
    if (!HasLocalAuthority() || !alive) return;
    if (attacker->IsCombatObject() && (static_cast<CCombatObject*>(attacker)->combatFlags & 0x20000)) return;
    if (IsUntargetable()) return;
    float damage = RollDamage(attacker, kind);
    const bool lethal = hitPoints - damage < 1.0f;
    if (lethal) {
        hitPoints = 0;
        alive = 0;
    }
    SendHitOutcome(*this, attacker, kind, damage, lethal);
}

void CWorldObject::Die() {
    hitPoints = 0;
    if (CModelResource* m = GetModel()) SetAction(m->GetAction(kDeathAction), 1, 1);
    deadFlag = 1;
    alive = 0;
}

int CWorldObject::Serialize(CFileStream& s, int /*flag*/) {
    uint32_t count = static_cast<uint32_t>(randomEvents.size());
    s.Serialize(count);
    if (s.mode() == CFileStream::MODE_READ) {
        if (s.Failed() || count > s.Remaining() / 12) {
            ErrorReport().SetError(ERR_DATA, "Wrong event list - %s", name);
            return 0;
        }
        randomEvents.assign(count, RandomEvent{});
    }
    for (RandomEvent& e : randomEvents)
        for (int32_t& v : e.values) s.Serialize(v);
    s.Serialize(eventChance);
    return s.Failed() ? 0 : 1;
}

int CWorldObject::BindRecord(const Vec3& at, CGameDataRecord* rec, float yaw, float scale) {
    if (!rec) return 0;
    record = rec;
    recordKey = rec->id;
    recordName = rec->name;
    unitFlags = rec->flags;
    stateFlags = rec->value2;
    auto* model = dynamic_cast<CModelResource*>(rec->modelResource);
    if (model) model->AddRef();
    Init(0, at, nullptr, model, 0, yaw, scale);
    name = rec->name;
    return 1;
}

int CWorldObject::SerializeBody(CFileStream& s, int flag) { return CWorldObject::Serialize(s, flag); }

int CWorldObject::LoadFromMap(CFileStream& s, int flag) {
    const bool reading = s.mode() == CFileStream::MODE_READ;
    if (!reading) {
        uint32_t kindFlags = WO_WORLD_OBJECT;
        s.Serialize(kindFlags);
        s.Serialize(objectType);
    }
    uint32_t category = static_cast<uint32_t>(objectType);
    int32_t objectId = id, ownerIndex = owner;
    Vec3 p = position;
    float yaw = GetFacingAngle(), scale = bounds.scale;
    uint32_t untargetable = (stateFlags & 0x80000) ? 1 : 0;
    uint32_t walkFlag = (flags & 0x400) ? 1 : 0;
    s.Serialize(category);
    s.Serialize(recordKey);
    s.Serialize(recordName);
    s.Serialize(objectId);
    s.Serialize(ownerIndex);
    for (float* v : {&p.x, &p.y, &p.z, &yaw, &scale}) s.Serialize(*v);
    s.Serialize(animationValue);
    s.Serialize(untargetable);
    s.Serialize(walkFlag);
    if (!reading) return Serialize(s, flag) && !s.Failed() ? 1 : 0;

    int32_t level = 1;
    if (category == CAT_UNIT) s.Serialize(level);
    if (s.Failed()) return 0;
    CGameDataRecord* found = FindGameRecord(category, recordKey);
    if (!found) return FailCheck(ERR_RESOURCE_LINK, recordName);
    if (!found->Link()) {
        ErrorReport().Chain("%s", recordName);
        return 0;
    }
    objectType = static_cast<int32_t>(category);
    SetOwner(ownerIndex);
    if (!InitFromRecord(p, found, level, yaw, scale)) return 0;
    SetAction(nullptr, 1, 0);
    if (!SerializeBody(s, flag) || !LinkResources(flag)) return 0;
    if (untargetable) stateFlags |= 0x80000;
    if (walkFlag) flags |= 0x400;
    if (!flag && (unitFlags & 0x4200000)) flags &= ~WO_BLOCKS_GRID;
    if (!g_pWorldObjectManager) return 1;
    return g_pWorldObjectManager->RegisterObject(this, objectId, 1, 1);
}

// The effect list.

int CWorldObject::ApplyEffect(CEffectRecord* effectRecord, int32_t level, int32_t sourceId, int checkPrerequisites) {
    if (!effectRecord || !g_pWorldObjectManager) return 0;
    if (!alive && effectRecord->kind != 17) return 0;
    if (checkPrerequisites && !effectRecord->values.empty()) {
        // The record's presence flag (effectWord5) and all flag (effectWord6) over its value list.
        const bool wantPresent = effectRecord->effectWord5 != 0, needAll = effectRecord->effectWord6 != 0;
        size_t met = 0;
        for (uint32_t required : effectRecord->values)
            if (HasEffect(required) == wantPresent) ++met;
        if (needAll ? met != effectRecord->values.size() : met == 0) return 0;
    }
    for (CUnitEffect* e : effects) {
        if (!e->record || e->record->kind != effectRecord->kind) continue;
        if ((e->record->flags | effectRecord->flags) & kEffectNoStacking) return 0;
        if (e->record == effectRecord && (effectRecord->flags & kEffectRefreshable) && e->level <= level) {
            if (effectRecord->kind == 11) {
                e->elapsed = CUnitEffect::kEnded;
                break;  // a new transformation follows
            }
            e->elapsed = 0;
            e->level = std::min(std::max(e->level, level), static_cast<int32_t>(effectRecord->params.size()));
            return 0;
        }
    }
    CUnitEffect* effect = g_pWorldObjectManager->CreateUnitEffect(effectRecord);
    if (!effect) return 0;
    effect->level = std::min(level, static_cast<int32_t>(effectRecord->params.size()));
    effect->target = this;
    effect->sourceId = sourceId;
    if (effect->level < 1 || !effect->Begin()) {
        g_pWorldObjectManager->FreeUnitEffect(effect);
        return 0;
    }
    effects.push_back(effect);
    return 1;
}

bool CWorldObject::HasEffect(uint32_t recordId) const {
    return std::any_of(effects.begin(), effects.end(),
                       [&](const CUnitEffect* e) { return e->record && e->record->id == recordId && e->elapsed != CUnitEffect::kEnded; });
}

bool CWorldObject::CarriesEffectKind(uint32_t kind) const {
    return std::any_of(effects.begin(), effects.end(), [&](const CUnitEffect* e) {
        return e->record && e->record->kind == kind && e->elapsed != CUnitEffect::kEnded;
    });
}

void CWorldObject::EndEffectsFrom(int32_t sourceId) {
    for (CUnitEffect* e : effects)
        if (e->sourceId == sourceId && !e->KindFlag()) e->elapsed = CUnitEffect::kEnded;
}

void CWorldObject::RemoveAllEffects() {
    std::list<CUnitEffect*> ending;
    ending.swap(effects);
    for (CUnitEffect* e : ending) {
        e->Notify();
        e->End();
        // Without a manager the pools, and the effect's storage, are gone already.
        if (g_pWorldObjectManager) g_pWorldObjectManager->FreeUnitEffect(e);
    }
}

void CWorldObject::PassToEffects(int32_t value) {
    for (CUnitEffect* e : effects) e->OnAttackHit(value, 0);
}

void CWorldObject::PingEffects(int32_t value) {
    for (CUnitEffect* e : effects) e->Refresh(value);
}

void CWorldObject::EndKind9Effects() {
    for (CUnitEffect* e : effects) {
        if (!e->record || e->record->kind != 9) continue;
        uint32_t f = e->record->flags;
        bool allowed = (!(f & 0x1) || !(f & 0x10)) && ((f & 0x2) || !(f & 0xC));
        if (allowed) e->elapsed = CUnitEffect::kEnded;
    }
}

void CWorldObject::UpdateEffects(float elapsed) {
    for (auto it = effects.begin(); it != effects.end();) {
        CUnitEffect* e = *it;
        if (e->Update(elapsed)) {
            ++it;
            continue;
        }
        e->End();
        it = effects.erase(it);
        if (g_pWorldObjectManager) g_pWorldObjectManager->FreeUnitEffect(e);
    }
}

void CWorldObject::EndEffects(uint32_t recordId) {
    for (CUnitEffect* e : effects)
        if (!recordId || (e->record && e->record->id == recordId)) e->OnOwnerEvent();
}

void CWorldObject::NotifyEffects(float a, int32_t b, int32_t c) {
    for (CUnitEffect* e : effects) e->OnTakeDamage(a, b, c);
}

void CWorldObject::ResetEffects() {
    for (CUnitEffect* e : effects) e->Reset();
}

void CWorldObject::RefreshEffect(uint32_t recordId) {
    for (CUnitEffect* e : effects) {
        if (!e->record || e->record->id != recordId) continue;
        ApplyEffect(e->record, e->level, e->sourceId, 0);
        return;
    }
}
