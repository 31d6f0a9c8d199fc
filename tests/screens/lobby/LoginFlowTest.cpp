// From the login screen to the lobby against three scripted servers, and the
// login screen's refusals.
#include <cstring>

#include "commands/GameCommandManager.h"
#include "engine/core/NameHash.h"
#include "engine/core/ErrorReport.h"
#include "net/MessageIds.h"
#include "platform/Input.h"
#include "screens/lobby/ChannelScreen.h"
#include "screens/lobby/ConnectScreen.h"
#include "screens/lobby/CreateNicknameWindow.h"
#include "screens/lobby/LoginWindow.h"
#include "screens/lobby/NicknameScreen.h"
#include "screens/lobby/RankNames.h"
#include "screens/lobby/ReplayListWindow.h"
#include "screens/lobby/SelectNicknameWindow.h"
#include "tests/screens/lobby/LobbyFixture.h"
#include "tests/servers/LocalTestServer.h"
#include "tools/SampleMap.h"
#include "platform/File.h"
#include "ui/UiButton.h"
#include "ui/UiCheckButton.h"
#include "ui/UiListBox.h"
#include "ui/UiEditBox.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"

using namespace platform;

namespace {

class LoginFlow : public LobbyFixture {
protected:
    // Waits for the login window to be shown and types the id and password.
    CLoginScreen* ShowLogin(const char* id, const char* password) {
        CLoginScreen* screen = nullptr;
        EXPECT_TRUE(RunUntil([&] { return (screen = CurrentAs<CLoginScreen>()) && screen->Shown(); }));
        if (!screen) return nullptr;
        screen->Window()->IdEdit()->SetText(id);
        screen->Window()->PasswordEdit()->SetText(password);
        return screen;
    }
    void FailuresEmpty(const CFakeGameServer& server) {
        for (const std::string& f : server.Failures()) ADD_FAILURE() << f;
    }
};

TEST_F(LoginFlow, LoginConnectNicknameChannelReachesTheLobby) {
    AccountRecord loginRecord, enterRecord, gameRecord, channelRecord;
    uint8_t reentry = 9, gameReentry = 9, channelReentry = 9;
    std::vector<uint8_t> listRequest;
    login.Accept()
        .SendAuthKey(0x11223344u)
        .ExpectLogin(&loginRecord)
        .SendResult(PK_LOGIN_RESULT, 1, 0, 8)
        .SendAuthKey(0x55667788u)
        .ExpectEnterServer(&enterRecord, &reentry)
        .Send(PK_ACCOUNT_INFO, AccountInfoPayload("127.0.0.1"));
    game.Accept()
        .SendAuthKey(0x01020304u)
        .ExpectEnterServer(&gameRecord, &gameReentry)
        .SendResult(PK_ENTER_SERVER_RESULT, 1, 0, 2)
        .Expect(PK_NICKNAME_LIST_REQUEST, [&](const FakePacket& p) { listRequest = p.payload; })
        .Send(PK_NICKNAME_LIST, NicknameListPayload({{"hero1", 3, 120, 7, 2}, {}, {"hero3", 1, 0, 0, 0}}, 4, 185));

    CLoginScreen* screen = ShowLogin("player", "secret");
    ASSERT_NE(screen, nullptr);
    Tap(DIK_RETURN);
    ASSERT_TRUE(RunUntil([&] { return CurrentAs<CNicknameScreen>() != nullptr; })) << ErrorReport().Text();
    ASSERT_TRUE(login.WaitIdle());
    FailuresEmpty(login);
    EXPECT_STREQ(loginRecord.userId, "player");
    EXPECT_STREQ(loginRecord.password, "secret");
    EXPECT_EQ(loginRecord.key, 0x11223344u);
    EXPECT_EQ(loginRecord.versionMajor, 1);
    EXPECT_EQ(loginRecord.versionMinor, 3);
    EXPECT_STREQ(enterRecord.userId, "player");
    EXPECT_STREQ(enterRecord.password, "");
    EXPECT_EQ(enterRecord.key, 0x55667788u);
    EXPECT_EQ(reentry, 0);
    EXPECT_EQ(Session().accountId, "player");

    auto* nick = CurrentAs<CNicknameScreen>();
    CSelectNicknameWindow* select = nullptr;
    ASSERT_TRUE(RunUntil([&] {
        nick = CurrentAs<CNicknameScreen>();
        select = nick ? nick->SelectWindow() : nullptr;
        return select && select->HasNickname(0);
    }));
    ASSERT_TRUE(game.WaitIdle());
    FailuresEmpty(game);
    EXPECT_STREQ(gameRecord.userId, "player");
    EXPECT_EQ(gameReentry, 0);
    ASSERT_EQ(listRequest.size(), 53u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(listRequest.data())), "player");
    // Slots are filled one by one: the empty middle one stays hidden.
    EXPECT_EQ(select->NickStatic(0)->GetText(), "hero1");
    EXPECT_TRUE(select->Bar(1)->HasFlags(UI_HIDDEN));
    EXPECT_FALSE(select->Bar(2)->HasFlags(UI_HIDDEN));
    EXPECT_EQ(select->Selected(), 0);
    // Rank 3 shows the third level icon; level 6 the seventh disabled-state icon.
    EXPECT_EQ(select->ClassStatic(0)->Image(), g_pPlayResources->levelIcons[2]);
    EXPECT_EQ(select->Disgrace()->Image(), g_pPlayResources->disabledIcons[6]);
    EXPECT_EQ(DisconnectLevel(185), 6);
    EXPECT_EQ(DisconnectLevel(180), 6);
    EXPECT_EQ(DisconnectLevel(179), 5);
    // Down skips nothing but refuses the empty slot.
    Tap(DIK_DOWN);
    EXPECT_EQ(select->Selected(), 0);

