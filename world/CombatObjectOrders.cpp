// The order side of a combat object: a player's orders become commands, the
// received order commands set the order on every machine, and each frame the
// handler of the order kind carries it out. Only the machine with authority
// over the unit sends what follows; a unit that has sent a request waits for
// the command that answers it.
#include <algorithm>
#include <cmath>

#include "commands/GameCommandManager.h"
#include "world/CombatData.h"
#include "world/CombatObject.h"
#include "world/PathFinder.h"
#include "world/ProjectileManager.h"
#include "world/SkillInstance.h"
#include "world/SkillLevelRecord.h"
#include "world/SkillRecord.h"
#include "world/TerrainEngine.h"
#include "world/UnitEffect.h"
#include "world/WorldObjectManager.h"

using platform::Vec3;

namespace {

constexpr float kRequestTimeout = 10.0f;
constexpr float kAcquirePeriod = 0.3f;
constexpr float kSkillPointMargin = 5.0f;
constexpr float kChasePathPeriod = 0.15f;
constexpr float kPathRetry = 0.5f;
// The length of an action of a unit without a model (tests, the headless harness).
constexpr float kDefaultActionLength = 1.0f;

bool IsAttackSwing(int32_t subKind) { return subKind == 4 || subKind == 5 || subKind == 8; }

// Attack sub-kinds that mean the same order: hold with hold, the taken-target
// attack-moves together, every other one with plain attack and attack-move.
int AttackClass(int32_t subKind) {
    if (subKind == 8) return 0;
    if (subKind == 3 || subKind == 5) return 1;
    return 2;
}

}  // namespace

bool CCombatObject::CanMove() {
    return conditions[0] <= 0 && conditions[4] <= 0 && stats.base[10] > 0 && !(flags & WO_BUILDING);
}

CSkillInstance* CCombatObject::FindSkill(int32_t skillId) const {
    if (skillId < 0) return nullptr;
    for (CSkillInstance* s : skills)
        if (s && s->id == skillId) return s;
    CWorldObjectManager* m = g_pWorldObjectManager;
    CSkillInstance* s = m ? m->GetSkillInstance(skillId) : nullptr;
    return s && s->owner == this ? s : nullptr;
}

bool CCombatObject::CanTarget(CWorldObject* target, CCombatObject& attacker, uint32_t filter) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    bool ok = target && m && target->alive && target->colorScale.w > 0;
    if (ok && attacker.team >= 0 && attacker.team < kPlayerSlots && m->sightGrid && m->fogOfWar)
        ok = target->seen[attacker.team] != 0;
    if (ok) {
        if (filter) {
            ok = m->GetTargetFailure(*target, filter, 0, &attacker) < 0;
        } else {
            int32_t code = -1;
            ok = m->GetAttackFailure(*target, 0, 0, &attacker, &code) && code < 0;
        }
    }
    if (ok) ok = !((target->stateFlags & 0x400000) && !(target->stateFlags & 0x800000));
    if (!ok) attacker.attackTargetId = -1;
    return ok;
}

bool CCombatObject::IsWithinRange(const CWorldObject& target, float range) const {
    if (range == -1.0f) range = attackRange * bounds.scale;
    return DistanceXZ(position, target.position) - target.bounds.radius * target.bounds.scale <= range;
}

void CCombatObject::AddCondition(int32_t index) {
    if (index < 0 || index >= kConditions) return;
    const bool wasStill = conditions[0] > 0 || conditions[4] > 0;
    ++conditions[index];
    if (index == 6) stateFlags |= 0x100000;
    CGameCommandManager* c = g_pGameCommandManager;
    if ((index == 0 || index == 4) && !wasStill && c && HasLocalAuthority()) {
        if (order.kind == 3) QueueOrder(3, order.subKind, order.targetId, order.point, 1);
        c->BuildUnitOrder(id, hitPoints, 0, 8, position, position, -1, -1, 1);
        orderRequested = 1;
    }
}

void CCombatObject::RemoveCondition(int32_t index) {
    if (index < 0 || index >= kConditions) return;
    conditions[index] = std::max(conditions[index] - 1, 0);
    if (index == 6 && conditions[6] == 0) stateFlags &= ~0x100000u;
}

