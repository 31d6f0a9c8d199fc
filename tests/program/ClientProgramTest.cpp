// The whole client program as a player starts it: the sample game folder made
// by its maker, "QOR.run go" started in it under the test's own X server, its
// window found and looked at, then ended by the window's close button (a real
// close request of the X server, as a window manager sends it) or by SIGTERM.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/File.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/program/ProgramRun.h"
#include "tests/program/XProbe.h"
#include "tools/SampleReplay.h"

namespace {

using Clock = std::chrono::steady_clock;

// The login window's grey at the screen's centre, shown after the two logos.
constexpr uint32_t kFirstScreenRgb = 0xCCCCCC;

pid_t Start(const std::string& program, const std::vector<std::string>& args, const std::string& folder,
            const std::vector<std::string>& env, const std::string& errors = std::string()) {
    return StartProgram({program, args, folder, env, errors});
}

int WaitFor(pid_t child, std::chrono::seconds bound) { return WaitForProgram(child, bound); }

class ClientProgram : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        ASSERT_EQ(WaitFor(Start(MAKE_GAME_FOLDER, {game}, folder.path(), {}), std::chrono::seconds(60)), 0);
        // The program, unlike the tests' folder maker, records the sample replay.
        ASSERT_TRUE(std::filesystem::is_regular_file(folder.Path("game/") + kSampleReplay));
        ASSERT_TRUE(platform::CreateFolders(runtime));
        ASSERT_EQ(chmod(runtime.c_str(), 0700), 0);
        ASSERT_TRUE(x.Connected()) << "no X display";
    }

    TempFolder folder;
    const std::string game = folder.Path("game");
    const std::string runtime = folder.Path("runtime");
    const std::string config = folder.Path("config");
    XProbe x;
};

TEST_P(ClientProgram, ShowsTheFirstScreenAndEndsCleanly) {
    const bool bySignal = GetParam();
    // The machine's own sound output (none in CI): nothing of the sound
    // libraries may show on standard error, and nothing may leak.
    const std::string errors = folder.Path("stderr.txt");
    const pid_t client = Start(QOR_PROGRAM, {"go"}, game,
                               {"XDG_RUNTIME_DIR=" + runtime, "XDG_CONFIG_HOME=" + config,
                                "XDG_DOCUMENTS_DIR=" + folder.Path("documents"),
                                "LSAN_OPTIONS=suppressions=" LSAN_SYSTEM_SUPPRESSIONS},
                               errors);
    ASSERT_GT(client, 0);

    // The window, the logos, then the login screen in it: the screenshot before the close.
    unsigned long window = 0;
    uint32_t pixel = ~0u;
    const auto end = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < end && pixel != kFirstScreenRgb) {
        if (!window) window = x.FindWindow("-Morvane-");
        if (window) pixel = x.CentrePixel(window);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_NE(window, 0u) << "no window";
    EXPECT_EQ(pixel, kFirstScreenRgb) << std::hex << pixel;

    if (bySignal)
        kill(client, SIGTERM);
    else
        x.SendCloseRequest(window);
    EXPECT_EQ(WaitFor(client, std::chrono::seconds(60)), 0);
    // A normal end saves the options.
    EXPECT_TRUE(platform::FileExists(config + "/qor/registry.txt"));
    std::ifstream in(errors);
    std::string line;
    while (std::getline(in, line)) {
        EXPECT_EQ(line.find("ALSA lib"), std::string::npos) << line;
        EXPECT_EQ(line.find("AL lib"), std::string::npos) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(ClosedOrTerminated, ClientProgram, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Sigterm" : "WindowClose";
                         });

}  // namespace
