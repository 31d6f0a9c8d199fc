// The item shop in a real window (under the test program's own Xvfb): the
// sample match, turned into a network match against the fake game server
// once it plays, with a fixture shop (the sample match names no shop of its
// own). V opens the shop, a click picks the potion and a click on Buy sends
// it as a CMD_BUY_ITEM record in a command frame; the server's echo puts the
// potion into the player's storage. QOR_KEEP_SHOTS names a folder to keep
// the screenshot in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/GameApp.h"
#include "app/PlayScreenMaker.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/NameHash.h"
#include "net/MessageIds.h"
#include "platform/Input.h"
#include "platform/JpegWriter.h"
#include "screens/game/ItemShopWindow.h"
#include "screens/game/LoadingScreen.h"
#include "screens/game/PlayScreen.h"
#include "tests/fixtures/HeadlessGl.h"
#include "tests/screens/lobby/LobbyFixture.h"
#include "tests/window/SampleMatchWindow.h"
#include "tools/SampleGameData.h"
#include "tools/SampleMap.h"
#include "ui/UiButton.h"
#include "world/GameDataRegistry.h"
#include "world/ItemData.h"
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {

class PlayShopWindow : public SampleMatchWindow {
protected:
    // A press and a release of the left button at a point, a few frames each.
    void ClickAt(int32_t x, int32_t y) {
        input->SetCursor(x, y);
        Frames(2);
        input->SetButton(0, true);
        Frames(2);
        input->SetButton(0, false);
        Frames(3);
    }
    // Whether a frame the server received holds the record's bytes.
    bool ServerGot(const std::vector<uint8_t>& record) {
        for (const FakePacket& p : game.Received())
            if (p.id == PK_GAME_COMMANDS &&
                std::search(p.payload.begin(), p.payload.end(), record.begin(), record.end()) != p.payload.end())
                return true;
        return false;
    }
};

}  // namespace

TEST_F(PlayShopWindow, VOpensTheShopAndAClickBuysAnItemThroughTheServer) {
    ASSERT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
    auto* potion = static_cast<CItemData*>(FindGameRecord(CAT_ITEM, NameHash("Potion")));
    ASSERT_NE(potion, nullptr);
    ASSERT_EQ(potion->Link(), 1) << ErrorReport().Text();
    potion->itemWord[1] = 30;  // the price
    app->Shop().categories = {{potion}, {}, {}, {}, {}};
    ASSERT_TRUE(RunUntil([&] { return loading->Phase() == CLoadingScreen::PHASE_LOADED; }, 20000))
        << ErrorReport().Text();
    Tap(DIK_SPACE);
    ASSERT_TRUE(RunUntil([&] { return dynamic_cast<CPlayScreen*>(Current()) != nullptr; }, 2000))
        << ErrorReport().Text();
    auto* play = dynamic_cast<CPlayScreen*>(Current());
    ASSERT_TRUE(RunUntil([&] { return play->Phase() == CPlayScreen::PHASE_PLAY; }, 1000)) << ErrorReport().Text();
    ASSERT_TRUE(RunUntil([&] { return play->Fade().Done() != 0; }, 5000));

    // From here on the match is a network match: records travel in frames to
    // the server, which sends each frame back as the match server does.
    game.On(PK_GAME_COMMANDS, [](const FakePacket& p) { return std::vector<FakePacket>{p}; });
    game.Accept();
    ASSERT_TRUE(Session().net->Connect(game.Host(), game.Port())) << ErrorReport().Text();
    CWorldObjectManager& world = *g_pWorldObjectManager;
    world.online = 1;
    world.gameMode = 0;
    std::array<int32_t, CGameCommandManager::kSlots> teams{};
    g_pGameCommandManager->BeginSession(1, &world.gameClock, 0, world.localTeam, teams);
    CPlayerSlot& player = Session().slots[0];
    player.gold = 100;
    const uint32_t stored = player.itemCount;

    input->SetCursor(512, 300);
    Tap(DIK_V);
    CItemShopWindow* shop = play->ShopWindow();
    ASSERT_NE(shop, nullptr);
    ASSERT_FALSE(shop->HasFlags(UI_HIDDEN));
    ASSERT_FALSE(shop->items[0]->HasFlags(UI_HIDDEN));
    const UiPoint item = shop->items[0]->GetAbsolutePos();
    const UiPoint buy = shop->buy->GetAbsolutePos();
    ClickAt(static_cast<int32_t>(item.x + shop->items[0]->Size().x / 2),
            static_cast<int32_t>(item.y + shop->items[0]->Size().y / 2));
    EXPECT_EQ(play->SelectedItemId(), potion->id);
    ClickAt(static_cast<int32_t>(buy.x + shop->buy->Size().x / 2),
            static_cast<int32_t>(buy.y + shop->buy->Size().y / 2));
    EXPECT_EQ(player.gold, 70);

    const uint32_t id = potion->id;
    const std::vector<uint8_t> record = {CMD_BUY_ITEM,
                                         12,
                                         0,
                                         0xFF,
                                         0xFF,
                                         0xFF,
                                         2,
                                         0,
                                         static_cast<uint8_t>(id),
                                         static_cast<uint8_t>(id >> 8),
                                         static_cast<uint8_t>(id >> 16),
                                         static_cast<uint8_t>(id >> 24)};
    ASSERT_TRUE(RunUntil([&] { return player.itemCount == stored + 1; }, 600)) << ErrorReport().Text();
    EXPECT_TRUE(ServerGot(record));
    EXPECT_EQ(player.gold, 70);
    EXPECT_EQ(play->InputMode(), CPlayScreen::INPUT_NORMAL);

    // The shop stands in the screenshot: its window's light grey at the right
    // edge above the main panel.
    Frames(2);
    const uint32_t width = app->BackBufferWidth(), height = app->BackBufferHeight();
    CGfxDevice* device = GetDevice();
    ASSERT_NE(device, nullptr);
    const std::vector<uint32_t> px = ReadBackBuffer(*device);
    ASSERT_EQ(px.size(), static_cast<size_t>(width) * height);
    Keep(px, width, height, "shop.jpg");
    const UiPoint at = shop->GetAbsolutePos();
    int grey = 0, samples = 0;
    for (int32_t y = static_cast<int32_t>(at.y) + 240; y < static_cast<int32_t>(at.y) + 270; y += 4)
        for (int32_t x = static_cast<int32_t>(at.x) + 200; x < static_cast<int32_t>(at.x) + 290; x += 6) {
            const uint32_t p = px[static_cast<size_t>(y) * width + static_cast<size_t>(x)];
            const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
            ++samples;
            grey += r > 120 && std::abs(r - g) < 30 && std::abs(g - b) < 30;
        }
    EXPECT_GT(grey, samples * 8 / 10) << grey << " of " << samples;
    Session().net->Disconnect();
}
