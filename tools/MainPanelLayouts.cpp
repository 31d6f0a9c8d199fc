#include "tools/MainPanelLayouts.h"

#include <cstdio>
#include <string>

#include "platform/GfxTypes.h"
#include "tools/DdsWriter.h"
#include "tools/PackageWriter.h"
#include "tools/SampleMap.h"
#include "tools/UiLayouts.h"
#include "world/ZEMMap.h"

namespace {
std::string Numbered(const char* format, int i) {
    char name[48];
    std::snprintf(name, sizeof name, format, i);
    return name;
}
}  // namespace

LayoutFileSpec MainPanelLayout() {
    LayoutFileSpec spec = WindowLayout("WND_PLAY_MAIN", 0, 564, 1024, 204);
    auto& c = spec.children;
    // Left: the minimap with the sight overlay on top of it.
    c.push_back(StaticRecord("ID_STATIC_MINIMAP", 6, 8, 188, 188));
    c.push_back(StaticRecord("ID_STATIC_SIGHT", 6, 8, 188, 188));
    c.push_back(ButtonRecord("ID_BUTTON_NOTIFY", 196, 8, 24, 24));
    // The portrait, name, gauges and statistics of the shown object.
    c.push_back(ButtonRecord("ID_BUTTON_VIEWER", 226, 36, 128, 128));
    c.push_back(StaticRecord("ID_STATIC_TITLE", 226, 8, 300, 24));
    c.push_back(StaticRecord("ID_STATIC_CHARNAME", 360, 8, 200, 20));
    c.push_back(StaticRecord("ID_STATIC_CLASSNAME", 360, 28, 120, 18));
    c.push_back(StaticRecord("ID_STATIC_RACEICON", 486, 28, 18, 18));
    c.push_back(StaticRecord("ID_STATIC_STATICON", 508, 28, 18, 18));
    c.push_back(GaugeRecord("ID_PROGRESS_HP", 226, 168, 128, 10, 4));
    c.push_back(StaticRecord("ID_STATIC_HPBAR", 226, 166, 128, 14));
    c.push_back(GaugeRecord("ID_PROGRESS_MP", 226, 180, 128, 10, 4));
    c.push_back(StaticRecord("ID_STATIC_MANABAR", 226, 178, 128, 14));
    c.push_back(GaugeRecord("ID_PROGRESS_EXP", 226, 192, 128, 6, 2));
    c.push_back(StaticRecord("ID_STATIC_TIME", 226, 190, 128, 12));
    c.push_back(StaticRecord("ID_STATIC_ALL", 360, 50, 166, 110));
    const char* rows[] = {"ID_STATIC_ATTACK", "ID_STATIC_DEFENCE", "ID_STATIC_MOVE", "ID_STATIC_ATTACKSPEED",
                          "ID_STATIC_ATTACKRATE", "ID_STATIC_EVADERATE"};
    for (int i = 0; i < 6; ++i) c.push_back(StaticRecord(rows[i], 440, 52 + 18.0f * static_cast<float>(i), 50, 16));
    const char* bonuses[] = {"ID_STATIC_ATTACK_PLUS", "ID_STATIC_DEFENCE_PLUS", "ID_STATIC_MOVE_PLUS"};
    for (int i = 0; i < 3; ++i) c.push_back(StaticRecord(bonuses[i], 492, 52 + 18.0f * static_cast<float>(i), 34, 16));
    for (int i = 0; i < 7; ++i)
        c.push_back(StaticRecord(Numbered("ID_STATIC_BUFF_%d", i + 1), 360 + 24.0f * static_cast<float>(i), 164, 22, 22));
    // The army buttons share the statistics' place: one is shown or the other.
    for (int i = 0; i < 12; ++i)
        c.push_back(ButtonRecord(Numbered("ID_BUTTON_ARMY_%d", i + 1), 360 + 42.0f * static_cast<float>(i % 4),
                                 50 + 38.0f * static_cast<float>(i / 4), 40, 36));
    // Skills with their learn buttons and cool-down texts.
    for (int i = 0; i < 5; ++i) {
        const float x = 540 + 48.0f * static_cast<float>(i);
        c.push_back(ButtonRecord(Numbered("ID_BUTTON_SKILL_%d", i + 1), x, 20, 44, 44));
        c.push_back(StaticRecord(Numbered("ID_STATIC_SKILL_COOLTIME_%d", i + 1), x, 34, 44, 16));
        c.push_back(ButtonRecord(Numbered("ID_BUTTON_SKILL_POINT_%d", i + 1), x + 12, 4, 20, 14));
    }
    // The hero's items.
    for (int i = 0; i < 8; ++i)
        c.push_back(ButtonRecord(Numbered("ID_BUTTON_ITEM_%d", i + 1), 540 + 48.0f * static_cast<float>(i % 4),
                                 72 + 46.0f * static_cast<float>(i / 4), 44, 44));
    // The player's storage and the combination buttons.
    for (int i = 0; i < 12; ++i)
        c.push_back(ButtonRecord(Numbered("ID_BUTTON_INVEN_ITEM_%d", i + 1),
                                 740 + 46.0f * static_cast<float>(i % 6), 20 + 46.0f * static_cast<float>(i / 6), 42,
                                 42));
    c.push_back(StaticRecord("ID_STATIC_GOLD", 740, 120, 120, 18));
    c.push_back(ButtonRecord("ID_BUTTON_COMBINATIONLIST", 740, 150, 80, 22));
    c.push_back(ButtonRecord("ID_BUTTON_COMBINATION", 824, 150, 80, 22));
    c.push_back(ButtonRecord("ID_BUTTON_AUTO_COMBINATION", 908, 150, 80, 22));
    return spec;
}

int AddMainPanelLayouts(CPackageWriter& layouts) {
    return layouts.Add("PLAY_MAIN.DUI", BuildLayout(MainPanelLayout()), false) != 0 ? 1 : 0;
}

int AddMainPanelTextures(CPackageWriter& textures) {
    // Strips of numbered cells: 5 for the skills, 8 for the items.
    const bool ok = textures.Add("KEYNUM1.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 80, 16, 0xFFFFFFFF)) != 0 &&
                    textures.Add("KEYNUM2.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 128, 16, 0xFFFFFFFF)) != 0 &&
                    // The sample map's minimap picture: grass green.
                    textures.Add(CZEMMap::MinimapPictureName(kSampleMap), CDdsWriter::Solid(platform::FMT_A8R8G8B8, 128, 128,
                                                                                    0xFF3C7A2E)) != 0;
    return ok ? 1 : 0;
}