    Tap(DIK_RETURN);
    ASSERT_TRUE(RunUntil([&] { return CurrentAs<CChannelScreen>() != nullptr; }));
    EXPECT_EQ(Session().nickname, "hero1");
    game.Send(PK_CHANNEL_LIST, ChannelListPayload({{"First", "127.0.0.1", 10, 100}, {"Second", "127.0.0.1", 100, 100}}));
    auto* channels = CurrentAs<CChannelScreen>();
    ASSERT_TRUE(RunUntil([&] { return channels->ListReceived() && channels->Phase() == CChannelScreen::PHASE_CHOOSING; }));
    EXPECT_EQ(channels->Window()->Level(0), 2);
    EXPECT_EQ(channels->Window()->Level(1), 14);
    Tap(DIK_DOWN);
    EXPECT_EQ(channels->Window()->Selected(), 1);
    Tap(DIK_DOWN);  // row 2 is hidden
    EXPECT_EQ(channels->Window()->Selected(), 1);

    channel.Accept()
        .SendAuthKey(0xCAFEu)
        .ExpectEnterServer(&channelRecord, &channelReentry)
        .SendResult(PK_ENTER_SERVER_RESULT, 1, 0, 2);
    Tap(DIK_RETURN);
    ASSERT_TRUE(RunUntil([&] { return s_lobbiesMade == 1; })) << ErrorReport().Text();
    ASSERT_TRUE(channel.WaitIdle());
    FailuresEmpty(channel);
    EXPECT_STREQ(channelRecord.userId, "player");
    EXPECT_EQ(channelReentry, 0);
    EXPECT_EQ(Session().channelAddress, "127.0.0.1");
    EXPECT_FALSE(Session().returning);
}

