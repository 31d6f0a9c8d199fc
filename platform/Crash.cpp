// The async-signal-safe crash handler. Only write, open, close, read, time,
// fork, execve, sigaction, raise and _exit are called once a signal arrived.
#include "platform/Crash.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <ucontext.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/File.h"
#include "platform/Process.h"

extern char** environ;

namespace platform {
namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr size_t kMaxFrames = 64;
constexpr size_t kMaxMapBytes = 1u << 20;

// All prepared at installation.
alignas(16) char g_altStack[64 * 1024];
char g_patcherPath[4096];
char g_versionText[32];
char g_userName[520];  // the original read at most 519 bytes of user name
long g_utcOffsetSeconds = 0;
volatile sig_atomic_t g_enabled = 0;
volatile sig_atomic_t g_inHandler = 0;

// The dump is assembled here piece by piece and flushed when full.
struct DumpWriter {
    int fd = -1;
    unsigned char buffer[4096];
    size_t used = 0;

    void Flush() {
        size_t done = 0;
        while (done < used) {
            ssize_t n = write(fd, buffer + done, used - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        used = 0;
    }
    void Bytes(const void* data, size_t size) {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        while (size) {
            if (used == sizeof(buffer)) Flush();
            size_t n = std::min(size, sizeof(buffer) - used);
            std::memcpy(buffer + used, p, n);
            used += n;
            p += n;
            size -= n;
        }
    }
    void U32(uint32_t v) {
        unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                              static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
        Bytes(b, 4);
    }
    void U64(uint64_t v) {
        U32(static_cast<uint32_t>(v));
        U32(static_cast<uint32_t>(v >> 32));
    }
};

size_t Append(char* out, size_t at, size_t cap, const char* text) {
    while (*text && at + 1 < cap) out[at++] = *text++;
    out[at] = 0;
    return at;
}

size_t AppendNumber(char* out, size_t at, size_t cap, int value, int width) {
    char digits[12];
    int n = 0;
    unsigned v = value < 0 ? 0u : static_cast<unsigned>(value);
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v && n < 11);
    while (n < width) digits[n++] = '0';
    while (n && at + 1 < cap) out[at++] = digits[--n];
    out[at] = 0;
    return at;
}

void BuildDumpName(char* out, size_t cap, time_t now) {
    int64_t local = static_cast<int64_t>(now) + g_utcOffsetSeconds;
    int64_t days = local / 86400, rest = local % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    int year, month, day;
    CivilFromDays(days, &year, &month, &day);
    const int fields[6] = {
        year, month, day, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60)};
    size_t at = Append(out, 0, cap, g_userName);
    for (int i = 0; i < 6; ++i) {
        if (i) at = Append(out, at, cap, "-");
        at = AppendNumber(out, at, cap, fields[i], i == 0 ? 4 : 2);
    }
    Append(out, at, cap, ".dmp");
}

void WriteRegisters(DumpWriter& w, void* context) {
#if defined(__x86_64__)
    const ucontext_t* uc = static_cast<const ucontext_t*>(context);
    w.U32(NGREG);
    for (int i = 0; i < NGREG; ++i) w.U64(static_cast<uint64_t>(uc->uc_mcontext.gregs[i]));
#elif defined(__aarch64__)
    const ucontext_t* uc = static_cast<const ucontext_t*>(context);
    w.U32(34);
    for (int i = 0; i < 31; ++i) w.U64(uc->uc_mcontext.regs[i]);
    w.U64(uc->uc_mcontext.sp);
    w.U64(uc->uc_mcontext.pc);
    w.U64(uc->uc_mcontext.pstate);
#else
    (void)context;
    w.U32(0);
#endif
}

void WriteMemoryMap(DumpWriter& w, int dumpFd) {
    // The length comes first, so the map is counted in one pass and copied in a second.
    uint32_t total = 0;
    char chunk[1024];
    int fd = open("/proc/self/maps", O_RDONLY);
    if (fd >= 0) {
        ssize_t n;
        while ((n = read(fd, chunk, sizeof(chunk))) > 0 && total < kMaxMapBytes)
            total += static_cast<uint32_t>(std::min<size_t>(static_cast<size_t>(n), kMaxMapBytes - total));
        close(fd);
    }
    const off_t lengthAt = lseek(dumpFd, 0, SEEK_CUR) + static_cast<off_t>(w.used);
    w.U32(total);
    uint32_t copied = 0;
    fd = total ? open("/proc/self/maps", O_RDONLY) : -1;
    if (fd >= 0) {
        ssize_t n;
        while (copied < total && (n = read(fd, chunk, std::min<size_t>(sizeof(chunk), total - copied))) > 0) {
            w.Bytes(chunk, static_cast<size_t>(n));
            copied += static_cast<uint32_t>(n);
        }
        close(fd);
    }
    w.Flush();
    if (copied != total) {
        // The map shrank between the two reads: correct the length.
        unsigned char b[4] = {static_cast<unsigned char>(copied), static_cast<unsigned char>(copied >> 8),
                              static_cast<unsigned char>(copied >> 16), static_cast<unsigned char>(copied >> 24)};
        if (pwrite(dumpFd, b, 4, lengthAt) != 4) return;
    }
}

void WriteError(const char* a, const char* b) {
    char line[4200];
    size_t at = Append(line, 0, sizeof(line), a);
    at = Append(line, at, sizeof(line), b);
    at = Append(line, at, sizeof(line), "]\n");
    if (write(2, line, at) < 0) return;
}

void StartPatcher(const char* dumpName) {
    char* argv[] = {g_patcherPath, g_versionText, const_cast<char*>(dumpName), nullptr};
    pid_t pid = fork();
    if (pid == 0) {
        execve(g_patcherPath, argv, environ);
        _exit(127);
    }
    if (pid < 0) WriteError("createprocess error! [", g_patcherPath);
}

void Handler(int sig, siginfo_t* info, void* context) {
    if (g_enabled && !g_inHandler) {
        g_inHandler = 1;
        char name[700];
        const time_t now = time(nullptr);
        BuildDumpName(name, sizeof(name), now);
        int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) {
            WriteError("Failed CreateFile [", name);
        } else {
            DumpWriter w;
            w.fd = fd;
            w.Bytes("QORDUMP1", 8);
            w.U32(static_cast<uint32_t>(sig));
            w.U32(info ? static_cast<uint32_t>(info->si_code) : 0);
            w.U64(info ? reinterpret_cast<uint64_t>(info->si_addr) : 0);
            w.U64(static_cast<uint64_t>(getpid()));
            w.U64(static_cast<uint64_t>(now));
            WriteRegisters(w, context);
            void* frames[kMaxFrames];
            const int count = backtrace(frames, static_cast<int>(kMaxFrames));
            w.U32(static_cast<uint32_t>(count));
            for (int i = 0; i < count; ++i) w.U64(reinterpret_cast<uint64_t>(frames[i]));
            WriteMemoryMap(w, fd);
            close(fd);
            StartPatcher(name);
        }
    }
    // The process ends by the signal it got, with the default action.
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    sigaction(sig, &dfl, nullptr);
    // The signal is blocked while its handler runs; let the raised one through.
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, sig);
    sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
    raise(sig);
    _exit(128 + sig);
}

