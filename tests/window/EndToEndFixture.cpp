#include "tests/window/EndToEndFixture.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <typeinfo>
#include <vector>

#include "engine/core/ErrorReport.h"
#include "engine/core/NameHash.h"
#include "engine/render/RenderStateCache.h"
#include "net/MessageIds.h"
#include "platform/Input.h"
#include "screens/lobby/ChannelScreen.h"
#include "screens/lobby/ChannelWindow.h"
#include "screens/lobby/LoginWindow.h"
#include "screens/lobby/NicknameScreen.h"
#include "screens/lobby/SelectNicknameWindow.h"
#include "platform/JpegWriter.h"
#include "screens/game/LoadingScreen.h"
#include "screens/lobby/LobbyScreen.h"
#include "screens/lobby/LogoScreen.h"
#include "screens/lobby/MarketScreen.h"
#include "screens/lobby/MyInfoScreen.h"
#include "screens/lobby/WaitRoomScreen.h"
#include "tests/fixtures/HeadlessGl.h"
#include "tests/screens/lobby/LobbyFlow.h"
#include "tests/window/RealWindowFixture.h"
#include "tools/SampleGameData.h"
#include "ui/UiEditBox.h"
#include "ui/UiManager.h"
#include "ui/UiWindow.h"
#include "world/GameDataRegistry.h"

namespace {

// The logos' data job runs on the loader thread in real time while frames
// go on: on a loaded machine it takes many frames.
constexpr int kLogoFrames = 30000;

bool Shown(const CUiObject& o) { return !o.HasFlags(UI_HIDDEN); }

CUiObject* FindNamed(CUiObject& parent, uint32_t hash, bool shownOnly) {
    for (CUiObject* child : parent.Children()) {
        if (shownOnly && !Shown(*child)) continue;
        if (child->NameHashValue() == hash) return child;
        if (CUiObject* found = FindNamed(*child, hash, shownOnly)) return found;
    }
    return nullptr;
}

// The length of the UTF-8 sequence a lead byte starts (a stray byte is one).
size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

// Hangul syllables (U+AC00-U+D7A3) are what the input method composes.
bool IsHangulSyllable(const std::string& c) {
    if (c.size() != 3) return false;
    const uint32_t code = (static_cast<unsigned char>(c[0]) & 0x0Fu) << 12 |
                          (static_cast<unsigned char>(c[1]) & 0x3Fu) << 6 | (static_cast<unsigned char>(c[2]) & 0x3Fu);
    return code >= 0xAC00 && code <= 0xD7A3;
}

void WriteFile(const std::string& path, const void* data, size_t size) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}

}  // namespace

EndToEndFixture::EndToEndFixture() {
    KeepVideoOpen();
    realWindow = true;
    // Taken before the client moves into its game folder.
    const char* root = std::getenv("QOR_TEST_OUTPUT");
    std::error_code ignored;
    m_outputRoot = root && *root ? std::filesystem::path(root) : std::filesystem::current_path(ignored) / "test-output";
}

uint32_t EndToEndFixture::SteppedNow() { return s_clock.fetch_add(kFrameMs) + kFrameMs; }

void EndToEndFixture::SetUp() {
    // The logo screen loads the game data and the play resources itself: the
    // lobby fixture's own loading is left out.
    AppFixture::SetUp();
    const SampleProtocolTables t = MakeSampleProtocolTables();
    ASSERT_EQ(tables.Set(t.permutation, t.experience), 1);
    for (CFakeGameServer* server : {&login, &game, &channel}) server->SetExpectTimeout(10000);
    SetLoginScreenMaker(&NewLoginScreen);
    SetLobbyScreenMaker(&NewLobbyScreen);
    SetWaitRoomScreenMaker(&NewWaitRoomScreen);
    SetLoadingScreenMaker(&NewLoadingScreen);
    SetMarketScreenMaker(&NewMarketScreen);
    SetMyInfoScreenMaker(&NewMyInfoScreen);
    SetLoginServerHostOverride("127.0.0.1");
    PointClientAt(login.Port(), game.Port(), channel.Port());
    // The servers' threads read the clock too: its steps are atomic.
    platform::SetClockSource(&EndToEndFixture::SteppedNow);
    scenario.SetClock(&EndToEndFixture::SteppedNow);
    MakeApp();
    if (startWithLogos) {
        app->SetFirstScreenMaker([] { return new CLogoScreen(); });
        ASSERT_EQ(app->CreateApp(), 1) << ErrorReport().Text();
        return;
    }
    app->SetFirstScreenMaker([] { return new CLoginScreen(); });
    ASSERT_EQ(app->CreateApp(), 1) << ErrorReport().Text();
    ASSERT_EQ(g_pGameDataRegistry->LoadDataBlock(kSampleDataBlock), 1) << ErrorReport().Text();
    ASSERT_EQ(g_pPlayResources->Load(), 1) << ErrorReport().Text();
}

