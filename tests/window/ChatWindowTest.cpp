// A whisper typed in Korean through the scripted input method goes out as the
// exact bytes of PK_WHISPER to the fake game server, and the server's echo is
// drawn as a pink line in the chat list by the GL device in a real SDL window
// (under the test's own Xvfb), all three controls from a layout of our writer.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/input/ImeInput.h"
#include "net/ChatInputProcess.h"
#include "net/ChatLines.h"
#include "net/ClientSession.h"
#include "net/MessageIds.h"
#include "net/NetClient.h"
#include "net/SocketLayer.h"
#include "platform/CodePage.h"
#include "platform/GfxSystem.h"
#include "platform/ScriptedIme.h"
#include "tests/servers/FakeGameServer.h"
#include "engine/core/NameHash.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/ui/UiFixture.h"
#include "tests/window/KoreanUi.h"
#include "tests/window/RealWindowFixture.h"
#include "tools/LayoutWriter.h"
#include "tools/UiLayouts.h"
#include "ui/UiEditBox.h"
#include "ui/UiManager.h"
#include "ui/UiListBox.h"
#include "ui/UiStatic.h"

using namespace platform;

namespace {
constexpr int kWidth = 320, kHeight = 120;
}

class ChatWindow : public RealWindowFixture {};

TEST_F(ChatWindow, KoreanWhisperReachesTheServerAndItsEchoIsPink) {
    ASSERT_EQ(NetStartup(1), 0);
    ASSERT_NO_FATAL_FAILURE(OpenDevice(kWidth, kHeight, false));
    CGfxDevice* device = &Device();
    {
        CMessageTable messages;
        messages.SetMsg(MSG_CHAT_SEND_TO_ALL, "all");
        device->SetRenderState(RS_LIGHTING, 0);
        device->SetRenderState(RS_ZENABLE, 0);

        KoreanUi korean(*device);
        ASSERT_TRUE(korean.Ok()) << ErrorReport().Text();
        CUiManager& ui = korean.Ui();
        // The chat part of a screen's layout: the list, the edit box and the mode label.
        LayoutFileSpec layout;
        layout.window.name = "WND_CHAT";
        layout.window.rect[2] = kWidth;
        layout.window.rect[3] = kHeight;
        layout.window.colour[0] = layout.window.colour[1] = layout.window.colour[2] = 0;
        layout.window.part = {LayoutFloat(0), LayoutFloat(0), LayoutFloat(0), LayoutFloat(0)};
        LayoutRecordSpec mode = StaticRecord("ID_STT_CHATMODE", 250, 96, 70, 20, "all");
        mode.text = "all";
        layout.children = {ListBoxRecord("ID_LIST_CHAT", 0, 0, kWidth, 96, 1, 4, 16),
                           EditBoxRecord("ID_EDIT_CHAT", 0, 96, 250, 20), mode};
        TempFolder tmp;
        const std::string path = tmp.Path("CHAT.DUI");
        ASSERT_EQ(WriteLayoutFile(path.c_str(), layout), 1);
        auto* window = new CUiWindow;
        ASSERT_EQ(window->LoadLayout(path.c_str(), 0), 1) << ErrorReport().Text();
        ui.AddLowerWindow(window);
        auto* listControl = dynamic_cast<CUiListBox*>(window->FindChild(NameHash("ID_LIST_CHAT")));
        auto* edit = dynamic_cast<CUiEditBox*>(window->FindChild(NameHash("ID_EDIT_CHAT")));
        auto* labelControl = dynamic_cast<CUiStatic*>(window->FindChild(NameHash("ID_STT_CHATMODE")));
        ASSERT_TRUE(listControl && edit && labelControl);
        CUiListBox& list = *listControl;
        CUiStatic& label = *labelControl;
        label.SetText("all");

        CFakeGameServer server;
        const std::string text = Utf8ToCp949("안녕하세요");
        std::vector<uint8_t> whisper(35 + text.size(), 0);
        std::memcpy(whisper.data(), "mine", 4);
        std::memcpy(whisper.data() + 17, "abcd", 4);
        std::memcpy(whisper.data() + 34, text.data(), text.size());
        std::vector<uint8_t> echo = {1, 'e', 'a', 'b', 'c', 'd'};
        echo.resize(19, 0);
        echo.insert(echo.end(), text.begin(), text.end());
        echo.push_back(0);
        std::vector<uint8_t> got;
        server.Accept().Expect(PK_WHISPER, [&got](const FakePacket& p) { got = p.payload; }).Send(PK_WHISPER_RECV, echo);

        CNetClient net;
        ASSERT_EQ(net.Connect(server.Host(), server.Port()), 1);
        CClientSession session;
        session.nickname = "mine";
        session.net = &net;

        // Typed into the focused edit box through the input method, composed and
        // then committed; the screen hands the line over when Enter goes down.
        ScriptedIme ime;
        ui.Ime().Create(&ime);
        ui.SetFocus(edit);
        ime.Compose("/ㅈ abcd 안");
        ime.Commit("/ㅈ abcd 안녕하세요");
        ui.HandleImeEvents();
        ASSERT_STREQ(edit->GetText(), Utf8ToCp949("/ㅈ abcd 안녕하세요").c_str());
        ScriptedFrame keys;
        keys.Key(0x1C, true);
        keys.Frame();
        ASSERT_TRUE(keys.input.KeyPressed(0x1C));
        EXPECT_EQ(ProcessChatInput(&label, session, edit->GetText(), &list), nullptr);
        ASSERT_TRUE(server.WaitIdle());
        EXPECT_TRUE(server.Failures().empty());
        EXPECT_EQ(got, whisper);

        NetPacket packet;
        ASSERT_TRUE(WaitForPacket(net, packet));
        ASSERT_EQ(packet.id, PK_WHISPER_RECV);
        ASSERT_EQ(HandleWhisperPacket(packet.payload.data(), packet.length, &list, session), 1);
        ASSERT_EQ(list.ItemCount(), 1u);
        EXPECT_EQ(list.ItemAt(0).text, "</C=ff5093>>>abcd : " + text);

        const std::vector<uint32_t> px = DrawWindows(ui);
        ASSERT_EQ(px.size(), static_cast<size_t>(kWidth * kHeight));

        // The glyphs' solid pixels carry the line's colour, inside the first row only.
        int firstRow = 0, below = 0;
        const int rowHeight = static_cast<int>(list.RowHeight());
        ASSERT_GT(rowHeight, 0);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if ((px[static_cast<size_t>(y * kWidth + x)] & 0xFFFFFFu) == 0xFF5093u) (y < rowHeight ? firstRow : below)++;
        EXPECT_GT(firstRow, 20) << firstRow;
        EXPECT_EQ(below, 0);
    }
}
