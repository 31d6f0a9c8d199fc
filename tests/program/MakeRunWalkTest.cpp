// `make run` walked by a player: the run script writes the sample game folder,
// starts the local test server on its fixed ports and the client in it; the
// test only clicks and types through the X server (xdotool), logs in, makes a
// nickname, enters a channel and its lobby, starts a practice match, plays
// into it and opens its game menu. Screens are told apart by pixels of
// the window, the servers' stages by the client's connections; the client's
// own PrintScreen shot of every screen is kept in the output folder.
//
// The fixed ports need a network of the test's own: ctest runs this program
// through own-network, which gives it an empty network namespace and an X
// server.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/fixtures/TempFolder.h"
#include "tests/program/ProgramRun.h"
#include "tests/program/XProbe.h"
#include "tests/program/XdoInput.h"
#include "tools/LobbyLayouts.h"
#include "tools/LoginLayouts.h"
#include "tools/MenuLayouts.h"
#include "tools/RoomLayouts.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr uint16_t kGamePort = 10001, kChannelPort = 10003;

struct Point {
    int x = 0, y = 0;
};

// The centre of a control of a sample layout, as the screen places it.
Point Centre(const LayoutFileSpec& layout, const std::string& name) {
    for (const LayoutRecordSpec& c : layout.children)
        if (c.name == name)
            return {static_cast<int>(layout.window.rect[0] + c.rect[0] + c.rect[2] / 2),
                    static_cast<int>(layout.window.rect[1] + c.rect[1] + c.rect[3] / 2)};
    ADD_FAILURE() << "no control " << name << " in " << layout.window.name;
    return {};
}

// A pixel a screen shows and the screens before it do not. Buttons are no
// probes: their colour follows the cursor.
struct Probe {
    Point at;
    uint32_t rgb;
};

