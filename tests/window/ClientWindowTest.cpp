// The whole client in a real SDL window with the GL device (under the test
// program's own Xvfb): keys from the scripted input, Korean from the scripted
// input method, the fake servers on the other end, and the screen read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/core/NameHash.h"
#include "engine/render/RenderStateCache.h"
#include "world/GameDataRegistry.h"
#include "net/LobbyMessages.h"
#include "net/MessageIds.h"
#include "platform/Input.h"
#include "screens/game/LoadingScreen.h"
#include "screens/game/LoadingWindow.h"
#include "screens/lobby/ChannelScreen.h"
#include "screens/lobby/CreateNicknameWindow.h"
#include "screens/lobby/LobbyScreen.h"
#include "screens/lobby/LobbyWindow.h"
#include "screens/lobby/LoginWindow.h"
#include "screens/lobby/MakeRoomWindow.h"
#include "screens/lobby/NicknameScreen.h"
#include "screens/lobby/SelectNicknameWindow.h"
#include "tests/fixtures/HeadlessGl.h"
#include "tests/screens/lobby/LobbyFixture.h"
#include "tests/servers/LobbyPackets.h"
#include "tests/window/RealWindowFixture.h"
#include "tools/SampleGameData.h"
#include "tools/SampleMap.h"
#include "ui/UiEditBox.h"
#include "ui/UiGauge.h"
#include "ui/UiListBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "world/WorldObjectManager.h"

using namespace platform;

namespace {

// "용사하나" as the input method gives it and as the wire carries it.
const char* const kHeroUtf8 = "\xEC\x9A\xA9\xEC\x82\xAC\xED\x95\x98\xEB\x82\x98";
const char* const kHeroCp949 = "\xBF\xEB\xBB\xE7\xC7\xCF\xB3\xAA";

int s_realLobbiesMade = 0;
CScreen* MakeRealLobby() {
    ++s_realLobbiesMade;
    return new CLobbyScreen();
}

}  // namespace

class ClientWindow : public LobbyFixture {
protected:
    ClientWindow() {
        KeepVideoOpen();
        realWindow = true;
    }

    // The last frame, top row first, and its width.
    std::vector<uint32_t> Screenshot(int* width) {
        *width = static_cast<int>(app->BackBufferWidth());
        CGfxDevice* device = GetDevice();
        return device ? ReadBackBuffer(*device) : std::vector<uint32_t>();
    }

    // Pixels of a control's rectangle on the screen that pass the test.
    template <typename Test>
    static int CountPixels(const std::vector<uint32_t>& px, int width, const CUiObject& control, Test test) {
        float x = 0, y = 0;
        for (const CUiObject* o = &control; o; o = o->Parent()) {
            x += o->Position().x;
            y += o->Position().y;
        }
        const int left = static_cast<int>(x), top = static_cast<int>(y);
        const int right = left + static_cast<int>(control.Size().x), bottom = top + static_cast<int>(control.Size().y);
        const int height = width > 0 ? static_cast<int>(px.size()) / width : 0;
        int n = 0;
        for (int row = std::max(top, 0); row < std::min(bottom, height); ++row)
            for (int col = std::max(left, 0); col < std::min(right, width); ++col)
                n += test(px[static_cast<size_t>(row * width + col)]) ? 1 : 0;
        return n;
    }
    // The same on the last frame.
    template <typename Test>
    int CountOnScreen(const CUiObject& control, Test test) {
        int width = 0;
        const std::vector<uint32_t> px = Screenshot(&width);
        return CountPixels(px, width, control, test);
    }
    static bool Channel(uint32_t argb, int shift, bool above, uint32_t level) {
        const uint32_t c = (argb >> shift) & 0xFF;
        return above ? c > level : c < level;
    }
    // Text-white: every channel above 0xE0.
    static bool White(uint32_t p) {
        return Channel(p, 16, true, 0xE0) && Channel(p, 8, true, 0xE0) && Channel(p, 0, true, 0xE0);
    }

    // Dark text: every channel below 0x40.
    static bool Dark(uint32_t p) {
        return Channel(p, 16, false, 0x40) && Channel(p, 8, false, 0x40) && Channel(p, 0, false, 0x40);
    }

