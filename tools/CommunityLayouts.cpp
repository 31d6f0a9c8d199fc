#include "tools/CommunityLayouts.h"

#include <string>

#include "platform/GfxTypes.h"
#include "tools/DdsWriter.h"
#include "tools/PackageWriter.h"
#include "tools/UiLayouts.h"

LayoutFileSpec CommunityLayout() {
    // Beside the lobby's player list, above the guild side windows.
    LayoutFileSpec spec = WindowLayout("WND_COMMUNITY", 420, 115, 330, 520);
    spec.children = {
        CheckButtonRecord("ID_CHECK_FRIEND", 10, 10, 100, 24, "Friends"),
        CheckButtonRecord("ID_CHECK_OUTSIDE", 115, 10, 100, 24, "Blocked"),
        CheckButtonRecord("ID_CHECK_GUILD", 220, 10, 100, 24, "Guild"),
        StaticRecord("ID_STATIC_MEMBER_ATTR1", 10, 40, 310, 16, "Nickname"),
        StaticRecord("ID_STATIC_MEMBER_ATTR2", 10, 40, 310, 16, "Nickname / No."),
        ListBoxRecord("ID_LIST_MEMBER", 10, 60, 310, 320, 3, 20, 16),
        StaticRecord("ID_STATIC_GUILD_JOIN_WAIT", 10, 390, 310, 16, "Waiting for the guild master"),
    };
    const char* buttons[] = {"ID_BUTTON_ADD_FRIEND",        "ID_BUTTON_DELETE_FRIEND",   "ID_BUTTON_ADD_OUTSIDE",
                             "ID_BUTTON_DELETE_OUTSIDE",    "ID_BUTTON_GUILD_CREATE",    "ID_BUTTON_GUILD_JOIN",
                             "ID_BUTTON_GUILD_JOINCANCLE",  "ID_BUTTON_GUILD_PURGE",     "ID_BUTTON_GUILD_MASTER_CHANGE",
                             "ID_BUTTON_APPLICATION_LIST",  "ID_BUTTON_GUILD_DATA",      "ID_BUTTON_GUILD_OUT"};
    const char* captions[] = {"Add",    "Delete",  "Add",     "Delete",    "Create", "Join",
                              "Cancel", "Banish",  "Master",  "Applicants", "Data",  "Leave"};
    // Pairs share a place: only the buttons of one tab state show at a time.
    const float xs[] = {10, 120, 10, 120, 10, 120, 10, 10, 120, 230, 10, 120};
    const float ys[] = {420, 420, 420, 420, 420, 420, 420, 420, 420, 420, 455, 455};
    for (int i = 0; i < 12; ++i) spec.children.push_back(ButtonRecord(buttons[i], xs[i], ys[i], 100, 28, captions[i]));
    spec.children.push_back(ButtonRecord("ID_BUTTON_CLOSE", 230, 482, 90, 28, "Close"));
    return spec;
}

LayoutFileSpec AddFriendLayout() {
    LayoutFileSpec spec = WindowLayout("WND_OTHERPANNELS", 420, 300, 300, 130);
    spec.children = {
        StaticRecord("ID_STATIC_TITLE_ADD_FRIEND", 20, 12, 260, 18, "Add a friend"),
        StaticRecord("ID_STATIC_TITLE_ADD_OUTSIDE", 20, 12, 260, 18, "Block a user"),
        EditBoxRecord("ID_EDIT_NICKNAME", 20, 40, 260, 24),
        ButtonRecord("ID_BUTTON_OK", 100, 84, 80, 28, "OK"),
        ButtonRecord("ID_BUTTON_CLOSE", 200, 84, 80, 28, "Close"),
    };
    return spec;
}

LayoutFileSpec CreateGuildLayout() {
    LayoutFileSpec spec = WindowLayout("WND_CREATE_GUILD", 420, 300, 320, 160);
    spec.children = {
        StaticRecord("ID_STATIC_GUILD_DOC", 20, 12, 280, 36, "A guild costs 10,000 Cra."),
        EditBoxRecord("ID_EDIT_GUILD_NAME", 20, 60, 280, 24),
        ButtonRecord("ID_BUTTON_GUILD_CREATE", 120, 110, 80, 28, "Create"),
        ButtonRecord("ID_BUTTON_CLOSE", 220, 110, 80, 28, "Close"),
    };
    return spec;
}

LayoutFileSpec GuildWaitListLayout() {
    LayoutFileSpec spec = WindowLayout("WND_GUILD_WAIT_LIST", 760, 115, 250, 260);
    spec.children = {
        ListBoxRecord("ID_LIST_GUILD_MEMBER", 10, 10, 230, 200, 1, 10, 16),
        ButtonRecord("ID_BUTTON_OK", 10, 220, 70, 28, "Accept"),
        ButtonRecord("ID_BUTTON_CANCLE", 90, 220, 70, 28, "Refuse"),
        ButtonRecord("ID_BUTTON_CLOSE", 170, 220, 70, 28, "Close"),
    };
    return spec;
}

LayoutFileSpec JoinGuildLayout() {
    LayoutFileSpec spec = WindowLayout("WND_JOIN_GUILD", 420, 200, 320, 330);
    spec.children = {
        StaticRecord("ID_STATIC_GUILD_DOC", 20, 12, 280, 18, "Search a guild by name."),
        EditBoxRecord("ID_EDIT_GUILD_NAME", 20, 40, 190, 24),
        ButtonRecord("ID_BUTTON_SEARCH", 220, 38, 80, 28, "Search"),
        ListBoxRecord("ID_LIST_GUILD_NAME", 20, 76, 280, 200, 1, 10, 16),
        ButtonRecord("ID_BUTTON_JOIN", 120, 288, 80, 28, "Join"),
        ButtonRecord("ID_BUTTON_CLOSE", 220, 288, 80, 28, "Close"),
    };
    return spec;
}

LayoutFileSpec GuildDataLayout() {
    LayoutFileSpec spec = WindowLayout("WND_GUILD_DATA", 760, 385, 250, 200);
    for (int i = 0; i < 5; ++i)
        spec.children.push_back(StaticRecord("ID_STATIC_GUILD_DATA_" + std::to_string(i + 1), 10,
                                             10.0f + 26.0f * static_cast<float>(i), 230, 18));
    spec.children.push_back(ButtonRecord("ID_BUTTON_CLOSE", 160, 160, 80, 28, "Close"));
    return spec;
}

int AddCommunityLayouts(CPackageWriter& package) {
    const std::pair<const char*, LayoutFileSpec> layouts[] = {
        {"COMMUNITY.DUI", CommunityLayout()},         {"OTHERPANNELS.DUI", AddFriendLayout()},
        {"GUILD_WAIT_LIST.DUI", GuildWaitListLayout()}, {"GUILD_DATA.DUI", GuildDataLayout()},
        {"CREATE_GUILD.DUI", CreateGuildLayout()},     {"JOIN_GUILD.DUI", JoinGuildLayout()},
    };
    for (const auto& [name, spec] : layouts)
        if (!package.Add(name, BuildLayout(spec), false)) return 0;
    return 1;
}

int AddCommunityMedia(CPackageWriter& package) {
    return package.Add("GUILD_BLINK.DDS", CDdsWriter::Solid(platform::FMT_A8R8G8B8, 16, 16, 0xFFFFD040u)) != 0 ? 1 : 0;
}
