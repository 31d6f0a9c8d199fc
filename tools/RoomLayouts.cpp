#include "tools/RoomLayouts.h"

#include <string>

#include "platform/GfxTypes.h"
#include "tools/DdsWriter.h"
#include "tools/LoginLayouts.h"
#include "tools/PackageWriter.h"
#include "tools/SampleMap.h"
#include "tools/TextFileWriters.h"
#include "tools/UiLayouts.h"

namespace {

std::string Numbered(const char* prefix, int i) { return prefix + std::to_string(i); }

LayoutFileSpec FullWindow(const char* name) {
    LayoutFileSpec spec;
    spec.window.name = name;
    spec.window.rect[2] = 1024;
    spec.window.rect[3] = 768;
    spec.window.part = {LayoutFloat(0), LayoutFloat(0), LayoutFloat(0), LayoutFloat(0)};
    return spec;
}

std::vector<uint8_t> Solid(uint32_t argb, uint32_t w = 16, uint32_t h = 16) {
    return CDdsWriter::Solid(platform::FMT_A8R8G8B8, w, h, argb);
}

}  // namespace

LayoutFileSpec WaitRoomLayout() {
    LayoutFileSpec spec = FullWindow("WND_WAITROOM");
    auto& c = spec.children;
    c.push_back(ButtonRecord("ID_BUTTON_CHANGETEAM", 700, 700, 90, 30, "Team"));
    c.push_back(ButtonRecord("ID_BUTTON_QUIT", 910, 700, 90, 30, "Quit"));
    c.push_back(CheckButtonRecord("ID_CHECKBUTTON_START", 800, 660, 100, 30, "Ready"));
    c.push_back(StaticRecord("ID_STATIC_CHANGENICK", 700, 620, 200, 16));
    c.push_back(ButtonRecord("ID_BUTTON_START", 800, 700, 100, 30, "Start"));
    for (int n = 1; n <= 12; ++n) {
        // Two columns of six: slots 1-6 left, 7-12 right.
        const float x = n <= 6 ? 20.0f : 350.0f;
        const float y = 60.0f + 44.0f * static_cast<float>((n - 1) % 6);
        c.push_back(StaticRecord(Numbered("ID_STATIC_READY_", n), x, y, 60, 16));
        c.push_back(StaticRecord(Numbered("ID_STATIC_NICK_", n), x + 64, y, 130, 16));
        c.push_back(StaticRecord(Numbered("ID_STATIC_CLASS_", n), x + 198, y, 20, 20));
        c.push_back(StaticRecord(Numbered("ID_STATIC_DISGRACE_", n), x + 222, y, 20, 20));
        c.push_back(StaticRecord(Numbered("ID_STATIC_GUILD_", n), x + 246, y, 20, 20));
        c.push_back(ButtonRecord(Numbered("ID_BUTTON_SLOTSLIDE_", n), x + 270, y, 40, 20));
        c.push_back(StaticRecord(Numbered("ID_STATIC_WINPOINT_", n), x + 64, y + 20, 200, 16));
    }
    c.push_back(ButtonRecord("ID_BUTTON_MARKET", 700, 580, 90, 30, "Market"));
    c.push_back(ButtonRecord("ID_BUTTON_ROOMINFO_CHANGE", 800, 580, 100, 30, "Settings"));
    c.push_back(ComboBoxRecord("ID_COMBO_MAP", 700, 260, 200, 20, 20, 80, 4));
    c.push_back(ComboBoxRecord("ID_COMBO_GUARDIAN", 700, 380, 200, 20, 20, 100, 5));
    c.push_back(StaticRecord("ID_STATIC_ROOMTITLE", 20, 20, 600, 20));
    c.push_back(StaticRecord("ID_STATIC_MAPIMAGE", 700, 60, 200, 180));
    c.push_back(StaticRecord("ID_STATIC_MAPNAME", 700, 242, 200, 16));
    c.push_back(ListBoxRecord("ID_LIST_CHAT", 20, 340, 640, 300, 1, 18, 16));
    c.push_back(EditBoxRecord("ID_EDIT_CHAT", 20, 660, 640, 24));
    c.push_back(StaticRecord("ID_STATIC_MESSAGE", 20, 690, 200, 16));
    c.push_back(CheckButtonRecord("ID_CHECKBUTTON_REPLAY", 700, 500, 20, 20));
    for (const char* label : {"ID_STATIC_D_ALLY1", "ID_STATIC_D_ALLY2", "ID_STATIC_L_ALLY1", "ID_STATIC_L_ALLY2",
                              "ID_STATIC_NAME_ALLY1", "ID_STATIC_NAME_ALLY2"})
        c.push_back(StaticRecord(label, 20, 40, 120, 16));
    c.push_back(StaticRecord("ID_STATIC_MEMBER_LIMIT", 700, 420, 200, 16));
    c.push_back(StaticRecord("ID_STATIC_LIMIT_TEXT", 700, 440, 200, 16));
    c.push_back(StaticRecord("ID_STATIC_GAME_MODE", 700, 20, 200, 16));
    c.push_back(StaticRecord("ID_STATIC_LEVEL_RESTRICTION", 700, 460, 200, 16));
    c.push_back(StaticRecord("ID_STATIC_PASSWORD", 700, 480, 200, 16));
    c.push_back(StaticRecord("ID_STATIC_SAVEREPLAY", 724, 502, 180, 16));
    c.push_back(StaticRecord("ID_STATIC_RANDOMTEAM", 700, 540, 200, 16));
    return spec;
}

