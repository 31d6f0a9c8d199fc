#include "tools/UiLayouts.h"

#include <cstdio>

namespace {

constexpr uint32_t kButton = 0x10000001, kCombo = 0x10000002, kList = 0x10000003, kGauge = 0x10000004,
                   kSlider = 0x10000005, kScroll = 0x10000006, kEdit = 0x10000007, kStatic = 0x10000008,
                   kCheck = 0x10000009;

LayoutRecordSpec Record(uint32_t type, const std::string& name, float x, float y, float w, float h) {
    LayoutRecordSpec r;
    r.type = type;
    r.name = name;
    r.rect[0] = x;
    r.rect[1] = y;
    r.rect[2] = w;
    r.rect[3] = h;
    return r;
}

LayoutButtonPart ButtonFields(const std::string& caption, bool check) {
    LayoutButtonPart p;
    p.caption = caption;
    p.withCheckShift = check;
    p.checkShift = check ? 1 : 0;
    return p;
}

}  // namespace

LayoutRecordSpec StaticRecord(const std::string& name, float x, float y, float w, float h, const std::string& text) {
    LayoutRecordSpec r = Record(kStatic, name, x, y, w, h);
    const float black[4] = {0, 0, 0, 1};
    r.part = StaticPart(text, black, 0, 0, 0, 0);
    return r;
}

LayoutRecordSpec ButtonRecord(const std::string& name, float x, float y, float w, float h, const std::string& caption) {
    LayoutRecordSpec r = Record(kButton, name, x, y, w, h);
    Tint(r, 0.3f, 0.5f, 0.9f);
    r.part = ButtonPart(ButtonFields(caption, false));
    return r;
}

LayoutRecordSpec CheckButtonRecord(const std::string& name, float x, float y, float w, float h,
                                   const std::string& caption) {
    LayoutRecordSpec r = Record(kCheck, name, x, y, w, h);
    Tint(r, 0.9f, 0.6f, 0.1f);
    r.part = ButtonPart(ButtonFields(caption, true));
    return r;
}

LayoutRecordSpec ScrollBarRecord(const std::string& name, float x, float y, float w, float h) {
    LayoutRecordSpec r = Record(kScroll, name, x, y, w, h);
    Tint(r, 0.5f, 0.5f, 0.5f);
    r.nested = {ButtonRecord("MID_FrontCtrl", 0, 0, w, 20), ButtonRecord("MID_SideButton1", 0, 0, w, w),
                ButtonRecord("MID_SideButton2", 0, h - w, w, w)};
    return r;
}

LayoutRecordSpec ListBoxRecord(const std::string& name, float x, float y, float w, float h, uint32_t columns,
                               uint32_t rows, float scrollBarWidth) {
    LayoutRecordSpec r = Record(kList, name, x, y, w, h);
    Tint(r, 0.1f, 0.2f, 0.3f);
    const float white[4] = {1, 1, 1, 1};
    r.part = ListBoxPart(columns, rows, scrollBarWidth, white, 0);
    LayoutRecordSpec marking = StaticRecord("MID_ItemMarking", 0, 0, w - scrollBarWidth, rows ? h / rows : h);
    Tint(marking, 0.3f, 0.3f, 0.6f);
    r.nested = {marking, ScrollBarRecord("MID_Scroll", w - scrollBarWidth, 0, scrollBarWidth, h)};
    return r;
}

LayoutRecordSpec ComboBoxRecord(const std::string& name, float x, float y, float w, float h, float buttonWidth,
                                float listHeight, uint32_t listRows) {
    LayoutRecordSpec r = Record(kCombo, name, x, y, w, h);
    Tint(r, 0.2f, 0.2f, 0.2f);
    r.part = ComboBoxPart(buttonWidth, listHeight, listRows);
    r.nested = {CheckButtonRecord("MID_Button", w - buttonWidth, 0, buttonWidth, h),
                ListBoxRecord("MID_List", 0, h, w, listHeight, 1, listRows, 20)};
    return r;
}

