// A plain data race: the ThreadSanitizer run must report it and fail, which
// shows that a race in the real test programs would fail it too.
#include <thread>

namespace {
int g_shared = 0;
}  // namespace

int main() {
    std::thread other([] {
        for (int i = 0; i < 1000; ++i) ++g_shared;
    });
    for (int i = 0; i < 1000; ++i) ++g_shared;
    other.join();
    return 0;
}
