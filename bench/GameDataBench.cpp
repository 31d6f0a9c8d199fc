// Game data and effect file loading. Targets: a block of 3,000 records
// (about 1 MB) from a package entry in the page cache in at most 30 ms (the
// raw read of the same bytes is printed beside it); a 20-layer ".DRE" from
// memory in at most 0.2 ms.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/effects/EffectResource.h"
#include "engine/resource/ResourceManager.h"
#include "tools/EffectFileWriter.h"
#include "tools/PackageWriter.h"
#include "world/EffectRecord.h"
#include "world/GameDataRegistry.h"
#include "world/SkillRecordKinds.h"
#include "world/UnitData.h"

namespace {

constexpr int kRecords = 3000;

std::vector<uint8_t> SyntheticBlock() {
    CGameDataRegistry registry(false);
    for (int i = 0; i < kRecords; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 3) {
            case 0: {
                auto unit = std::make_unique<CUnitData>();
                unit->name = "UNIT_" + n;
                unit->text = "A unit of the benchmark block, number " + n;
                unit->model = "UNIT_" + n + ".DRC";
                unit->icon = "ICON_" + n + ".DDS";
                for (int s = 0; s < 4; ++s) unit->skills.push_back({nullptr, "SKILL_" + std::to_string(s)});
                unit->shootInfo.effectName = "SHOT.DRE";
                registry.AddRecord(std::move(unit));
                break;
            }
            case 1: {
                auto skill = std::make_unique<CEffectAuraSkillRecord>();
                skill->name = "SKILL_" + n;
                skill->text = "A skill of the benchmark block, number " + n;
                skill->icon = "ICON_" + n + ".DDS";
                for (int l = 0; l < 3; ++l) {
                    skill->levels.push_back(CreateSkillLevel(2));
                    skill->levels.back()->levelText = "Level " + std::to_string(l + 1) + " of skill " + n;
                }
                skill->effects.push_back({nullptr, "EFFECT_" + n});
                registry.AddRecord(std::move(skill));
                break;
            }
            default: {
                auto effect = CreateEffectRecord(0);
                effect->name = "EFFECT_" + n;
                effect->text = "An effect of the benchmark block, number " + n;
                effect->startEffect = "START.DRE";
                effect->params.push_back(CreateEffectParam(0));
                registry.AddRecord(std::move(effect));
                break;
            }
        }
    }
    CFileStream s;
    s.OpenMemoryWrite("BENCH.DAT");
    registry.WriteDataBlock(s);
    return s.Bytes();
}

struct Folder {
    std::string path;
    std::unique_ptr<CResourceManager> manager;
    CErrorReport report;
    size_t blockSize = 0;
    std::string packagePath;
    uint32_t offset = 0, size = 0;

    Folder() {
        char pattern[] = "/tmp/qor-gamedata-bench-XXXXXX";
        path = mkdtemp(pattern) ? pattern : "/tmp";
        const std::vector<uint8_t> block = SyntheticBlock();
        blockSize = block.size();
        CPackageWriter pack("BENCH.DRP");
        pack.Add("FIRST.DAT", std::vector<uint8_t>(4096, 1));
        pack.Add("BENCH.DAT", block);
        pack.WritePackage(path);
        CPackageWriter::WriteList(path + "/PACKAGELIST.DRL", {&pack});
        manager = std::make_unique<CResourceManager>(path);
        manager->FileIndex().LoadPackageList("PACKAGELIST.DRL");
        packagePath = manager->FileIndex().ResolvePath("BENCH.DAT", &offset, &size);
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

Folder& TheFolder() {
    static Folder f;
    return f;
}

void BM_GameDataBlockLoad(benchmark::State& state) {
    Folder& f = TheFolder();
    CGameDataRegistry registry;
    for (auto _ : state) {
        registry.Clear();
        if (!registry.LoadDataBlock("BENCH.DAT")) state.SkipWithError(f.report.GetText());
    }
    state.counters["records"] = static_cast<double>(kRecords);
    state.counters["bytes"] = static_cast<double>(f.blockSize);
}
BENCHMARK(BM_GameDataBlockLoad)->Unit(benchmark::kMillisecond);

void BM_GameDataBlockRawRead(benchmark::State& state) {
    Folder& f = TheFolder();
    for (auto _ : state) {
        CFileStream s;
        if (!s.OpenReadBuffered(f.packagePath.c_str(), f.offset, f.size)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(s.Remaining());
    }
}
BENCHMARK(BM_GameDataBlockRawRead)->Unit(benchmark::kMillisecond);

void BM_EffectFile20Layers(benchmark::State& state) {
    static CErrorReport report;
    std::vector<EffectFileLayer> layers;
    for (int i = 0; i < 20; ++i)
        layers.push_back(i % 3 == 0 ? BillboardLayer("") : i % 3 == 1 ? OrbitLayer("") : LinearLayer(""));
    const std::vector<uint8_t> bytes = WriteEffectFile(MakeEffectFile(layers));
    for (auto _ : state) {
        CFileStream s;
        s.OpenMemory(bytes, "BENCH.DRE");
        float version = 0;
        s.ReadFloat(version);
        CEffectResource effect;
        if (!effect.LoadBody(s)) state.SkipWithError(report.GetText());
        benchmark::DoNotOptimize(effect.Layers().size());
    }
}
BENCHMARK(BM_EffectFile20Layers)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