LayoutRecordSpec GaugeRecord(const std::string& name, float x, float y, float w, float h, float headLength) {
    LayoutRecordSpec r = Record(kGauge, name, x, y, w, h);
    Tint(r, 0.15f, 0.15f, 0.15f);
    r.part = GaugePart(headLength);
    LayoutRecordSpec fill = StaticRecord("MID_Front", 0, 0, 0, h);
    Tint(fill, 0.1f, 0.8f, 0.1f);
    LayoutRecordSpec head = StaticRecord("MID_FRONTHEAD", 0, 0, headLength, h);
    Tint(head, 0.9f, 0.9f, 0.2f);
    r.nested = {fill, head};
    return r;
}

LayoutRecordSpec SliderRecord(const std::string& name, float x, float y, float w, float h, float thumbLength) {
    LayoutRecordSpec r = Record(kSlider, name, x, y, w, h);
    Tint(r, 0.4f, 0.4f, 0.4f);
    r.part = SliderPart(thumbLength);
    r.nested = {ButtonRecord("MID_FrontCtrl", 0, 0, thumbLength, h)};
    return r;
}

LayoutRecordSpec EditBoxRecord(const std::string& name, float x, float y, float w, float h, uint32_t style) {
    LayoutRecordSpec r = Record(kEdit, name, x, y, w, h);
    r.flags = style;
    const float black[4] = {0, 0, 0, 1};
    r.part = EditBoxPart(black, 0, 0, true);
    return r;
}

LayoutFileSpec FramedWindow(const std::string& name) {
    LayoutFileSpec spec;
    spec.window.name = name;
    spec.window.rect[2] = 200;
    spec.window.rect[3] = 80;
    spec.window.part = {LayoutFloat(0), LayoutFloat(0), LayoutFloat(0), LayoutFloat(0)};
    spec.children = {StaticRecord("ID_STT_STRING", 8, 8, 100, 20)};
    const char* decor[] = {"ID_STT_SIDE_DECOR1",     "ID_STT_SIDE_DECOR2",     "ID_STT_SIDE_DECOR3",
                           "ID_STT_SIDE_DECOR4",     "ID_STT_SIDE_TOP_DECOR",  "ID_STT_SIDE_BOTTOM_DECOR",
                           "ID_STT_SIDE_LEFT_DECOR", "ID_STT_SIDE_RIGHT_DECOR"};
    for (const char* d : decor) {
        LayoutRecordSpec s = StaticRecord(d, 0, 0, 8, 8);
        Tint(s, 0.8f, 0.7f, 0.4f);
        spec.children.push_back(s);
    }
    return spec;
}

LayoutFileSpec TooltipLayout() { return FramedWindow("WND_TOOLTIP"); }

LayoutFileSpec MessageBoxLayout() {
    LayoutFileSpec spec = FramedWindow("WND_MESSAGE_BOX");
    LayoutRecordSpec background = StaticRecord("ID_STT_BG_DECOR", 8, 8, 100, 40);
    Tint(background, 0.1f, 0.1f, 0.25f);
    // The text shows in light letters on the dark background, not on a white
    // strip of its own (the box trims the text's height to the lines).
    for (LayoutRecordSpec& child : spec.children)
        if (child.name == "ID_STT_STRING") {
            const float white[4] = {1, 1, 1, 1};
            child.colour[3] = 0.0f;
            child.part = StaticPart("", white, 0, 0, 0, 0);
        }
    // The background first, so that the text and the buttons are drawn over it.
    spec.children.insert(spec.children.begin(), background);
    spec.children.push_back(ButtonRecord("ID_BTN_OK", 0, 0, 60, 24, "OK"));
    spec.children.push_back(ButtonRecord("ID_BTN_CANCEL", 0, 0, 60, 24, "Cancel"));
    return spec;
}

