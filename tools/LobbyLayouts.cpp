#include "tools/LobbyLayouts.h"

#include <string>

#include "platform/GfxTypes.h"
#include "tools/DdsWriter.h"
#include "tools/PackageWriter.h"
#include "tools/UiLayouts.h"
#include "ui/UiEditBox.h"

namespace {
std::string Numbered(const char* prefix, int i) { return prefix + std::to_string(i); }
}  // namespace

LayoutFileSpec LobbyLayout() {
    LayoutFileSpec spec;
    spec.window.name = "WND_LOBBY";
    spec.window.rect[2] = 1024;
    spec.window.rect[3] = 768;
    spec.window.part = {LayoutFloat(0), LayoutFloat(0), LayoutFloat(0), LayoutFloat(0)};
    const char* buttons[] = {"ID_BUTTON_JOIN",     "ID_BUTTON_BEFORE",   "ID_BUTTON_NEXT",      "ID_BUTTON_MAKEROOM",
                             "ID_BUTTON_QUICKJOIN", "ID_BUTTON_COMMUNITY", "ID_BUTTON_SHOP",     "ID_BUTTON_MYINFO",
                             "ID_BUTTON_PRACTICE", "ID_BUTTON_EXIT",     "ID_BUTTON_BACK",      "ID_BUTTON_OPTION",
                             "ID_BUTTON_TUTORIAL"};
    const char* captions[] = {"Join", "<", ">", "Make room", "Quick join", "Community", "Shop",
                              "My info", "Practice", "Exit", "Back", "Option", "Tutorial"};
    for (int i = 0; i < 13; ++i)
        spec.children.push_back(ButtonRecord(buttons[i], 20.0f + 76.0f * static_cast<float>(i), 700, 72, 30, captions[i]));
    spec.children.push_back(CheckButtonRecord("ID_CHECK_TOTALROOM", 20, 20, 20, 20, "All"));
    spec.children.push_back(CheckButtonRecord("ID_CHECK_WAITROOM", 120, 20, 20, 20, "Waiting"));
    for (int i = 0; i < 10; ++i) {
        const float y = 60.0f + 32.0f * static_cast<float>(i);
        // The bar first, so the texts are drawn over it.
        spec.children.push_back(CheckButtonRecord(Numbered("ID_CHECKBUTTON_BAR_", i), 20, y, 640, 30));
        spec.children.push_back(StaticRecord(Numbered("ID_STATIC_NUM_", i), 24, y + 8, 40, 16));
        spec.children.push_back(StaticRecord(Numbered("ID_STATIC_ROOMNAME_", i), 70, y + 8, 260, 16));
        spec.children.push_back(CheckButtonRecord(Numbered("ID_CHECKBUTTON_PLAYSTATE_", i), 340, y + 6, 18, 18));
        spec.children.push_back(StaticRecord(Numbered("ID_STATIC_MEMBER_", i), 370, y + 8, 60, 16));
        spec.children.push_back(StaticRecord(Numbered("ID_STATIC_PASSICON", i), 440, y + 6, 18, 18));
        spec.children.push_back(StaticRecord(Numbered("ID_STATIC_LEVEL_LIMT", i), 470, y + 8, 100, 16));
        spec.children.push_back(StaticRecord(Numbered("ID_STATIC_MODE", i), 580, y + 6, 18, 18));
        spec.children.push_back(StaticRecord(Numbered("ID_STATIC_RANDOMTEAMMARK_", i), 606, y + 8, 50, 16));
    }
    spec.children.push_back(StaticRecord("ID_STATIC_PAGE", 300, 390, 60, 16));
    spec.children.push_back(ListBoxRecord("ID_LIST_CHAT", 20, 420, 640, 230, 1, 14, 16));
    spec.children.push_back(EditBoxRecord("ID_EDIT_CHAT", 20, 656, 640, 24));
    spec.children.push_back(StaticRecord("ID_STATIC_MESSAGE", 20, 684, 200, 16));
    spec.children.push_back(ListBoxRecord("ID_LIST_CONNECTER", 680, 60, 320, 560, 1, 30, 16));
    spec.children.push_back(StaticRecord("ID_STATIC_TOTAL", 680, 30, 200, 16));
    spec.children.push_back(StaticRecord("ID_STATIC_HELP", 680, 630, 320, 40));
    return spec;
}