    // Text the player types: composed letter by letter, then committed.
    void Type(const std::string& composedStep, const std::string& committed) {
        ASSERT_NE(ime, nullptr);
        if (!composedStep.empty()) ime->Compose(composedStep);
        Frames(1);
        ime->Commit(committed);
        Frames(2);
    }
};

// Login with the id and password committed through the input method, a new
// nickname typed in Korean, a channel chosen with the keys; in the lobby a
// Korean chat line and a room with a Korean title.
TEST_F(ClientWindow, KoreanFromTheLoginToAMadeRoom) {
    s_realLobbiesMade = 0;
    SetLobbyScreenMaker(&MakeRealLobby);
    AccountRecord loginRecord;
    std::vector<uint8_t> created;
    login.Accept()
        .SendAuthKey(0x11223344u)
        .ExpectLogin(&loginRecord)
        .SendResult(PK_LOGIN_RESULT, 1, 0, 8)
        .SendAuthKey(0x55667788u)
        .ExpectEnterServer(nullptr)
        .Send(PK_ACCOUNT_INFO, AccountInfoPayload("127.0.0.1"));
    game.Accept()
        .SendAuthKey(0x01020304u)
        .ExpectEnterServer(nullptr)
        .SendResult(PK_ENTER_SERVER_RESULT, 1, 0, 2)
        .Expect(PK_NICKNAME_LIST_REQUEST)
        .Send(PK_NICKNAME_LIST, NicknameListPayload({}))
        .Expect(PK_NICKNAME_CREATE, [&](const FakePacket& p) { created = p.payload; })
        .Send(3003, {1, 0})
        .Expect(PK_NICKNAME_LIST_REQUEST)
        .Send(PK_NICKNAME_LIST, NicknameListPayload({{kHeroCp949, 1}}));

    CLoginScreen* screen = nullptr;
    ASSERT_TRUE(RunUntil([&] { return (screen = CurrentAs<CLoginScreen>()) && screen->Shown(); }));
    ASSERT_EQ(app->Ui().Focus(), screen->Window()->IdEdit());
    ASSERT_NO_FATAL_FAILURE(Type("p", "player"));
    Tap(DIK_TAB);
    ASSERT_EQ(app->Ui().Focus(), screen->Window()->PasswordEdit());
    ASSERT_NO_FATAL_FAILURE(Type("", "secret"));
    Tap(DIK_RETURN);

    CNicknameScreen* nick = nullptr;
    ASSERT_TRUE(RunUntil([&] {
        nick = CurrentAs<CNicknameScreen>();
        return nick && nick->Phase() == CNicknameScreen::PHASE_CHOOSING;
    })) << ErrorReport().Text()
        << " " << app->MessageBox().Text();
    EXPECT_STREQ(loginRecord.userId, "player");
    EXPECT_STREQ(loginRecord.password, "secret");

    CSelectNicknameWindow& select = *nick->SelectWindow();
    select.RaiseRequest(CSelectNicknameWindow::REQUEST_MAKE);
    Frames(2);
    ASSERT_EQ(nick->Phase(), CNicknameScreen::PHASE_CREATING);
    ASSERT_EQ(app->Ui().Focus(), nick->CreateWindow()->Edit());
    // "용" grows from "ㅇ" while composed; the whole name is committed at once.
    ASSERT_NO_FATAL_FAILURE(Type("\xE3\x85\x87", kHeroUtf8));
    EXPECT_STREQ(nick->CreateWindow()->Edit()->GetText(), kHeroCp949);
    Tap(DIK_RETURN);
    ASSERT_TRUE(RunUntil([&] { return select.HasNickname(0); })) << ErrorReport().Text();
    ASSERT_TRUE(game.WaitIdle());
    for (const std::string& f : game.Failures()) ADD_FAILURE() << f;
    ASSERT_EQ(created.size(), 70u);
    // The 17-byte nickname field: the CP949 bytes and zeros after them.
    char field[17] = {};
    std::memcpy(field, kHeroCp949, std::strlen(kHeroCp949));
    EXPECT_EQ(0, std::memcmp(created.data() + 51, field, sizeof(field)));
    EXPECT_EQ(select.NickStatic(0)->GetText(), kHeroCp949);
    // Once the screen has faded in, the nickname's text is drawn (dark on the static).
    Frames(2);
    EXPECT_GT(CountOnScreen(*select.NickStatic(0), Dark), 20);

    // Down and Enter choose the second channel; the lobby's maker is called.
    Tap(DIK_RETURN);
    ASSERT_TRUE(RunUntil([&] { return CurrentAs<CChannelScreen>() != nullptr; }));
    EXPECT_EQ(Session().nickname, kHeroCp949);
    game.Send(PK_CHANNEL_LIST, ChannelListPayload({{"First", "127.0.0.1", 10, 100}, {"Second", "127.0.0.1", 5, 100}}));
    auto* channels = CurrentAs<CChannelScreen>();
    ASSERT_TRUE(
        RunUntil([&] { return channels->ListReceived() && channels->Phase() == CChannelScreen::PHASE_CHOOSING; }));
    Tap(DIK_DOWN);
    EXPECT_EQ(channels->Window()->Selected(), 1);
    // The lobby: its entry, the first page and the community lists; the
    // player list whenever it is asked.
    std::vector<uint8_t> chat, made;
    LobbyPlayerSpec player;
    player.nickname = kHeroCp949;
    channel.SetExpectTimeout(10000);
    channel.On(PK_LOBBY_USER_LIST_REQUEST, [](const FakePacket&) {
        return std::vector<FakePacket>{{PK_LOBBY_USER_LIST, LobbyUserListPayload(1, {kHeroCp949})}};
    });
    channel.Accept()
        .SendAuthKey(0xCAFEu)
        .ExpectEnterServer(nullptr)
        .SendResult(PK_ENTER_SERVER_RESULT, 1, 0, 2)
        .Expect(PK_LOBBY_ENTER)
        .Send(PK_LOBBY_ENTER_RESULT, LobbyEnterAnswer(1, 0, player))
        .Expect(PK_ROOM_LIST_REQUEST)
        .Send(PK_ROOM_LIST, RoomListPayload({}))
        .Expect(PK_FRIEND_LIST_REQUEST)
        .Expect(PK_BLOCK_LIST_REQUEST)
        .Expect(PK_GUILD_ROSTER_REQUEST)
        .Expect(PK_LOBBY_CHAT, [&](const FakePacket& p) { chat = p.payload; });
    Tap(DIK_RETURN);
    CLobbyScreen* lobby = nullptr;
    ASSERT_TRUE(RunUntil([&] {
        lobby = CurrentAs<CLobbyScreen>();
        return lobby && lobby->Phase() == CLobbyScreen::PHASE_LOBBY && !lobby->Busy();
    })) << ErrorReport().Text();
    EXPECT_EQ(s_realLobbiesMade, 1);
    CLobbyWindow& w = *lobby->Window();

    // "안녕하세요 여러분": Enter focuses the chat edit, the input method types, Enter sends.
    Tap(DIK_RETURN);
    ASSERT_EQ(app->Ui().Focus(), w.ChatEdit());
    ASSERT_NO_FATAL_FAILURE(Type("\xE3\x85\x87",
                                 "\xEC\x95\x88\xEB\x85\x95\xED\x95\x98\xEC\x84\xB8\xEC\x9A\x94 "
                                 "\xEC\x97\xAC\xEB\x9F\xAC\xEB\xB6\x84"));
    Tap(DIK_RETURN);
    ASSERT_TRUE(channel.WaitIdle());
    const std::string hello = "\xBE\xC8\xB3\xE7\xC7\xCF\xBC\xBC\xBF\xE4 \xBF\xA9\xB7\xAF\xBA\xD0";
    ASSERT_EQ(chat.size(), 18 + hello.size());
    EXPECT_STREQ(reinterpret_cast<const char*>(chat.data()), kHeroCp949);
    EXPECT_EQ(0, std::memcmp(chat.data() + 17, hello.c_str(), hello.size() + 1));

    // A line from "다른사람" shows white in the chat list.
    Frames(2);
    const int emptyList = CountOnScreen(*w.ChatList(), White);
    const size_t lines = w.ChatList()->ItemCount();
    channel.Send(PK_LOBBY_CHAT, LobbyChatPayload("\xB4\xD9\xB8\xA5\xBB\xE7\xB6\xF7", hello));
    ASSERT_TRUE(RunUntil([&] { return w.ChatList()->ItemCount() > lines; }));
    Frames(2);
    EXPECT_GT(CountOnScreen(*w.ChatList(), White), emptyList + 20);

    // "초보방" typed as the new room's title reaches 2006 byte for byte; 3006 ok leaves for the room.
    channel.Expect(PK_MAKE_ROOM, [&](const FakePacket& p) { made = p.payload; })
        .Send(PK_MAKE_ROOM_RESULT, {1, 0, 17, 0});
    w.PressCommand(CLobbyWindow::CMD_MAKEROOM);
    Frames(2);
    CMakeRoomWindow& make = *lobby->MakeRoom();
    ASSERT_EQ(app->Ui().Focus(), make.TitleEdit());
    ASSERT_NO_FATAL_FAILURE(Type("\xE3\x85\x8A", "\xEC\xB4\x88\xEB\xB3\xB4\xEB\xB0\xA9"));
    make.OnLButtonClick(make.FindChild(NameHash("ID_BUTTON_OK")));
    ASSERT_TRUE(RunUntil([&] { return lobby->Phase() == CLobbyScreen::PHASE_ROOM_JOINED; })) << ErrorReport().Text();
    ASSERT_TRUE(channel.WaitIdle());
    for (const std::string& f : channel.Failures()) ADD_FAILURE() << f;
    const char title[] = "\xC3\xCA\xBA\xB8\xB9\xE6";
    ASSERT_EQ(made.size(), kMakeRoomSize);
    EXPECT_EQ(0, std::memcmp(made.data(), title, sizeof(title)));
    EXPECT_EQ(lobby->NextCode(), CLobbyScreen::NEXT_ROOM_MADE);
    SetLobbyScreenMaker(nullptr);
}

