// The my-info screen on the real client loop against the fake game server:
// the player card from the lobby's record, the hero rows, Escape acting on
// its release, and the ways to the lobby and the market; the hero rows'
// split and limits on a registry of their own.
#include <cmath>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "net/ByteWriter.h"
#include "net/MessageIds.h"
#include "platform/Input.h"
#include "screens/lobby/HeroTooltip.h"
#include "screens/lobby/MyInfoScreen.h"
#include "tests/screens/lobby/LobbyFixture.h"
#include "tests/fixtures/CapturingGfxDevice.h"
#include "tools/SampleGameData.h"
#include "ui/ScreenFade.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "world/GameDataRegistry.h"
#include "world/UnitData.h"

namespace {

class MyInfoFlow : public LobbyFixture {
protected:
    static inline int s_lobbies = 0;
    static inline int s_markets = 0;
    void SetUp() override {
        AppFixture::SetUp();
        game.SetExpectTimeout(10000);
        const SampleProtocolTables t = MakeSampleProtocolTables();
        ASSERT_EQ(tables.Set(t.permutation, t.experience), 1);
        s_lobbies = s_markets = 0;
        SetLoginScreenMaker([]() -> CScreen* { return new CScriptedScreen("Login", nullptr, {}); });
        SetLobbyScreenMaker([]() -> CScreen* {
            ++s_lobbies;
            return new CScriptedScreen("Lobby", nullptr, {});
        });
        SetMarketScreenMaker([]() -> CScreen* {
            ++s_markets;
            return new CScriptedScreen("Market", nullptr, {});
        });
        MakeApp();
        app->SetFirstScreenMaker([] { return NewMyInfoScreen(); });
        ASSERT_EQ(app->CreateApp(), 1) << ErrorReport().Text();
        ASSERT_EQ(g_pPlayResources->Load(), 1) << ErrorReport().Text();
        ASSERT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
        g_pMessageTable->SetMsg(MSG_MYINFO_UI_GUILDNAME, "guild %s");
        g_pMessageTable->SetMsg(MSG_NICKNAME_RECORD, "%d games %d won %d lost");
        Session().nickname = "me";
        CByteWriter record(Session().player.bytes.data() + 48, 16);
        record.WriteI32(100);  // rank
        record.WriteI32(0);
        record.WriteU16(3);
        record.WriteU16(2);
        game.Accept();
        game.On(PK_BACK_TO_LOBBY);
        ASSERT_EQ(app->Net().Connect(game.Host(), game.Port()), 1) << ErrorReport().Text();
        ASSERT_TRUE(RunUntil([&] { return Page() && Page()->Phase() == CMyInfoScreen::PHASE_PAGE; }))
            << ErrorReport().Text();
    }
    void TearDown() override {
        SetMarketScreenMaker(nullptr);
        SetLoginScreenMaker(nullptr);
        LobbyFixture::TearDown();
    }
    CMyInfoScreen* Page() { return CurrentAs<CMyInfoScreen>(); }
    // The window drawn once on a capturing device: every quad, in order.
    std::vector<CapturingGfxDevice::Draw> DrawWindow() {
        CapturingGfxDevice device;
        platform::CGfxDevice* own = g_pUiManager->Device();
        g_pUiManager->SetDevice(&device);
        g_pUiManager->BeginDraw();
        Page()->Window()->Render();
        g_pUiManager->EndDraw();
        g_pUiManager->SetDevice(own);
        return device.draws;
    }
    // Quads whose first corner is the point (the half pixel of the 2D quads
    // taken off) and whose colour word is the one given.
    static int QuadsAt(const std::vector<CapturingGfxDevice::Draw>& draws, float x, float y, uint32_t colour,
                       uint32_t texel0 = 0) {
        constexpr uint32_t kColour = 16;  // x, y, z, rhw, then the colour word
        int n = 0;
        for (const CapturingGfxDevice::Draw& d : draws)
            n += d.At<float>(0, 0) == x - 0.5f && d.At<float>(0, 4) == y - 0.5f && d.At<uint32_t>(0, kColour) == colour &&
                 (!texel0 || (!d.texels.empty() && d.Texel(0, 0) == texel0));
        return n;
    }
    int Count(uint16_t id) const {
        int n = 0;
        for (const FakePacket& p : game.Received()) n += p.id == id;
        return n;
    }
};

}  // namespace