TEST_F(LoginFlow, RankNamesAndIconsAreKeyedByRankAndBoundedToTheTable) {
    const CPlayResources& res = *g_pPlayResources;
    ASSERT_GE(res.rankNames.size(), 2u);
    EXPECT_EQ(std::string(RankName(1)), res.rankNames[0]);
    EXPECT_EQ(std::string(RankName(2)), res.rankNames[1]);
    // Past the end of the list: no text, still the icon.
    EXPECT_STREQ(RankName(kMaxRank), "");
    struct Case {
        uint32_t rank;
        bool shown;
    };
    for (const Case c : {Case{0, false}, Case{1, true}, Case{100, true}, Case{101, false}, Case{250, false}}) {
        SCOPED_TRACE(c.rank);
        CResource* icon = RankIcon(c.rank);
        EXPECT_EQ(icon != nullptr, c.shown);
        if (icon) {
            EXPECT_EQ(icon, res.levelIcons[c.rank - 1]);
            icon->DropRef();
        }
        if (!c.shown) {
            EXPECT_STREQ(RankName(c.rank), "");
        }
    }
    EXPECT_EQ(std::string(DisconnectLevelText(0)), res.badRankNames.at(0));
    EXPECT_STREQ(DisconnectLevelText(7), "");
    EXPECT_STREQ(DisconnectLevelText(-1), "");
    EXPECT_EQ(DisconnectLevelImage(7), nullptr);
    CResource* image = DisconnectLevelImage(6);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image, res.disabledIcons[6]);
    image->DropRef();
}

TEST_F(LoginFlow, RefusedPasswordIsNotRetriedWithinTwoMinutes) {
    login.Accept().SendAuthKey(1).ExpectLogin(nullptr).SendResult(PK_LOGIN_RESULT, 0, 5, 8);
    CLoginScreen* screen = ShowLogin("player", "wrong");
    ASSERT_NE(screen, nullptr);
    Tap(DIK_RETURN);
    ASSERT_TRUE(RunUntil([&] { return screen->Phase() == CScreen::kPhaseErrorPopup; }));
    const std::string refusal = app->MessageBox().Text();
    EXPECT_EQ(ErrorReport().GetCode(), 34u);
    Tap(DIK_ESCAPE);
    EXPECT_EQ(screen->Phase(), CLoginScreen::PHASE_INTERACTIVE);
    // After a wrong password the password box has the focus.
    EXPECT_EQ(app->Ui().Focus(), screen->Window()->PasswordEdit());
    ASSERT_TRUE(login.WaitIdle());

    // The same id and password again at once: the same text, no connection.
    screen->Window()->TryLogin();
    Frames(2);
    EXPECT_EQ(screen->Phase(), CScreen::kPhaseErrorPopup);
    EXPECT_EQ(app->MessageBox().Text(), refusal);
    Tap(DIK_ESCAPE);

    // Another password connects.
    login.Accept().SendAuthKey(2).ExpectLogin(nullptr).SendResult(PK_LOGIN_RESULT, 0, 3, 8);
    screen->Window()->PasswordEdit()->SetText("other");
    screen->Window()->TryLogin();
    ASSERT_TRUE(RunUntil([&] { return screen->Phase() == CScreen::kPhaseErrorPopup; }));
    ASSERT_TRUE(login.WaitIdle());
    FailuresEmpty(login);
    Tap(DIK_ESCAPE);
    // After any other error the id box has the focus.
    EXPECT_EQ(app->Ui().Focus(), screen->Window()->IdEdit());
}

TEST_F(LoginFlow, ShortIdShowsItsTextAndSendsNothing) {
    CLoginScreen* screen = ShowLogin("abc", "secret");
    ASSERT_NE(screen, nullptr);
    Tap(DIK_RETURN);
    EXPECT_EQ(screen->Phase(), CScreen::kPhaseErrorPopup);
    EXPECT_EQ(app->MessageBox().Text(), GetMessageText(MSG_LOGIN_MIN_ID_PASSWORD));
    EXPECT_FALSE(app->Net().IsConnected());
}

TEST_F(LoginFlow, AltEnterNeitherFocusesNorLogsIn) {
    CLoginScreen* screen = ShowLogin("player", "secret");
    ASSERT_NE(screen, nullptr);
    input->SetKey(DIK_LMENU, true);
    Tap(DIK_RETURN);
    input->SetKey(DIK_LMENU, false);
    Frames(1);
    EXPECT_EQ(screen->Phase(), CLoginScreen::PHASE_INTERACTIVE);
    EXPECT_FALSE(app->Net().IsConnected());
}