void CCombatObject::AddConditions(uint32_t mask) {
    if (mask & 1) AddCondition(1);
    if ((mask & 4) && (unitFlags & 0x800000)) AddCondition(3);
    if ((mask & 8) && !(unitFlags & 0x800000)) AddCondition(3);
    if (mask & 2) AddCondition(0);
}

void CCombatObject::RemoveConditions(uint32_t mask) {
    if (mask & 1) RemoveCondition(1);
    if ((mask & 4) && (unitFlags & 0x800000)) RemoveCondition(3);
    if ((mask & 8) && !(unitFlags & 0x800000)) RemoveCondition(3);
    if (mask & 2) {
        const bool was = conditions[0] > 0;
        RemoveCondition(0);
        if (was && conditions[0] == 0 && HasLocalAuthority()) NextOrder();
    }
}

int32_t CCombatObject::QuerySkills(int32_t value) {
    for (CSkillInstance* s : skills) {
        if (!s) continue;
        int32_t answer = s->GetAnswerId(value);
        if (answer != -1) return answer;
    }
    return -1;
}

int CCombatObject::IssueOrder(int32_t kind, const Vec3& point, int32_t targetId, CSkillInstance* skill,
                              int32_t subKind, int queued) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    CGameCommandManager* c = g_pGameCommandManager;
    if (!m || !c || order.kind == 4 || !alive) return 0;
    if (owner < kPlayerSlots && owner != m->localSlot) return 0;
    if (orderRequested && !queued) return 0;
    const bool computer = owner >= kPlayerSlots;
    const bool building = (flags & WO_BUILDING) != 0;
    CWorldObject* target = m->GetObjectById(targetId);
    int32_t skillId = -1;
    auto wait = [&] {
        if (computer) return 0;
        currentOrders.Add(kind, subKind, point, targetId, skill ? skill->id : -1, false);
        return 1;
    };
    for (int again = 0; again < 2; ++again) {
        switch (kind) {
            case 0:
                if (order.kind == 0 && order.subKind == subKind) return 0;
                if (subKind == 0) {
                    if (CGameCommand* r = BeginCommand(CMD_UNIT_STOP)) r->SetU16(2, static_cast<uint32_t>(id));
                    orderRequested = 1;
                    return 1;
                }
                break;
            case 1:
                if (conditions[4] > 0 || building || !target) return 0;
                if (order.kind == 1 && order.targetId == targetId) return 0;
                if (!CanMove()) return wait();
                if (IsFriendlyTeam(*target)) break;
                if (conditions[3] > 0) return wait();
                if (!CanTarget(target, *this, 0)) return 0;
                kind = IsWithinRange(*target, -1) ? 2 : 3;
                if (kind == 2 && subKind != 8) subKind = 4;
                if (kind == 3) kind = 2, subKind = 2;
                continue;
            case 2:
                if (conditions[3] > 0 || conditions[4] > 0) return wait();
                if (!target || !CanTarget(target, *this, 0)) return 0;
                if (order.kind == 2 && order.targetId == targetId && AttackClass(order.subKind) == AttackClass(subKind))
                    return 0;
                break;
            case 3: {
                if (building) return 0;
                if (!CanMove()) return wait();
                const float reach = attackRange * bounds.scale;
                if (order.kind == 0 && DistanceXZ(point, position) <= reach) return 0;
                if (order.kind == 3 && DistanceXZ(point, order.point) <= reach) return 0;
                CWorldObject* current = m->GetObjectById(order.targetId);
                if (order.kind == 2 && current && current->alive && (subKind == 2 || subKind == 9) && !queued) {
                    if (order.subKind == 3) order.subKind = 2;
                    if (order.subKind == 5 || order.subKind == 8) order.subKind = 4;
                    order.targetId = -1;
                    QueueOrder(kind, subKind, -1, point, 0);
                    return 1;
                }
                break;
            }
            case 6: {
                if (!skill || !skill->IsReady()) return 0;
                skillId = skill->id;
                if (conditions[1] > 0 || conditions[4] > 0) return wait();
                if (order.kind == 6 && order.skillId == skillId) {
                    if (target && order.targetId == targetId) return 0;
                    if (!target && DistanceXZ(point, order.point) < kSkillPointMargin) return 0;
                }
                float range = 0;
                if (const CSkillLevelRecord* l = skill->LevelRecord()) range = l->GetLevelValue4();
                if (range <= 0) range = attackRange * bounds.scale;
                if (!target) {
                    const CSkillLevelRecord* l = skill->LevelRecord();
                    const bool charge = skill->record && skill->record->kind != 1 && l && l->GetLevelValue3() > 0;
                    subKind = DistanceXZ(position, point) > range ? 1 : (charge ? 10 : 4);
                } else {
                    subKind = IsWithinRange(*target, range) ? 4 : 1;
                }
                break;
            }
            default:
                return 0;
        }
        break;
    }
    if (!queued) currentOrders.Clear();
    currentOrders.Add(kind, subKind, point, targetId, skillId, false);
    if (queued)
        c->BuildUnitOrderQueued(id, static_cast<uint32_t>(kind), static_cast<uint32_t>(subKind), 1, point, targetId, 1);
    else
        c->BuildUnitOrder(id, hitPoints, static_cast<uint32_t>(kind), static_cast<uint32_t>(subKind), point, position,
                          targetId, skillId, 1);
    orderRequested = 1;
    requestTimer = 0;
    return 1;
}

