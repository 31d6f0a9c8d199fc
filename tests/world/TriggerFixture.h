// The services map triggers and the scenario use, with areas of the test's
// own, and the records the triggers emit read back from the local queue.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <vector>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "tests/world/TestWorldObject.h"
#include "world/GameDataRegistry.h"
#include "world/MapAreas.h"
#include "world/MapScenario.h"
#include "world/TriggerElements.h"
#include "world/UnitData.h"

class CTestAreas : public IMapAreas {
public:
    bool FindArea(uint32_t hash, MapAreaView* out) override {
        auto it = areas.find(hash);
        if (it == areas.end()) return false;
        *out = it->second.view;
        out->heroIds = &it->second.heroIds;
        return true;
    }
    void Add(const char* name, float x, float z, float width = 40, float depth = 40) {
        Area& a = areas[NameHash(name)];
        a.view.centre = {x, 0, z};
        a.view.width = width;
        a.view.depth = depth;
    }
    struct Area {
        MapAreaView view;
        std::vector<int32_t> heroIds;
    };
    std::map<uint32_t, Area> areas;
};

struct Emitted {
    uint8_t type;
    std::vector<uint8_t> bytes;
    uint32_t U8(size_t at) const { return bytes[at]; }
    uint32_t U16(size_t at) const { return LoadU16(bytes.data() + at); }
    uint32_t U32(size_t at) const { return LoadU32(bytes.data() + at); }
};

struct TriggerFixture : ::testing::Test {
    void SetUp() override {
        UseTestObjects(objects);
        commands.BeginSession(0, &clock, 0, 0, std::array<int32_t, 12>{});
        messages.SetMsg(MSG_ERROR_NOT_FOUND_OBJECT, "no object %d");
        messages.SetMsg(MSG_ERROR_NOT_FOUND_DATA, "no data %s");
        scenario.SetAreas(&areas);
        areas.Add("Camp", 100, 200);
    }

    // Drains the local queue.
    std::vector<Emitted> Take() {
        std::vector<Emitted> out;
        while (CGameCommand* r = commands.NextCommand()) {
            const uint8_t* b = reinterpret_cast<const uint8_t*>(r);
            out.push_back({b[0], std::vector<uint8_t>(b, b + b[1])});
            commands.FreeCommand(r);
        }
        return out;
    }
    static std::vector<uint8_t> Types(const std::vector<Emitted>& records) {
        std::vector<uint8_t> t;
        for (const Emitted& e : records) t.push_back(e.type);
        return t;
    }
    void Offline() { objects.online = 0, objects.host = 0; }
    void Client() { objects.online = 1, objects.host = 0; }
    void Host() { objects.online = 1, objects.host = 1; }

    CTestWorldObject* AddObject(int32_t id, int32_t team = 0, int32_t owner = 0) {
        CTestWorldObject* o = NewTestObject(objects, 100, 200, team);
        o->owner = owner;
        EXPECT_EQ(objects.RegisterObject(o, id, 0, 0), 1);
        return o;
    }
    CUnitData& AddUnitRecord(const char* name) {
        auto& unit = registry.AddNamed(std::make_unique<CUnitData>(), name);
        return unit;
    }

    CTrigger& AddTrigger(const char* name) {
        scenario.Triggers().push_back(std::make_unique<CTrigger>());
        scenario.Triggers().back()->SetName(name);
        return *scenario.Triggers().back();
    }

    float clock = 0;
    CErrorReport errors;
    CMessageTable messages;
    CGameDataRegistry registry;
    CGameCommandManager commands;
    CWorldObjectManager objects;
    CTestAreas areas;
    CMapScenario scenario;
};

// The bytes a serializer writes, and what a serializer answers on bytes.
template <typename Serializer>
std::vector<uint8_t> WriteWith(Serializer write) {
    CFileStream s;
    s.OpenMemoryWrite("test");
    EXPECT_EQ(write(s), 1);
    return s.Bytes();
}
template <typename Serializer>
int ReadWith(std::vector<uint8_t> bytes, Serializer read) {
    CFileStream s;
    s.OpenMemory(std::move(bytes), "test");
    return read(s);
}

template <typename T>
T& Add(CTrigger& trigger, std::unique_ptr<T> element) {
    T& ref = *element;
    if constexpr (std::is_base_of_v<CTriggerAction, T>)
        trigger.AddAction(std::move(element));
    else
        trigger.AddCondition(std::move(element));
    return ref;
}