TEST_F(MyInfoFlow, ShowsTheCardAndLeavesOnEscapesRelease) {
    CMyInfoWindow& w = *Page()->Window();
    EXPECT_EQ(w.LabelAt(CMyInfoWindow::LABEL_PLAYER)->GetText(), "me");
    EXPECT_EQ(w.LabelAt(CMyInfoWindow::LABEL_GUILD)->GetText(), "guild -");
    EXPECT_EQ(w.LabelAt(CMyInfoWindow::LABEL_BATTLE)->GetText(), "5 games 3 won 2 lost");
    EXPECT_EQ(w.LabelAt(CMyInfoWindow::LABEL_EXP)->GetText(), "100%");
    const auto& lists = Page()->Lists();
    ASSERT_FALSE(lists[0].empty());
    for (int i = 0; i < kMyInfoSideButtons; ++i)
        EXPECT_EQ(w.Hero(i)->HasFlags(UI_HIDDEN), static_cast<size_t>(i) >= lists[0].size()) << i;
    // The first hero is on show from the start, drawn into the preview's target.
    // Each hero button carries the hero's tooltip, from the sample texts.
    const MyInfoHero& first = lists[0][0];
    EXPECT_EQ(w.Hero(0)->Text(), BuildHeroTooltip(*first.record, first.stats, g_pPlayResources->raceNames,
                                                  g_pPlayResources->classNames));
    EXPECT_NE(w.Hero(0)->Text().find(first.record->name), std::string::npos) << w.Hero(0)->Text();
    EXPECT_EQ(Page()->Preview().ModelName(), lists[0][0].record->model);
    EXPECT_EQ(w.Detail()->Image(), Page()->Preview().View().Target());
    EXPECT_FALSE(w.Detail()->HasFlags(UI_HIDDEN));
    w.OnLButtonClick(w.Hero(0));
    Frames(2);
    EXPECT_EQ(Page()->ShownRow(), 0);
    EXPECT_EQ(Page()->ShownIndex(), 0);

    // Held down, Escape does nothing yet; its release leaves for the lobby.
    input->SetKey(platform::DIK_ESCAPE, true);
    Frames(3);
    EXPECT_EQ(Page()->Phase(), CMyInfoScreen::PHASE_PAGE);
    input->SetKey(platform::DIK_ESCAPE, false);
    ASSERT_TRUE(RunUntil([&] { return s_lobbies == 1; }));
    EXPECT_EQ(Count(PK_BACK_TO_LOBBY), 1);
    EXPECT_TRUE(Session().returnedToLobby);
}

TEST_F(MyInfoFlow, ShopButtonLeadsToTheMarket) {
    CMyInfoWindow& w = *Page()->Window();
    w.OnLButtonClick(w.FindChild(NameHash("ID_BUTTON_SHOP")));
    ASSERT_TRUE(RunUntil([&] { return s_markets == 1; }));
    EXPECT_EQ(Count(PK_BACK_TO_LOBBY), 0);
}

TEST_F(MyInfoFlow, HeroButtonsShowTheirCardsAndTheHeroOnShow) {
    CMyInfoWindow& w = *Page()->Window();
    const auto& lists = Page()->Lists();
    ASSERT_GE(lists[0].size(), 3u);
    const UiPoint first = w.Hero(0)->GetAbsolutePos(), second = w.Hero(1)->GetAbsolutePos(),
                  third = w.Hero(2)->GetAbsolutePos(), beyond = w.Hero(20)->GetAbsolutePos();
    ASSERT_TRUE(w.Hero(20)->HasFlags(UI_HIDDEN));
    for (size_t i = 0; i < lists[0].size(); ++i) EXPECT_EQ(w.owned[i], lists[0][i].owned) << i;
    // The first hero is not owned, the second owned with a card of level 4,
    // the third owned without a card; the hidden last button owns a level too.
    w.owned[0] = false;
    w.owned[1] = w.owned[2] = true;
    w.cardLevel[1] = 4;
    w.cardLevel[2] = 0;
    w.cardLevel[20] = 7;
    const uint32_t frame4 = PackColor(ItemLevelTint(4));
    constexpr uint32_t kOverlayTexel = 0x80000000u;  // the sample folder's "NO_CHAR_CARD.DDS"
    auto draws = DrawWindow();
    EXPECT_EQ(QuadsAt(draws, first.x, first.y, 0xFFFFFFFFu, kOverlayTexel), 1) << "the not-owned overlay";
    EXPECT_EQ(QuadsAt(draws, second.x, second.y, 0xFFFFFFFFu, kOverlayTexel), 0);
    EXPECT_EQ(QuadsAt(draws, second.x - 3, second.y - 3, frame4), 1) << "the level frame around the card";
    EXPECT_EQ(QuadsAt(draws, third.x - 3, third.y - 3, PackColor(ItemLevelTint(0))), 0);
    EXPECT_EQ(QuadsAt(draws, beyond.x - 3, beyond.y - 3, PackColor(ItemLevelTint(7))), 0) << "a hidden button";
    // The first hero is on show from the start and lit.
    EXPECT_EQ(QuadsAt(draws, first.x, first.y, CHeroCardMarks::kHighlightColour), 1);

    // The light follows the pick and stays with its tab; the other tab keeps
    // the hero and its preview.
    w.OnLButtonClick(w.Hero(1));
    Frames(2);
    const std::string model = Page()->Preview().ModelName();
    EXPECT_EQ(model, lists[0][1].record->model);
    draws = DrawWindow();
    EXPECT_EQ(QuadsAt(draws, first.x, first.y, CHeroCardMarks::kHighlightColour), 0);
    EXPECT_EQ(QuadsAt(draws, second.x, second.y, CHeroCardMarks::kHighlightColour), 1);
    w.OnLButtonClick(w.FindChild(NameHash("ID_CHECKBUTTON_TAB_D")));
    Frames(2);
    EXPECT_EQ(w.Tab(), 1);
    EXPECT_EQ(Page()->Preview().ModelName(), model);
    EXPECT_EQ(Page()->ShownRow(), 0);
    EXPECT_EQ(Page()->ShownIndex(), 1);
    draws = DrawWindow();
    for (int i = 0; i < kMyInfoSideButtons; ++i) {
        const UiPoint at = w.Hero(i)->GetAbsolutePos();
        EXPECT_EQ(QuadsAt(draws, at.x, at.y, CHeroCardMarks::kHighlightColour), 0) << i;
    }
    w.OnLButtonClick(w.FindChild(NameHash("ID_CHECKBUTTON_TAB_L")));
    Frames(2);
    EXPECT_EQ(QuadsAt(DrawWindow(), second.x, second.y, CHeroCardMarks::kHighlightColour), 1);
}