void CCombatObject::QueueOrder(int32_t kind, int32_t subKind, int32_t targetId, const Vec3& point, int immediate) {
    if (owner >= kPlayerSlots) {
        if (g_pGameCommandManager)
            g_pGameCommandManager->BuildUnitOrderQueued(id, static_cast<uint32_t>(kind), static_cast<uint32_t>(subKind),
                                                        immediate ? 0 : 1, point, targetId, 1);
        return;
    }
    (immediate ? currentOrders : queuedOrders).Add(kind, subKind, point, targetId, -1, false);
}

int CCombatObject::SetOrder(int32_t kind, int32_t subKind, const Vec3& point, int32_t targetId, int32_t skillId,
                            int force) {
    orderRequested = 0;
    requestTimer = 0;
    arrived = 0;
    CSkillInstance* current = order.kind == 6 ? FindSkill(order.skillId) : nullptr;
    if (!alive && kind != 4 && kind != 5) return 1;
    if (order.kind == 6 && order.subKind == 4 && orderJustSet && !force) return 0;
    if (current && current->IsCasting()) current->Cancel();
    if (kind == 2 || kind == 3 || kind == 6) stateFlags &= ~0x80u;
    if (order.kind == 2 && IsAttackSwing(order.subKind) && order.targetId >= 0) {
        // An animation speed of 0 (an effect that freezes the unit) carries nothing over.
        const float rate = attackAnimationRate;
        float left = rate > 0 ? (actionLength - actionClock) / rate : 0.0f;
        if (kind == 1) left *= 0.7f;
        swingLeft = std::max(left, 0.0f);
    }
    if (revivalFlag) {
        EndRevive();
        revivalFlag = 0;
    }
    if (owner >= kPlayerSlots && !leader && !returning && order.kind == 0 && order.subKind == 0 && kind == 2 &&
        (subKind == 2 || subKind == 4)) {
        homePoint = position;
        homeFlag = 1;
    }
    order.subKind = subKind;
    order.kind = kind;
    order.targetId = targetId;
    order.point = point;
    orderJustSet = 1;
    swingTimer = std::min(swingTimer, 0.0f);
    // Every machine sets the order in the same frame: from here their looks
    // for enemies keep one rhythm, whatever the idle time counted before.
    acquireTimer = 0;
    pathTimer = 0;
    animationFactor = 1.0f;
    pathIndex = -1;
    path.clear();
    hitDealt = 0;
    CSkillInstance* skill = kind == 6 ? FindSkill(skillId) : nullptr;
    order.skillId = skill ? skillId : -1;
    if (skill) {
        skill->SetTarget(point, targetId, targetId >= 0);
        return 1;
    }
    return 1;
}