TEST_F(LoginFlow, ServerDownShowsTheConnectionErrorAndReturnsToTheWindow) {
    SetServerPortOverride(ServerKind::Login, 1);
    CLoginScreen* screen = ShowLogin("player", "secret");
    ASSERT_NE(screen, nullptr);
    Tap(DIK_RETURN);
    EXPECT_EQ(screen->Phase(), CScreen::kPhaseErrorPopup);
    EXPECT_FALSE(app->MessageBox().Text().empty());
    Tap(DIK_ESCAPE);
    EXPECT_EQ(screen->Phase(), CLoginScreen::PHASE_INTERACTIVE);
}

}  // namespace

namespace {

class HostileLogin : public LobbyFixture {};

TEST_F(HostileLogin, CutOrOversizedAnswersEndInThePopup) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    // A 3000 whose payload stops inside its reason; a header announcing 3,000 bytes.
    std::vector<uint8_t> cut = CFakeGameServer::PacketBytes(PK_LOGIN_RESULT, {0, 5, 0, 0, 0, 0, 0, 0});
    cut[2] = 1;
    cut.resize(4 + 1);
    const Case cases[] = {
        {"cut 3000", cut},
        {"oversized header", CFakeGameServer::HeaderBytes(PK_LOGIN_RESULT, 3000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        login.Accept().SendAuthKey(1).ExpectLogin(nullptr).Send(1999, {1, 2, 3, 4}).SendRaw(c.bytes).Close();
        CLoginScreen* screen = nullptr;
        ASSERT_TRUE(RunUntil([&] { return (screen = CurrentAs<CLoginScreen>()) && screen->Shown(); }));
        screen->Window()->IdEdit()->SetText("player");
        screen->Window()->PasswordEdit()->SetText("secret");
        screen->Window()->TryLogin();
        ASSERT_TRUE(RunUntil([&] { return screen->Phase() == CScreen::kPhaseErrorPopup; }));
        EXPECT_EQ(ErrorReport().GetCode(), 28u) << ErrorReport().Text();
        EXPECT_FALSE(app->Net().IsConnected());
        ASSERT_TRUE(login.WaitIdle());
        input->SetKey(DIK_ESCAPE, true);
        Frames(1);
        input->SetKey(DIK_ESCAPE, false);
        Frames(2);
        EXPECT_EQ(screen->Phase(), CLoginScreen::PHASE_INTERACTIVE);
    }
}

}  // namespace

namespace {

class NicknameFlow : public LobbyFixture {
protected:
    // Logs in through the scripted login and game servers; the game server
    // has answered the first 2002 with the list when this returns.
    CNicknameScreen* Reach(const std::vector<FakeNickname>& slots) {
        login.Accept()
            .SendAuthKey(1)
            .ExpectLogin(nullptr)
            .SendResult(PK_LOGIN_RESULT, 1, 0, 8)
            .SendAuthKey(2)
            .ExpectEnterServer(nullptr)
            .Send(PK_ACCOUNT_INFO, AccountInfoPayload("127.0.0.1"));
        game.Accept()
            .SendAuthKey(3)
            .ExpectEnterServer(nullptr)
            .SendResult(PK_ENTER_SERVER_RESULT, 1, 0, 2)
            .Expect(PK_NICKNAME_LIST_REQUEST)
            .Send(PK_NICKNAME_LIST, NicknameListPayload(slots));
        CLoginScreen* screen = nullptr;
        EXPECT_TRUE(RunUntil([&] { return (screen = CurrentAs<CLoginScreen>()) && screen->Shown(); }));
        if (!screen) return nullptr;
        screen->Window()->IdEdit()->SetText("player");
        screen->Window()->PasswordEdit()->SetText("secret");
        screen->Window()->TryLogin();
        CNicknameScreen* nick = nullptr;
        EXPECT_TRUE(RunUntil([&] {
            nick = CurrentAs<CNicknameScreen>();
            return nick && nick->Phase() == CNicknameScreen::PHASE_CHOOSING && game.WaitIdle(0) &&
                   nick->SelectWindow()->Selected() >= 0;
        }));
        return nick;
    }
};

TEST_F(NicknameFlow, CreateRefusesBadNamesLocallyAndRelistsAfterTheServerAnswers) {
    CNicknameScreen* nick = Reach({{"hero1"}});
    ASSERT_NE(nick, nullptr);
    nick->SelectWindow()->RaiseRequest(CSelectNicknameWindow::REQUEST_MAKE);
    Frames(2);
    ASSERT_EQ(nick->Phase(), CNicknameScreen::PHASE_CREATING);
    for (const char* bad : {"abc", "ab-cd"}) {
        SCOPED_TRACE(bad);
        nick->CreateWindow()->Edit()->SetText(bad);
        Tap(DIK_RETURN);
        EXPECT_EQ(app->MessageBox().Text(), GetMessageText(MSG_NICKNAME_MIN_NICK));
        app->MessageBox().HideBox();
        Frames(1);
    }
    std::vector<uint8_t> created;
    game.Expect(PK_NICKNAME_CREATE, [&](const FakePacket& p) { created = p.payload; })
        .Send(3003, {1, 0})
        .Expect(PK_NICKNAME_LIST_REQUEST)
        .Send(PK_NICKNAME_LIST, NicknameListPayload({{"hero1"}, {"hero2"}}));
    app->Ui().SetFocus(nick->CreateWindow()->Edit());
    nick->CreateWindow()->Edit()->SetText("hero2");
    Tap(DIK_RETURN);
    ASSERT_TRUE(RunUntil([&] { return nick->SelectWindow()->HasNickname(1); }));
    ASSERT_TRUE(game.WaitIdle());
    for (const std::string& f : game.Failures()) ADD_FAILURE() << f;
    ASSERT_EQ(created.size(), 70u);
    EXPECT_STREQ(reinterpret_cast<const char*>(created.data()), "player");
    EXPECT_STREQ(reinterpret_cast<const char*>(created.data() + 51), "hero2");
    EXPECT_EQ(nick->Phase(), CNicknameScreen::PHASE_CHOOSING);

    // Delete after the question; a refusal with code 8 lists again.
    game.Expect(2004).Send(3004, {0, 8}).Expect(PK_NICKNAME_LIST_REQUEST).Send(PK_NICKNAME_LIST,
                                                                             NicknameListPayload({{"hero1"}}));
    nick->SelectWindow()->RaiseRequest(CSelectNicknameWindow::REQUEST_DELETE);
    Frames(2);
    ASSERT_EQ(nick->Phase(), CNicknameScreen::PHASE_DELETE_QUESTION);
    app->MessageBox().SetResult(1);
    ASSERT_TRUE(RunUntil([&] { return !nick->SelectWindow()->HasNickname(1); }));
    ASSERT_TRUE(game.WaitIdle());
    for (const std::string& f : game.Failures()) ADD_FAILURE() << f;

    // Escape goes back to a new login screen.
    app->MessageBox().HideBox();
    Frames(1);
    Tap(DIK_ESCAPE);
    ASSERT_TRUE(RunUntil([&] { return CurrentAs<CLoginScreen>() != nullptr; }));
}

}  // namespace

namespace {

class ReplayList : public LobbyFixture {};

TEST_F(ReplayList, ListsReplayFilesInFolderOrderAndRefusesABrokenOne) {
    CLoginScreen* screen = nullptr;
    ASSERT_TRUE(RunUntil([&] { return (screen = CurrentAs<CLoginScreen>()) && screen->Shown(); }));
    const std::string folder = app->ReplayFolder();
    ASSERT_FALSE(folder.empty());
    for (const char* name : {"b.SRD", "a.srd", ".SRD", "notes.txt", "c.srd.bak"})
        ASSERT_TRUE(platform::WriteWholeFile(folder + "\\" + name, "not a replay", 12));
    CReplayListWindow& window = *screen->ReplayWindow();
    ScanReplayFiles(window, folder);
    ASSERT_EQ(window.List()->ItemCount(), 2u);
    EXPECT_STREQ(window.List()->GetItemText(0), "a.srd");
    EXPECT_STREQ(window.List()->GetItemText(1), "b.SRD");
    EXPECT_EQ(window.GetSelectedName(), nullptr);
    window.List()->SetSelected(0);
    EXPECT_EQ(screen->StartReplay(true), 0);
    EXPECT_EQ(app->MessageBox().Text(), GetMessageText(MSG_REPLAY_WRONG_FILE_VERSION));
    app->MessageBox().HideBox();

    // A sound replay of a map that no list holds, recorded by the application's manager.
    ASSERT_NE(g_pGameCommandManager, nullptr);
    CGameCommandManager& recorder = *g_pGameCommandManager;
    static const float clock = 0.0f;  // the manager keeps its address
    recorder.BeginSession(0, &clock, 1, 0, {});
    const uint8_t block[16] = {};
    ASSERT_EQ(recorder.WriteReplay((folder + "\\a.srd").c_str(), "MAP\\NOWHERE.DRM", 0, block, {}), 1);
    EXPECT_EQ(screen->StartReplay(true), 0);
    EXPECT_EQ(app->MessageBox().Text(), GetMessageText(MSG_REPLAY_NOT_FOUND_MAP));
}

int s_loadingScreensMade = 0;
CScreen* MakeLoadingStandIn() {
    ++s_loadingScreensMade;
    return new CScriptedScreen("Loading", nullptr, {});
}

// A replay of the sample map whose data check fails asks; a damaged one is
// refused even without the check; OK on the question plays the sound one.
TEST_F(ReplayList, RefusedDataAsksAndOKPlaysWithoutTheCheck) {
    CLoginScreen* screen = nullptr;
    ASSERT_TRUE(RunUntil([&] { return (screen = CurrentAs<CLoginScreen>()) && screen->Shown(); }));
    s_loadingScreensMade = 0;
    SetLoadingScreenMaker(&MakeLoadingStandIn);
    const std::string folder = app->ReplayFolder();
    ASSERT_NE(g_pGameCommandManager, nullptr);
    CGameCommandManager& recorder = *g_pGameCommandManager;
    static const float clock = 0.0f;  // the manager keeps its address
    recorder.BeginSession(0, &clock, 1, 0, {});
    const uint8_t otherBlock[16] = {1, 2, 3};
    const std::string sound = folder + "\\a.srd", damaged = folder + "\\b.srd";
    ASSERT_EQ(recorder.WriteReplay(sound.c_str(), kSampleMap, 12345, otherBlock, {}), 1);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::ReadWholeFile(sound, bytes));
    ASSERT_GT(bytes.size(), 40u);
    ASSERT_TRUE(platform::WriteWholeFile(damaged, bytes.data(), bytes.size() - 3));

