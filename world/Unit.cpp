#include "world/Unit.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/MessageBoxHost.h"
#include "engine/core/TextFormat.h"
#include "engine/core/Random.h"
#include "engine/sound/SoundEffect.h"
#include "platform/CodePage.h"
#include "ui/UiManager.h"
#include "ui/UiWindow.h"
#include "world/GameDataRegistry.h"
#include "world/HeroClassRules.h"
#include "world/InventoryItem.h"
#include "world/ItemData.h"
#include "world/SkillInstance.h"
#include "world/SkillRecord.h"
#include "world/UnitData.h"
#include "world/WorldObjectManager.h"

using platform::Vec3;

namespace {

// Stats derived from the three attributes, besides the attack interval and speed.
constexpr int32_t kDerived[] = {3, 4, 5, 6, 7, 8, 11, 12};
constexpr bool kIsDerived[kStatCount] = {false, false, false, true,  true,  true,  true,  true, true,
                                         false, false, true,  true,  false, false, false, false};

// What depends on each attribute.
constexpr int32_t kDependents[3][4] = {{3, 4, 5, 7}, {3, 12, 9, -1}, {3, 6, 8, 11}};

// The movement step a hero gains per level, by class.
float SpeedStep(uint32_t heroClass, int32_t level) {
    switch (heroClass) {
        case 0: return 0.3f * static_cast<float>(level);
        case 1: return 0.36f * static_cast<float>(level);
        case 2: return 0.28f * static_cast<float>(level);
        case 3: return 0.3f;
        default: return 0.0f;
    }
}

// The editor keeps the record's own skills and says so.
void ShowSkillMismatch(const std::string& unitName) {
    auto* box = g_pUiManager ? dynamic_cast<IMessageBoxHost*>(g_pUiManager->MessageBox()) : nullptr;
    if (!box) return;
    static const std::string format = platform::Utf8ToCp949("스킬 정보가 맞지 않습니다.[유닛명 : %s]\n");
    ShowMessageBox(*box, FormatText(format, unitName).c_str(), 1, 1);
}

constexpr uint32_t kSpecialSlotWord = 2;  // ITEM itemWord[2]: non-zero for the two special slots
constexpr uint32_t kLevelWord = 1;        // ITEM itemWord[1]: the level a unit needs

}  // namespace

CUnit::CUnit() {
    flags |= WO_KIND_UNIT;
    objectType = 0;
    footstepDistance = static_cast<float>(RandomRange(10, 40));
}

CUnit::~CUnit() {
    for (CInventoryItem*& item : inventory) {
        FreeItem(item);
        item = nullptr;
    }
    for (CInventoryItem* item : itemsInUse) FreeItem(item);
    itemsInUse.clear();
}

void CUnit::FreeItem(CInventoryItem* item) {
    if (item && g_pWorldObjectManager) g_pWorldObjectManager->FreeInventoryItem(item);
}

CUnitData* CUnit::UnitRecord() const { return dynamic_cast<CUnitData*>(record); }

int CUnit::InitFromRecord(const Vec3& at, CGameDataRecord* rec, int32_t newLevel, float yaw, float scale) {
    if (!dynamic_cast<CUnitData*>(rec)) return 0;
    record = rec;
    level = std::clamp(newLevel, 1, std::max(MaxLevel(), 1));
    if (!InitCombat(at, rec, level, yaw, scale)) return 0;
    if (rec->flags & 0x4400000) flags &= ~WO_BLOCKS_GRID;
    CWorldObjectManager* m = g_pWorldObjectManager;
    matchHero = (unitFlags & 0x10) && !(stateFlags & 0x3000000) && !(m && m->gameMode == 2) ? 1 : 0;
    RebuildSkills(-1);
    return 1;
}

// The record's maximum level is its word 4 (30 by default).
int32_t CUnit::MaxLevel() const {
    CUnitData* d = UnitRecord();
    return d ? static_cast<int32_t>(std::min<uint32_t>(d->word[4], 10000)) : 1;
}

void CUnit::OnLevelChanged() {
    stats.ClearBonuses();
    ApplyLevelStats();
}