LayoutFileSpec MakeRoomLayout() {
    LayoutFileSpec spec = WindowLayout("WND_MAKEROOM", 0, 0, 420, 300);
    spec.children = {
        StaticRecord("ID_STATIC_TITLE", 20, 20, 80, 20, "Title"),
        EditBoxRecord("ID_EDIT_ROOMTITLE", 110, 20, 290, 24),
        StaticRecord("ID_STATIC_PASS", 20, 54, 80, 20, "Password"),
        EditBoxRecord("ID_EDIT_ROOMPASS", 110, 54, 180, 24, CUiEditBox::kStylePassword),
        ButtonRecord("ID_BUTTON_BEFORE", 20, 96, 24, 24, "<"),
        StaticRecord("ID_STATIC_LIMITLEVEL", 50, 98, 300, 20),
        ButtonRecord("ID_BUTTON_NEXT", 376, 96, 24, 24, ">"),
        StaticRecord("ID_STATIC_LIMITINFO", 20, 126, 380, 20),
        ButtonRecord("ID_BUTTON_BEFORE2", 20, 160, 24, 24, "<"),
        StaticRecord("ID_STATIC_MODE", 50, 162, 300, 20),
        ButtonRecord("ID_BUTTON_NEXT2", 376, 160, 24, 24, ">"),
        CheckButtonRecord("ID_CHECKBUTTON_RANDOMTEAM", 20, 200, 20, 20),
        StaticRecord("ID_STATIC_RANDOMTEAM", 46, 200, 200, 20, "Random teams"),
        ButtonRecord("ID_BUTTON_OK", 220, 250, 80, 30, "OK"),
        ButtonRecord("ID_BUTTON_CANCEL", 316, 250, 80, 30, "Cancel"),
    };
    return spec;
}

LayoutFileSpec RoomPasswordLayout() {
    LayoutFileSpec spec = WindowLayout("WND_ROOMINPASS", 0, 0, 320, 140);
    spec.children = {
        StaticRecord("ID_STATIC_PASSMESSAGE", 20, 16, 280, 20),
        EditBoxRecord("ID_EDIT_PASS", 20, 46, 280, 24, CUiEditBox::kStylePassword),
        ButtonRecord("ID_BUTTON_ACCEPT", 120, 90, 80, 30, "OK"),
        ButtonRecord("ID_BUTTON_CANCEL", 220, 90, 80, 30, "Cancel"),
    };
    return spec;
}

LayoutFileSpec QuickJoinLayout() {
    LayoutFileSpec spec = WindowLayout("WND_QUICKJOIN", 0, 0, 400, 220);
    spec.children = {
        ButtonRecord("ID_BUTTON_BEFORE", 20, 20, 24, 24, "<"),
        StaticRecord("ID_STATIC_LIMITLEVEL", 50, 22, 300, 20),
        ButtonRecord("ID_BUTTON_NEXT", 356, 20, 24, 24, ">"),
        ButtonRecord("ID_BUTTON_BEFORE2", 20, 60, 24, 24, "<"),
        StaticRecord("ID_STATIC_MODE", 50, 62, 300, 20),
        ButtonRecord("ID_BUTTON_NEXT2", 356, 60, 24, 24, ">"),
        CheckButtonRecord("ID_CHECKBUTTON_RANDOMTEAM", 20, 100, 20, 20),
        StaticRecord("ID_STATIC_RANDOMTEAM", 46, 100, 200, 20, "Random teams"),
        ButtonRecord("ID_BUTTON_JOIN", 200, 170, 80, 30, "Join"),
        ButtonRecord("ID_BUTTON_CANCEL", 296, 170, 80, 30, "Cancel"),
    };
    return spec;
}

int AddLobbyLayouts(CPackageWriter& package) {
    bool ok = package.Add("LOBBY2.DUI", BuildLayout(LobbyLayout()), false) != 0;
    ok = ok && package.Add("MAKEROOM2.DUI", BuildLayout(MakeRoomLayout()), false) != 0;
    ok = ok && package.Add("ROOMINPASS.DUI", BuildLayout(RoomPasswordLayout()), false) != 0;
    ok = ok && package.Add("QUICKJOIN2.DUI", BuildLayout(QuickJoinLayout()), false) != 0;
    return ok ? 1 : 0;
}

int AddLobbyMedia(CPackageWriter& package) {
    bool ok = package.Add("SM.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 16, 16, 0xFF3070E0u)) != 0;
    ok = ok && package.Add("PVM.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 16, 16, 0xFFE07030u)) != 0;
    return ok ? 1 : 0;
}
