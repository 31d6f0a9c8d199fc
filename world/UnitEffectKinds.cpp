#include "world/UnitEffectKinds.h"

#include <algorithm>
#include <cmath>

#include "commands/GameCommandManager.h"
#include "engine/core/Random.h"
#include "engine/effects/EffectManager.h"
#include "world/CombatObject.h"
#include "world/EffectParams.h"
#include "world/EffectRecord.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"

namespace {

template <class T>
CUnitEffect* Make(void* storage) {
    return new (storage) T;
}

float P(const CUnitEffect& e, size_t i) {
    const CEffectParam* p = e.LevelParam();
    return p && i < p->p.size() ? BitsFloat(p->p[i]) : 0.0f;
}

uint32_t Word(const CUnitEffect& e, size_t i) {
    const CEffectParam* p = e.LevelParam();
    return p && i < p->p.size() ? p->p[i] : 0u;
}

CCombatObject* Combat(CWorldObject* o) {
    return o && o->IsCombatObject() ? static_cast<CCombatObject*>(o) : nullptr;
}

void SendFollowerAction(uint32_t action, const CUnitEffect& e, int32_t other) {
    if (g_pGameCommandManager && e.target && e.record)
        g_pGameCommandManager->BuildFollowerAction(action, e.target->id, static_cast<uint32_t>(other) & 0xFFFFu,
                                                   e.record->id, 1);
}

}  // namespace

void RegisterUnitEffectKinds(CWorldObjectManager& m) {
    m.SetEffectFactory(0, &Make<CStatEffect>, sizeof(CStatEffect));
    for (int32_t kind : {1, 2, 4, 6}) m.SetEffectFactory(kind, &Make<CDamageEffect>, sizeof(CDamageEffect));
    m.SetEffectFactory(5, &Make<CRegenerationEffect>, sizeof(CRegenerationEffect));
    m.SetEffectFactory(7, &Make<CLockEffect>, sizeof(CLockEffect));
    m.SetEffectFactory(9, &Make<CConditionEffect>, sizeof(CConditionEffect));
    for (int32_t kind : {13, 23}) m.SetEffectFactory(kind, &Make<COrderFlagEffect>, sizeof(COrderFlagEffect));
    m.SetEffectFactory(20, &Make<CShieldEffect>, sizeof(CShieldEffect));
    for (int32_t kind : {8, 10}) m.SetEffectFactory(kind, &Make<CVeilEffect>, sizeof(CVeilEffect));
    m.SetEffectFactory(14, &Make<CMultiTargetEffect>, sizeof(CMultiTargetEffect));
    m.SetEffectFactory(21, &Make<CDoomEffect>, sizeof(CDoomEffect));
    m.SetEffectFactory(3, &Make<CReflectEffect>, sizeof(CReflectEffect));
    m.SetEffectFactory(16, &Make<CGuardEffect>, sizeof(CGuardEffect));
    m.SetEffectFactory(11, &Make<CTransformEffect>, sizeof(CTransformEffect));
    for (int32_t kind : {15, 17, 18})
        m.SetEffectFactory(kind, &Make<CLevelCheckedEffect>, sizeof(CLevelCheckedEffect));
}

// Kind 0 -----------------------------------------------------------------------

int CStatEffect::Begin() {
    if (!target || !target->IsCombatObject()) return 0;
    auto* p = dynamic_cast<const CEffectParamStats*>(LevelParam());
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (p && m && target->IsUnit()) {
        StatBlock flat{}, fraction{};
        fraction.fill(1);
        m->ApplyStatBonus(static_cast<CUnit*>(target), p->statBlockA, flat, 1);
        m->ApplyStatBonus(static_cast<CUnit*>(target), p->statBlockB, fraction, 1);
    }
    return 1;
}