void CCombatObject::NextOrder() {
    bool accepted = false;
    const int32_t savedRequest = orderRequested;
    while (!currentOrders.Empty() && !accepted) {
        COrderRecord* r = currentOrders.Front();
        orderRequested = 0;
        CSkillInstance* skill = r->kind == 6 ? FindSkill(r->extra) : nullptr;
        // The accepted order lists itself again, so the entry that led to it goes.
        COrderRecord* taken = currentOrders.PopFront();
        accepted = IssueOrder(taken->kind, taken->point, taken->targetId, skill, taken->subKind) != 0;
        COrderRecord::Release(taken);
    }
    while (!accepted && !queuedOrders.Empty()) {
        COrderRecord* r = queuedOrders.PopFront();
        orderRequested = 0;
        CSkillInstance* skill = r->kind == 6 ? FindSkill(r->extra) : nullptr;
        accepted = IssueOrder(r->kind, r->point, r->targetId, skill, r->subKind) != 0;
        if (owner >= kPlayerSlots)
            if (CGameCommand* c = BeginCommand(CMD_UNIT_NEXT_ORDER)) c->SetU16(2, static_cast<uint32_t>(id));
        COrderRecord::Release(r);
    }
    if (accepted) return;
    orderRequested = savedRequest;
    if (CGameCommand* c = BeginCommand(CMD_UNIT_STOP)) c->SetU16(2, static_cast<uint32_t>(id));
    orderRequested = 1;
}

bool CCombatObject::StepToward(const Vec3& point, float elapsed, float speed, float turnTime, int turnOnly) {
    Vec3 dir{point.x - position.x, 0, point.z - position.z};
    const float dist = std::sqrt(dir.x * dir.x + dir.z * dir.z);
    // A unit on its point has nowhere to turn: it has arrived.
    if (dist <= 0) return true;
    dir.x /= dist;
    dir.z /= dist;
    const float d = 1.0f - (dir.x * facing.x + dir.z * facing.z);
    if (d > 0.001f) {
        float f = 1.0f;
        const float span = d * turnTime * 0.5f;
        if (span > elapsed) f = elapsed / span;
        const float cross = facing.z * dir.x - facing.x * dir.z;
        TurnBy((cross >= 0 ? 1.0f : -1.0f) * d * 1.5707964f * f);
        if (turnOnly) return false;
    } else if (turnOnly) {
        return true;
    }
    if (speed <= 0) return false;
    bool reached = elapsed * speed >= dist;
    if (reached) {
        position.x = point.x;
        position.z = point.z;
    } else {
        position.x += dir.x * elapsed * speed;
        position.z += dir.z * elapsed * speed;
    }
    flags |= 0x9000;
    movedFlag = 1;
    return reached;
}

int32_t CCombatObject::s_pathRequests = 0;

void CCombatObject::RequestOrder(int32_t kind, int32_t subKind, const Vec3& point, int32_t targetId, int32_t skillId) {
    CGameCommandManager* c = g_pGameCommandManager;
    if (!c || orderRequested) return;
    c->BuildUnitOrder(id, hitPoints, static_cast<uint32_t>(kind), static_cast<uint32_t>(subKind), point, position,
                      targetId, skillId, 1);
    orderRequested = 1;
    requestTimer = 0;
}

void CCombatObject::PlayOrderAction() {
    actionClock = 0;
    actionLength = kDefaultActionLength;
}

void CCombatObject::DieLocally() {
    hitPoints = 0;
    alive = 0;
    killRewardFlag = 1;
    if (g_pGameCommandManager) g_pGameCommandManager->BuildGameEvent(5, id, -1, 0);
}

float CCombatObject::WalkSpeed() { return std::clamp(GetStat(10), 0.0f, 80.0f); }