    auto* replayButton = dynamic_cast<CUiButton*>(screen->Window()->FindChild(NameHash("ID_BUTTON_REPLAY")));
    ASSERT_NE(replayButton, nullptr);
    screen->Window()->OnLButtonClick(replayButton);
    Frames(1);
    ASSERT_EQ(screen->Phase(), CLoginScreen::PHASE_REPLAYS);
    CReplayListWindow& window = *screen->ReplayWindow();
    ASSERT_EQ(window.List()->ItemCount(), 2u);

    window.List()->SetSelected(1);
    EXPECT_EQ(screen->StartReplay(false), 0) << "a cut replay never plays";
    EXPECT_EQ(app->MessageBox().Text(), GetMessageText(MSG_REPLAY_WRONG_DATA));
    app->MessageBox().HideBox();

    window.List()->SetSelected(0);
    EXPECT_EQ(screen->StartReplay(true), 0);
    EXPECT_EQ(app->MessageBox().Text(), GetMessageText(MSG_REPLAY_WRONG_DATA));
    EXPECT_EQ(app->MessageBox().Mode(), 2);
    EXPECT_EQ(s_loadingScreensMade, 0);
    app->MessageBox().SetResult(1);
    ASSERT_TRUE(RunUntil([&] { return s_loadingScreensMade == 1; }));
    EXPECT_EQ(Session().mapFile, kSampleMap);
    SetLoadingScreenMaker(nullptr);
}

}  // namespace