void CStatEffect::End() {
    auto* p = dynamic_cast<const CEffectParamStats*>(LevelParam());
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (!p || !m || !target || !target->IsUnit()) return;
    StatBlock flat{}, fraction{};
    fraction.fill(1);
    m->ApplyStatBonus(static_cast<CUnit*>(target), p->statBlockA, flat, 0);
    m->ApplyStatBonus(static_cast<CUnit*>(target), p->statBlockB, fraction, 0);
}

// Kinds 1, 2, 4, 6 --------------------------------------------------------------

void CDamageEffect::OnDealDamage(int outgoing, float* amount, int32_t* type, CWorldObject* other) {
    if (!amount || !type || *type == 1 || !target || !record) return;
    const uint32_t kind = Kind();
    const bool fraction = Word(*this, 3) != 0;
    auto* withChildren = dynamic_cast<const CEffectRecordWithChildren*>(record);
    const bool children = withChildren && !withChildren->children.empty();
    const int32_t otherId = other ? other->id : -1;
    if (outgoing) {
        if (kind == 2 || kind == 6) {
            // The attacker's machine alone rolls, so that every machine sees one outcome.
            CWorldObjectManager* m = g_pWorldObjectManager;
            const bool passes = other && m && m->GetTargetFailure(*other, Word(*this, 4), 0, target) < 0;
            if (target->HasLocalAuthority() && passes && RollPercent(P(*this, 2))) {
                if (!fraction) {
                    *amount += P(*this, 1);
                } else if (kind == 6) {
                    *amount *= P(*this, 1);
                    if (*type != 5) *type = 2;
                } else {
                    *amount *= 1.0f + P(*this, 1);
                }
                if (kind == 2 && children) SendFollowerAction(0, *this, otherId);
            }
        }
        if (target->HasLocalAuthority()) SendFollowerAction(1, *this, 0xFFFF);
        return;
    }
    if (kind != 1) return;
    *amount = fraction ? *amount * (1.0f - P(*this, 1)) : *amount - P(*this, 1);
    if (!target->HasLocalAuthority()) return;
    if (children) SendFollowerAction(0, *this, otherId);
    SendFollowerAction(1, *this, 0xFFFF);
}

void CDamageEffect::OnTakeDamage(float amount, int32_t sourceId, int32_t flag) {
    if (Kind() != 4 || !flag || !target) return;
    CWorldObjectManager* m = g_pWorldObjectManager;
    CWorldObject* other = m ? m->GetObjectById(sourceId) : nullptr;
    if (other && (other->stateFlags & 0x2)) return;
    const float heal = Word(*this, 3) ? amount * P(*this, 1) : P(*this, 1);
    target->TakeDamage(-heal, target->id, 3, 0, 0);
    ++extra;
}

// Kind 5 -------------------------------------------------------------------------

int CRegenerationEffect::Begin() {
    auto* p = dynamic_cast<const CEffectParamOverTime*>(LevelParam());
    // No interval or no duration: nothing to run (and no division by 0).
    if (!p || p->Interval() <= 0 || p->duration <= 0 || !target) return 0;
    Tick();
    return 1;
}

int CRegenerationEffect::Update(float dt) {
    auto* p = dynamic_cast<const CEffectParamOverTime*>(LevelParam());
    if (!p || !target) return 0;
    if (elapsed == kEnded) return 0;
    elapsed += dt;
    if (elapsed >= p->duration && !(record->flags & 1)) return 0;
    tickTimer += dt;
    if (tickTimer >= p->Interval()) {
        const int ticks = static_cast<int>(tickTimer / p->Interval());
        tickTimer = 0;
        for (int i = 0; i < ticks; ++i) Tick();
    }
    return 1;
}

