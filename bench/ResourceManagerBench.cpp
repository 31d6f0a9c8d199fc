// A resource cache hit: a request for a cached name and its release. Target:
// under 200 ns for a hit.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/ResourceManager.h"
#include "platform/File.h"

namespace {

constexpr int kResources = 2000;

class CBenchResource : public CResource {
public:
    CBenchResource() : CResource(RES_TEXTURE) {}
    ~CBenchResource() override { Unload(); }
    int Load(const char*, int) override { return 1; }
};

struct Cache {
    std::string path = "/tmp/qor-resource-bench";
    CResourceManager* rm = nullptr;
    std::vector<std::string> names;

    Cache() {
        platform::CreateFolders(path);
        platform::WriteWholeFile(path + "/ANY.DDS", "x", 1);
        rm = new CResourceManager(path);
        rm->SetFactory(RES_TEXTURE, [](CUiWindow*) { return new CBenchResource; });
        // A cache as full as a match's: the names go straight in.
        for (int i = 0; i < kResources; ++i) {
            char name[64];
            std::snprintf(name, sizeof(name), "UI\\TEXTURE_%05d.DDS", i);
            names.emplace_back(name);
            auto* r = new CBenchResource;
            r->SetName(name + 3);
            rm->Cache(RES_TEXTURE)->Insert(r);
        }
    }
};

Cache& TheCache() {
    static Cache c;
    return c;
}

void BM_ResourceCacheHit(benchmark::State& state) {
    Cache& c = TheCache();
    size_t i = 0;
    for (auto _ : state) {
        CResource* r = c.rm->GetResource(c.names[i].c_str(), RES_TEXTURE, nullptr, 1);
        benchmark::DoNotOptimize(r);
        c.rm->ReleaseResource(r);
        if (++i == c.names.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ResourceCacheHit);

}  // namespace

BENCHMARK_MAIN();