// True while the client holds an open connection to the local server's port.
bool Connected(uint16_t serverPort) {
    std::ifstream tcp("/proc/net/tcp");
    std::string line;
    std::getline(tcp, line);
    while (std::getline(tcp, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        const size_t colon = remote.find(':');
        if (state == "01" && colon != std::string::npos &&
            std::stoul(remote.substr(colon + 1), nullptr, 16) == serverPort)
            return true;
    }
    return false;
}

// The lobby: the first room bar's orange and the player list's dark blue.
const std::vector<Probe> kLobby = {{{25, 65}, 0xE6991A}, {{840, 340}, 0x1A334D}, {{512, 384}, 0xFFFFFF}};

// The message box's buttons while the pointer is elsewhere.
constexpr uint32_t kBoxButton = 0x4D80E6;
// The message box's background, in the middle of the screen.
constexpr uint32_t kBoxMiddle = 0x1A1A40;

class MakeRunWalk : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(kOutput);
        fs::create_directories(kOutput);
        fs::create_directories(runtime);
        fs::create_directories(documents);
        fs::permissions(runtime, fs::perms::owner_all);
        ASSERT_TRUE(x.Connected()) << "no X display";
    }

    void TearDown() override {
        if (run > 0) {
            // The client and the server end on SIGTERM as on their close boxes; the
            // script waiting for them ends by the same signal.
            kill(-run, SIGTERM);
            const int status = WaitForProgram(run, std::chrono::seconds(60), true);
            EXPECT_TRUE(status == 0 || status == 128 + SIGTERM) << status << "\n" << Log();
        }
        const std::string log = Log();
        EXPECT_EQ(log.find("ERROR: AddressSanitizer"), std::string::npos) << log;
        EXPECT_EQ(log.find("runtime error"), std::string::npos) << log;
        std::ofstream(kOutput + "/run.log") << log;
    }

    std::string Log() const { return ReadFileText(folder.Path("run.log")); }

    // Polls (bounded) until every probe shows; false after a shot of what did show.
    bool WaitForScreen(const std::string& name, const std::vector<Probe>& probes) {
        const auto end = Clock::now() + std::chrono::seconds(30);
        while (Clock::now() < end) {
            bool all = true;
            for (const Probe& p : probes) all = all && x.Pixel(window, p.at.x, p.at.y) == p.rgb;
            if (all) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        std::ostringstream seen;
        for (const Probe& p : probes)
            seen << " " << p.at.x << "," << p.at.y << ": " << std::hex << x.Pixel(window, p.at.x, p.at.y) << " not "
                 << p.rgb << std::dec;
        ADD_FAILURE() << "the " << name << " screen did not show;" << seen.str();
        Shoot(name + "-failed");
        return false;
    }

    // Polls (bounded) until a colour shows in a rectangle, scanned in rows from
    // the top left; where it shows first goes to *at.
    bool WaitForColour(const std::string& name, uint32_t rgb, Point topLeft, Point bottomRight, Point* at) {
        const auto end = Clock::now() + std::chrono::seconds(30);
        while (Clock::now() < end) {
            for (int py = topLeft.y; py < bottomRight.y; py += 3)
                for (int px = topLeft.x; px < bottomRight.x; px += 3)
                    if (x.Pixel(window, px, py) == rgb) {
                        *at = {px, py};
                        return true;
                    }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ADD_FAILURE() << "the " << name << " did not show";
        Shoot(name + "-failed");
        return false;
    }

    bool WaitFor(const std::string& what, bool (*done)(uint16_t), uint16_t port) {
        const auto end = Clock::now() + std::chrono::seconds(30);
        while (Clock::now() < end) {
            if (done(port)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ADD_FAILURE() << what;
        return false;
    }

    // PrintScreen: the client writes a JPEG of the frame, kept as <name>.jpg.
    void Shoot(const std::string& name) {
        ASSERT_TRUE(input->Key("Print"));
        const auto end = Clock::now() + std::chrono::seconds(20);
        while (Clock::now() < end) {
            std::error_code error;
            for (const auto& entry : fs::directory_iterator(shots, error)) {
                fs::rename(entry.path(), kOutput + "/" + name + ".jpg", error);
                if (!error) return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ADD_FAILURE() << "no screenshot of the " << name << " screen";
    }

    void Click(const LayoutFileSpec& layout, const std::string& control) {
        const Point at = Centre(layout, control);
        ASSERT_TRUE(input->Click(at.x, at.y)) << control;
    }

    const std::string kOutput = MAKE_RUN_WALK_OUTPUT;
    TempFolder folder;
    const std::string runtime = folder.Path("runtime");
    const std::string documents = folder.Path("documents");
    const std::string shots = documents + "/QOR/SCREENSHOT";
    XProbe x;
    pid_t run = -1;
    unsigned long window = 0;
    std::unique_ptr<XdoInput> input;
};

TEST_F(MakeRunWalk, LogsInReachesTheLobbyAndPlaysAPracticeMatch) {
    ProgramStart start{"/bin/bash", {RUN_CLIENT, BUILD_FOLDER, folder.Path("game")}, folder.path(),
                       {"XDG_RUNTIME_DIR=" + runtime, "XDG_CONFIG_HOME=" + folder.Path("config"),
                        "XDG_DOCUMENTS_DIR=" + documents,
                        "LSAN_OPTIONS=suppressions=" LSAN_SYSTEM_SUPPRESSIONS},
                       folder.Path("run.log"), true};
    run = StartProgram(start);
    ASSERT_GT(run, 0);
    const auto end = Clock::now() + std::chrono::seconds(60);
    while (!window && Clock::now() < end) {
        window = x.FindWindow("-Morvane-");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_NE(window, 0u) << Log();
    input = std::make_unique<XdoInput>(window);

    // Login: after the logos, the grey login screen.
    const LayoutFileSpec login = LoginLayout();
    ASSERT_TRUE(WaitForScreen("login", {{Centre(login, "ID_STATIC_ID"), 0xFFFFFF}, {{512, 384}, 0xCCCCCC}}));
    Click(login, "ID_EDIT_ID");
    ASSERT_TRUE(input->Type("tester01"));
    ASSERT_TRUE(input->Key("Tab"));
    ASSERT_TRUE(input->Type("secret12"));
    Shoot("1-login");
    ASSERT_TRUE(input->Key("Return"));

    // The game server lists no nickname: one is made and chosen (its bar turns orange).
    ASSERT_TRUE(WaitFor("no connection to the game server", Connected, kGamePort));
    const LayoutFileSpec nicknames = SelectNicknameLayout();
    ASSERT_TRUE(WaitForScreen("nickname", {{{217, 189}, 0xD9D9D9}, {{100, 100}, 0xFFFFFF}}));
    Shoot("2-nickname");
    Click(nicknames, "ID_BUTTON_NICKMAKE");
    ASSERT_TRUE(input->Type("walker"));
    ASSERT_TRUE(input->Key("Return"));
    ASSERT_TRUE(WaitForScreen("nickname made", {{{227, 250}, 0xE6991A}}));
    ASSERT_TRUE(input->Key("Return"));

    // Channels: the first is chosen and joined.
    const LayoutFileSpec channels = SelectChannelLayout();
    ASSERT_TRUE(WaitForScreen("channel", {{Centre(channels, "ID_CHECKBUTTON_CHANNEL_1"), 0xE6991A},
                                          {{267, 139}, 0xD9D9D9}}));
    Shoot("3-channel");
    ASSERT_TRUE(input->Key("Down"));
    ASSERT_TRUE(input->Key("Return"));

    // The lobby on the channel server.
    ASSERT_TRUE(WaitFor("no connection to the channel server", Connected, kChannelPort));
    const LayoutFileSpec lobby = LobbyLayout();
    ASSERT_TRUE(WaitForScreen("lobby", kLobby));
    Shoot("4-lobby");

    // A practice room, its start, the hero select.
    Click(lobby, "ID_BUTTON_PRACTICE");
    const LayoutFileSpec room = WaitRoomLayout();
    ASSERT_TRUE(WaitForScreen("practice room", {{{512, 384}, 0x1A334D}, {{900, 100}, 0xFFFFFF}}));
    Shoot("5-practice-room");
    Click(room, "ID_BUTTON_START");
    const LayoutFileSpec heroes = HeroSelectLayout();
    ASSERT_TRUE(WaitForScreen("hero select", {{Centre(heroes, "ID_BUTTON_CHAR_0"), 0x1D5773}, {{512, 384}, 0xFFFFFF}}));
    Click(heroes, "ID_BUTTON_CHAR_0");
    Shoot("6-hero-select");
    Click(heroes, "ID_BUTTON_OK");

    // Loading until its gauge is full, then Space starts the match.
    ASSERT_TRUE(WaitForScreen("loading", {{{512, 384}, 0x2060C0}, {{700, 738}, 0x1ACC1A}}));
    Shoot("7-loading");
    ASSERT_TRUE(input->Key("space"));
    ASSERT_TRUE(WaitForScreen("match", {{{5, 700}, 0xD9D9D9}}));
    Shoot("8-match");

    // F10 opens the game menu (its deep blue) over the match.
    ASSERT_TRUE(input->Key("F10"));
    ASSERT_TRUE(WaitForScreen("game menu", {{{360, 190}, 0x1A2699}}));
    Shoot("9-game-menu");

    // Quit asks first, in the message box in the middle; its OK, the box's
    // left button, leaves the match for the practice room, and the room's
    // Quit for the lobby.
    Click(GameMenuLayout(), "ID_BUTTON_QUIT");
    Point ok;
    ASSERT_TRUE(WaitForColour("quit question", kBoxButton, {400, 330}, {624, 440}, &ok));
    Shoot("10-quit-question");
    // A loaded machine can draw the match slower than a press is held: the
    // click is made again while the box still shows its dark middle.
    for (int attempt = 0; attempt < 3 && x.Pixel(window, 512, 384) == kBoxMiddle; ++attempt) {
        ASSERT_TRUE(input->Click(ok.x + 6, ok.y + 6));
        const auto until = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < until && x.Pixel(window, 512, 384) == kBoxMiddle)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(WaitForScreen("practice room after the match", {{{512, 384}, 0x1A334D}, {{900, 100}, 0xFFFFFF}}));
    Shoot("11-practice-room-again");
    Click(room, "ID_BUTTON_QUIT");
    ASSERT_TRUE(WaitForScreen("lobby after the room", kLobby));
    Shoot("12-lobby-again");
}

}  // namespace