LayoutFileSpec HeroSelectLayout() {
    LayoutFileSpec spec = FullWindow("WND_SELECT_HERO");
    auto& c = spec.children;
    // The preview first, so that the panel's texts lie over it.
    c.push_back(StaticRecord("ID_STATIC_DETAIL", 620, 20, 384, 300));
    c.push_back(StaticRecord("ID_STATIC_RACEICON", 620, 330, 40, 40));
    c.push_back(StaticRecord("ID_STATIC_STATICON", 664, 330, 40, 40));
    c.push_back(StaticRecord("ID_STATIC_CHAR", 708, 330, 40, 40));
    c.push_back(StaticRecord("ID_STATIC_JOB", 620, 374, 380, 16));
    c.push_back(StaticRecord("ID_STATIC_CHARNAME", 620, 392, 380, 16));
    const char* stats[] = {"ID_STATIC_HP",     "ID_STATIC_MANA",        "ID_STATIC_STR",
                           "ID_STATIC_ATTACK", "ID_STATIC_DEX",         "ID_STATIC_DEFENCE",
                           "ID_STATIC_INT",    "ID_STATIC_ATTACKSPEED", "ID_STATIC_HPMP"};
    for (int i = 0; i < 9; ++i)
        c.push_back(StaticRecord(stats[i], 620.0f + 190.0f * static_cast<float>(i % 2),
                                 412.0f + 18.0f * static_cast<float>(i / 2), 180, 16));
    c.push_back(ListBoxRecord("ID_LIST_CHARINFO", 620, 510, 384, 80, 1, 5, 12));
    c.push_back(StaticRecord("ID_STATIC_PAGE", 240, 330, 60, 16));
    c.push_back(StaticRecord("ID_STATIC_LIMITTIME", 20, 20, 300, 20));
    for (int i = 0; i < 6; ++i) {
        const float y = 380.0f + 30.0f * static_cast<float>(i);
        c.push_back(StaticRecord(Numbered("ID_STATIC_NICK_", i), 20, y, 140, 16));
        c.push_back(StaticRecord(Numbered("ID_STATIC_CLASS_", i), 164, y, 20, 20));
        c.push_back(StaticRecord(Numbered("ID_STATIC_RACENAME_", i), 190, y, 100, 16));
        c.push_back(StaticRecord(Numbered("ID_STATIC_IMAGE_", i), 294, y, 24, 24));
    }
    c.push_back(StaticRecord("ID_STATIC_HELP", 340, 20, 260, 16));
    c.push_back(StaticRecord("ID_STATIC_TAB_HUN", 20, 44, 60, 16));
    const char* tabs[] = {"ID_CHECKBUTTON_HUN", "ID_CHECKBUTTON_VAM", "ID_CHECKBUTTON_WOLF", "ID_CHECKBUTTON_MAGE",
                          "ID_CHECKBUTTON_HIDDEN"};
    const char* tabNames[] = {"Hunter", "Vampire", "Werewolf", "Mage", "Hidden"};
    for (int i = 0; i < 5; ++i)
        c.push_back(CheckButtonRecord(tabs[i], 20.0f + 110.0f * static_cast<float>(i), 64, 100, 24, tabNames[i]));
    c.push_back(ButtonRecord("ID_BUTTON_BEFORE", 180, 326, 50, 24, "<"));
    c.push_back(ButtonRecord("ID_BUTTON_NEXT", 310, 326, 50, 24, ">"));
    for (int i = 0; i < 12; ++i)
        c.push_back(ButtonRecord(Numbered("ID_BUTTON_CHAR_", i), 20.0f + 96.0f * static_cast<float>(i % 6),
                                 100.0f + 110.0f * static_cast<float>(i / 6), 88, 100));
    c.push_back(ButtonRecord("ID_BUTTON_RANDOM", 380, 326, 70, 24, "Random"));
    c.push_back(ButtonRecord("ID_BUTTON_OK", 460, 326, 70, 24, "OK"));
    c.push_back(ButtonRecord("ID_BUTTON_CANCEL", 540, 326, 70, 24, "Cancel"));
    c.push_back(ListBoxRecord("ID_LIST_CHAT", 20, 570, 580, 130, 1, 8, 16));
    c.push_back(EditBoxRecord("ID_EDIT_CHAT", 20, 720, 580, 24));
    c.push_back(StaticRecord("ID_STATIC_MESSAGE", 20, 702, 200, 16));
    c.push_back(CheckButtonRecord("ID_CHECKBUTTON_TEAM1", 20, 350, 80, 24, "Team 1"));
    c.push_back(CheckButtonRecord("ID_CHECKBUTTON_TEAM2", 110, 350, 80, 24, "Team 2"));
    return spec;
}

