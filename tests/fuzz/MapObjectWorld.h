// The small world the map-object fuzz target reads into and its seeds are
// written from: a registry with a unit (two skills), an item, a decoration
// and a building, and the world object manager.
#pragma once

#include <memory>
#include <vector>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/NameHash.h"
#include "world/BuildingData.h"
#include "world/DecorationData.h"
#include "world/GameDataRegistry.h"
#include "world/InventoryItem.h"
#include "world/ItemData.h"
#include "world/SkillInstance.h"
#include "world/SkillRecord.h"
#include "world/Unit.h"
#include "world/UnitData.h"
#include "world/WorldObjectManager.h"

struct MapObjectWorld {
    MapObjectWorld() {
        for (const char* name : {"Bash", "Roar"}) {
            auto& skill = registry.AddNamed(CreateSkillRecord(0), name);
            skill.levels.clear();
            for (int i = 0; i < 3; ++i) skill.levels.push_back(std::make_unique<CSkillLevelRecord>());
        }
        auto& knight = registry.AddNamed(std::make_unique<CUnitData>(), "Knight");
        knight.flags = 0x11;
        knight.word[4] = 30;
        knight.baseStats[5] = FloatBits(300);
        knight.skills = {{nullptr, "Bash"}, {nullptr, "Roar"}};
        // Items need a model to link; this one counts as linked.
        registry.AddNamed(std::make_unique<CItemData>(), "Potion").linked = 1;
        registry.AddNamed(std::make_unique<CDecorationData>(), "Rock").decoWord3 = FloatBits(50);
        registry.AddNamed(std::make_unique<CBuildingData>(), "Tower").baseStats[5] = FloatBits(900);
    }

    // One entry of an object list for each kind of object.
    std::vector<std::vector<uint8_t>> Entries() {
        std::vector<std::vector<uint8_t>> out;
        auto write = [&](CWorldObject* o) {
            CFileStream s;
            s.OpenMemoryWrite("OBJECT");
            o->LoadFromMap(s, 0);
            out.push_back(s.Bytes());
        };
        auto* unit = static_cast<CUnit*>(manager.CreateObject(0));
        unit->SetOwner(3);
        unit->InitFromRecord({120, 0, 80}, FindGameRecord(CAT_UNIT, NameHash("Knight")), 4, 1.0f, 1);
        manager.RegisterObject(unit, 200, 1, 0);
        unit->AddRandomEvent(1, 2, 3);
        unit->SetInventoryItem(0, manager.CreateInventoryItem(FindGameRecord(CAT_ITEM, NameHash("Potion")), 0, 2));
        write(unit);
        for (auto [type, name] : {std::pair{1, "Tower"}, {2, "Rock"}}) {
            CWorldObject* o = manager.CreateObject(type);
            o->InitFromRecord({300, 0, 300}, FindGameRecord(static_cast<uint32_t>(type), NameHash(name)), 1, 0, 2);
            manager.RegisterObject(o, -1, 1, 0);
            write(o);
        }
        manager.Clear();
        return out;
    }

    CErrorReport report;
    CGameDataRegistry registry{true};
    CGameCommandManager commands;
    CWorldObjectManager manager;
};