bool CCombatObject::WalkTo(const Vec3& goal, float elapsed, float turnTime, bool chasing) {
    pathTimer += elapsed;
    const bool moved = DistanceXZ(goal, pathGoal) > 0.5f;
    const bool stale = pathIndex < 0 || (chasing && moved && pathTimer >= kChasePathPeriod) ||
                       (pathIndex >= static_cast<int32_t>(path.size()) && moved);
    if (stale) {
        path.clear();
        pathGoal = goal;
        pathTimer = 0;
        if ((flags & WO_BLOCKS_GRID) && g_pPathFinder) {
            ++s_pathRequests;
            if (!g_pPathFinder->FindPath(position, goal, path)) path.clear();
        }
        if (path.empty()) path.push_back(goal);
        pathIndex = 0;
    }
    if (pathIndex >= static_cast<int32_t>(path.size())) return true;
    if (StepToward(path[static_cast<size_t>(pathIndex)], elapsed, WalkSpeed(), turnTime, 0)) ++pathIndex;
    return pathIndex >= static_cast<int32_t>(path.size());
}

CWorldObject* CCombatObject::FindNearestEnemy(float range) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (!m) return nullptr;
    std::vector<CWorldObject*> near;
    m->QueryRange(position, range, 0, 0, this, near);
    CWorldObject* best = nullptr;
    float bestDistance = 0;
    for (CWorldObject* o : near) {
        if (o == this || !o->IsCombatObject() || IsFriendlyTeam(*o) || !CanTarget(o, *this, 0)) continue;
        const float d = DistanceXZ(position, o->position);
        if (!best || d < bestDistance) best = o, bestDistance = d;
    }
    return best;
}

void CCombatObject::RunOrder(float elapsed) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    const bool authority = HasLocalAuthority();
    const bool started = orderJustSet != 0;
    orderJustSet = 0;
    actionClock += elapsed;
    CWorldObject* target = m->GetObjectById(order.targetId);
    switch (order.kind) {
        case 0: {
            if (started) PlayOrderAction();
            if (!authority || orderRequested) return;
            if (owner >= kPlayerSlots && homeFlag && DistanceXZ(position, homePoint) >= 5.0f) {
                idleTimer += elapsed;
                if (idleTimer >= 3.0f) {
                    idleTimer = 0;
                    RequestOrder(3, 1, homePoint, -1, -1);
                }
                return;
            }
            CWorldObject* lead = leader && m->GetObjectById(leaderId) == leader ? leader : nullptr;
            if (lead && DistanceXZ(position, lead->position) > 13.0f * lead->bounds.radius * lead->bounds.scale) {
                RequestOrder(1, 0, lead->position, leaderId, -1);
                return;
            }
            acquireTimer += elapsed;
            if (acquireTimer < kAcquirePeriod || conditions[3] > 0 || conditions[4] > 0) return;
            acquireTimer = 0;
            CWorldObject* enemy = FindNearestEnemy(GetAcquireRange());
            if (!enemy) return;
            const bool hold = order.subKind == 8;
            if (IsWithinRange(*enemy, -1))
                RequestOrder(2, hold ? 8 : 4, enemy->position, enemy->id, -1);
            else if (!hold && CanMove())
                RequestOrder(2, 2, enemy->position, enemy->id, -1);
            // Holding or rooted: such an enemy is left alone, no request.
            return;
        }
        case 1: {
            if (!target || !target->alive) {
                if (authority && !orderRequested) NextOrder();
                return;
            }
            if (conditions[0] > 0 || conditions[4] > 0 || WalkSpeed() <= 0) return;
            const float reach = bounds.radius * bounds.scale + target->bounds.radius * target->bounds.scale;
            if (DistanceXZ(position, target->position) <= reach) {
                if (!authority || orderRequested) return;
                if (target->flags & WO_ITEM) {
                    if (g_pGameCommandManager) g_pGameCommandManager->BuildGameEvent(4, target->id, owner, 1);
                }
                NextOrder();
                return;
            }
            if (!IsFriendlyTeam(*target) && IsWithinRange(*target, -1)) {
                if (authority) RequestOrder(2, 4, target->position, target->id, -1);
                return;
            }
            WalkTo(target->position, elapsed, 0.5f, true);
            return;
        }
        case 2:
            RunAttack(target, elapsed, authority, started);
            return;
        case 3: {
            if (started) patrolFrom = position;
            // Every machine looks, so that every machine stops walking at the same frame.
            if (order.subKind == 2 || order.subKind == 9) {
                acquireTimer += elapsed;
                if (acquireTimer >= kAcquirePeriod) {
                    acquireTimer = 0;
                    if (CWorldObject* enemy = FindNearestEnemy(GetAcquireRange())) {
                        if (authority)
                            RequestOrder(2, IsWithinRange(*enemy, -1) ? 4 : 2, enemy->position, enemy->id, -1);
                        return;
                    }
                }
            }
            if (!CanMove()) return;
            if (!WalkTo(order.point, elapsed, 0.5f, false) || arrived) return;
            arrived = 1;
            if (order.subKind == 9) QueueOrder(3, 9, -1, patrolFrom, 0);
            if (authority && !orderRequested) NextOrder();
            return;
        }
        case 4:
            RunDeath(elapsed, authority, started);
            return;
        case 5:
            if (started) {
                PlayOrderAction();
                Revive();
                revivalFlag = 1;
            }
            if (actionClock < actionLength || !revivalFlag) return;
            EndRevive();
            revivalFlag = 0;
            if (authority && !orderRequested) {
                if (CGameCommand* r = BeginCommand(CMD_UNIT_STOP)) r->SetU16(2, static_cast<uint32_t>(id));
                orderRequested = 1;
            }
            return;
        case 6:
            RunSkill(target, elapsed, authority, started);
            return;
        default:
            return;
    }
}

