// A headless world for the object tests: the world object manager with the
// real classes, a game data registry to hold test records, a command manager
// in local mode whose queued records the tests read back, and a seeded C
// runtime generator.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "platform/CrtRandom.h"
#include "world/Building.h"
#include "world/Decoration.h"
#include "world/EffectParams.h"
#include "world/EffectRecord.h"
#include "world/GameDataRegistry.h"
#include "world/ItemData.h"
#include "world/ItemObject.h"
#include "world/SkillRecord.h"
#include "world/SpatialTree.h"
#include "world/Unit.h"
#include "world/UnitData.h"
#include "world/BuildingData.h"
#include "world/DecorationData.h"
#include "world/WorldObjectManager.h"

// One record a command left in the local queue.
struct SentCommand {
    std::vector<uint8_t> bytes;
    uint8_t Type() const { return bytes[0]; }
    uint8_t U8(size_t at) const { return bytes[at]; }
    uint16_t U16(size_t at) const { return LoadU16(bytes.data() + at); }
    int16_t I16(size_t at) const { return static_cast<int16_t>(U16(at)); }
    uint32_t U32(size_t at) const { return LoadU32(bytes.data() + at); }
    float F32(size_t at) const { return LoadF32(bytes.data() + at); }
};

struct WorldFixture : ::testing::Test {
    WorldFixture() {
        platform::CrtSrand(1);
        tree.Build(3, 2000, 2000, -100, 100);
    }
    // A test's sight grid is gone before the manager takes its objects' sight back.
    ~WorldFixture() override { manager.sightGrid = nullptr; }

    // The records queued since the last call, in order.
    std::vector<SentCommand> Sent() {
        std::vector<SentCommand> out;
        while (CGameCommand* r = commands.NextCommand()) {
            out.push_back({std::vector<uint8_t>(r->Bytes(), r->Bytes() + r->Size())});
            commands.ReleaseDispatched(r);
        }
        return out;
    }

    static uint32_t F(float v) { return FloatBits(v); }

    CUnitData& UnitRecord(const std::string& name, uint32_t flags = 1, uint32_t heroClass = 4) {
        auto& r = registry.AddNamed(std::make_unique<CUnitData>(), name);
        r.flags = flags;
        r.unitClass = heroClass;
        r.word[4] = 30;
        return r;
    }
    CSkillRecord& SkillRecord(const std::string& name, std::vector<float> cooldowns, uint32_t kind = 0) {
        auto& r = registry.AddNamed(CreateSkillRecord(kind), name);
        r.levels.clear();
        for (float c : cooldowns) {
            r.levels.push_back(std::make_unique<CSkillLevelRecord>());
            r.levels.back()->cooldown = c;
        }
        return r;
    }
    CEffectRecord& EffectRecord(const std::string& name, uint32_t kind, std::vector<float> durations) {
        auto& r = registry.AddNamed(CreateEffectRecord(kind), name);
        r.params.clear();
        for (float d : durations) {
            r.params.push_back(CreateEffectParam(kind));
            r.params.back()->duration = d;
        }
        return r;
    }
    CItemData& ItemRecord(const std::string& name) { return registry.AddNamed(std::make_unique<CItemData>(), name); }

    // A unit of the record registered at a place (level 1 unless given).
    CUnit* Spawn(CGameDataRecord& record, float x = 100, float z = 100, int32_t owner = 0, int32_t level = 1) {
        auto* u = static_cast<CUnit*>(manager.CreateObject(0));
        u->SetOwner(owner);
        EXPECT_EQ(u->InitFromRecord({x, 0, z}, &record, level, 0, 1), 1);
        EXPECT_EQ(manager.RegisterObject(u, -1, 1, 0), 1);
        return u;
    }

    CErrorReport report;
    CGameDataRegistry registry;
    CGameCommandManager commands;
    CSpatialTree tree;
    CWorldObjectManager manager;
};