void CUnit::ApplyLevelStats() {
    CUnitData* d = UnitRecord();
    if (!d) return;
    const uint32_t cls = m_heroClass = d->unitClass;
    m_walkRate = BitsFloat(d->unitWord2);
    m_walkReference = BitsFloat(d->unitWord3);
    const uint32_t l = static_cast<uint32_t>(std::max(level, 1));
    float rec[kStatCount];
    for (int32_t i = 0; i < kStatCount; ++i) rec[i] = BitsFloat(d->baseStats[static_cast<size_t>(i)]);
    float* base = stats.base;
    for (uint32_t a = 0; a < 3; ++a) base[a] = GrowthFactor(cls, a, l) * rec[a];
    for (int32_t s : kDerived) base[s] = DerivedStat(cls, static_cast<uint32_t>(s), base[0], base[1], base[2]) + rec[s];
    base[9] = std::max(rec[9] + (cls == 3 ? 2.5f : 0.0f), 0.3f);
    base[10] = rec[10] + ((d->flags & 0x10) ? SpeedStep(cls, level) : 0.0f);
    for (int32_t s = 13; s < kStatCount; ++s) base[s] = rec[s];
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (m && m->damageScaling == 1 && team == 1) {
        int32_t n = m->CountActivePlayers(-1);
        for (int32_t s : {4, 5, 7}) base[s] = m->GetTeamDamageScale(base[s], n);
    }
    RecalcStats(17);
    previousExperience = nextExperience;
    nextExperience = static_cast<float>(GetExperienceForLevel(level));
    ComputeBounties(level);
}

