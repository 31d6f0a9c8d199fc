#include "patcher/DialogLayout.h"

#include <algorithm>

#include "patcher/PatchEngine.h"

namespace {

constexpr int kFrameWidth = 6;
constexpr int kFrameHeight = 26;

LayoutRect Control(const std::function<std::string(const char*)>& readKey, const char* key, int imageWidth = 0,
                   int imageHeight = 0) {
    int v[4];
    ParseIntList(readKey(key), v);
    LayoutRect r{v[0], v[1], v[2], v[3]};
    if (r.w == 0) r.w = imageWidth;
    if (r.h == 0) r.h = imageHeight;
    r.w = std::clamp(r.w, 0, 1 << 16);
    r.h = std::clamp(r.h, 0, 1 << 16);
    return r;
}

int Span(long long from, long long to) {
    long long size = to - from;
    return static_cast<int>(std::clamp<long long>(size, 1, 1 << 16));
}

}  // namespace

DialogLayout ComputeDialogLayout(const std::function<std::string(const char* key)>& readKey, int backgroundWidth,
                                 int backgroundHeight, int startWidth, int startHeight, int repatchWidth,
                                 int repatchHeight) {
    DialogLayout layout;
    layout.web = Control(readKey, "WEB");
    layout.fileStatic = Control(readKey, "FILE_STATIC");
    layout.totalProgress = Control(readKey, "TOTAL_PROGRESS");
    layout.fileProgress = Control(readKey, "FILE_PROGRESS");
    layout.startButton = Control(readKey, "START_BUTTON", startWidth, startHeight);
    layout.repatchButton = Control(readKey, "REPATCH_BUTTON", repatchWidth, repatchHeight);
    layout.homepageStatic = Control(readKey, "HOMEPAGE_STATIC");

    int v[4];
    ParseIntList(readKey("BASE_DIALOG"), v);
    long long right = v[2] ? v[2] : static_cast<long long>(backgroundWidth) + kFrameWidth;
    long long bottom = v[3] ? v[3] : static_cast<long long>(backgroundHeight) + kFrameHeight;
    layout.window.x = v[0];
    layout.window.y = v[1];
    layout.window.w = Span(v[0], right - kFrameWidth);
    layout.window.h = Span(v[1], bottom - kFrameHeight);
    return layout;
}