void EndToEndFixture::TearDown() {
    if (HasFailure() && app) {
        const std::string folder = OutputFolder();
        WriteArtefacts(folder);
        std::printf("failure artefacts in %s\n", folder.c_str());
    }
    app.reset();
    SetWaitRoomScreenMaker(nullptr);
    SetLoadingScreenMaker(nullptr);
    SetMarketScreenMaker(nullptr);
    SetMyInfoScreenMaker(nullptr);
    SetLoginScreenMaker(nullptr);
    LobbyFixture::TearDown();
}

bool EndToEndFixture::Until(const char* step, const std::function<bool()>& done, int frames) {
    if (RunUntil(done, frames)) return true;
    ADD_FAILURE() << step << " (on " << ScreenName() << ")\nerror report: " << ErrorReport().Text()
                  << "\nmessage box: " << app->MessageBox().Text();
    return false;
}

void EndToEndFixture::StartUp() {
    if (startWithLogos) {
        ASSERT_TRUE(Until(
            "the logos show",
            [&] {
                auto* logo = CurrentAs<CLogoScreen>();
                return logo && logo->Phase() == CLogoScreen::PHASE_SHOWING;
            },
            kLogoFrames));
    }
    CLoginScreen* screen = nullptr;
    ASSERT_TRUE(Until(
        "the login screen follows the logos", [&] { return (screen = CurrentAs<CLoginScreen>()) && screen->Shown(); },
        kLogoFrames));
    ASSERT_TRUE(FindControl("ID_EDIT_ID") && FindControl("ID_EDIT_PASS") && FindControl("ID_BUTTON_LOGIN"))
        << "the login window is not shown";
    EXPECT_EQ(app->Ui().Focus(), screen->Window()->IdEdit());
}

void EndToEndFixture::LogIn(const std::string& id, const std::string& password,
                            const std::vector<FakeNickname>& nicknames) {
    scenario.Login(nicknames);
    auto* screen = CurrentAs<CLoginScreen>();
    ASSERT_NE(screen, nullptr) << ScreenName();
    ASSERT_NO_FATAL_FAILURE(TypeText(id));
    Tap(platform::DIK_TAB);
    ASSERT_EQ(app->Ui().Focus(), screen->Window()->PasswordEdit());
    ASSERT_NO_FATAL_FAILURE(TypeText(password));
    Tap(platform::DIK_RETURN);
    CNicknameScreen* nick = nullptr;
    ASSERT_TRUE(Until("the nickname screen lists the nicknames", [&] {
        nick = CurrentAs<CNicknameScreen>();
        return nick && nick->Phase() == CNicknameScreen::PHASE_CHOOSING;
    }));
    ASSERT_TRUE(scenario.WaitIdle());
    NoServerFailures();
    // The login server opens what was typed; the entries carry no password and no return flag.
    EXPECT_EQ(std::string(scenario.loginRecord.userId), id);
    EXPECT_EQ(std::string(scenario.loginRecord.password), password);
    EXPECT_EQ(std::string(scenario.loginEnterRecord.userId), id);
    EXPECT_STREQ(scenario.loginEnterRecord.password, "");
    EXPECT_EQ(scenario.loginReentry, 0);
    EXPECT_EQ(std::string(scenario.gameRecord.userId), id);
    EXPECT_STREQ(scenario.gameRecord.password, "");
    EXPECT_EQ(scenario.gameReentry, 0);
    EXPECT_EQ(Session().accountId, id);
}

CLobbyScreen* EndToEndFixture::JoinFirstChannel(const std::string& nickname) {
    auto* nick = CurrentAs<CNicknameScreen>();
    EXPECT_NE(nick, nullptr) << ScreenName();
    if (!nick) return nullptr;
    Tap(platform::DIK_RETURN);
    CChannelScreen* channels = nullptr;
    if (!Until("the channel screen follows the nickname",
               [&] { return (channels = CurrentAs<CChannelScreen>()) != nullptr; }))
        return nullptr;
    EXPECT_EQ(Session().nickname, nickname);
    // The server pushes its list once the channel screen is up.
    scenario.PushChannels();
    if (!Until("the channel list is shown",
               [&] { return channels->ListReceived() && channels->Phase() == CChannelScreen::PHASE_CHOOSING; }))
        return nullptr;
    Tap(platform::DIK_DOWN);
    EXPECT_EQ(channels->Window()->Selected(), 1);
    Tap(platform::DIK_UP);
    EXPECT_EQ(channels->Window()->Selected(), 0);
    LobbyPlayerSpec player;
    player.nickname = nickname;
    scenario.EnterLobby(player, {Room(4, "Beginners")});
    Tap(platform::DIK_RETURN);
    CLobbyScreen* lobby = nullptr;
    if (!Until("the lobby takes input", [&] {
            lobby = CurrentAs<CLobbyScreen>();
            return lobby && lobby->Phase() == CLobbyScreen::PHASE_LOBBY && !lobby->Busy();
        }))
        return nullptr;
    EXPECT_TRUE(scenario.WaitIdle());
    NoServerFailures();
    EXPECT_EQ(std::string(scenario.channelRecord.userId), Session().accountId);
    EXPECT_EQ(scenario.channelReentry, 0);
    EXPECT_EQ(Session().channelAddress, "127.0.0.1");
    return lobby;
}

