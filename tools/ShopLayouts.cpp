#include "tools/ShopLayouts.h"

#include <string>

#include "tools/PackageWriter.h"
#include "tools/UiLayouts.h"

LayoutFileSpec ItemShopLayout() {
    LayoutFileSpec spec = WindowLayout("WND_PLAY_MARKET", 0, 0, 300, 320);
    auto& c = spec.children;
    for (int i = 0; i < 5; ++i)
        c.push_back(CheckButtonRecord("ID_CHECKBUTTON_CATEGORY" + std::to_string(i + 1),
                                      8.0f + 57.0f * static_cast<float>(i), 8, 54, 22));
    // Twelve items a page: four columns, three rows.
    for (int i = 0; i < 12; ++i)
        c.push_back(ButtonRecord("ID_BUTTON_ITEM" + std::to_string(i + 1), 20.0f + 68.0f * static_cast<float>(i % 4),
                                 44.0f + 60.0f * static_cast<float>(i / 4), 48, 48));
    c.push_back(ButtonRecord("ID_BUTTON_PREV", 20, 232, 40, 22, "<"));
    c.push_back(StaticRecord("ID_STATIC_NUM", 70, 232, 60, 22));
    c.push_back(ButtonRecord("ID_BUTTON_NEXT", 140, 232, 40, 22, ">"));
    c.push_back(ButtonRecord("ID_BUTTON_BUY", 20, 274, 120, 32, "Buy"));
    c.push_back(ButtonRecord("ID_BUTTON_CANCLE", 160, 274, 120, 32, "Close"));
    return spec;
}

LayoutFileSpec CombineListLayout() {
    LayoutFileSpec spec = WindowLayout("WND_PLAY_COM_LIST", 0, 0, 260, 300);
    auto& c = spec.children;
    c.push_back(ButtonRecord("ID_BUTTON_CLOSE", 232, 4, 24, 20, "X"));
    // A row: the result, then its ingredients.
    for (int r = 0; r < 5; ++r) {
        const float y = 30.0f + 46.0f * static_cast<float>(r);
        c.push_back(StaticRecord("ID_STATIC_ITEM_COMBINATION" + std::to_string(r + 1), 10, y, 40, 40));
        for (int i = 0; i < 4; ++i)
            c.push_back(StaticRecord("ID_STATIC_ITEM_SET" + std::to_string(r + 1) + "_" + std::to_string(i + 1),
                                     70.0f + 46.0f * static_cast<float>(i), y, 40, 40));
    }
    c.push_back(ButtonRecord("ID_BUTTON_PREV_PAGE", 10, 266, 40, 22, "<"));
    c.push_back(StaticRecord("ID_STATIC_PAGE_COUNT", 55, 266, 60, 22));
    c.push_back(ButtonRecord("ID_BUTTON_NEXT_PAGE", 120, 266, 40, 22, ">"));
    c.push_back(ButtonRecord("ID_BUTTON_ALL", 170, 266, 80, 22, "All"));
    return spec;
}

int AddShopLayouts(CPackageWriter& layouts) {
    return layouts.Add("PLAY_MARKET.DUI", BuildLayout(ItemShopLayout()), false) != 0 &&
                   layouts.Add("PLAY_COM_LIST.DUI", BuildLayout(CombineListLayout()), false) != 0
               ? 1
               : 0;
}
