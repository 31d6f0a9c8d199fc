#include "world/CombatObject.h"

#include <algorithm>
#include <cmath>

#include "commands/GameCommandManager.h"
#include "engine/core/NameHash.h"
#include "engine/core/Random.h"
#include "world/CombatData.h"
#include "world/GameDataRegistry.h"
#include "world/SkillInstance.h"
#include "world/SkillRecord.h"
#include "world/UnitEffect.h"
#include "world/WorldObjectManager.h"

using platform::Vec3;

namespace {

}  // namespace

CGameCommand* BeginCommand(uint32_t type) {
    CGameCommandManager* c = g_pGameCommandManager;
    if (!c) return nullptr;
    if (c->IsPacking()) return c->PackCommand(GameCommandSize(type), type);
    CGameCommand* r = c->CreateCommand(type);
    if (r) c->QueueCommand(r);
    return r;
}

void StatArrays::ClearBonuses() {
    std::fill(std::begin(addA), std::end(addA), 0.0f);
    std::fill(std::begin(addB), std::end(addB), 0.0f);
    std::fill(std::begin(fraction), std::end(fraction), 0.0f);
}

CCombatObject::~CCombatObject() {
    FreeSkills();
    // The master was held for this follower.
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (leader && m && m->GetObjectById(leaderId) == leader && leader->refCount > 0) --leader->refCount;
}

CCombatData* CCombatObject::CombatRecord() const { return dynamic_cast<CCombatData*>(record); }

int CCombatObject::InitCombat(const Vec3& at, CGameDataRecord* rec, int32_t newLevel, float yaw, float scale) {
    auto* data = dynamic_cast<CCombatData*>(rec);
    if (!data) return 0;
    level = std::max(newLevel, 1);
    const bool building = rec->category == CAT_BUILDING;
    if (!BindRecord(at, rec, building ? 0.0f : yaw, building ? 1.0f : scale)) return 0;
    OnLevelChanged();
    hitPoints = GetStat(5);
    mana = GetStat(6);
    attackRange = BitsFloat(data->word[5]);  // the record's attack range (10.0 by default)
    ComputeBounties(level);
    order = CurrentOrder{};
    orderJustSet = 1;
    orderRequested = 0;
    if (rec->flags & 0x4000000) {
        flags |= 0x108;
        combatFlags |= 0x50000;
    }
    return 1;
}

void CCombatObject::ComputeBounties(int32_t forLevel) {
    CCombatData* data = CombatRecord();
    if (!data) return;
    const uint32_t f = data->flags;
    const float l = static_cast<float>(forLevel);
    // The record's bounty values: word 7 experience, word 8 gold.
    const float experience = static_cast<float>(data->word[7]), gold = static_cast<float>(data->word[8]);
    bountyExperience = experience;
    bountyGold = gold;
    if (f & 0x1) {
        if (f & 0x10) {
            bountyExperience = l * 100.0f;
            bountyGold = (l * 5.0f + 50.0f) * 2.0f;
        } else {
            bountyExperience = experience * (l + 2.0f);
            if (f & 0x80) bountyGold = (l + 2.0f) * gold;
        }
    }
}

void CCombatObject::Die() {
    CWorldObject::Die();
    RemoveAllEffects();
    order = CurrentOrder{};
    attackTargetId = -1;
}

bool CCombatObject::RollToHit(CWorldObject& attacker) {
    if (combatFlags & 0x4000) return true;
    float chance = attacker.GetStat(11) - GetStat(12);
    if ((attacker.unitFlags & 0x4000) && (unitFlags & 0x2000)) chance -= 25.0f;
    return RollPercent(chance);
}

float CCombatObject::ClassBonus(CWorldObject& attacker) {
    const uint32_t a = attacker.unitFlags, t = unitFlags;
    const float power = attacker.GetStat(3);
    float bonus = 0;
    if (((a & 0x400) && (t & 0x200)) || ((a & 0x200) && (t & 0x800)) || ((a & 0x800) && (t & 0x100)) ||
        ((a & 0x100) && (t & 0x400)))
        bonus = 0.2f * power;
    if ((a & 0x4000) && (t & 0x8000) && RollPercent(15.0f)) bonus = 0.25f * power;
    return bonus;
}

