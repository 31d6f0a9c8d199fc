// The chat box of the sample match in a real window (under the test
// program's own Xvfb): Enter opens the line, a line typed through the
// scripted input method goes to the fake game server as a CMD_CHAT record in
// a command frame when Enter sends it, and the server's echo is drawn in the
// chat list in the team's yellow.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "commands/CommandFrame.h"
#include "commands/CommandRecords.h"
#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "platform/ScriptedIme.h"
#include "screens/game/PlayChatWindow.h"
#include "tests/window/SampleMatchWindow.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"

using namespace platform;

namespace {

class PlayChatWindow : public SampleMatchWindow {
protected:
    void TearDown() override {
        if (app) Session().net = nullptr;
        net.Disconnect();
        SampleMatchWindow::TearDown();
    }
    // The CMD_CHAT records of the frames the server got.
    std::vector<std::vector<uint8_t>> SentChat() const {
        std::vector<std::vector<uint8_t>> out;
        for (const FakePacket& p : server.Received()) {
            if (p.id != PK_GAME_COMMANDS) continue;
            for (size_t at = CommandFrame::kHeaderSize; at + 1 < p.payload.size() && p.payload[at + 1];
                 at += p.payload[at + 1])
                if (p.payload[at] == CMD_CHAT && at + p.payload[at + 1] <= p.payload.size())
                    out.emplace_back(p.payload.begin() + static_cast<long>(at),
                                     p.payload.begin() + static_cast<long>(at + p.payload[at + 1]));
        }
        return out;
    }
    // Yellow pixels (the glyphs' solid and smoothed ones) of the list's rectangle, in
    // its first row and below it.
    static std::pair<int, int> YellowInList(const std::vector<uint32_t>& px, uint32_t width, CUiListBox& list) {
        const UiPoint at = list.GetAbsolutePos();
        const int firstRowEnd = static_cast<int>(at.y + list.RowHeight());
        std::pair<int, int> n{0, 0};
        for (int y = static_cast<int>(at.y); y < static_cast<int>(at.y + list.Size().y); ++y)
            for (int x = static_cast<int>(at.x); x < static_cast<int>(at.x + list.Size().x); ++x) {
                const size_t i = static_cast<size_t>(y) * width + static_cast<size_t>(x);
                if (x < 0 || y < 0 || i >= px.size()) continue;
                const int r = px[i] >> 16 & 0xFF, g = px[i] >> 8 & 0xFF, b = px[i] & 0xFF;
                if (r > 150 && g > 150 && b < 90) ++(y < firstRowEnd ? n.first : n.second);
            }
        return n;
    }
    CFakeGameServer server;
    CNetClient net;
};

}  // namespace

TEST_F(PlayChatWindow, ATypedLineTravelsAsACommandAndItsEchoIsDrawnInTheList) {
    CPlayScreen* play = StartMatch();
    ASSERT_NE(play, nullptr);

    // From here on the match is played over the fake server, which relays
    // every command frame back as the match server does.
    server.On(PK_GAME_COMMANDS, [](const FakePacket& p) { return std::vector<FakePacket>{p}; });
    server.Accept();
    ASSERT_TRUE(net.Connect(server.Host(), server.Port())) << ErrorReport().GetText();
    ASSERT_TRUE(server.WaitIdle());
    Session().net = &net;
    CWorldObjectManager& world = *g_pWorldObjectManager;
    world.online = 1;
    world.gameMode = 0;
    std::array<int32_t, 12> teams{};
    g_pGameCommandManager->BeginSession(1, &world.gameClock, 0, world.localTeam, teams);

    CPlayChatWindow* chat = play->ChatWindow();
    ASSERT_NE(chat, nullptr);
    Tap(DIK_RETURN);
    ASSERT_TRUE(chat->IsOpen());
    ASSERT_EQ(play->InputMode(), CPlayScreen::INPUT_CHAT);
    ASSERT_NE(ime, nullptr);
    ime->Commit("hello team");
    Frames(1);
    ASSERT_STREQ(chat->Edit()->GetText(), "hello team");
    Tap(DIK_RETURN);
    EXPECT_FALSE(chat->IsOpen());
    EXPECT_EQ(play->InputMode(), CPlayScreen::INPUT_NORMAL);

    ASSERT_TRUE(RunUntil([&] { return !SentChat().empty(); }, 600));
    const std::vector<uint8_t> record = SentChat().front();
    std::vector<uint8_t> expected(136, 0);
    expected[0] = CMD_CHAT;
    expected[1] = 136;
    expected[2] = 0;  // the local slot
    expected[3] = 0;  // to the team
    const std::string text = "hello team";
    std::copy(text.begin(), text.end(), expected.begin() + 4);
    StoreU32(expected.data() + 132, CPlayChatWindow::kTeamColour);
    EXPECT_EQ(record, expected);

    // The sender's name is the one its player slot carries in the match.
    const std::string shown = "</C=ffff00>" + std::string(Session().slots[0].GetNickname()) + " : hello team";
    CUiListBox& list = *chat->List();
    ASSERT_TRUE(RunUntil([&] { return list.ItemCount() > 0 && list.ItemAt(list.ItemCount() - 1).text == shown; }, 600))
        << ErrorReport().Text();
    Frames(3);
    const uint32_t width = app->BackBufferWidth();
    const std::vector<uint32_t> px = Screenshot();
    ASSERT_EQ(px.size(), static_cast<size_t>(width) * app->BackBufferHeight());
    // The line's glyphs in the team's yellow, inside the list.
    const auto [firstRow, below] = YellowInList(px, width, list);
    EXPECT_GT(firstRow, 40);
    EXPECT_EQ(below, 0);
}
