#include "tools/SampleReplay.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/NameHash.h"
#include "engine/resource/ResourceManager.h"
#include "tools/HeadlessGameData.h"
#include "tools/SampleMap.h"
#include "tools/WorldHarness.h"
#include "world/Unit.h"
#include "world/ZEMMap.h"

namespace {

// The frame's seconds as the client's frame timer makes them of its milliseconds.
const float kStep = static_cast<float>(kSampleReplayFrameMs) * 0.001f;

}  // namespace

int WriteSampleReplay(const std::string& folder, SampleReplayEnd* end) {
    std::string failure;
    {
        CWorldHarness h(1, 1, folder, CWorldHarness::World::AsLoaded);
        CGameCommandManager& commands = *h.machine(0).commands;
        int32_t heroes[2] = {-1, -1};
        for (int32_t slot = 0; slot < 2 && h.ok(); ++slot) {
            heroes[slot] = h.SpawnHero(kSampleReplayHeroes[slot], slot);
            commands.heroIds[static_cast<size_t>(slot)] = NameHash(kSampleReplayHeroes[slot]);
            commands.playerNames[static_cast<size_t>(slot)] = kSampleReplayHeroes[slot];
        }
        if (!h.ok() || heroes[0] < 0 || heroes[1] < 0) {
            failure = "the sample match cannot be set up: " + h.Error();
        } else {
            h.SpreadHeroes();
            size_t next = 0;
            while (h.machine(0).clock < kSampleReplayLength) {
                // Each order goes out as the player's click sends it.
                for (; next < std::size(kSampleReplayOrders) && kSampleReplayOrders[next].time <= h.machine(0).clock;
                     ++next) {
                    const SampleReplayOrder& o = kSampleReplayOrders[next];
                    if (CUnit* hero = h.Unit(0, heroes[o.slot]))
                        commands.BuildUnitOrder(hero->id, hero->hitPoints, static_cast<uint32_t>(o.kind),
                                                static_cast<uint32_t>(o.subKind), {o.x, 0, o.z}, hero->position, -1, -1, 0);
                }
                h.Step(kStep);
            }
            if (end)
                for (int slot = 0; slot < 2; ++slot)
                    if (CUnit* hero = h.Unit(0, heroes[slot])) end->heroes[slot] = hero->position;
            ReplayWorldState world;
            world.matchLength = h.machine(0).clock;
            world.localSlot = 0;
            uint8_t digest[16] = {};
            const std::string path = folder + "/" + kSampleReplay;
            if (!h.Folder().manager->FileIndex().ComputeFileDigest(kSampleMap, digest, true))
                failure = std::string("no digest of ") + kSampleMap;
            else if (!commands.WriteReplay(path.c_str(), kSampleMap, h.machine(0).map->dataStamp, digest, world))
                failure = "cannot write " + path;
        }
    }
    if (failure.empty()) return 1;
    // What the harness reported stays first in the chain.
    ErrorReport().Chain("%s", failure.c_str());
    return 0;
}