float CCombatObject::RollDamage(CWorldObject* attacker, int32_t kind) {
    if (!attacker) return 0;
    float armour = GetStat(4);
    auto* ac = attacker->IsCombatObject() ? static_cast<CCombatObject*>(attacker) : nullptr;
    if ((ac && (ac->combatFlags & 0x40000)) || ((attacker->unitFlags & 0x8000) && (unitFlags & 0x2000))) armour = 0;
    float damage = BaseDamage(attacker->GetStat(3), kind == 4 ? splashFactor : 1.0f, armour);
    if (kind != 4 && IsCombatObject()) damage += ClassBonus(*attacker);
    return damage;
}

void CCombatObject::ReceiveAttack(CWorldObject* attacker, int32_t kind) {
    if (!attacker) return;
    PlayHitSound(*attacker);
    if (!HasLocalAuthority() || !alive) return;
    auto* ac = attacker->IsCombatObject() ? static_cast<CCombatObject*>(attacker) : nullptr;
    const bool noDamage = (ac && (ac->combatFlags & 0x20000)) || IsUntargetable();
    if (!noDamage) {
        if (kind == 0 && !RollToHit(*attacker)) {
            if (CGameCommand* r = BeginCommand(CMD_UNIT_EFFECTS_RESET)) r->SetU16(2, static_cast<uint32_t>(attacker->id));
        } else {
            float damage = RollDamage(attacker, kind);
            for (CUnitEffect* e : attacker->effects) e->OnDealDamage(1, &damage, &kind, this);
            for (CUnitEffect* e : effects) e->OnDealDamage(0, &damage, &kind, attacker);
            const bool lethal = damage > 0 && hitPoints - damage < 1.0f;
            if (lethal) {
                hitPoints = 0;
                alive = 0;
            }
            SendHitOutcome(*this, attacker, kind, damage, lethal);
            if (lethal) GrantKillReward(attacker->id);
        }
    }
    ReactToAttacker(attacker);
    AfterAttack(*attacker);
}

void CCombatObject::AfterAttack(CWorldObject& attacker) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    CGameCommandManager* c = g_pGameCommandManager;
    if (!m || !c) return;
    if (queryTimer >= 0.5f && !m->HasLocalAuthority(attacker)) {
        c->BuildTargetQuery(static_cast<uint32_t>(m->localSlot), id, attacker.id, 1);
        queryTimer = 0;
    }
    const bool local = owner == m->localSlot || ((flags & WO_BUILDING) && team == m->localTeam);
    if (local && alertTimer <= 0) {
        alertTimer = 30.0f;
        c->BuildGameEvent(8, id, -1, 0);
    }
}

void CCombatObject::GrantKillReward(int32_t killerId) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    CWorldObject* killer = m ? m->GetObjectById(killerId) : nullptr;
    if (!killer || killer->team == team || (stateFlags & 0x1000000) || !(bountyExperience > 0)) return;
    std::vector<int32_t> ids;
    if (m->damageScaling == 0) {
        std::vector<CWorldObject*> near;
        m->QueryRange(position, kRewardRadius, 0, 0, nullptr, near);
        for (CWorldObject* o : near)
            if (o != this && o->IsUnit() && o->alive && o->team == killer->team) ids.push_back(o->id);
    } else {
        for (CWorldObject* o : m->Objects()) {
            bool present = o->owner >= 0 && o->owner < kPlayerSlots && m->slotOccupied[o->owner] && !m->slotGone[o->owner];
            if (present && o->IsUnit() && (o->unitFlags & 0x10) && o->alive && !o->unregistered) ids.push_back(o->id);
        }
    }
    if (g_pGameCommandManager && !ids.empty())
        g_pGameCommandManager->BuildGrantRewardGroup(0, ids.data(), static_cast<int>(ids.size()),
                                                     static_cast<int32_t>(bountyExperience), 1);
    killRewardFlag = 1;
    orderRequested = 1;
}