void CRegenerationEffect::Tick() {
    const bool toMana = Word(*this, 1) != 0;
    float amount = P(*this, 2);
    if (Word(*this, 3)) amount *= target->GetStat(toMana ? 6 : 5);
    const float before = toMana ? target->mana : target->hitPoints;
    if (toMana)
        target->ConsumeMana(-amount);
    else
        target->TakeDamage(-amount, sourceId, 3, 0, 0);
    const float change = (toMana ? target->mana : target->hitPoints) - before;
    const float factor = P(*this, 5);
    if (factor == 0 || std::fabs(change) < 1.0f) return;
    CWorldObjectManager* m = g_pWorldObjectManager;
    CWorldObject* to = Word(*this, 6) ? (m ? m->GetObjectById(sourceId) : nullptr) : target;
    if (!to) return;
    const float share = change * factor;
    if (Word(*this, 7))
        to->ConsumeMana(-share);
    else
        to->TakeDamage(-share, sourceId, 3, 0, 0);
}

// Kinds 7, 9, 13, 23, 20 ---------------------------------------------------------------

int CLockEffect::Begin() {
    CCombatObject* c = Combat(target);
    if (!c) return 0;
    c->AddCondition(6);
    return 1;
}

void CLockEffect::End() {
    if (CCombatObject* c = Combat(target)) c->RemoveCondition(6);
}

int CConditionEffect::Begin() {
    CCombatObject* c = Combat(target);
    if (!c) return 0;
    c->AddConditions(Word(*this, 1));
    return 1;
}

void CConditionEffect::End() {
    if (CCombatObject* c = Combat(target)) c->RemoveConditions(Word(*this, 1));
}

uint32_t COrderFlagEffect::Flag() const { return Kind() == 13 ? 0x40000u : 0x80000u; }

int COrderFlagEffect::Begin() {
    if (level < 0 || !target) return 0;
    if (Kind() == 13 && !target->IsCombatObject()) return 0;
    if (Kind() == 23 && !target->alive) return 0;
    target->controlFlags |= Flag();
    return 1;
}

void COrderFlagEffect::End() {
    if (target) target->controlFlags &= ~Flag();
}

void CShieldEffect::ModifyIncomingDamage(float* amount) {
    if (amount) *amount = std::max(*amount * (1.0f - P(*this, 1)), 0.0f);
}

// Kinds 8 and 10 -------------------------------------------------------------------

int CVeilEffect::Begin() {
    if (!target || !target->IsCombatObject()) return 0;
    if (Kind() == 10) {
        target->stateFlags |= kManaBurnBit;
    } else {
        target->stateFlags |= kHiddenBit;
        target->controlFlags |= kHiddenOrderFlag;
        target->SetAlpha(kHiddenAlpha);
    }
    return 1;
}

int CVeilEffect::Update(float dt) {
    if (Kind() == 10 && target && elapsed != kEnded) {
        const float burn = P(*this, 1);
        if (burn > 0) {
            target->ConsumeMana(burn * dt);
            if (target->mana < burn) elapsed = std::max(elapsed, Duration());
        }
    }
    return CUnitEffect::Update(dt);
}

void CVeilEffect::End() {
    if (!target) return;
    if (Kind() == 10) {
        target->stateFlags &= ~kManaBurnBit;
        return;
    }
    target->stateFlags &= ~kHiddenBit;
    target->controlFlags &= ~kHiddenOrderFlag;
    target->SetAlpha(1.0f);
}

void CVeilEffect::OnDealDamage(int outgoing, float* amount, int32_t* type, CWorldObject* other) {
    if (Kind() != 8 || !outgoing || !amount || !type || *type != 5 || !other || !target) return;
    if (other->flags & WO_BUILDING) return;
    const float bonus = P(*this, 4);
    if (bonus > 0)
        *amount += bonus;
    else
        *type = 0;
    if (Word(*this, 3) && target->HasLocalAuthority() && g_pGameCommandManager)
        g_pGameCommandManager->BuildGameEvent(2, target->id, -1, 1);
}

void CVeilEffect::Refresh(int32_t /*value*/) {
    if (Kind() == 8 && Word(*this, 3)) elapsed = std::max(elapsed, Duration());
}

