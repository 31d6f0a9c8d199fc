// Start-up as a player sees it: `QOR.run go` in the sample game folder under
// its own Xvfb, window and GL creation included. Figures: the time from the
// start of the program to its first presented frame (target under 1 s on a
// quiet machine), its resident memory 5 s after start (target at most
// 256 MB) and its CPU on the idle first screen (target under a quarter of a
// core). The first frame is seen from outside, as the player sees it: the
// moment the middle of the client's window (on a black X server) is no longer
// black.
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchSupport.h"
#include "tools/SampleGameFolder.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv, const char* folder,
            int keepFd = -1) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> argv, envp;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
        if (folder && ::chdir(folder) != 0) ::_exit(127);
        if (keepFd < 0) {
            int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    return pid;
}

void Stop(pid_t pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

// An X server of its own on a free display; its number, or -1.
int StartXvfb(pid_t* pid) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    *pid = Spawn({"/usr/bin/Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24", "-br", "-nolisten",
                  "tcp"},
                 {}, nullptr);
    ::close(fds[1]);
    std::string number;
    char c;
    while (::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(fds[0]);
    return number.empty() ? -1 : std::stoi(number);
}

// A window may go away between listing and asking (the client replaces its
// first window while it sets up): such a request fails and the poll goes on,
// instead of Xlib's default handler ending the program.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// Whether a mapped top-level window shows anything but black at its centre.
bool ShowsFrame(Display* display) {
    Window root = DefaultRootWindow(display), parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, root, &root, &parent, &children, &count)) return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(display, children[i], &a) || a.map_state != IsViewable || a.width < 64) continue;
        XImage* image = XGetImage(display, children[i], a.width / 2, a.height / 2, 1, 1, AllPlanes, ZPixmap);
        if (!image) continue;
        found = (XGetPixel(image, 0, 0) & 0xFFFFFF) != 0;
        XDestroyImage(image);
    }
    if (children) XFree(children);
    return found;
}

// User and system CPU seconds of a process so far.
double CpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stoul(field);
        if (i == 15) stime = std::stoul(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

double ResidentMb(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void BM_StartClientToFirstFrame(benchmark::State& state) {
    const std::string folder = BenchFolder("client-game");
    const std::string home = BenchFolder("client-home");
    MakeSampleGameFolder(folder);
    pid_t xvfb = 0;
    const int number = StartXvfb(&xvfb);
    Display* display = number >= 0 ? XOpenDisplay((":" + std::to_string(number)).c_str()) : nullptr;
    if (!display) {
        Stop(xvfb);
        state.SkipWithError("no X server (Xvfb)");
        return;
    }
    XSetErrorHandler(&IgnoreXError);
    // Folders of their own, as on a player's machine: the registry's "qor"
    // under the config folder must not meet the documents' "QOR" under home.
    const std::vector<std::string> env = {"DISPLAY=:" + std::to_string(number),
                                          "XDG_CONFIG_HOME=" + BenchFolder("client-config"),
                                          "XDG_RUNTIME_DIR=" + BenchFolder("client-runtime"), "HOME=" + home};
    const double settle = BenchSmokeRun() ? 1.0 : 5.0;
    double firstFrame = 0, resident = 0, idleCpu = 0;
    for (auto _ : state) {
        const Clock::time_point t0 = Clock::now();
        pid_t client = Spawn({QOR_CLIENT_PROGRAM, "go"}, env, folder.c_str());
        bool shown = false;
        while (!shown && Since(t0) < 60) {
            shown = ShowsFrame(display);
            if (!shown) std::this_thread::sleep_for(std::chrono::milliseconds(2));
            if (::waitpid(client, nullptr, WNOHANG) == client) break;
        }
        firstFrame = Since(t0);
        state.SetIterationTime(firstFrame);
        if (!shown) {
            Stop(client);
            state.SkipWithError("the client showed no first frame");
            break;
        }
        // Idle CPU over the settle time after the first frame, memory at its end.
        const double cpu0 = CpuSeconds(client);
        const Clock::time_point idle0 = Clock::now();
        std::this_thread::sleep_for(std::chrono::duration<double>(settle));
        idleCpu = (CpuSeconds(client) - cpu0) / Since(idle0);
        resident = ResidentMb(client);
        Stop(client);
    }
    XCloseDisplay(display);
    Stop(xvfb);
    state.counters["first_frame_ms"] = firstFrame * 1000;
    state.counters["resident_mb"] = resident;
    state.counters["idle_cpu_share"] = idleCpu;
}
BENCHMARK(BM_StartClientToFirstFrame)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