void CCombatObject::RunAttack(CWorldObject* target, float elapsed, bool authority, bool started) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    const int32_t sub = order.subKind;
    auto dropTarget = [&] {
        order.targetId = -1;
        attackTargetId = -1;
        if (!orderRequested) NextOrder();
    };
    if (sub == 2 || sub == 3) {
        if (owner >= kPlayerSlots && homeFlag && leashDistance > 0 &&
            DistanceXZ(position, homePoint) > leashDistance && authority) {
            idleTimer += elapsed;
            if (idleTimer >= 0.5f) {
                idleTimer = 0;
                returning = 1;
                RequestOrder(3, 1, homePoint, -1, -1);
                return;
            }
        }
        // The tests run on every machine; only what is sent needs authority.
        if (!target || conditions[3] > 0 || !CanTarget(target, *this, 0) ||
            (sub == 2 && DistanceXZ(position, target->position) > 2.0f * GetAcquireRange())) {
            if (authority) dropTarget();
            return;
        }
        if (IsWithinRange(*target, -1)) {
            if (authority) RequestOrder(2, sub == 3 ? 5 : 4, target->position, target->id, -1);
            return;
        }
        if (CanMove()) WalkTo(target->position, elapsed, 0.5f, true);
        return;
    }
    if (!IsAttackSwing(sub)) return;
    if (started) {
        actionLength = 0;
        actionClock = 0;
    }
    if (target && !(combatFlags & 0x10000)) StepToward(target->position, elapsed, 0, 0.3f, 1);
    const bool swinging = actionClock < actionLength;
    if (swinging) {
        const float hitAt = hitTime > 0 ? hitTime : actionLength * 0.5f;
        if (!hitDealt && actionClock * animationFactor >= hitAt) {
            hitDealt = 1;
            if (target && target->alive) DealAttackHit(*target);
        }
        return;
    }
    if (swingTimer > 0) return;
    if (!target || conditions[3] > 0 || !CanTarget(target, *this, 0)) {
        if (authority) dropTarget();
        return;
    }
    if (!IsWithinRange(*target, -1)) {
        if (authority) RequestOrder(2, sub == 5 ? 3 : 2, target->position, target->id, -1);
        return;
    }
    // A multi-target attack names its further victims before the swing.
    if (authority)
        for (CUnitEffect* e : effects) e->OnAttackTargets(target->id);
    const float interval = GetStat(9) > 0 ? GetStat(9) : 1.0f;
    swingTimer = interval;
    actionClock = 0;
    actionLength = std::min(interval, kDefaultActionLength);
    hitDealt = 0;
    attackTargetId = target->id;
    (void)m;
}