// A single-play match of the sample map with one hero, the loading screen first.
class LoadingClientWindow : public ClientWindow {
protected:
    CScreen* MakeFirstScreen() override {
        CWorldObjectManager& world = *g_pWorldObjectManager;
        world.online = 1;
        world.gameMode = 1;
        world.SetLocalSlot(0);
        Session().mapFile = kSampleMap;
        Session().nickname = "Player";
        Session().slots[0].heroId = NameHash("Knight");
        return loading = new CLoadingScreen();
    }
    CLoadingScreen* loading = nullptr;  // owned by the screen manager
};

// Once loaded, the map's picture and a full gauge on the screen.
TEST_F(LoadingClientWindow, ShowsAFullGaugeOnceLoaded) {
    ASSERT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
    ASSERT_TRUE(RunUntil([&] { return loading->Phase() == CLoadingScreen::PHASE_LOADED; }, 100000))
        << ErrorReport().Text();
    ASSERT_TRUE(RunUntil([&] { return loading->Window()->progress->Percent() == 100.0f; }));
    // The fade from black runs on the frames' clock.
    Frames(200);
    int width = 0;
    const std::vector<uint32_t> px = Screenshot(&width);
    ASSERT_EQ(px.size(), static_cast<size_t>(width) * app->BackBufferHeight());

    // The gauge's fill is green from end to end (its head aside).
    const CUiObject& gauge = *loading->Window()->progress;
    const int area = static_cast<int>(gauge.Size().x * gauge.Size().y);
    const int green = CountPixels(px, width, gauge, [](uint32_t p) {
        return Channel(p, 8, true, 0xA0) && Channel(p, 16, false, 0x60) && Channel(p, 0, false, 0x60);
    });
    EXPECT_GT(green, area * 9 / 10) << green << " of " << area;

    // The map's picture fills the screen behind the window: sampled where no
    // control stands (right of the player rows, above the chat).
    int picture = 0, samples = 0;
    for (int y = 60; y <= 420; y += 24) {
        for (int x = 480; x <= 1000; x += 26) {
            ++samples;
            picture += (px[static_cast<size_t>(y) * width + x] & 0xFFFFFFu) == (kSampleMapLoadingColour & 0xFFFFFFu);
        }
    }
    EXPECT_EQ(picture, samples);
}
