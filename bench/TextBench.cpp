// Text on the Nanum font at size 12. Targets: measuring warm text at 5 million
// characters a second or more; drawing 200 runs of 20 glyphs under 2 ms of CPU
// a frame; rasterising the 2,350 common Hangul syllables cold under 0.5 s.
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"

#include <memory>
#include <string>
#include <vector>

#include "engine/text/ColorMarkup.h"
#include "engine/text/FontList.h"
#include "engine/text/FreeTypeFont.h"
#include "platform/GfxRecordingDevice.h"

namespace {

std::unique_ptr<CFreeTypeFont> MakeFont() {
    FontFile file;
    auto font = std::make_unique<CFreeTypeFont>();
    if (!CFontFileLocator().Locate("NanumGothic.ttf", 0, &file) ||
        !font->Create(CFreeTypeFont::OUTLINE_FULL, 12, std::move(file), 0, 0, 0, 0, 1, 1))
        return nullptr;
    return font;
}

// The common syllables of code page 949: lead bytes 0xB0-0xC8, trail bytes 0xA1-0xFE.
std::vector<uint16_t> CommonHangul() {
    std::vector<uint16_t> codes;
    for (int lead = 0xB0; lead <= 0xC8; ++lead)
        for (int trail = 0xA1; trail <= 0xFE; ++trail) codes.push_back(static_cast<uint16_t>((lead << 8) | trail));
    return codes;
}

// A chat-like line: Hangul, Latin letters, digits and blanks, with a colour tag.
const std::string kLine =
    "</C=ffcc00>\xB0\xA1\xB3\xAA\xB4\xD9 Player01</> \xB6\xF3\xB8\xB6 attack 123 \xB9\xD9\xBB\xE7!";

void BM_MeasureWarmText(benchmark::State& state) {
    auto font = MakeFont();
    if (!font) return state.SkipWithError("no font");
    TextSize size;
    font->MeasureText(kLine, &size);
    for (auto _ : state) {
        font->MeasureText(kLine, &size);
        benchmark::DoNotOptimize(size);
    }
    int64_t characters = 0;
    for (size_t pos = 0; pos < kLine.size(); pos += CharLengthAt(kLine, pos)) ++characters;
    state.SetItemsProcessed(state.iterations() * characters);
}
BENCHMARK(BM_MeasureWarmText);

void BM_Draw200RunsOf20Glyphs(benchmark::State& state) {
    platform::CGfxRecordingDevice device;
    CFontList list;
    list.Textures().CreateTextTextures(&device);
    CFreeTypeFont* font = list.Add(MakeFont());
    if (!font) return state.SkipWithError("no font");
    std::vector<std::string> runs;
    for (int i = 0; i < 200; ++i) {
        std::string run = "Unit " + std::to_string(1000 + i) + " \xB0\xF8\xB0\xDD\xC7\xD5\xB4\xCF\xB4\xD9 ok";
        runs.push_back(run);  // 20 characters
    }
    for (const auto& r : runs) font->RenderText(0, 0, 0xFFFFFFFF, r);
    for (auto _ : state) {
        for (int i = 0; i < 200; ++i) font->RenderText(10, 10 + i, 0xFFFFFFFF, runs[static_cast<size_t>(i)]);
        device.ClearLog();
    }
}
BENCHMARK(BM_Draw200RunsOf20Glyphs)->Unit(benchmark::kMillisecond);

void BM_RasteriseCommonHangulCold(benchmark::State& state) {
    std::vector<uint16_t> codes = CommonHangul();
    for (auto _ : state) {
        state.PauseTiming();
        auto font = MakeFont();
        state.ResumeTiming();
        if (!font) return state.SkipWithError("no font");
        for (uint16_t code : codes) benchmark::DoNotOptimize(font->Glyph(code));
        state.PauseTiming();
        font.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(codes.size()));
}
BENCHMARK(BM_RasteriseCommonHangulCold)->Unit(benchmark::kMillisecond)->Iterations(BenchIterations(5));

}  // namespace

BENCHMARK_MAIN();