void EndToEndFixture::WriteArtefacts(const std::string& folder) {
    if (platform::CGfxDevice* device = GetDevice()) {
        std::vector<uint8_t> jpeg;
        if (platform::EncodeJpeg(ReadBackBuffer(*device), app->BackBufferWidth(), app->BackBufferHeight(), 90, &jpeg))
            WriteFile(folder + "/screen.jpg", jpeg.data(), jpeg.size());
    }
    const std::string log =
        "screen " + ScreenName() + "\nerror report: " + ErrorReport().Text() + "\n" + scenario.PacketLog();
    WriteFile(folder + "/packets.txt", log.data(), log.size());
}

CUiObject* EndToEndFixture::FindControl(const char* name, CUiWindow* window, bool shownOnly) {
    const uint32_t hash = NameHash(name);
    if (window) return Shown(*window) || !shownOnly ? FindNamed(*window, hash, shownOnly) : nullptr;
    CUiManager& ui = app->Ui();
    for (const std::vector<CUiWindow*>* layer : {&ui.UpperLayer(), &ui.LowerLayer()})
        for (auto it = layer->rbegin(); it != layer->rend(); ++it)
            if (Shown(**it) || !shownOnly)
                if (CUiObject* found = FindNamed(**it, hash, shownOnly)) return found;
    return nullptr;
}

bool EndToEndFixture::ClickControl(const char* name, CUiWindow* window) {
    CUiObject* control = FindControl(name, window);
    if (!control) return false;
    const UiPoint at = control->GetAbsolutePos();
    input->SetCursor(static_cast<int32_t>(at.x + control->Size().x / 2),
                     static_cast<int32_t>(at.y + control->Size().y / 2));
    Frames(1);
    input->SetButton(0, true);
    Frames(1);
    input->SetButton(0, false);
    Frames(2);
    return true;
}

void EndToEndFixture::TypeText(const std::string& utf8) {
    ASSERT_NE(ime, nullptr);
    for (size_t at = 0; at < utf8.size();) {
        const std::string c = utf8.substr(at, SequenceLength(static_cast<unsigned char>(utf8[at])));
        at += c.size();
        if (IsHangulSyllable(c)) {
            ime->Compose(c);
            Frames(1);
        }
        ime->Commit(c);
        Frames(1);
    }
    Frames(1);
}

std::vector<uint32_t> EndToEndFixture::LastFrame() {
    platform::CGfxDevice* device = GetDevice();
    return device ? ReadBackBuffer(*device) : std::vector<uint32_t>();
}

int EndToEndFixture::ModelPixels(CUiObject& control) {
    const std::vector<uint32_t> now = LastFrame();
    const int width = static_cast<int>(app->BackBufferWidth());
    const int height = static_cast<int>(app->BackBufferHeight());
    if (now.size() != static_cast<size_t>(width) * height) return 0;
    const UiPoint at = control.GetAbsolutePos();
    const int left = std::max(0, static_cast<int>(at.x)), top = std::max(0, static_cast<int>(at.y));
    const int right = std::min(width, static_cast<int>(at.x + control.Size().x));
    const int bottom = std::min(height, static_cast<int>(at.y + control.Size().y));
    int green = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            // The sample hero is green; the preview's backdrop is dark blue.
            const uint32_t p = now[static_cast<size_t>(y) * width + x];
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            green += g > 0x60 && g > r + 0x30 && g > b + 0x30;
        }
    return green;
}

void EndToEndFixture::ExpectHeroPreview() {
    CUiObject* detail = FindControl("ID_STATIC_DETAIL", nullptr, false);
    ASSERT_NE(detail, nullptr);
    // The preview's camera glides in from afar before the model fills the picture.
    EXPECT_TRUE(Until("the hero's model drawn inside ID_STATIC_DETAIL", [&] { return ModelPixels(*detail) > 200; }, 600));
}

std::string EndToEndFixture::ScreenName() {
    CScreen* screen = app ? Current() : nullptr;
    if (!screen) return "none";
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(typeid(*screen).name(), nullptr, nullptr, &status),
                                                std::free);
    return status == 0 && name ? name.get() : typeid(*screen).name();
}

void EndToEndFixture::NoServerFailures() {
    for (const std::string& f : scenario.Failures()) ADD_FAILURE() << f;
}

std::string EndToEndFixture::OutputFolder() const {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path folder = m_outputRoot / (std::string(info->test_suite_name()) + "." + info->name());
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder.string();
}
