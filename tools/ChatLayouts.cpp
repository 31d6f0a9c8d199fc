#include "tools/ChatLayouts.h"

#include "tools/PackageWriter.h"
#include "tools/UiLayouts.h"

LayoutFileSpec PlayChatBoxLayout() {
    LayoutFileSpec spec = WindowLayout("WND_PLAY_CHAT_BOX", 0, 400, 420, 190);
    // The match shows through the box; only the list and the input part have colour.
    for (float& c : spec.window.colour) c = 0.0f;
    auto& c = spec.children;
    LayoutRecordSpec list = ListBoxRecord("ID_LIST_CHAT", 4, 4, 412, 144, 1, 8, 16);
    list.colour[3] = 0.2f;
    c.push_back(list);
    LayoutRecordSpec main = StaticRecord("ID_STATIC_MAIN", 0, 152, 420, 34);
    main.colour[0] = main.colour[1] = main.colour[2] = 0.1f;
    main.colour[3] = 0.7f;
    c.push_back(main);
    c.push_back(StaticRecord("ID_STATIC_ALARM", 8, 130, 300, 18));
    c.push_back(StaticRecord("ID_STATIC_TO", 8, 159, 110, 20));
    LayoutRecordSpec edit = EditBoxRecord("ID_EDIT_CHAT", 122, 159, 290, 20);
    edit.colour[0] = edit.colour[1] = edit.colour[2] = 0.95f;
    c.push_back(edit);
    return spec;
}

int AddChatLayouts(CPackageWriter& layouts) {
    return layouts.Add("PLAY_CHAT_BOX.DUI", BuildLayout(PlayChatBoxLayout()), false) != 0 ? 1 : 0;
}
