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

#include <cstdint>
#include <string>

namespace platform {

// Installs the handler for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT.
// patcherPath is a host path; version is passed to it as "%f".
bool InstallCrashHandler(const std::string& patcherPath, float version);
// Dumps are on from the installation; the application switches them off at its end.
void SetCrashDumpsEnabled(bool enabled);
bool CrashDumpsEnabled();

// The dump name for a user at a local time ("Unknown" for an empty user).
std::string CrashDumpName(const std::string& user, int year, int month, int day, int hour, int minute, int second);

// Turns days since 1970-01-01 into year, month (1-12) and day (1-31); used by
// the handler, which cannot call the C library's time conversion.
void CivilFromDays(int64_t days, int* year, int* month, int* day);

}  // namespace platform
