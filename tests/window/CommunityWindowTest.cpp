// A friend's name typed in Korean through the scripted input method into
// the add-friend window goes out as the exact bytes of 2043 to the fake game
// server; the server's friend list with the new friend online is drawn as a
// green row of the community window's member list by the GL device in a
// real SDL window, both windows from the layouts of our writer.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/NameHash.h"
#include "engine/input/ImeInput.h"
#include "net/ClientSession.h"
#include "net/CommunityRequests.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/SocketLayer.h"
#include "platform/CodePage.h"
#include "platform/GfxSystem.h"
#include "platform/ScriptedIme.h"
#include "screens/lobby/CommunityWindow.h"
#include "screens/lobby/GuildWindows.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/servers/FakeGameServer.h"
#include "tests/servers/LobbyPackets.h"
#include "tests/window/KoreanUi.h"
#include "tests/window/RealWindowFixture.h"
#include "tools/CommunityLayouts.h"
#include "tools/LayoutWriter.h"
#include "ui/UiEditBox.h"
#include "ui/UiListBox.h"
#include "ui/UiManager.h"

using namespace platform;

namespace {
constexpr int kWidth = 330, kHeight = 520;
}

class CommunityWindowShown : public RealWindowFixture {};

TEST_F(CommunityWindowShown, KoreanFriendIsAddedAndDrawnGreen) {
    ASSERT_EQ(NetStartup(1), 0);
    ASSERT_NO_FATAL_FAILURE(OpenDevice(kWidth, kHeight, false));
    CGfxDevice* device = &Device();
    {
        device->SetRenderState(RS_LIGHTING, 0);
        device->SetRenderState(RS_ZENABLE, 0);
        KoreanUi korean(*device);
        ASSERT_TRUE(korean.Ok()) << ErrorReport().Text();
        CUiManager& ui = korean.Ui();

        TempFolder tmp;
        const std::string communityPath = tmp.Path("COMMUNITY.DUI"), addPath = tmp.Path("OTHERPANNELS.DUI");
        ASSERT_EQ(WriteLayoutFile(communityPath.c_str(), CommunityLayout()), 1);
        ASSERT_EQ(WriteLayoutFile(addPath.c_str(), AddFriendLayout()), 1);
        auto* community = new CCommunityWindow();
        ASSERT_EQ(community->LoadLayout(communityPath.c_str(), 0), 1) << ErrorReport().Text();
        ui.AddLowerWindow(community);
        community->SetPosition(0, 0);
        auto* add = new CAddFriendWindow();
        ASSERT_EQ(add->LoadLayout(addPath.c_str(), 0), 1) << ErrorReport().Text();
        ui.AddLowerWindow(add);

        const std::string name = Utf8ToCp949("친구하나");
        CFakeGameServer server;
        std::vector<uint8_t> expected(34, 0);
        std::memcpy(expected.data(), "Hero", 4);
        std::memcpy(expected.data() + 17, name.data(), name.size());
        std::vector<uint8_t> got;
        server.Accept()
            .Expect(PK_FRIEND_ADD, [&got](const FakePacket& p) { got = p.payload; })
            .Send(PK_FRIEND_ADD_RESULT, NamedListAnswer(1, 0, name, FriendListBytes({{"Later", 0}, {name, 1}})));
        CNetClient net;
        ASSERT_EQ(net.Connect(server.Host(), server.Port()), 1);
        CClientSession session;
        session.nickname = "Hero";
        session.net = &net;

        // Composed and committed through the input method into the focused edit.
        ScriptedIme ime;
        ui.Ime().Create(&ime);
        ui.SetFocus(add->Edit());
        ime.Compose("친구하");
        ime.Commit("친구하나");
        ui.HandleImeEvents();
        ASSERT_STREQ(add->Edit()->GetText(), name.c_str());
        ASSERT_EQ(AddCommunityMember(session, add->Edit()->GetText(), true, nullptr), 1) << ErrorReport().Text();
        ASSERT_TRUE(server.WaitIdle());
        EXPECT_TRUE(server.Failures().empty());
        EXPECT_EQ(got, expected);

        NetPacket packet;
        ASSERT_TRUE(WaitForPacket(net, packet));
        ASSERT_EQ(packet.id, PK_FRIEND_ADD_RESULT);
        ASSERT_EQ(HandleCommunityListPacket(session, packet.id, packet.payload.data(), packet.length), 1);
        ui.ShowWindow(add, false);
        community->ShowRows(session.community);
        CUiListBox& list = *community->Members();
        ASSERT_EQ(list.ItemCount(), 6u);
        EXPECT_EQ(list.ItemAt(0).text, name);

        const std::vector<uint32_t> px = DrawWindows(ui);
        ASSERT_EQ(px.size(), static_cast<size_t>(kWidth * kHeight));

        // The green glyphs lie in the list's first row (a descender may reach
        // a pixel below it), none elsewhere: the second row's friend is offline.
        const UiPoint at = list.GetAbsolutePos();
        const int top = static_cast<int>(at.y), rowBottom = top + static_cast<int>(list.RowHeight() * 1.5f);
        int inRow = 0, outside = 0, firstOutside = -1;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (px[static_cast<size_t>(y * kWidth + x)] == CCommunityWindow::kOnline) {
                    const bool in = y >= top && y < rowBottom && x >= static_cast<int>(at.x);
                    (in ? inRow : outside)++;
                    if (!in && firstOutside < 0) firstOutside = y * kWidth + x;
                }
        EXPECT_GT(inRow, 20) << inRow;
        EXPECT_EQ(outside, 0) << "first at x " << firstOutside % kWidth << " y " << firstOutside / kWidth
                              << "; row " << top << ".." << rowBottom;
    }
}