void CopyText(char* out, size_t cap, const std::string& text) {
    size_t n = std::min(text.size(), cap - 1);
    std::memcpy(out, text.data(), n);
    out[n] = 0;
}

}  // namespace

namespace {

// Little-endian fields of a dump, each checked against the bytes left.
class DumpReader {
public:
    DumpReader(const uint8_t* data, size_t size) : m_data(data), m_left(size) {}
    bool Bytes(void* out, size_t n) {
        if (n > m_left) return false;
        if (n) std::memcpy(out, m_data, n);
        m_data += n;
        m_left -= n;
        return true;
    }
    bool U32(uint32_t* v) {
        uint8_t b[4];
        if (!Bytes(b, 4)) return false;
        *v = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
             static_cast<uint32_t>(b[3]) << 24;
        return true;
    }
    bool U64(uint64_t* v) {
        uint32_t lo, hi;
        if (!U32(&lo) || !U32(&hi)) return false;
        *v = lo | static_cast<uint64_t>(hi) << 32;
        return true;
    }
    bool U64List(std::vector<uint64_t>* list, uint32_t max) {
        uint32_t count;
        if (!U32(&count) || count > max || static_cast<size_t>(count) * 8 > m_left) return false;
        list->resize(count);
        for (uint64_t& v : *list)
            if (!U64(&v)) return false;
        return true;
    }
    size_t Left() const { return m_left; }

private:
    const uint8_t* m_data;
    size_t m_left;
};

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutU64(std::vector<uint8_t>& out, uint64_t v) {
    PutU32(out, static_cast<uint32_t>(v));
    PutU32(out, static_cast<uint32_t>(v >> 32));
}

}  // namespace