// Kind 14 --------------------------------------------------------------------------

void CMultiTargetEffect::OnAttackTargets(int32_t victimId) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    CCombatObject* unit = Combat(target);
    CWorldObject* victim = m ? m->GetObjectById(victimId) : nullptr;
    if (!unit || !victim || !unit->HasLocalAuthority()) return;
    std::vector<CWorldObject*> around;
    const float reach = unit->attackRange * unit->bounds.scale;
    m->QueryRange(victim->position, reach, 0, 0, unit, around);
    std::vector<int32_t> ids;
    for (CWorldObject* o : around) {
        if (ids.size() >= std::min<size_t>(kMaxTargets, static_cast<size_t>(std::max(Word(*this, 2), 1u))))
            break;
        if (o == unit || !o->alive || !o->IsCombatObject() || unit->IsFriendlyTeam(*o)) continue;
        if (!CCombatObject::CanTarget(o, *unit, 0)) continue;
        ids.push_back(o->id);
    }
    CGameCommand* c = BeginCommand(CMD_UNIT_TARGET_LIST);
    if (!c) return;
    c->SetU8(2, static_cast<uint32_t>(ids.size()));
    c->SetU8(3, Word(*this, 1));
    for (size_t i = 0; i < ids.size(); ++i) c->SetU16(4 + 2 * i, static_cast<uint32_t>(ids[i]));
    c->SetU16(16, static_cast<uint32_t>(unit->id));
}

// Kind 21 --------------------------------------------------------------------------

int CDoomEffect::Update(float dt) {
    const int running = CUnitEffect::Update(dt);
    if (!running && target && target->alive && target->HasLocalAuthority() && g_pGameCommandManager)
        g_pGameCommandManager->BuildGameEvent(5, target->id, -1, 1);
    return running;
}

// Kind 3 -----------------------------------------------------------------------

void CReflectEffect::OnTakeDamage(float amount, int32_t sourceId, int32_t /*flag*/) {
    auto* param = dynamic_cast<const CEffectParamReflect*>(LevelParam());
    CWorldObjectManager* m = g_pWorldObjectManager;
    CWorldObject* source = m ? m->GetObjectById(sourceId) : nullptr;
    if (!param || !target || amount <= 0 || !source || source == target || !target->HasLocalAuthority()) return;
    if (!RollPercent(param->ReflectChance())) return;
    const float share = P(*this, 2);
    if (g_pGameCommandManager)
        g_pGameCommandManager->BuildHpChange(3, 0, sourceId, target->id, share > 0 ? amount * share : amount, 1);
    if (g_pEffectManager && record && record->startEffectResource)
        g_pEffectManager->AttachEffectsToUnit(target, static_cast<int>(record->startWord), record->startEffectResource,
                                              nullptr, nullptr);
}

void CReflectEffect::End() {}

// Kind 16 ----------------------------------------------------------------------

int CGuardEffect::Begin() {
    CCombatObject* c = Combat(target);
    if (!c) return 0;
    ++c->conditions[5];
    return 1;
}

void CGuardEffect::End() {
    if (CCombatObject* c = Combat(target)) c->RemoveCondition(5);
}

// Kind 11 ----------------------------------------------------------------------

CTransformEffect* CTransformEffect::Other() const {
    if (!target) return nullptr;
    for (CUnitEffect* e : target->effects)
        if (e != this && e->Kind() == 11) return static_cast<CTransformEffect*>(e);
    return nullptr;
}

int CTransformEffect::Begin() {
    if (!target || !target->alive) return 0;
    CTransformEffect* other = Other();
    savedScale = other ? other->savedScale : target->bounds.scale;
    if (P(*this, 1) > 0) target->bounds.scale = P(*this, 1);
    return 1;
}

void CTransformEffect::End() {
    if (target && !Other()) target->bounds.scale = savedScale;
}
