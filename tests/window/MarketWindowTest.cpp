// The market drawn by the whole client in a real window (under the test
// program's own Xvfb) against the fake game server: the shop's marks and the
// sold-out picture over their places, the held card's icon at the pointer,
// a search typed in Korean leaving as the exact bytes of 2054 and its
// listings drawn, and a prize card's win shown in the image box; the my-info
// page reached from it with the player's name and the heroes' portraits.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/core/NameHash.h"
#include "net/MessageIds.h"
#include "platform/CodePage.h"
#include "platform/Input.h"
#include "platform/ScriptedIme.h"
#include "screens/game/ImageBoxWindow.h"
#include "screens/lobby/MarketScreen.h"
#include "screens/lobby/MarketWindows.h"
#include "screens/lobby/MyInfoScreen.h"
#include "tests/fixtures/HeadlessGl.h"
#include "tests/screens/lobby/LobbyFixture.h"
#include "tests/servers/MarketPackets.h"
#include "tests/window/RealWindowFixture.h"
#include "tools/SampleCards.h"
#include "tools/SampleGameData.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiEditBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "world/GameDataRegistry.h"
#include "world/UnitData.h"

using namespace platform;
namespace sc = sample_cards;

namespace {

// The solid colours of the sample folder's card icon, first mark, jewel icon and Cra picture.
constexpr uint32_t kCardIcon = 0x3060C0u, kFirstMark = 0x20A0E0u, kJewelIcon = 0x30C0A0u, kCra = 0xE0C020u;

bool Near(uint32_t pixel, uint32_t rgb, int tolerance = 12) {
    for (int shift : {16, 8, 0}) {
        const int a = static_cast<int>((pixel >> shift) & 0xFF), b = static_cast<int>((rgb >> shift) & 0xFF);
        if (a - b > tolerance || b - a > tolerance) return false;
    }
    return true;
}

class MarketWindow : public LobbyFixture {
protected:
    MarketWindow() {
        KeepVideoOpen();
        realWindow = true;
    }
    CScreen* MakeFirstScreen() override { return NewMarketScreen(); }
    void SetUp() override {
        LobbyFixture::SetUp();
        ASSERT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
        Session().nickname = "me";
        Session().money = 1000;
        Session().inventory[0][0] = {sc::kPrizeCard, 0, 3, 0};
        Session().inventory[0][1] = {sc::kDayCard, 0, 0, 0};
        game.SetExpectTimeout(10000);
        // The requests the tests answer; a test replaces a rule with its answer.
        for (uint16_t id : {PK_MARKET_LIST, PK_SHOP_OPEN_PRIZE_CARD}) game.On(id);
        game.Accept();
        ASSERT_EQ(app->Net().Connect(game.Host(), game.Port()), 1) << ErrorReport().Text();
        ASSERT_TRUE(RunUntil([&] { return Market() && Market()->Phase() == CMarketScreen::PHASE_SHOP; }))
            << ErrorReport().Text();
        ASSERT_TRUE(RunUntil([&] { return Market()->Fade().Done() != 0; }));
    }
    CMarketScreen* Market() { return CurrentAs<CMarketScreen>(); }
    CShopWindow& Shop() { return *Market()->Shop(); }
    void Click(CUiWindow* w, const std::string& control) {
        w->OnLButtonClick(w->FindChild(NameHash(control.c_str())));
        Frames(2);
    }
    std::vector<uint32_t> Screenshot() {
        Frames(2);
        CGfxDevice* device = GetDevice();
        return device ? ReadBackBuffer(*device) : std::vector<uint32_t>();
    }
    uint32_t At(const std::vector<uint32_t>& px, float x, float y) const {
        const uint32_t width = app->BackBufferWidth();
        return px[static_cast<size_t>(y) * width + static_cast<size_t>(x)] & 0xFFFFFFu;
    }
    // The middle of a place's icon.
    static UiPoint IconMiddle(const CardPlace& place) {
        const UiPoint at = place.icon->GetAbsolutePos();
        return {at.x + place.icon->Size().x / 2, at.y + place.icon->Size().y / 2};
    }
};

}  // namespace

