// Replays corpus files through a fuzz target without libFuzzer: the test run
// builds every target with GCC and its sanitizers and feeds it each file of
// the folders (or files) named on the command line. A crash or sanitizer
// report ends the run; so does an input that runs past the hang guard.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

constexpr unsigned kHangGuardSeconds = 10;
char g_current[4096];

void OnHang(int) {
    const char text[] = "fuzz replay: input ran past the hang guard: ";
    ssize_t ignored = ::write(2, text, sizeof(text) - 1);
    ignored = ::write(2, g_current, std::strlen(g_current));
    ignored = ::write(2, "\n", 1);
    (void)ignored;
    ::_exit(3);
}

}  // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        if (std::filesystem::is_directory(argv[i], ec)) {
            for (const auto& e : std::filesystem::directory_iterator(argv[i], ec))
                if (e.is_regular_file()) files.push_back(e.path().string());
        } else {
            files.push_back(argv[i]);
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "fuzz replay: no corpus files given\n");
        return 2;
    }
    ::signal(SIGALRM, OnHang);
    for (const std::string& f : files) {
        std::ifstream in(f, std::ios::binary);
        std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::snprintf(g_current, sizeof(g_current), "%s", f.c_str());
        ::alarm(kHangGuardSeconds);
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ::alarm(0);
    }
    std::printf("fuzz replay: %zu inputs\n", files.size());
    return 0;
}