void CCombatObject::ReactToAttacker(CWorldObject* attacker) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    CGameCommandManager* c = g_pGameCommandManager;
    if (!attacker || !m || !c || orderRequested || order.targetId == attacker->id || !alive) return;
    if ((order.kind == 2 && order.skillId >= 0) || conditions[3] > 0 || conditions[4] > 0) return;
    if (m->GetTargetFailure(*attacker, 0, 0, this) >= 0 || !attacker->alive) return;
    const bool building = (flags & WO_BUILDING) != 0;
    const float reach = attackRange + bounds.radius * bounds.scale + attacker->bounds.radius * attacker->bounds.scale;
    const bool inRange = DistanceXZ(position, attacker->position) <= reach;
    const bool canMove = !building && conditions[0] == 0 && GetStat(10) > 0;
    auto resumeLater = [&] {
        c->BuildUnitOrderQueued(id, static_cast<uint32_t>(order.kind), static_cast<uint32_t>(order.subKind), 0,
                                order.point, order.targetId, 1);
    };
    switch (order.kind) {
        case 0:
            if (order.subKind == 8 || building || !canMove) {
                if (!inRange) return;
                resumeLater();
            } else if (!leader) {
                c->BuildUnitOrderQueued(id, 3, 2, 0, position, -1, 1);
            }
            break;
        case 2: {
            if (order.subKind == 3 || order.subKind == 5 || order.subKind == 8) return;
            CWorldObject* current = m->GetObjectById(order.targetId);
            if (!current || !current->record || !attacker->record) break;
            const bool hero = (attacker->unitFlags & 0x1) || (attacker->unitFlags & 0x10002) == 0x10002;
            const float margin = (unitFlags & 0x800000) ? 80.0f : 30.0f;
            const float toCurrent = DistanceXZ(position, current->position);
            const bool switchTarget = attacker->record->value2 >= current->record->value2 && hero &&
                                      toCurrent > margin + current->bounds.radius * current->bounds.scale &&
                                      toCurrent > DistanceXZ(position, attacker->position);
            if (!switchTarget) return;
            break;
        }
        case 3:
            if (order.subKind == 1 || order.subKind == 11) return;
            resumeLater();
            break;
        default:
            break;
    }
    if (building && !inRange) return;
    c->BuildUnitOrder(id, hitPoints, 2, inRange ? 4 : 2, attacker->position, position, attacker->id, -1, 1);
    orderRequested = 1;
}

void CCombatObject::FreeSkills() {
    for (CSkillInstance* s : skills)
        if (s && g_pWorldObjectManager) g_pWorldObjectManager->FreeSkillInstance(s);
    skills.clear();
}

void CCombatObject::RebuildSkills(int32_t maxLevel) {
    FreeSkills();
    CCombatData* data = CombatRecord();
    if (!data || !g_pWorldObjectManager) return;
    for (size_t i = 0; i < data->skills.size(); ++i) {
        CGameDataRecord* r = data->skills[i].record;
        if (!r) r = FindGameRecord(CAT_SKILL, NameHash(data->skills[i].name));
        CSkillInstance* s = r ? g_pWorldObjectManager->CreateSkillInstance(r) : nullptr;
        if (s) {
            s->level = s->LevelCount();
            if (maxLevel >= 0) s->level = std::min(s->level, maxLevel);
            s->index = static_cast<int32_t>(i);
            s->owner = this;
            if (r->flags & CSkillRecord::kFlagPassive) s->Init();
        }
        skills.push_back(s);
    }
}

void CCombatObject::NotifySkills(int32_t value) {
    for (CSkillInstance* s : skills)
        if (s) s->Notify(value);
}

void CCombatObject::RestartSkill(int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= skills.size() || !skills[static_cast<size_t>(index)]) return;
    CSkillInstance* s = skills[static_cast<size_t>(index)];
    if (s->level > 0 || s->pendingLevels > 0) s->RestartCooldown();
}
