#include "tools/MarketLayouts.h"

#include <string>

#include "platform/GfxTypes.h"
#include "tools/DdsWriter.h"
#include "tools/LoginLayouts.h"
#include "tools/PackageWriter.h"
#include "tools/SampleCards.h"
#include "tools/UiLayouts.h"

namespace {

std::string Numbered(const char* prefix, int n) { return prefix + std::to_string(n); }

// A card place: its check button under the icon, name and data texts.
void AddPlace(std::vector<LayoutRecordSpec>& c, const char* button, const char* name, const char* icon,
              const char* data, int n, float x, float y) {
    c.push_back(CheckButtonRecord(Numbered(button, n), x, y, 96, 120));
    c.push_back(StaticRecord(Numbered(icon, n), x + 16, y + 4, 64, 64));
    c.push_back(StaticRecord(Numbered(name, n), x, y + 72, 96, 16));
    c.push_back(StaticRecord(Numbered(data, n), x, y + 92, 96, 16));
}

}  // namespace

LayoutFileSpec ShopLayout() {
    LayoutFileSpec spec = WindowLayout("WND_SHOP", 0, 0, 1024, 768);
    auto& c = spec.children;
    // The backgrounds first, so that the places lie over them.
    c.push_back(StaticRecord("ID_STATIC_SHOP_BACK", 10, 40, 620, 300));
    c.push_back(StaticRecord("ID_STATIC_INVEN_BACK", 10, 380, 1004, 150));
    c.push_back(StaticRecord("ID_STATIC_COMBO_BACK", 640, 40, 374, 300));
    c.push_back(StaticRecord("ID_STATIC_CASH_BACK", 640, 540, 374, 60));
    c.push_back(StaticRecord("ID_STATIC_TITLE_LEFT", 10, 10, 300, 20, "Shop"));
    c.push_back(StaticRecord("ID_STATIC_TITLE_RIGHT", 640, 10, 300, 20));
    for (int n = 1; n <= 6; ++n)
        AddPlace(c, "ID_CHECKBUTTON_SHOP_ITEM", "ID_STATIC_SHOP_ITEM_NAME", "ID_STATIC_SHOP_ITEM",
                 "ID_STATIC_SHOP_ITEM_DATA", n, 14.0f + 102.0f * static_cast<float>(n - 1), 120);
    for (int n = 1; n <= 9; ++n)
        AddPlace(c, "ID_CHECKBUTTON_INVEN_ITEM", "ID_STATIC_INVEN_ITEM_NAME", "ID_STATIC_INVEN_ITEM",
                 "ID_STATIC_INVEN_ITEM_DATA", n, 14.0f + 102.0f * static_cast<float>(n - 1), 400);
    const char* categories[] = {"Cards", "Heroes", "Items", "Special", "Cra", "Cash"};
    for (int n = 1; n <= 6; ++n)
        c.push_back(CheckButtonRecord(Numbered("ID_CHBUTTON_SHOP_CATEGORY", n), 14.0f + 100.0f * (n - 1), 50, 96, 24,
                                      categories[n - 1]));
    c.push_back(CheckButtonRecord("ID_CHBUTTON_INVEN_CATEGORY1", 14, 350, 120, 24, "Inventory"));
    c.push_back(StaticRecord("ID_STATIC_SHOP_PAGE", 280, 90, 80, 16));
    c.push_back(StaticRecord("ID_STATIC_INVEN_PAGE", 480, 354, 80, 16));
    const struct {
        const char* name;
        float x, y;
        const char* caption;
    } buttons[] = {
        {"ID_BUTTON_SHOP_PREV", 200, 86, "<"},      {"ID_BUTTON_SHOP_NEXT", 370, 86, ">"},
        {"ID_BUTTON_BUY", 520, 86, "Buy"},          {"ID_BUTTON_INVEN_PREV", 400, 350, "<"},
        {"ID_BUTTON_INVEN_NEXT", 570, 350, ">"},    {"ID_BUTTON_SHOP_MYINFO", 660, 700, "My info"},
        {"ID_BUTTON_SELL", 14, 540, "Sell"},        {"ID_BUTTON_DELETE", 114, 540, "Delete"},
        {"ID_BUTTON_USE", 214, 540, "Use"},         {"ID_BUTTON_SHOP_EXIT", 920, 700, "Exit"},
        {"ID_BUTTON_COMB", 314, 540, "Combine"},    {"ID_BUTTON_SEARCH", 420, 86, "Search"},
        {"ID_BUTTON_MYMARKET", 790, 700, "Market"},
    };
    for (const auto& b : buttons) c.push_back(ButtonRecord(b.name, b.x, b.y, 90, 26, b.caption));
    c.push_back(StaticRecord("ID_STATIC_MONEY_1", 650, 550, 200, 16));
    c.push_back(StaticRecord("ID_STATIC_MONEY_2", 650, 570, 200, 16));
    c.push_back(StaticRecord("ID_STATIC_CASH", 860, 550, 140, 16));
    c.push_back(ListBoxRecord("ID_LIST_CHAT", 14, 580, 600, 110, 1, 6, 16));
    c.push_back(EditBoxRecord("ID_EDIT_CHAT", 14, 700, 600, 24));
    c.push_back(StaticRecord("ID_STATIC_MESSAGE_TO", 14, 730, 200, 16));
    c.push_back(StaticRecord("ID_STATIC_HELP", 240, 730, 370, 16));
    return spec;
}

