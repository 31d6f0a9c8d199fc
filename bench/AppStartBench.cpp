// The client's own start-up work to its first presented frame, in process, on
// a sample game folder with 10,000 loose files and 20,000 package entries, with
// the window and the GL device replaced by test ones (what a player waits for,
// window and GL included, is bench_ClientStart's figure). Target: under 1 s. An empty frame's CPU time (update and render, no present). Target:
// under 50 microseconds.
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"

#include <cstdio>
#include <memory>
#include <string>

#include "app/GameApp.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/GfxSystem.h"
#include "platform/Registry.h"
#include "platform/ScriptedInput.h"
#include "platform/Window.h"
#include "tools/SampleMap.h"
#include "tools/PackageWriter.h"
#include "tools/SampleGameFolder.h"
#include "tools/TextFileWriters.h"

namespace {

// A screen that only takes its input, as an idle screen does.
class CIdleScreen : public CScreen {
public:
    int Update() override {
        m_timer.Update();
        UpdateCommon(1, nullptr, 0);
        return SCREEN_RUNNING;
    }
};

struct AppFolder {
    std::string path = ::BenchFolder("app");
    AppFolder() {
        MakeSampleGameFolder(path);
        CPackageWriter info("INFO.DRP");
        info.Add("MSG.DAT", MessageFileText(SampleMessages()), false);
        info.Add("GAMEINFO.DAT", SampleGameInfoText(), false);
        for (int i = 0; i < 20000; ++i) {
            char name[48];
            std::snprintf(name, sizeof(name), "ENTRY_%05d.DRM", i);
            info.Add(name, std::vector<uint8_t>{1, 2, 3, 4}, false);
        }
        info.WritePackage(path + "\\DATA");
        // The real shader set loads its effects at start-up.
        CPackageWriter shaders("SHADER.DRP");
        AddSampleShaders(shaders);
        shaders.WritePackage(path + "\\DATA");
        // The maps GAMEINFO.DAT lists are read at start-up.
        CPackageWriter maps("MAP.DRP");
        AddSampleMap(maps);
        maps.WritePackage(path + "\\DATA");
        CPackageWriter::WriteList(path + "\\PACKAGELIST.DRL", {&info, &shaders, &maps});
        for (int i = 0; i < 10000; ++i) {
            char name[64];
            std::snprintf(name, sizeof(name), "\\LOOSE\\%02d\\FILE_%05d.DDS", i % 100, i);
            if (i < 100) platform::CreateFolders(path + std::string(name).substr(0, 10));
            platform::WriteWholeFile(path + name, "x", 1);
        }
        platform::SetWorkingFolder(path);
        platform::SetRegistry(platform::CreateMemoryRegistry());
        platform::TheRegistry().SetDword(kOptionsKeyPath, "WindowMode", 1);
    }
};

void PrepareFolder() { static AppFolder folder; }

std::unique_ptr<CGameApp> MakeApp() {
    PrepareFolder();
    auto app = std::make_unique<CGameApp>("go");
    app->SetSystemFigures({1u << 20, 3000, 1u << 18});
    app->SetWindowMaker([](const std::string&, int w, int h, bool windowed, std::string*) {
        return std::unique_ptr<platform::CWindow>(new platform::CTestWindow(w, h, windowed));
    });
    app->SetSystemMaker([] { return std::make_unique<platform::CGfxRecordingSystem>(); });
    app->SetInputMaker([](platform::CWindow*) { return std::make_unique<platform::ScriptedInput>(); });
    app->SetFirstScreenMaker([] { return new CIdleScreen(); });
    return app;
}

void BM_StartToFirstFrame(benchmark::State& state) {
    PrepareFolder();
    for (auto _ : state) {
        std::unique_ptr<CGameApp> app = MakeApp();
        if (!app->CreateApp() || !app->RenderStep()) {
            // Timing calls after a skip end the benchmark program.
            state.SkipWithError("the client did not start");
            break;
        }
        state.PauseTiming();
        app.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartToFirstFrame)->Unit(benchmark::kMillisecond);

void BM_EmptyFrame(benchmark::State& state) {
    std::unique_ptr<CGameApp> app = MakeApp();
    if (!app->CreateApp()) {
        state.SkipWithError("the client did not start");
        return;
    }
    for (auto _ : state) {
        app->FrameMove();
        app->Render();
    }
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