void CCombatObject::DealAttackHit(CWorldObject& target) {
    if (!(unitFlags & kRangedAttacker)) {
        target.ReceiveAttack(this, CarriesEffectKind(8) ? 5 : 0);
        return;
    }
    std::vector<CWorldObject*> aims;
    CWorldObjectManager* m = g_pWorldObjectManager;
    for (int32_t id : targetList)
        if (CWorldObject* o = m ? m->GetObjectById(id) : nullptr; o && o->alive) aims.push_back(o);
    if (aims.empty()) aims.push_back(&target);
    CCombatData* data = CombatRecord();
    for (CWorldObject* aim : aims) {
        CProjectile* shot = g_pProjectileManager && data
                                ? g_pProjectileManager->Launch(this, &data->shootInfo, aim, aim->position, -1, 0)
                                : nullptr;
        // Without a shot to carry it (no manager, no block) the hit lands at once rather than being lost.
        if (!shot) {
            aim->ReceiveAttack(this, 0);
            continue;
        }
        PassToEffects(aim->id);
    }
    targetList.clear();
}

void CCombatObject::RunDeath(float elapsed, bool authority, bool started) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    (void)elapsed;
    switch (order.subKind) {
        case 0:
            if (started) {
                RollRandomEvent();
                flags = (flags & ~WO_BLOCKS_GRID) | 0x8;
                currentOrders.Clear();
                queuedOrders.Clear();
                RemoveAllEffects();
                for (CSkillInstance* s : skills)
                    if (s) s->Stop();
                if (leader && m->GetObjectById(leaderId) == leader && leader->refCount > 0) --leader->refCount;
                leader = nullptr;
                leaderId = -1;
                PlayOrderAction();
                if ((flags & WO_BUILDING) && g_pGameCommandManager)
                    g_pGameCommandManager->BuildUiCue(1, 0, position, 0.8f, 200.0f, 1.0f, 0);
            }
            if (actionClock < actionLength) return;
            // The circle stayed at the death spot while the body fell.
            if (owner >= 0 && owner < kPlayerSlots) m->RemoveSight(*this);
            if (revivalTime > 0) {
                order.subKind = 7;
                orderJustSet = 1;
                return;
            }
            stateFlags |= 1u << 26;
            if ((unitFlags & (1u << 25)) && !(stateFlags & (1u << 24))) {
                order.subKind = 6;
                orderJustSet = 1;
            } else {
                flags |= 0x20;
            }
            return;
        case 6:
            if (started) PlayOrderAction();
            if (actionClock >= actionLength) flags |= 0x20;
            return;
        case 7:
            if (started) {
                PlayOrderAction();
                stateFlags |= 0x4200000;
                waitingRevival = 1;
            }
            if (!waitingRevival) return;
            revivalTime -= elapsed;
            if (revivalTime > 0) return;
            waitingRevival = 0;
            if (authority && g_pGameCommandManager) {
                g_pGameCommandManager->BuildHeroRevive(id, 0, 1);
                orderRequested = 1;
            }
            return;
        default:
            return;
    }
}

void CCombatObject::RunSkill(CWorldObject* target, float elapsed, bool authority, bool started) {
    CSkillInstance* skill = FindSkill(order.skillId);
    if ((order.targetId >= 0 && (!target || !target->alive)) || !skill) {
        if (authority && !orderRequested) NextOrder();
        return;
    }
    const Vec3 aim = target ? target->position : order.point;
    const CSkillLevelRecord* l = skill->LevelRecord();
    float range = l ? l->GetLevelValue4() : 0;
    if (range <= 0) range = attackRange * bounds.scale;
    const float chargeTime = l ? l->GetLevelValue3() : 0;
    switch (order.subKind) {
        case 1: {
            if (!authority) return;
            if (conditions[1] > 0 || !skill->IsReady()) {
                if (!orderRequested) NextOrder();
                return;
            }
            const bool inRange = target ? IsWithinRange(*target, range) : DistanceXZ(position, aim) <= range;
            if (inRange) {
                const int32_t sub = !target && chargeTime > 0 && skill->record && skill->record->kind != 1 ? 10 : 4;
                RequestOrder(6, sub, order.point, order.targetId, skill->id);
                if (sub == 4) skill->RestartCooldown();
                return;
            }
            if (CanMove()) WalkTo(aim, elapsed, 0.5f, target != nullptr);
            return;
        }
        case 4:
            if (started) {
                if (!(unitFlags & 0x10000)) StepToward(aim, 1.0f, 0, 0, 1);
                PlayOrderAction();
                skill->UpdateSecond(0);
                if (authority && skill->Start(order.point, order.targetId)) {
                    skill->AutoTarget(1, order.targetId, 0);
                    if (g_pGameCommandManager)
                        g_pGameCommandManager->BuildCastSkill(static_cast<uint32_t>(skill->index), id, order.targetId,
                                                              order.point, static_cast<uint32_t>(owner), 0, 1);
                }
                if (authority) skill->RestartCooldown();
            }
            if (skill->IsCasting() || actionClock < actionLength) return;
            if (authority && !orderRequested) NextOrder();
            return;
        case 10:
            if (started) {
                animationFactor = 1.0f;
                chargeTimer = 0;
            }
            StepToward(order.point, elapsed, WalkSpeed(), 0.3f, 0);
            chargeTimer += elapsed;
            if (authority && chargeTimer >= chargeTime) {
                RequestOrder(6, 4, order.point, order.targetId, skill->id);
                skill->RestartCooldown();
            }
            return;
        default:
            return;
    }
}

