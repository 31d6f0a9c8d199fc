// A small match for the play screen's kill and event bookkeeping: the
// sample map's world, a session whose slots 0-5 are Light and 6-11 Darkness,
// heroes made on demand, a recording screen host and fixture message texts.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "commands/GameCommandManager.h"
#include "engine/core/MessageTable.h"
#include "net/ClientSession.h"
#include "screens/game/PlayScreen.h"
#include "tools/WorldHarness.h"
#include "tests/ui/RecordingScreenHost.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

class PlayMatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.ok()) << harness.Error();
        harness.MakeCurrent(0);
        g_pClientSession = &session;
        // The harness may have loaded the sample table: the fixture's texts go into the one in use.
        CMessageTable& messages = g_pMessageTable ? *g_pMessageTable : ownMessages;
        messages.SetMsg(MSG_GAMEPLAY_DIE_HERO, "%s%s killed %s[%d]%s");
        messages.SetMsg(MSG_GAMEPLAY_COMBO_KILL, " +%d gold, streak %d");
        messages.SetMsg(MSG_GAMEPLAY_FIRST_HERO_KILL, "First blood: %s +%d");
        messages.SetMsg(MSG_GAMEPLAY_DIE_DEC_GOLD, "You lost gold");
        World().localSlot = 0;
        World().localTeam = 0;
        for (int s = 0; s < 12; ++s) World().ownerTeam[s] = s < 6 ? 0 : 1;
        screen = std::make_unique<CPlayScreen>();
    }
    void TearDown() override {
        screen.reset();
        g_pClientSession = nullptr;
    }
    CWorldObjectManager& World() { return harness.machine(0).map->objects; }

    // A hero of a player slot: object id = slot, the killer entry named.
    CUnit* Hero(int32_t slot, int32_t level, const char* name) {
        const int32_t id = harness.SpawnUnit("Creep", {100.0f + 30.0f * slot, 0, 100}, slot, slot < 6 ? 0 : 1, 300, 30,
                                             40, 20, slot);
        CUnit* u = harness.Unit(0, id);
        u->unitFlags |= 0x10;
        u->level = level;
        u->name = name;
        World().objectNames[static_cast<size_t>(id)] = name;
        World().objectOwners[static_cast<size_t>(id)] = slot;
        session.slots[static_cast<size_t>(slot)].level = level;
        session.slots[static_cast<size_t>(slot)].nickname = std::string("nick") + name;
        return u;
    }

    // Records the handlers emitted, taken from the local queue.
    std::vector<CGameCommand*> TakeEmitted() {
        std::vector<CGameCommand*> out;
        while (CGameCommand* r = harness.machine(0).commands->NextCommand()) out.push_back(r);
        return out;
    }
    void Release(std::vector<CGameCommand*>& records) {
        for (CGameCommand* r : records) harness.machine(0).commands->ReleaseDispatched(r);
        records.clear();
    }

    CWorldHarness harness;
    CRecordingScreenHost host;
    CClientSession session;
    CMessageTable ownMessages;
    std::unique_ptr<CPlayScreen> screen;
};