LayoutFileSpec AllControlsLayout() {
    LayoutFileSpec spec;
    spec.window.name = "WND_ALL_CONTROLS";
    spec.window.rect[0] = 100;
    spec.window.rect[1] = 100;
    spec.window.rect[2] = 600;
    spec.window.rect[3] = 400;
    Tint(spec.window, 0.85f, 0.85f, 0.85f);
    spec.window.part = {LayoutFloat(0), LayoutFloat(0), LayoutFloat(600), LayoutFloat(20)};
    LayoutRecordSpec label = StaticRecord("ID_STT_TITLE", 10, 10, 200, 20, "All controls");
    label.text = "The title";
    spec.children = {
        label,
        ButtonRecord("ID_BTN_PUSH", 10, 40, 100, 30, "Push"),
        CheckButtonRecord("ID_CHECKBUTTON_OPTION", 10, 80, 20, 20, "Option"),
        ListBoxRecord("ID_LIST_ITEMS", 10, 120, 200, 100, 1, 4, 20),
        EditBoxRecord("ID_EDIT_NAME", 250, 40, 200, 24),
        GaugeRecord("ID_PROGRESS_LOAD", 250, 80, 200, 16, 8),
        SliderRecord("ID_SLIDER_VOLUME", 250, 110, 200, 16, 16),
        // Last: its list opens over the controls below it.
        ComboBoxRecord("ID_COMBO_MODE", 250, 150, 200, 24, 24, 90, 3),
    };
    return spec;
}

void Tint(LayoutRecordSpec& record, float red, float green, float blue) {
    record.colour[0] = red;
    record.colour[1] = green;
    record.colour[2] = blue;
    record.colour[3] = 1.0f;
}

LayoutFileSpec WindowLayout(const std::string& name, float x, float y, float w, float h) {
    LayoutFileSpec spec;
    spec.window.name = name;
    spec.window.rect[0] = x;
    spec.window.rect[1] = y;
    spec.window.rect[2] = w;
    spec.window.rect[3] = h;
    spec.window.colour[0] = spec.window.colour[1] = spec.window.colour[2] = 0.85f;
    spec.window.colour[3] = 1.0f;
    spec.window.part = {LayoutFloat(0), LayoutFloat(0), LayoutFloat(0), LayoutFloat(0)};
    return spec;
}

LayoutFileSpec LoadingLayout() {
    LayoutFileSpec spec;
    spec.window.name = "WND_LOADING";
    spec.window.rect[2] = 1024;
    spec.window.rect[3] = 768;
    // A clear window: the map's picture behind it shows through.
    spec.window.colour[0] = spec.window.colour[1] = spec.window.colour[2] = spec.window.colour[3] = 0.0f;
    spec.window.part = {LayoutFloat(0), LayoutFloat(0), LayoutFloat(1024), LayoutFloat(20)};
    spec.children = {
        StaticRecord("ID_STATIC_LOAD", 412, 640, 200, 20, "Press any key"),
        StaticRecord("ID_STATIC_TOOLTIP", 112, 700, 800, 20),
        GaugeRecord("ID_PROGRESS_LOAD", 112, 730, 800, 16, 8),
        StaticRecord("ID_STATIC_HELP", 620, 450, 380, 20),
        StaticRecord("ID_STATIC_MESSAGETO", 620, 610, 80, 20),
        StaticRecord("ID_STATIC_CHAT", 620, 470, 380, 20),
        ListBoxRecord("ID_LIST_CHAT", 620, 490, 380, 110, 1, 8, 16),
        EditBoxRecord("ID_EDIT_CHAT", 700, 610, 300, 20),
    };
    // Rows 1-6 the first team on the left, 7-12 the second below them.
    char name[64];
    for (int row = 1; row <= 12; ++row) {
        const float y = 40.0f + 32.0f * static_cast<float>(row - 1);
        std::snprintf(name, sizeof(name), "ID_STATIC_PLAYERNAME_%d", row);
        spec.children.push_back(StaticRecord(name, 24, y, 160, 20));
        std::snprintf(name, sizeof(name), "ID_STATIC_OTHERPLAYER_LOADING_TEXT%d", row);
        spec.children.push_back(StaticRecord(name, 190, y, 50, 20));
        std::snprintf(name, sizeof(name), "ID_STATIC_PLAYER_LOADING_SHEL_%d", row);
        spec.children.push_back(StaticRecord(name, 244, y, 208, 20));
        std::snprintf(name, sizeof(name), "ID_PROGRESS_PLAYER_LOADING_%d", row);
        spec.children.push_back(GaugeRecord(name, 248, y + 4, 200, 12, 6));
    }
    return spec;
}