void CCombatObject::UpdateSightAndReveal(float elapsed) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    const float sight = GetStat(m->day ? 14 : 15);
    if (!(sight > 0)) return;
    if ((flags & SO_POSITION_CHANGED) && g_pTerrainEngine) g_pTerrainEngine->PlaceOnGround(this);
    const bool dying = order.kind == 4 && (order.subKind == 0 || order.subKind == 7);
    if (!dying) m->UpdateSight(*this, sight, elapsed);
    if (m->gameMode == 3 || m->gameMode == 4) return;
    constexpr uint32_t kRevealed = 0x80000000u;
    // An attacker shows itself to those it strikes: a disc of its own size in
    // their team's sight, so they can see and answer it.
    const bool attacking = order.kind == 2 && (order.subKind == 4 || order.subKind == 5 || order.subKind == 8);
    CWorldObject* target = attacking ? m->GetObjectById(order.targetId) : nullptr;
    const int32_t struck = target && target->team != team && target->team >= 0 && target->team < kPlayerSlots
                               ? target->team
                               : -1;
    if (struck >= 0 && !(unitFlags & (1u << 26))) {
        if (!(flags & kRevealed) || revealTeam != struck || movedFlag)
            m->StampOnce(*this, struck, std::max(bounds.radius * bounds.scale, 10.0f));
        flags |= kRevealed;
        revealTeam = struck;
        revealTimer = 0;
        return;
    }
    if (!(flags & kRevealed)) return;
    revealTimer += elapsed;
    if (alive && !movedFlag && revealTimer < 3.0f) return;
    flags &= ~kRevealed;
    revealTeam = -1;
    m->RemoveStamp(*this);
}

int CCombatObject::Update(float dt) {
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (!g_pGameCommandManager || !m || (flags & 0x20)) return CWorldObject::Update(dt);
    if (orderRequested && HasLocalAuthority() && dt > 0) {
        requestTimer += dt;
        if (requestTimer >= kRequestTimeout) {
            orderRequested = 0;
            requestTimer = 0;
        }
    }
    if (alive) {
        swingTimer -= dt;
        UpdateEffects(dt);
        Regenerate(dt);
        if (alertTimer > 0) alertTimer -= dt;
        queryTimer += dt;
        if ((combatFlags & 0x100000) && leader && (m->GetObjectById(leaderId) != leader || !leader->alive))
            DieLocally();
    }
    UpdateItems(dt);
    for (CSkillInstance* s : skills)
        if (s) s->Update(dt);
    movedFlag = 0;
    RunOrder(dt);
    if (flags & 0x20) return 0;
    UpdateSightAndReveal(dt);
    if (alive && lifetime != kUnlimitedLife) {
        lifetime -= dt;
        if (lifetime <= 0) {
            lifetime = kUnlimitedLife;
            DieLocally();
        }
    }
    if (alive) UpdateHealthBar(dt);
    UpdateTrail(dt);
    return CWorldObject::Update(dt);
}