LayoutFileSpec CombineLayout() {
    LayoutFileSpec spec = WindowLayout("WND_COMB", 640, 40, 374, 330);
    auto& c = spec.children;
    c.push_back(StaticRecord("ID_STATIC_TITLE", 10, 6, 300, 16));
    for (int n = 1; n <= 9; ++n) {
        const float x = 8.0f + 120.0f * static_cast<float>((n - 1) % 3);
        const float y = 26.0f + 94.0f * static_cast<float>((n - 1) / 3);
        c.push_back(CheckButtonRecord(Numbered("ID_CHECKBUTTON_COMBI_ITEM", n), x, y, 112, 90));
        c.push_back(StaticRecord(Numbered("ID_STATIC_COMBI_ITEM", n), x + 30, y + 2, 48, 48));
        c.push_back(StaticRecord(Numbered("ID_STATIC_COMBI_ITEM_NAME", n), x, y + 52, 112, 16));
        c.push_back(StaticRecord(Numbered("ID_STATIC_COMBI_ITEM_DATA", n), x, y + 70, 112, 16));
    }
    c.push_back(ButtonRecord("ID_BUTTON_COMB", 170, 300, 90, 24, "Combine"));
    c.push_back(ButtonRecord("ID_BUTTON_CLOSE", 270, 300, 90, 24, "Close"));
    return spec;
}

LayoutFileSpec IsolationLayout() {
    LayoutFileSpec spec = WindowLayout("WND_ISOLATION", 380, 300, 260, 120);
    auto& c = spec.children;
    c.push_back(StaticRecord("ID_STATIC_ITEM_ISOLATION", 10, 8, 240, 16, "How many?"));
    c.push_back(EditBoxRecord("ID_EDIT_ITEM_ISOLATION_COUNT", 10, 30, 240, 24));
    c.push_back(StaticRecord("ID_STATIC_HELP", 10, 58, 240, 16));
    c.push_back(ButtonRecord("ID_BUTTON_ITEM_ISOLATION_OK", 40, 84, 80, 24, "OK"));
    c.push_back(ButtonRecord("ID_BUTTON_ITEM_ISOLATION_CANCLE", 140, 84, 80, 24, "Cancel"));
    return spec;
}

LayoutFileSpec MarketLayout() {
    LayoutFileSpec spec = WindowLayout("WND_MARKET", 640, 40, 374, 330);
    auto& c = spec.children;
    c.push_back(StaticRecord("ID_STATIC_TITLE", 10, 6, 300, 16, "My listings"));
    c.push_back(StaticRecord("ID_STATIC_PRICE", 10, 30, 60, 16, "Price"));
    c.push_back(EditBoxRecord("ID_EDIT_PRICE", 80, 28, 120, 22));
    c.push_back(ButtonRecord("ID_BUTTON_ICON", 220, 26, 48, 48));
    c.push_back(StaticRecord("ID_STATIC_LEVEL_ICON", 222, 28, 44, 44));
    c.push_back(StaticRecord("ID_STATIC_ITEMNAME_REGISTED", 10, 56, 200, 16));
    c.push_back(StaticRecord("ID_STATIC_NAME", 10, 84, 150, 16, "Card"));
    c.push_back(StaticRecord("ID_STATIC_WANTED", 200, 84, 150, 16, "Price"));
    for (int n = 1; n <= 5; ++n) {
        const float y = 104.0f + 34.0f * static_cast<float>(n - 1);
        c.push_back(CheckButtonRecord(Numbered("ID_CHECKBUTTON_BAR_", n), 8, y, 358, 30));
        c.push_back(StaticRecord(Numbered("ID_STATIC_ITEM_", n), 10, y + 1, 28, 28));
        c.push_back(StaticRecord(Numbered("ID_STATIC_LEVEL_", n), 42, y + 7, 30, 16));
        c.push_back(StaticRecord(Numbered("ID_STATIC_NAME_", n), 76, y + 7, 120, 16));
        c.push_back(StaticRecord(Numbered("ID_STATIC_WANTED_", n), 200, y + 7, 150, 16));
    }
    c.push_back(ButtonRecord("ID_BUTTON_ACCEPT", 20, 290, 100, 26, "Register"));
    c.push_back(ButtonRecord("ID_BUTTON_CANCEL", 136, 290, 100, 26, "Withdraw"));
    c.push_back(ButtonRecord("ID_BUTTON_QUIT", 252, 290, 100, 26, "Close"));
    return spec;
}