std::vector<std::string> SampleGuardianTimes() { return {"None", "30 min", "40 min", "50 min", "60 min"}; }

int AddRoomLayouts(CPackageWriter& layouts) {
    bool ok = layouts.Add("WAITROOM.DUI", BuildLayout(WaitRoomLayout()), false) != 0;
    ok = ok && layouts.Add("SELECT_HERO.DUI", BuildLayout(HeroSelectLayout()), false) != 0;
    return ok ? 1 : 0;
}

int AddRoomMedia(CPackageWriter& textures, CPackageWriter& info) {
    bool ok = info.Add("GUARDIANTIME.DAT", TextListText(SampleGuardianTimes()), false) != 0;
    const struct {
        const char* name;
        uint32_t argb;
    } images[] = {
        {"WAITROOM_RANDOMMAP.DDS", 0xFF808080u},  {"GUILDMARK.DDS", 0xFF2040C0u},
        {"BUTTON_SIZE5_OPEN.DDS", 0xFF30A030u},   {"BUTTON_SIZE5_CLOSE.DDS", 0xFFA03030u},
        {"ICON_CHA_C_RANDOM.DDS", 0xFFC0C000u},   {"BUTTON_SIZE2_BACK.DDS", 0xFF606060u},
        {"BUTTON_SIZE2_RANDOM.DDS", 0xFF6060C0u}, {"NO_CHAR_CARD.DDS", 0x80000000u},
    };
    for (const auto& image : images) ok = ok && textures.Add(image.name, Solid(image.argb)) != 0;
    // The sample map's picture in the room, named after its file.
    std::string map = kSampleMap;
    map = map.substr(0, map.rfind('.')) + ".DDS";
    ok = ok && textures.Add(map, Solid(0xFF3C8C3Cu, 64, 64)) != 0;
    ok = ok && textures.Add("BGM-ROOM.OGG", SampleTune(440.0)) != 0;
    ok = ok && textures.Add("BGM-HEROSEL.OGG", SampleTune(494.0)) != 0;
    return ok ? 1 : 0;
}