TEST_F(MarketWindow, ShopMarksSoldOutAndTheHeldCardAtThePointer) {
    std::vector<uint32_t> px = Screenshot();
    ASSERT_FALSE(px.empty());
    // Place 1 (mark one) shows its card icon and, 105 pixels below, the first mark.
    const CardPlace& dayCard = Shop().ShopPlace(0);
    const CardPlace& soldOut = Shop().ShopPlace(1);
    const UiPoint day = IconMiddle(dayCard);
    EXPECT_TRUE(Near(At(px, day.x, day.y), kCardIcon)) << std::hex << At(px, day.x, day.y);
    const UiPoint button = dayCard.button->GetAbsolutePos();
    EXPECT_TRUE(Near(At(px, button.x + 14, button.y + 112), kFirstMark)) << std::hex
                                                                         << At(px, button.x + 14, button.y + 112);
    // Place 2 is sold out: the same icon under the dark picture, and no mark.
    const UiPoint sold = IconMiddle(soldOut);
    const uint32_t dimmed = At(px, sold.x, sold.y);
    EXPECT_LT(dimmed & 0xFF, 0x50u) << std::hex << dimmed;
    EXPECT_FALSE(Near(dimmed, kCardIcon));

    // A card taken from the inventory rides on the pointer.
    input->SetCursor(600, 300);
    Frames(2);
    Shop().OnDrag(Shop().FindChild(NameHash("ID_CHECKBUTTON_INVEN_ITEM2")));
    Frames(2);
    ASSERT_EQ(Market()->Phase(), CMarketScreen::PHASE_HELD);
    px = Screenshot();
    EXPECT_TRUE(Near(At(px, 600 - 18, 300 - 18), kCardIcon)) << std::hex << At(px, 600 - 18, 300 - 18);
    // Let go with Escape: the pointer is bare again.
    input->SetKey(DIK_ESCAPE, true);
    Frames(1);
    input->SetKey(DIK_ESCAPE, false);
    Frames(3);
    ASSERT_NE(Market()->Phase(), CMarketScreen::PHASE_HELD);
    px = Screenshot();
    EXPECT_FALSE(Near(At(px, 600 - 18, 300 - 18), kCardIcon));
}

TEST_F(MarketWindow, KoreanSearchReachesTheServerAndAPrizeShowsInTheImageBox) {
    MarketSearchPage page{};
    page[0] = {"Seller", sc::kJewel2, 700, 10, 1, 2, 3};
    std::vector<uint8_t> search;
    ItemResultSpec prize;
    prize.cra = 1000;
    prize.prize = 500;
    game.On(PK_MARKET_LIST, [page, &search](const FakePacket& p) {
        search = p.payload;
        return std::vector<FakePacket>{{PK_MARKET_LIST_RESULT, MarketListPayload(0, page, {})}};
    });
    game.On(PK_SHOP_OPEN_PRIZE_CARD, [prize](const FakePacket&) {
        return std::vector<FakePacket>{{PK_PRIZE_CARD_RESULT, ItemResultPayload(PK_PRIZE_CARD_RESULT, prize)}};
    });
    Click(&Shop(), "ID_BUTTON_MYMARKET");
    ASSERT_TRUE(RunUntil([&] { return !search.empty() && !Market()->Waiting(); }));
    Click(&Shop(), "ID_BUTTON_SEARCH");
    ASSERT_EQ(app->Ui().Focus(), Market()->Search()->Edit());
    ASSERT_NE(ime, nullptr);
    ime->Compose("보");
    Frames(1);
    ime->Commit("보석");
    Frames(2);
    const std::string jewel = Utf8ToCp949("보석");
    ASSERT_STREQ(Market()->Search()->Edit()->GetText(), jewel.c_str());
    search.clear();
    Click(Market()->Search(), "ID_BUTTON_SEARCH");
    ASSERT_TRUE(RunUntil([&] { return !search.empty() && !Market()->Waiting(); }));
    ASSERT_EQ(search.size(), 58u);
    std::vector<uint8_t> name(50, 0);
    std::memcpy(name.data(), jewel.data(), jewel.size());
    EXPECT_EQ(std::vector<uint8_t>(search.begin() + 4, search.begin() + 54), name);
    // The listing is drawn with the jewel's icon.
    std::vector<uint32_t> px = Screenshot();
    const UiPoint listing = IconMiddle(Shop().ShopPlace(0));
    EXPECT_TRUE(Near(At(px, listing.x, listing.y), kJewelIcon)) << std::hex << At(px, listing.x, listing.y);

    // Back in the shop, the prize card opened: the image box shows the Cra picture.
    Click(&Shop(), "ID_BUTTON_MYMARKET");
    ASSERT_EQ(Market()->Phase(), CMarketScreen::PHASE_SHOP);
    Click(&Shop(), "ID_CHECKBUTTON_INVEN_ITEM1");
    Click(&Shop(), "ID_BUTTON_USE");
    ASSERT_EQ(Market()->PendingId(), PK_SHOP_OPEN_PRIZE_CARD);
    app->MessageBox().SetResult(1);
    ASSERT_TRUE(RunUntil([&] { return Market()->ResultShown(); })) << ErrorReport().Text();
    px = Screenshot();
    CUiObject& image = *Market()->ImageBox()->image;
    const UiPoint at = image.GetAbsolutePos();
    const float x = at.x + image.Size().x / 2, y = at.y + image.Size().y / 2;
    EXPECT_TRUE(Near(At(px, x, y), kCra)) << std::hex << At(px, x, y);
    for (const std::string& f : game.Failures()) ADD_FAILURE() << f;
}