TEST(MyInfoHeroListsTest, SplitsBySideAndHiddenAndStopsAtTheButtons) {
    CGameDataRegistry registry(false);
    auto add = [&registry](const std::string& name, uint32_t flags) {
        CUnitData& u = registry.AddNamed(std::make_unique<CUnitData>(), name);
        u.flags = flags;
    };
    for (int i = 0; i < 25; ++i) add("side" + std::to_string(i), 0x10);
    add("other", 0x10 | (1u << 28));
    for (int i = 0; i < 14; ++i) add("hidden" + std::to_string(i), 0x10 | 0x8000000u);
    add("unlisted", 0x10 | 0x40000000u);
    add("creep", 0);
    InventoryTable inventory{};
    const MyInfoHeroLists lists = BuildMyInfoHeroLists(registry, inventory);
    EXPECT_EQ(lists[0].size(), 21u);
    EXPECT_EQ(lists[1].size(), 1u);
    EXPECT_EQ(lists[2].size(), 12u);
}

// The hero tooltip through a message table of short marks: the attack line by
// the ranged bit, the race by the first of its bits, names past the lists
// empty, stats truncated and kept inside the int32 range.
TEST(MyInfoHeroTooltipTest, VariesByRaceClassAttackAndStats) {
    CMessageTable messages;
    ASSERT_EQ(g_pMessageTable, &messages);
    messages.SetMsg(MSG_MYINFO_HERO_INFO, "%s/%s/%s/%d %d %d %d %d %d %d/%s/%s");
    messages.SetMsg(MSG_MYINFO_HERO_LONG_ATTACK, "far:%s");
    messages.SetMsg(MSG_MYINFO_HERO_SHORT_ATTACK, "near:%s");
    const std::vector<std::string> races = {"Vampire", "Mage", "Hunter", "Wolf"};
    const std::vector<std::string> classes = {"Str", "Dex", "Int", "Guard"};
    using Stats = std::array<float, hero_stats::kStats>;
    const Stats plain = {30.9f, 20, 10, 45.5f, 15, 600, 100, 1.5f, 0.5f, 2.5f};
    const Stats wild = {-2.7f, 1e30f, -1e30f, std::nanf(""), 0.99f, 2147483520.0f, -0.5f};
    struct Case {
        uint32_t flags;
        uint32_t heroClass;
        const Stats* stats;
        const char* text;
    } const cases[] = {
        {0x10 | 0x200 | 0x800000, 2, &plain, "Ayla/Seer/Int/30 20 10 45 15 600 100/Mage/far:Reads stars."},
        {0x10 | 0x400, 0, &plain, "Ayla/Seer/Str/30 20 10 45 15 600 100/Hunter/near:Reads stars."},
        // Two race bits: the first in the order 0x100, 0x200, 0x400, 0x800.
        {0x10 | 0x800 | 0x100, 3, &plain, "Ayla/Seer/Guard/30 20 10 45 15 600 100/Vampire/near:Reads stars."},
        // A hidden hero without a race bit, and class 4, which has no name.
        {0x10 | 0x8000000 | 0x800000, 4, &plain, "Ayla/Seer//30 20 10 45 15 600 100//far:Reads stars."},
        {0x10 | 0x800, 0, &wild, "Ayla/Seer/Str/-2 2147483647 -2147483648 0 0 2147483520 0/Wolf/near:Reads stars."},
    };
    for (const Case& c : cases) {
        CUnitData unit;
        unit.name = "Ayla";
        unit.unitText3 = "Seer";
        unit.unitText4 = "Reads stars.";
        unit.flags = c.flags;
        unit.unitClass = c.heroClass;
        EXPECT_EQ(BuildHeroTooltip(unit, *c.stats, races, classes), c.text) << std::hex << c.flags;
    }
}