LayoutFileSpec SearchLayout() {
    LayoutFileSpec spec = WindowLayout("WND_SEARCH", 380, 300, 260, 110);
    auto& c = spec.children;
    c.push_back(StaticRecord("ID_STATIC_TITLE", 10, 8, 240, 16, "Search"));
    c.push_back(StaticRecord("ID_STATIC_ITEMNAME", 10, 34, 60, 16, "Name"));
    c.push_back(EditBoxRecord("ID_EDIT_ITEMNAME", 76, 30, 174, 24));
    c.push_back(ButtonRecord("ID_BUTTON_SEARCH", 40, 72, 80, 24, "Search"));
    c.push_back(ButtonRecord("ID_BUTTON_CANCEL", 140, 72, 80, 24, "Cancel"));
    return spec;
}

LayoutFileSpec MyInfoLayout() {
    LayoutFileSpec spec = WindowLayout("WND_MYINFO", 0, 0, 1024, 768);
    auto& c = spec.children;
    // The preview first, so that the card's texts lie over it.
    c.push_back(StaticRecord("ID_STATIC_DETAIL", 620, 20, 384, 300));
    const char* labels[] = {"ID_STATIC_MYINFO_PLAYER",  "ID_STATIC_MYINFO_LEVEL",     "ID_STATIC_MYINFO_BATTLE",
                            "ID_STATIC_MYINFO_DISGRADE", "ID_STATIC_MYINFO_HEROCHA", "ID_STATIC_MYINFO_HIDDENCHR",
                            "ID_STATIC_MYINFO_GUILD"};
    for (int i = 0; i < 7; ++i) c.push_back(StaticRecord(labels[i], 620, 330.0f + 20.0f * i, 380, 16));
    c.push_back(GaugeRecord("ID_PROGRESS_XP", 620, 480, 300, 16, 4));
    c.push_back(StaticRecord("ID_STATIC_GAUGESHELL", 620, 480, 300, 16));
    c.push_back(StaticRecord("ID_STATIC_EXP", 930, 480, 70, 16));
    c.push_back(CheckButtonRecord("ID_CHECKBUTTON_TAB_L", 20, 20, 100, 24, "L"));
    c.push_back(CheckButtonRecord("ID_CHECKBUTTON_TAB_D", 130, 20, 100, 24, "D"));
    for (int i = 0; i < 21; ++i)
        c.push_back(ButtonRecord(Numbered("ID_BUTTON_CHA_", i), 20.0f + 84.0f * static_cast<float>(i % 7),
                                 54.0f + 84.0f * static_cast<float>(i / 7), 80, 80));
    for (int i = 0; i < 12; ++i)
        c.push_back(ButtonRecord(Numbered("ID_BUTTON_HIDDENCHA_", i), 20.0f + 48.0f * static_cast<float>(i), 320, 44,
                                 44));
    c.push_back(ButtonRecord("ID_BUTTON_SHOP", 800, 700, 90, 30, "Shop"));
    c.push_back(ButtonRecord("ID_BUTTON_BACK", 910, 700, 90, 30, "Back"));
    c.push_back(ListBoxRecord("ID_LIST_CHAT", 20, 400, 580, 280, 1, 16, 16));
    c.push_back(EditBoxRecord("ID_EDIT_CHAT", 20, 700, 580, 24));
    c.push_back(StaticRecord("ID_STATIC_MESSAGE_TO", 20, 682, 200, 16));
    c.push_back(StaticRecord("ID_STATIC_HELP", 20, 730, 580, 16));
    return spec;
}

int AddMarketLayouts(CPackageWriter& layouts) {
    const struct {
        const char* name;
        LayoutFileSpec (*make)();
    } files[] = {{"SHOP.DUI", &ShopLayout},
                 {"COMB.DUI", &CombineLayout},
                 {"ISOLATION.DUI", &IsolationLayout},
                 {"MARKET.DUI", &MarketLayout},
                 {"SEARCH.DUI", &SearchLayout},
                 {"MYINFO.DUI", &MyInfoLayout}};
    for (const auto& f : files)
        if (!layouts.Add(f.name, BuildLayout(f.make()), false)) return 0;
    return 1;
}

int AddMarketMedia(CPackageWriter& textures) {
    const struct {
        const char* name;
        uint32_t argb;
    } images[] = {
        {"CRA.DDS", 0xFFE0C020u},          {"CRAP.DDS", 0xFF603030u},
        {"OUTSHOP_TAILS.DDS", 0xFF20A0E0u}, {"OUTSHOP_TAILS2.DDS", 0xFFE02080u},
        {"OUTSHOP_TAILS3.DDS", 0xFF80E020u}, {"OUTSHOP_SOLDOUT.DDS", 0xC0000000u},
        {sample_cards::kCardIcon, 0xFF3060C0u}, {sample_cards::kJewelIcon, 0xFF30C0A0u},
    };
    bool ok = true;
    for (const auto& image : images)
        ok = ok && textures.Add(image.name, CDdsWriter::Solid(platform::FMT_A8R8G8B8, 32, 32, image.argb)) != 0;
    ok = ok && textures.Add("BGM-MARKET.OGG", SampleTune(523.0)) != 0;
    ok = ok && textures.Add("BGM-MYBOX.OGG", SampleTune(587.0)) != 0;
    return ok ? 1 : 0;
}