int32_t CUnit::GetExperienceForLevel(int32_t level32) const {
    // Far past any level a record allows; keeps the arithmetic in range.
    const int64_t l = std::clamp<int64_t>(level32, -1000000, 1000000);
    const int64_t t = (static_cast<int64_t>(l) + 2) * (static_cast<int64_t>(l) + 1) / 2;
    int64_t v;
    if (unitFlags & 0x10)
        v = 100 * t - 100;
    else if (unitFlags & 0x20000020)
        v = 1000 * t - 1000;
    else
        v = 100 * (static_cast<int64_t>(l) + 1);
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

bool CUnit::ApplyLevelUps() {
    bool changed = false;
    while (experience >= nextExperience && level < MaxLevel()) {
        ++level;
        ++levelUps;
        ApplyLevelStats();
        changed = true;
    }
    if (level >= MaxLevel() && experience > nextExperience) experience = nextExperience;
    return changed;
}

float CUnit::ComputeFinal(int32_t i) const {
    const StatArrays& s = stats;
    float plain = s.base[i] * (1.0f + s.fraction[i]) + s.addA[i] + s.addB[i];
    if (i == 9) {
        float speed = s.fraction[9] + ((unitFlags & 0x20) ? 0.0f : 0.005f * s.final[1]);
        speed = std::min(speed, 5.0f);
        return std::max((speed * speed - 11.0f * speed + 36.0f) * 0.05f * s.base[9] - s.addA[9], 0.3f);
    }
    if (!kIsDerived[i]) return plain;
    // The attribute bonuses reach the derived stat without the fraction bonus.
    const uint32_t stat = static_cast<uint32_t>(i);
    return plain + DerivedStat(m_heroClass, stat, s.final[0], s.final[1], s.final[2]) -
           DerivedStat(m_heroClass, stat, s.base[0], s.base[1], s.base[2]);
}

void CUnit::SetFinal(int32_t i) {
    const bool vital = i == 5 || i == 6;
    if (vital && (stateFlags & 0x1000000)) return;
    const float old = stats.final[i], now = ComputeFinal(i);
    stats.final[i] = now;
    if (i == 5 && old != now) hitPoints = KeepRatio(hitPoints, old, now);
    if (i == 6 && old != now) mana = KeepRatio(mana, old, now);
    if (i == 9) {
        const float length = Action().endTime - Action().startTime;
        attackAnimationRate = 1.0f / now * (length > 0 ? length : 1.67f);
    }
    if (i == 10) walkAnimationRate = m_walkReference > 0 ? m_walkRate / m_walkReference * GetMoveSpeed() : 0.0f;
}

void CUnit::RecalcStats(int32_t index) {
    if (index == 17) {
        for (int32_t i = 0; i < kStatCount; ++i) SetFinal(i);
        return;
    }
    if (index < 0 || index >= kStatCount) return;
    SetFinal(index);
    if (index < 3)
        for (int32_t dep : kDependents[index])
            if (dep >= 0) SetFinal(dep);
}

float CUnit::GetMoveSpeed() const {
    float v = stats.final[10];
    if (v > kMaxSpeed) return kMaxSpeed;
    return v < 0 ? 1.0f : v;
}

// Stat 16, the last of the record's three sight-like ranges (50.0 by default).
float CUnit::GetAcquireRange() { return stats.final[16]; }

void CUnit::Regenerate(float elapsed) {
    regenerationTimer += elapsed;
    if (regenerationTimer < 0.25f) return;
    const float maxHp = GetStat(5), maxMana = GetStat(6);
    if (hitPoints < maxHp) hitPoints = std::min(hitPoints + regenerationTimer * GetStat(7), maxHp);
    if (mana < maxMana) mana = std::min(mana + regenerationTimer * GetStat(8), maxMana);
    regenerationTimer = 0;
}

void CUnit::Revive() {
    if (!alive) {
        hitPoints = GetStat(5);
        mana = GetStat(6);
        stateFlags &= ~0x4200000u;
        alive = 1;
        deadFlag = 0;
        for (CSkillInstance* s : skills)
            if (s) {
                s->Stop();
                s->cooldownElapsed = CSkillInstance::kReady;
                s->cooldownRate = 1.0f;
            }
        if (!(record && (record->flags & 0x4400000)) && !(flags & WO_BLOCKS_GRID)) {
            flags |= WO_BLOCKS_GRID;
            OccupyGrid(1);
        }
    }
    ++conditions[5];
    flags &= ~0x8u;
}

void CUnit::EndRevive() {
    conditions[5] = std::max(conditions[5] - 1, 0);
    if (owner >= 0 && owner < kPlayerSlots)
        for (int32_t& c : conditions)
            if (c > 0) c = 0;
}

int CUnit::IsLocalPlayerUnit() {
    CWorldObjectManager* m = g_pWorldObjectManager;
    if (!m) return 0;
    if (m->gameMode == 3 || m->gameMode == 4) return 1;
    return owner == m->localSlot && alive ? 1 : 0;
}

void CUnit::SetHeight(float y) {
    CUnitData* d = UnitRecord();
    if ((unitFlags & 0x400000) && d) y += BitsFloat(d->unitWord6);
    position.y = y;
}

void CUnit::UpdateTrail(float /*elapsed*/) {
    if (!trailFlag) return;
    CWorldObjectManager* m = g_pWorldObjectManager;
    if ((DistanceXZ(position, lastFootprint) > 10.0f || forceTrail) && m && m->footprintHook) {
        m->footprintHook(*this);
        lastFootprint = position;
    }
    if (DistanceXZ(position, lastFootstep) > footstepDistance || forceTrail) {
        if (m && m->footstepSound && IsVisible()) {
            const float at[3] = {position.x, position.y, position.z};
            m->footstepSound->PlayAt(at, false);
        }
        lastFootstep = position;
        footstepDistance = static_cast<float>(RandomRange(10, 40));
    }
    forceTrail = 0;
}

// Inventory.

uint32_t CUnit::CooldownGroup(const CInventoryItem& item) {
    if (item.record && item.record->cooldownItem) return item.record->cooldownItem;
    return item.recordId;
}

int32_t CUnit::CanAcquireItem(const CInventoryItem& item, int32_t wanted, int32_t* slot) const {
    if (!(unitFlags & 0x10) || (stateFlags & 0x3000000)) return 206;
    if (!item.record) return 205;
    if (static_cast<int64_t>(level) < static_cast<int64_t>(item.record->itemWord[kLevelWord])) return 203;
    const uint32_t group = CooldownGroup(item);
    for (CInventoryItem* carried : inventory)
        if (carried && (carried->recordId == item.recordId || CooldownGroup(*carried) == group)) return 204;
    if (item.useSkill && order.skillId >= 0 && item.useSkill->id == order.skillId) return 217;
    const bool special = item.record->itemWord[kSpecialSlotWord] != 0;
    if (wanted >= 0) {
        if (special && wanted < kNormalSlots) return 215;
        if (!special && wanted >= kNormalSlots) return 209;
    }
    const int32_t first = special ? kNormalSlots : 0, last = special ? kInventorySlots : kNormalSlots;
    for (int32_t s = first; s < last; ++s)
        if (!inventory[s]) {
            if (slot) *slot = s;
            return -1;
        }
    return 205;
}

void CUnit::SetInventoryItem(int32_t slot, CInventoryItem* item) {
    if (slot < 0 || slot >= kInventorySlots || !item || inventory[slot]) return;
    CSkillInstance* use = item->useSkill;
    if (use) {
        const uint32_t group = CooldownGroup(*item);
        const CSkillInstance* partner = nullptr;
        for (CInventoryItem* carried : inventory)
            if (carried && carried->useSkill && (carried->recordId == item->recordId || CooldownGroup(*carried) == group))
                partner = carried->useSkill;
        if (partner) {
            use->cooldownElapsed = partner->cooldownElapsed;
            use->cooldownRate = partner->cooldownRate;
        } else {
            auto kept = std::find_if(cooldownGroups.begin(), cooldownGroups.end(),
                                     [&](const auto& g) { return g.first == group; });
            use->cooldownElapsed = kept != cooldownGroups.end() ? kept->second : FLT_MAX;
        }
    }
    inventory[slot] = item;
    ++itemCount;
    item->EquipOn(this, 0);
}

void CUnit::RemoveInventoryItem(int32_t slot) {
    CInventoryItem* item = Item(slot);
    if (!item) return;
    inventory[slot] = nullptr;
    itemCount = std::max(itemCount - 1, 0);
    item->Unequip();
    const uint32_t group = CooldownGroup(*item);
    for (CInventoryItem* carried : inventory)
        if (carried && CooldownGroup(*carried) == group) return;
    const float time = item->useSkill ? item->useSkill->cooldownElapsed : FLT_MAX;
    auto kept = std::find_if(cooldownGroups.begin(), cooldownGroups.end(), [&](const auto& g) { return g.first == group; });
    if (kept != cooldownGroups.end())
        kept->second = time;
    else
        cooldownGroups.emplace_back(group, time);
}

void CUnit::AddItemInUse(CInventoryItem* item) {
    if (!item) return;
    item->useTimer = 0;
    itemsInUse.push_back(item);
}

int CUnit::UpdateItems(float elapsed) {
    for (auto it = itemsInUse.begin(); it != itemsInUse.end();) {
        CInventoryItem* item = *it;
        item->Update(elapsed);
        item->useTimer += elapsed;
        if (!item->IsPersistent() && item->useTimer >= 5.0f) {
            item->Unequip();
            FreeItem(item);
            it = itemsInUse.erase(it);
        } else {
            ++it;
        }
    }
    for (auto& group : cooldownGroups)
        if (group.second != FLT_MAX) group.second += elapsed;
    return itemsInUse.empty() ? 0 : 1;
}

void CUnit::NotifyItems(int32_t value) {
    for (CInventoryItem* item : inventory)
        if (item) item->Update(static_cast<float>(value));
}

void CUnit::CloneFrom(const CUnit& source, float factor, int keep) {
    SetOwner(source.owner);
    team = source.team;
    unitFlags = source.unitFlags | 0x1000000;
    for (int32_t i = 0; i < kStatCount; ++i) stats.base[i] = source.stats.base[i];
    for (int32_t i = 0; i < 3; ++i) stats.base[i] = source.stats.base[i] * factor;
    stats.base[5] = source.stats.final[5];
    stats.base[6] = source.stats.final[6];
    stats.base[10] = source.stats.final[10];
    RecalcStats(17);
    hitPoints = source.hitPoints;
    mana = source.mana;
    if (!keep) stateFlags |= 0x20000;
}

// Saved state.

int CUnit::Serialize(CFileStream& s, int flag) {
    s.Serialize(level);
    if (s.Failed()) return 0;
    if (s.mode() == CFileStream::MODE_READ) {
        level = std::clamp(level, 1, std::max(MaxLevel(), 1));
        ApplyLevelStats();
    }
    return SerializeBody(s, flag);
}

int CUnit::SerializeBody(CFileStream& s, int flag) {
    const bool reading = s.mode() == CFileStream::MODE_READ;
    uint32_t count = static_cast<uint32_t>(skills.size());
    s.Serialize(count);
    if (s.Failed()) return 0;
    bool mismatchShown = false;
    if (reading && count != skills.size()) {
        // The entries are read all the same so that an editor keeps the stream in step.
        if (!flag || count > s.Remaining() / 8) {
            ErrorReport().SetError(ERR_DATA, "Wrong Skill info!!! - unit : %s", name);
            return 0;
        }
        ShowSkillMismatch(name);
        mismatchShown = true;
    }
    for (uint32_t i = 0; i < count; ++i) {
        CSkillInstance* skill = i < skills.size() ? skills[i] : nullptr;
        uint32_t recordId = skill && skill->record ? skill->record->id : 0;
        int32_t skillLevel = skill ? skill->level : 0;
        s.Serialize(recordId);
        s.Serialize(skillLevel);
        if (s.Failed()) return 0;
        if (!reading) continue;
        if (!skill || !skill->record || skill->record->id != recordId) {
            if (flag) {
                // The editor keeps the record's own skill.
                if (!mismatchShown) ShowSkillMismatch(name);
                mismatchShown = true;
                continue;
            }
            ErrorReport().SetError(ERR_DATA, "Wrong Skill info!!! (index : %d)\n<- %s", i + 1, name);
            return 0;
        }
        skill->level = std::clamp(skillLevel, 0, skill->LevelCount());
    }
    if (!CWorldObject::Serialize(s, flag)) return 0;

    uint32_t items = 0;
    for (CInventoryItem* item : inventory)
        if (item) ++items;
    s.Serialize(items);
    if (reading && (s.Failed() || items > s.Remaining() / 8)) {
        ErrorReport().SetError(ERR_DATA, "Wrong item list - %s", name);
        return 0;
    }
    if (!reading) {
        for (CInventoryItem* item : inventory) {
            if (!item) continue;
            s.Serialize(item->recordId);
            s.Serialize(item->charges);
        }
        return s.Failed() ? 0 : 1;
    }
    for (uint32_t i = 0; i < items; ++i) {
        uint32_t recordId = 0;
        int32_t charges = 0;
        s.Serialize(recordId);
        s.Serialize(charges);
        if (s.Failed()) return 0;
        // Past eight carried items the rest is read and dropped.
        int32_t slot = -1;
        for (int32_t k = 0; k < kInventorySlots && slot < 0; ++k)
            if (!inventory[k]) slot = k;
        if (slot < 0 || !g_pWorldObjectManager) continue;
        CInventoryItem* item =
            g_pWorldObjectManager->CreateInventoryItem(FindGameRecord(CAT_ITEM, recordId), recordId, charges);
        if (!item) continue;
        inventory[slot] = item;
        ++itemCount;
    }
    return 1;
}

int CUnit::LinkResources(int /*flag*/) {
    for (int32_t slot = 0; slot < kInventorySlots; ++slot) {
        CInventoryItem* item = inventory[slot];
        if (!item || item->equipped) continue;
        inventory[slot] = nullptr;
        --itemCount;
        if (!item->record) {
            FreeItem(item);
            continue;
        }
        if (!item->record->Link()) {
            FreeItem(item);
            ErrorReport().Chain("%s", name);
            return 0;
        }
        SetInventoryItem(slot, item);
    }
    return 1;
}