TEST_F(MarketWindow, MyInfoFromTheMarketShowsThePlayerAndTheHeroes) {
    SetMyInfoScreenMaker(&NewMyInfoScreen);
    Click(&Shop(), "ID_BUTTON_SHOP_MYINFO");
    CMyInfoScreen* info = nullptr;
    const bool reached = RunUntil([&] {
        info = CurrentAs<CMyInfoScreen>();
        return info && info->Phase() == CMyInfoScreen::PHASE_PAGE && info->Fade().Done();
    });
    SetMyInfoScreenMaker(nullptr);
    ASSERT_TRUE(reached) << ErrorReport().Text();
    const std::vector<uint32_t> px = Screenshot();
    ASSERT_FALSE(px.empty());
    // The player's name in white glyphs on its label.
    CUiStatic& player = *info->Window()->LabelAt(CMyInfoWindow::LABEL_PLAYER);
    EXPECT_EQ(player.GetText(), "me");
    const UiPoint at = player.GetAbsolutePos();
    int white = 0;
    for (float y = at.y; y < at.y + player.Size().y; ++y)
        for (float x = at.x; x < at.x + player.Size().x; ++x) white += Near(At(px, x, y), 0xFFFFFF, 40);
    EXPECT_GT(white, 5);
    // An owned hero's button shows its blue portrait; a button past the
    // list shows the page behind it.
    const auto& side = info->Lists()[0];
    int shown = -1;
    for (size_t i = 0; i < side.size() && shown < 0; ++i)
        if (side[i].owned && side[i].record->icon == "ICON1.DDS") shown = static_cast<int>(i);
    ASSERT_GE(shown, 0);
    ASSERT_LT(side.size(), static_cast<size_t>(kMyInfoSideButtons));
    auto middle = [&](int i) {
        CUiButton& button = *info->Window()->Hero(i);
        const UiPoint b = button.GetAbsolutePos();
        return At(px, b.x + button.Size().x / 2, b.y + button.Size().y / 2);
    };
    const uint32_t portrait = middle(shown), empty = middle(kMyInfoSideButtons - 1);
    const int r = static_cast<int>(portrait >> 16), g = static_cast<int>((portrait >> 8) & 0xFF),
              b = static_cast<int>(portrait & 0xFF);
    EXPECT_TRUE(b > r + 0x40 && b > g + 0x40) << std::hex << portrait;
    EXPECT_FALSE(Near(portrait, empty, 40)) << std::hex << portrait << " " << empty;
}
