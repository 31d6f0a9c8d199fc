// The real patcher program as a player starts it: "QORPatch.run QOR" in the
// game folder opens its window, patches from nginx, and a real click on Start
// starts the client with "go".
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/Registry.h"
#include "tests/fixtures/ScopedEnv.h"
#include "tests/fixtures/TempFolder.h"
#include "tests/patcher/PatchTestSupport.h"
#include "tests/servers/LocalHttpServer.h"

namespace {

// Runs xdotool to its end; its standard output.
std::string Xdo(const std::vector<std::string>& args, const std::string& logPath) {
    ::unlink(logPath.c_str());
    int pid = StartChild("/usr/bin/xdotool", args, "/", logPath);
    if (pid <= 0 || WaitChild(pid, 20000) != 0) return {};
    return ReadFileText(logPath);
}

}  // namespace

TEST(PatchProgramWindowTest, PatchesInItsWindowAndStartStartsTheClient) {
    TempFolder tmp;
    ScopedEnv config("XDG_CONFIG_HOME", tmp.Path("config").c_str());
    ScopedEnv runtime("XDG_RUNTIME_DIR", tmp.path().c_str());
    CPatchSite site(tmp.path());
    CLocalHttpServer http(site.www, site.work);
    ASSERT_TRUE(http.Start());
    ASSERT_TRUE(site.MakeVersions("127.0.0.1:" + std::to_string(http.Port()), false));
    ASSERT_TRUE(site.Publish(site.b, 2));
    ASSERT_TRUE(site.Install(site.a));
    std::string record = tmp.Path("client-args");
    tmp.Write("game/QOR.run", "#!/bin/sh\necho \"$@\" > '" + record + "'\n");
    ::chmod((site.game + "/QOR.run").c_str(), 0755);

    int pid = StartChild(QOR_PATCH_PROGRAM, {"QOR"}, site.game, site.work + "/patch.log");
    ASSERT_GT(pid, 0);
    std::string found = Xdo({"search", "--sync", "--onlyvisible", "--name", "^Morvane$"}, site.work + "/search.log");
    unsigned long window = std::strtoul(found.c_str(), nullptr, 10);
    ASSERT_NE(window, 0u) << ReadFileText(site.work + "/patch.log");

    // The sample layout puts Start at 551, 474 (120 x 40): green once the patch has finished.
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    auto pixel = [&](int x, int y) -> unsigned long {
        XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image) return 0;
        unsigned long p = XGetPixel(image, 0, 0);
        XDestroyImage(image);
        return p & 0xFFFFFF;
    };
    auto near = [](unsigned long a, unsigned long b) {
        for (int s = 0; s <= 16; s += 8)
            if (std::abs(static_cast<int>(a >> s & 0xFF) - static_cast<int>(b >> s & 0xFF)) > 8) return false;
        return true;
    };
    // The level is recorded before the finish shows; a window not yet painted may hold old pixels.
    bool recorded = PollFor(60000, [&] {
        return platform::CreateFileRegistry()->GetDword("SOFTWARE\\Brimholt\\QOR_ENG", "PatchKey") == 2u;
    });
    bool finished = recorded && PollFor(20000, [&] { return near(pixel(561, 494), 0x209030); });
    unsigned long shown = pixel(561, 494);
    XCloseDisplay(display);
    ASSERT_TRUE(recorded) << ReadFileText(site.work + "/patch.log");
    ASSERT_TRUE(finished) << std::hex << shown;

    // The hand-over follows the finish; a click before it changes nothing, so it is repeated.
    bool started = PollFor(20000, [&] {
        Xdo({"mousemove", "--window", std::to_string(window), "611", "494", "click", "1"}, site.work + "/click.log");
        return ReadFileText(record) == "go\n";
    });
    EXPECT_TRUE(started) << ReadFileText(site.work + "/patch.log");
    EXPECT_EQ(WaitChild(pid, 20000), 0) << ReadFileText(site.work + "/patch.log");
}
