// A resource cache hit: a request for a cached name and its release. Target:
// under 200 ns for a hit. A 1024 x 1024 DXT5 texture with its mip levels,
// loaded from a package: target under 5 ms.
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"

#include <cstdio>
#include <string>
#include <vector>

#include "engine/resource/ResourceManager.h"
#include "engine/resource/TextureResource.h"
#include "platform/File.h"
#include "platform/GfxRecordingDevice.h"
#include "tools/DdsWriter.h"
#include "tools/PackageWriter.h"

namespace {

constexpr int kResources = 2000;

class CBenchResource : public CResource {
public:
    CBenchResource() : CResource(RES_TEXTURE) {}
    ~CBenchResource() override { Unload(); }
    int Load(const char*, int) override { return 1; }
};

struct Cache {
    std::string path = BenchFolder("resource");
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
        // Through a const reference: the read-write form lets GCC at -O1 hand back a clobbered pointer.
        const CResource* const seen = r;
        benchmark::DoNotOptimize(seen);
        c.rm->ReleaseResource(r);
        if (++i == c.names.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ResourceCacheHit);

void BM_PackagedDxt5TextureLoad(benchmark::State& state) {
    std::string path = BenchFolder("texture");
    platform::CreateFolders(path);
    std::vector<uint32_t> argb(1024 * 1024);
    for (size_t i = 0; i < argb.size(); ++i) argb[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
    CPackageWriter package("BENCH.DRP");
    package.Add("BIG.DDS", CDdsWriter::FromArgb(platform::FMT_DXT5, 1024, 1024, argb, 0));
    package.WritePackage(path);
    CPackageWriter::WriteList(path + "/PACKAGELIST.DRL", {&package});
    platform::CGfxRecordingDevice device;
    CResourceManager rm(path);
    rm.SetDevice(&device);
    rm.FileIndex().LoadPackageList("PACKAGELIST.DRL");
    for (auto _ : state) {
        CResource* r = rm.GetResource("BIG.DDS", RES_TEXTURE, nullptr, 1);
        if (!r) {
            state.SkipWithError("the texture did not load");
            break;
        }
        benchmark::DoNotOptimize(AsTexture(r)->Texture());
        rm.ReleaseResource(r);  // the last reference: the next request reads the package again
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PackagedDxt5TextureLoad)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
