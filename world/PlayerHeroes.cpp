#include "world/PlayerHeroes.h"

#include <cmath>

#include "engine/core/ErrorReport.h"
#include "world/GameDataRecord.h"
#include "world/NamedArea.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

namespace {
constexpr float kHeroYaw = 3.14159274f;
constexpr float kBonusFactor = 0.02f;
constexpr int32_t kAllStats = 17;
constexpr int32_t kPositions = 12;
}  // namespace

int CreatePlayerHero(CZEMMap& map, const PlayerHeroSpec& spec, CUnit** hero) {
    if (hero) *hero = nullptr;
    if (spec.position < 0 || spec.position >= kPositions || !spec.record) {
        ErrorReport().SetError(ERR_DATA, "No hero for position %d", spec.position + 1);
        return 0;
    }
    CNamedArea* start = map.areas.TeamArea(spec.position);
    if (!start) return 1;
    CWorldObjectManager& world = map.objects;
    CGameDataRecord& record = *spec.record;
    auto* unit = dynamic_cast<CUnit*>(world.CreateObject(0));
    if (!unit) {
        ErrorReport().SetError(ERR_DATA, "%s", record.name.c_str());
        return 0;
    }
    const size_t i = static_cast<size_t>(spec.position);
    unit->SetOwner(spec.position);
    unit->team = world.ownerTeam[i];
    // The record's model comes with its link: a unit made from an unlinked
    // record has no model, so it draws nothing and a click cannot pick it.
    if (!record.Link() || !unit->InitFromRecord(start->centre, &record, 1, kHeroYaw, 1.0f) || !unit->LinkResources(0)) {
        ErrorReport().Chain("%s", record.name.c_str());
        world.DestroyObject(unit);
        return 0;
    }
    if (spec.bonusLevel > 0) {
        for (int a = 0; a < 3; ++a) {
            float& base = unit->stats.base[a];
            base += std::trunc(static_cast<float>(spec.bonusLevel) * kBonusFactor * base);
        }
        unit->RecalcStats(kAllStats);
    }
    world.ownerNames[i].shortName = spec.name;
    if (!world.RegisterObject(unit, spec.position, 1, 0)) {
        ErrorReport().SetError(ERR_DATA, "%s", record.name.c_str());
        world.DestroyObject(unit);
        return 0;
    }
    if (hero) *hero = unit;
    return 1;
}

void SpreadPlayerHeroes(CWorldObjectManager& world) {
    for (int32_t slot = 0; slot < kPositions; ++slot) {
        CWorldObject* hero = world.GetObjectById(slot);
        if (!hero) continue;
        // Out of the grid first, so the hero's own cells do not count as taken.
        hero->VacateGrid(1);
        const float size = hero->bounds.radius * hero->bounds.scale;
        // The first ring of candidates lies 1.5 x the hero's size around it.
        world.BuildSpawnCandidates(size * 0.5f);
        platform::Vec3 spot = hero->position;
        if (world.FindFreeSpawnPoint(hero->position, size, 1, &spot)) spot.y = hero->position.y;
        hero->TeleportTo(spot);
    }
}