bool ParseCrashDump(const uint8_t* data, size_t size, CrashDump* dump) {
    if (!data || !dump) return false;
    DumpReader r(data, size);
    char magic[8];
    CrashDump d;
    uint32_t mapLength = 0;
    if (!r.Bytes(magic, 8) || std::memcmp(magic, "QORDUMP1", 8) != 0) return false;
    if (!r.U32(&d.signal) || !r.U32(&d.code) || !r.U64(&d.faultAddress) || !r.U64(&d.processId) || !r.U64(&d.time) ||
        !r.U64List(&d.registers, kMaxDumpRegisters) || !r.U64List(&d.frames, kMaxDumpFrames) || !r.U32(&mapLength) ||
        mapLength > kMaxDumpMapBytes || mapLength != r.Left())
        return false;
    d.memoryMap.resize(mapLength);
    if (!r.Bytes(d.memoryMap.data(), mapLength)) return false;
    *dump = std::move(d);
    return true;
}

bool ReadCrashDump(const std::string& path, CrashDump* dump) {
    // Larger than any dump the handler writes: not read at all.
    const int64_t largest = 48 + 8 * (kMaxDumpRegisters + kMaxDumpFrames) + kMaxDumpMapBytes;
    const int64_t size = FileSize(path);
    if (size < 0 || size > largest) return false;
    std::vector<uint8_t> bytes;
    return ReadWholeFile(path, bytes) && ParseCrashDump(bytes.data(), bytes.size(), dump);
}

std::vector<uint8_t> EncodeCrashDump(const CrashDump& dump) {
    std::vector<uint8_t> out = {'Q', 'O', 'R', 'D', 'U', 'M', 'P', '1'};
    PutU32(out, dump.signal);
    PutU32(out, dump.code);
    PutU64(out, dump.faultAddress);
    PutU64(out, dump.processId);
    PutU64(out, dump.time);
    for (const std::vector<uint64_t>* list : {&dump.registers, &dump.frames}) {
        PutU32(out, static_cast<uint32_t>(list->size()));
        for (uint64_t v : *list) PutU64(out, v);
    }
    PutU32(out, static_cast<uint32_t>(dump.memoryMap.size()));
    out.insert(out.end(), dump.memoryMap.begin(), dump.memoryMap.end());
    return out;
}

void CivilFromDays(int64_t days, int* year, int* month, int* day) {
    // Howard Hinnant's days-to-civil conversion (proleptic Gregorian calendar).
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    *year = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    *month = static_cast<int>(m);
    *day = static_cast<int>(d);
}

std::string CrashDumpName(const std::string& user, int year, int month, int day, int hour, int minute, int second) {
    char when[64];
    std::snprintf(when, sizeof(when), "%04d-%02d-%02d-%02d-%02d-%02d", year, month, day, hour, minute, second);
    return (user.empty() ? std::string("Unknown") : user) + when + ".dmp";
}

bool InstallCrashHandler(const std::string& patcherPath, float version) {
    CopyText(g_patcherPath, sizeof(g_patcherPath), patcherPath);
    std::snprintf(g_versionText, sizeof(g_versionText), "%f", static_cast<double>(version));
    std::string user = UserName();
    if (user.empty()) user = "Unknown";
    // The name becomes a file name in the working folder.
    std::replace(user.begin(), user.end(), '/', '_');
    CopyText(g_userName, sizeof(g_userName), user);
    const time_t now = time(nullptr);
    struct tm local {};
    localtime_r(&now, &local);
    g_utcOffsetSeconds = local.tm_gmtoff;
    // The first backtrace loads the unwinder; later calls in the handler then do not allocate.
    void* warm[4];
    backtrace(warm, 4);

    stack_t stack{};
    stack.ss_sp = g_altStack;
    stack.ss_size = sizeof(g_altStack);
    if (sigaltstack(&stack, nullptr) != 0) return false;
    struct sigaction action {};
    action.sa_sigaction = Handler;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int sig : kSignals)
        if (sigaction(sig, &action, nullptr) != 0) return false;
    g_enabled = 1;
    return true;
}

void SetCrashDumpsEnabled(bool enabled) { g_enabled = enabled ? 1 : 0; }
bool CrashDumpsEnabled() { return g_enabled != 0; }

}  // namespace platform
