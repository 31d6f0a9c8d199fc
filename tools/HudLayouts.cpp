#include "tools/HudLayouts.h"

#include <cstdio>
#include <string>

#include "tools/PackageWriter.h"
#include "tools/UiLayouts.h"

namespace {
std::string Numbered(const char* format, int n) {
    char name[48];
    std::snprintf(name, sizeof name, format, n);
    return name;
}

LayoutRecordSpec Tinted(LayoutRecordSpec record, float r, float g, float b, float a = 1.0f) {
    record.colour[0] = r;
    record.colour[1] = g;
    record.colour[2] = b;
    record.colour[3] = a;
    return record;
}
}  // namespace

LayoutFileSpec TopBarLayout() {
    // A clear window over the top of the screen: only its controls draw.
    LayoutFileSpec spec = WindowLayout("WND_PLAY_UPPER", 0, 0, 1024, 60);
    spec.window.colour[3] = 0.0f;
    auto& c = spec.children;
    c.push_back(Tinted(StaticRecord("ID_STATIC_UP_PLAYUI", 262, 0, 500, 36), 0.15f, 0.12f, 0.1f, 0.85f));
    // The Light on the left, the Darkness on the right.
    c.push_back(StaticRecord("ID_STATIC_GODGAUGESHELL1", 270, 4, 120, 14));
    c.push_back(StaticRecord("ID_STATIC_GODGAUGESHELL2", 634, 4, 120, 14));
    c.push_back(StaticRecord("ID_STATIC_LIGHT_GUARDIAN_LV", 392, 4, 20, 14));
    c.push_back(StaticRecord("ID_STATIC_DARKNESS_GUARDIAN_LV", 612, 4, 20, 14));
    c.push_back(ButtonRecord("ID_BUTTON_LIGHT_GODFACE", 230, 0, 36, 36));
    c.push_back(ButtonRecord("ID_BUTTON_DARK_GODFACE", 758, 0, 36, 36));
    c.push_back(GaugeRecord("ID_PROGRESS_HP_LIGHT", 272, 20, 116, 6, 0));
    c.push_back(GaugeRecord("ID_PROGRESS_HP_DARKNESS", 636, 20, 116, 6, 0));
    c.push_back(StaticRecord("ID_STATIC_NAME_1", 270, 26, 120, 10));
    c.push_back(StaticRecord("ID_STATIC_NAME_2", 634, 26, 120, 10));
    for (int i = 1; i <= 6; ++i)
        c.push_back(ButtonRecord(Numbered("ID_BUTTON_UP_PLAYUI_MENU%d", i), 800.0f + 36.0f * (i - 1), 2, 34, 20));
    c.push_back(Tinted(StaticRecord("ID_STATIC_DAY", 440, 2, 24, 24), 1.0f, 0.85f, 0.3f));
    c.push_back(Tinted(StaticRecord("ID_STATIC_NIGHT", 440, 2, 24, 24), 0.3f, 0.35f, 0.8f));
    for (int i = 1; i <= 5; ++i)
        c.push_back(Tinted(StaticRecord(Numbered("ID_STATIC_BURBLE%d", i), 468.0f + 10.0f * (i - 1), 10, 8, 8), 1.0f,
                           1.0f, 0.6f));
    for (int i = 1; i <= 3; ++i) c.push_back(StaticRecord(Numbered("ID_STATIC_WARNING%d", i), 362, 40, 300, 16));
    // Five digits of a ten-cell strip, behind their decoration.
    c.push_back(StaticRecord("ID_STATIC_TIMER_DECO", 540, 2, 70, 24));
    for (int i = 1; i <= 5; ++i) {
        LayoutRecordSpec digit = StaticRecord(Numbered("ID_STATIC_TIME_%d", i), 544.0f + 12.0f * (i - 1), 4, 12, 20);
        digit.uv[2] = digit.uv[6] = 0.1f;
        c.push_back(digit);
    }
    c.push_back(StaticRecord("ID_STATIC_CLOCK", 520, 24, 90, 12));
    return spec;
}

int AddHudLayouts(CPackageWriter& layouts) {
    return layouts.Add("PLAY_UPPER.DUI", BuildLayout(TopBarLayout()), false) != 0 ? 1 : 0;
}