namespace {

// The client against QORTestServer's script on free ports.
class LocalServerFlow : public LoginFlow {
protected:
    void SetUp() override {
        LoginFlow::SetUp();
        ASSERT_TRUE(server.Listening()) << server.Error();
        PointClientAt(server.LoginPort(), server.GamePort(), server.ChannelPort());
    }
    // Logs in and waits for the nickname list on the select window.
    CNicknameScreen* LogIn(const char* id, const char* password) {
        CLoginScreen* screen = ShowLogin(id, password);
        if (!screen) return nullptr;
        Tap(DIK_RETURN);
        CNicknameScreen* nick = nullptr;
        EXPECT_TRUE(RunUntil([&] {
            nick = CurrentAs<CNicknameScreen>();
            return nick && nick->Phase() == CNicknameScreen::PHASE_CHOOSING;
        })) << ErrorReport().Text();
        return nick;
    }
    CLocalTestServer server{0, 0, 0};
};

TEST_F(LocalServerFlow, AnyLoginReachesTheLobbyAndKeepsTheNicknamesItCreated) {
    CNicknameScreen* nick = LogIn("newcomer", "anything");
    ASSERT_NE(nick, nullptr);
    EXPECT_EQ(nick->SelectWindow()->Selected(), -1);  // a first login has no nickname yet
    nick->SelectWindow()->RaiseRequest(CSelectNicknameWindow::REQUEST_MAKE);
    Frames(2);
    ASSERT_EQ(nick->Phase(), CNicknameScreen::PHASE_CREATING);
    app->Ui().SetFocus(nick->CreateWindow()->Edit());
    // "용사하나" in the game's code page, as the input method commits it.
    const std::string korean = "\xBF\xEB\xBB\xE7\xC7\xCF\xB3\xAA";
    nick->CreateWindow()->Edit()->SetText(korean.c_str());
    Tap(DIK_RETURN);
    ASSERT_TRUE(RunUntil([&] { return nick->SelectWindow()->HasNickname(0); })) << ErrorReport().Text();
    EXPECT_EQ(server.Nicknames("newcomer")[0], korean);

    // Back to a new login screen; the same id lists the nickname again.
    Tap(DIK_ESCAPE);
    ASSERT_TRUE(RunUntil([&] { return CurrentAs<CLoginScreen>() != nullptr; }));
    nick = LogIn("newcomer", "other");
    ASSERT_NE(nick, nullptr);
    ASSERT_TRUE(RunUntil([&] { return nick->SelectWindow()->HasNickname(0); }));
    EXPECT_EQ(nick->SelectWindow()->NickStatic(0)->GetText(), korean);

    // Enter takes the nickname to the channel list, which the server sends by itself.
    Tap(DIK_RETURN);
    CChannelScreen* channels = nullptr;
    ASSERT_TRUE(RunUntil([&] {
        channels = CurrentAs<CChannelScreen>();
        return channels && channels->ListReceived() && channels->Phase() == CChannelScreen::PHASE_CHOOSING;
    }, 6000)) << ErrorReport().Text();
    Tap(DIK_DOWN);
    EXPECT_EQ(channels->Window()->Selected(), 1);
    Tap(DIK_RETURN);
    ASSERT_TRUE(RunUntil([&] { return s_lobbiesMade == 1; })) << ErrorReport().Text();
    EXPECT_EQ(Session().nickname, korean);
}

TEST_F(LocalServerFlow, ATakenPortIsNamed) {
    CLocalTestServer second(server.LoginPort(), 0, 0);
    EXPECT_FALSE(second.Listening());
    EXPECT_NE(second.Error().find("127.0.0.1:" + std::to_string(server.LoginPort())), std::string::npos)
        << second.Error();
}

}  // namespace
