#include "tools/LobbyLayouts.h"

#include <string>

#include "tools/UiLayouts.h"

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
