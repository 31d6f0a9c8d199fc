// The crash handler: on a fatal signal it writes a dump file into the working
// folder and starts the patcher with it, which reports the crash. Everything
// the handler needs (stack, paths, argument texts, the time-zone offset) is
// prepared by InstallCrashHandler, so the handler itself only calls
// async-signal-safe functions: it never allocates, formats with the C library
// or shows a dialog inside the crashed process.
//
// Dump file layout (all integers little-endian; the patcher reads it):
//   8 bytes  magic "QORDUMP1"
//   u32      signal number
//   u32      signal code (si_code)
//   u64      fault address (si_addr)
//   u64      process id
//   u64      time of the crash, seconds since 1970 (UTC)
//   u32      register count R, then R x u64 (the machine's general registers,
//            in the kernel's order for the architecture; 0 registers elsewhere)
//   u32      frame count F, then F x u64 return addresses (innermost first)
//   u32      map length M, then M bytes: the process's memory map as the
//            kernel lists it (/proc/self/maps), cut at 1 MiB
// The name is the user name, then the local time as YYYY-MM-DD-hh-mm-ss, then ".dmp".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Installs the handler for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT.
// patcherPath is a host path; version is passed to it as "%f".
bool InstallCrashHandler(const std::string& patcherPath, float version);
// Dumps are on from the installation; the application switches them off at its end.
void SetCrashDumpsEnabled(bool enabled);
bool CrashDumpsEnabled();

// A dump as the handler wrote it.
struct CrashDump {
    uint32_t signal = 0;
    uint32_t code = 0;
    uint64_t faultAddress = 0;
    uint64_t processId = 0;
    uint64_t time = 0;
    std::vector<uint64_t> registers;
    std::vector<uint64_t> frames;
    std::string memoryMap;
};

// Limits of a dump that the reader accepts: more than the handler ever writes.
constexpr uint32_t kMaxDumpRegisters = 256;
constexpr uint32_t kMaxDumpFrames = 256;
constexpr uint32_t kMaxDumpMapBytes = 1u << 20;

// Reads a dump file (host path): false for a file that is missing, is not a
// dump, is cut short, exceeds the limits or has bytes after the map.
bool ReadCrashDump(const std::string& path, CrashDump* dump);
// The same over bytes in memory.
bool ParseCrashDump(const uint8_t* data, size_t size, CrashDump* dump);
// The bytes of a dump, as the handler lays them out (for tests and seed files).
std::vector<uint8_t> EncodeCrashDump(const CrashDump& dump);

// The dump name for a user at a local time ("Unknown" for an empty user).
std::string CrashDumpName(const std::string& user, int year, int month, int day, int hour, int minute, int second);

// Turns days since 1970-01-01 into year, month (1-12) and day (1-31); used by
// the handler, which cannot call the C library's time conversion.
void CivilFromDays(int64_t days, int* year, int* month, int* day);

}  // namespace platform
