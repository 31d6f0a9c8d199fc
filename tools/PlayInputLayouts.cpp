#include "tools/PlayInputLayouts.h"

#include <string>

#include "tools/PackageWriter.h"
#include "tools/UiLayouts.h"

LayoutFileSpec UnitTooltipLayout() { return FramedWindow("WND_PLAY_UNITID"); }

LayoutFileSpec UnitInfoLayout() {
    LayoutFileSpec spec = WindowLayout("WND_PLAY_UNITINFO", 20, 120, 300, 400);
    auto& c = spec.children;
    c.push_back(StaticRecord("ID_STATIC_CHARFACE", 10, 10, 128, 128));
    c.push_back(StaticRecord("ID_STATIC_CHARNAME", 150, 10, 140, 20));
    c.push_back(StaticRecord("ID_STATIC_STATICON", 150, 35, 24, 24));
    c.push_back(StaticRecord("ID_STATIC_RACEICON", 180, 35, 24, 24));
    c.push_back(StaticRecord("ID_STATIC_BAR_SHELL", 150, 65, 140, 40));
    c.push_back(GaugeRecord("ID_PROGRESS_HP", 152, 67, 136, 16, 4));
    c.push_back(GaugeRecord("ID_PROGRESS_MP", 152, 87, 136, 16, 4));
    c.push_back(StaticRecord("ID_STATIC_HP_NUM", 152, 67, 136, 16));
    c.push_back(StaticRecord("ID_STATIC_MP_NUM", 152, 87, 136, 16));
    for (int i = 0; i < 9; ++i) {
        const float y = 150.0f + static_cast<float>(i) * 18.0f;
        c.push_back(StaticRecord("ID_STATIC_ABILITYNUM" + std::to_string(i + 1), 100, y, 50, 16));
        if (i < 6) c.push_back(StaticRecord("ID_STATIC_ABILITY_PLUS" + std::to_string(i + 1), 155, y, 40, 16));
    }
    for (int i = 0; i < 7; ++i)
        c.push_back(StaticRecord("ID_STATIC_BUFF" + std::to_string(i + 1), 10.0f + static_cast<float>(i) * 30.0f,
                                 320, 26, 26));
    for (int i = 0; i < 8; ++i)
        c.push_back(StaticRecord("ID_STATIC_ITEM" + std::to_string(i + 1), 10.0f + static_cast<float>(i) * 34.0f,
                                 355, 32, 32));
    c.push_back(ButtonRecord("ID_BUTTON_CLOSE", 270, 5, 24, 24, "X"));
    return spec;
}

int AddPlayInputLayouts(CPackageWriter& layouts) {
    return layouts.Add("PLAY_UNITID.DUI", BuildLayout(UnitTooltipLayout()), false) != 0 &&
                   layouts.Add("PLAY_UNITINFO.DUI", BuildLayout(UnitInfoLayout()), false) != 0
               ? 1
               : 0;
}
