// Map triggers and mission scripts. Targets: a frame of 200 triggers of a
// map (timers, intervals, game times, object deaths and area-cleared checks,
// with spawn actions behind them) in at most 0.1 ms; parsing a mission script
// of 2,000 lines in at most 10 ms.
#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "tests/world/TestWorldObject.h"
#include "world/MapAreas.h"
#include "world/MapScenario.h"
#include "world/ScriptManager.h"
#include "world/SpatialTree.h"
#include "world/TriggerElements.h"

namespace {

class CBenchAreas : public IMapAreas {
public:
    bool FindArea(uint32_t, MapAreaView* out) override {
        out->centre = {500, 0, 500};
        out->width = out->depth = 100;
        return true;
    }
};

void BM_Evaluate200Triggers(benchmark::State& state) {
    CErrorReport errors;
    CGameCommandManager commands;
    float clock = 0;
    commands.BeginSession(0, &clock, 0, 0, std::array<int32_t, 12>{});
    CWorldObjectManager objects;
    UseTestObjects(objects);
    CSpatialTree tree;
    tree.Build(5, 5120, 5120, -100, 160);
    for (int i = 0; i < 100; ++i) objects.RegisterObject(NewTestObject(objects, 40.0f * i, 500), -1, 1, 0);
    CBenchAreas areas;
    CMapScenario scenario;
    scenario.SetAreas(&areas);
    for (int i = 0; i < 200; ++i) {
        auto& trigger = *scenario.Triggers().emplace_back(std::make_unique<CTrigger>());
        trigger.SetName("trigger " + std::to_string(i));
        switch (i % 5) {
            case 0: {
                auto timer = std::make_unique<CTimerCondition>();
                timer->firstDelay = 5, timer->interval = 60, timer->repeatCount = 3;
                trigger.AddCondition(std::move(timer));
                break;
            }
            case 1: {
                auto interval = std::make_unique<CIntervalCondition>();
                interval->interval = 30;
                trigger.AddCondition(std::move(interval));
                break;
            }
            case 2: {
                auto time = std::make_unique<CGameTimeCondition>();
                time->gameTime = 1e9f;
                trigger.AddCondition(std::move(time));
                break;
            }
            case 3: {
                auto dead = std::make_unique<CObjectDeadCondition>();
                dead->objectId = static_cast<uint32_t>(100 + i % 100);
                trigger.AddCondition(std::move(dead));
                break;
            }
            default: {
                auto cleared = std::make_unique<CAreaClearedCondition>();
                cleared->owner = &trigger;
                cleared->firstDelay = 2, cleared->interval = 20;
                trigger.AddCondition(std::move(cleared));
            }
        }
        auto spawn = std::make_unique<CTriggerSpawnAction>();
        spawn->lordFlag = 0, spawn->count = 3, spawn->owner = 37;
        trigger.AddAction(std::move(spawn));
    }
    for (auto _ : state) {
        objects.gameClock += 1.0f / 60;
        scenario.UpdateTriggers(1.0f / 60);
        commands.ClearQueue();
    }
    benchmark::DoNotOptimize(scenario.Triggers().size());
}
BENCHMARK(BM_Evaluate200Triggers)->Unit(benchmark::kMicrosecond);

std::string ScriptOf2000Lines() {
    std::string text = "MAPFILE SAMPLE.ZEM\r\nHERO Knight\r\n";
    int lines = 2;
    for (int m = 0; lines < 2000; ++m) {
        text += "MISSION\r\n{\r\n\tSTART\r\n\t{\r\n\t\tRUN_TIMER 1\r\n\t\tDISPLAY_MSGBOX 1 \"Mission text\"\r\n\t}\r\n";
        lines += 7;
        for (int e = 0; e < 8 && lines < 1990; ++e) {
            text += "\tEVENT\r\n\t{\r\n\t\tRUN LOOP\r\n\t\tCONDITION\r\n\t\t{\r\n\t\t\tOP AND\r\n"
                    "\t\t\tCHECK_TIMER 1 30 IN\r\n\t\t\tCHECK_AREA Team2 Knight\r\n\t\t}\r\n\t\tEXECUTE\r\n\t\t{\r\n"
                    "\t\t\tMOVE_OBJECT Knight Team1 TRUE\r\n\t\t\tMESSAGE \"Hello there\"\r\n\t\t}\r\n\t}\r\n";
            lines += 15;
        }
        text += "}\r\n";
        ++lines;
    }
    return text;
}

void BM_Parse2000LineScript(benchmark::State& state) {
    CErrorReport errors;
    const std::string text = ScriptOf2000Lines();
    for (auto _ : state) {
        CScriptManager scripts;
        if (!scripts.OpenText("TUTORIAL.DAT", text)) state.SkipWithError(errors.GetText());
        benchmark::DoNotOptimize(scripts.Missions().size());
    }
}
BENCHMARK(BM_Parse2000LineScript)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
