// Chat costs. The word filter with 1,000 bad words on a 120-byte line: target
// at most 100 us. Adding a line to a list of 99 lines with glyph widths from a
// cache: target at most 20 us a line.
#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

#include "net/ChatLines.h"
#include "net/WordFilter.h"
#include "platform/CodePage.h"
#include "ui/UiFont.h"
#include "ui/UiListBox.h"
#include "ui/UiManager.h"

namespace {

// Widths of single-byte characters from a table, double-byte ones one width:
// what a font with its glyph widths cached costs.
class CachedWidthFont : public IUiFont {
public:
    CachedWidthFont() {
        for (size_t i = 0; i < m_widths.size(); ++i) m_widths[i] = 5 + static_cast<int32_t>(i % 4);
    }
    void Measure(std::string_view text, int32_t* width, int32_t* height) const override {
        int32_t w = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            const auto b = static_cast<uint8_t>(text[i]);
            if (b >= 0x80 && i + 1 < text.size()) {
                w += 12;
                ++i;
            } else {
                w += m_widths[b];
            }
        }
        *width = w;
        *height = 12;
    }
    void Draw(int32_t, int32_t, std::string_view, uint32_t) override {}
    int32_t LineHeight() const override { return 12; }

private:
    std::array<int32_t, 256> m_widths{};
};

std::string Line120() {
    std::string line = "</C=ffcc00>" + platform::Utf8ToCp949("안녕하세요 여러분 ");
    while (line.size() < 120) line += "the quick brown fox ";
    return line.substr(0, 120);
}

void BM_FilterChatWords(benchmark::State& state) {
    std::vector<std::string> words;
    for (int i = 0; i < 1000; ++i)
        words.push_back(i % 2 ? "bad" + std::to_string(i) : platform::Utf8ToCp949("나쁜") + std::to_string(i));
    CWordFilter filter;
    filter.Load(words, {"nice"});
    const std::string line = Line120();
    std::string out;
    for (auto _ : state) benchmark::DoNotOptimize(filter.FilterChatWords(line, "me", "other", out));
}
BENCHMARK(BM_FilterChatWords)->Unit(benchmark::kMicrosecond);

void BM_AddChatLine(benchmark::State& state) {
    CUiManager ui;
    CachedWidthFont font;
    ui.AddFont(&font);
    CUiListBox list;
    list.CreateEx(nullptr, "ID_CHAT", 0, 0, 300, 200, 1, 10);
    for (int i = 0; i < 99; ++i) AddChatLine(&list, "line " + std::to_string(i), 0);
    if (!list.Font()) state.SkipWithError("the list has no font: nothing would wrap");
    const std::string line = Line120();
    for (auto _ : state) AddChatLine(&list, line, 0xff5093);
}
BENCHMARK(BM_AddChatLine)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
