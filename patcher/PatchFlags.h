// The flags word the patch worker and its front end share.
#pragma once

#include <cstdint>

constexpr uint32_t PATCH_FLAG_STOPPED = 0x1;       // the run ended early (failure, cancel or key-file update)
constexpr uint32_t PATCH_FLAG_FINISHED = 0x2;      // every file is up to date
constexpr uint32_t PATCH_FLAG_WORKER_DONE = 0x4;   // the worker thread has ended
constexpr uint32_t PATCH_FLAG_SELF_UPDATE = 0x8;   // a new patcher waits as "QORPatchTemp.tmp"
constexpr uint32_t PATCH_FLAG_RELAUNCH = 0x10;     // "VAZE.INI" or "QOR.exe" was replaced
constexpr uint32_t PATCH_FLAG_RECHECK = 0x20;      // digest every file whatever the levels
constexpr uint32_t PATCH_FLAG_PASS_STOP = 0x40;    // skip the PatchStop.txt check
constexpr uint32_t PATCH_FLAG_READY = 0x80;        // the front end is shown; the worker may start
constexpr uint32_t PATCH_FLAG_CANCEL = 0x100;      // the player cancelled

// What the front end does once the worker has ended.
struct PatchHandOverChoice {
    const char* launcherArgument = nullptr;  // "QOR.exe" is started with it when set
    bool close = false;                      // show the error text (if any) and close
};
PatchHandOverChoice PatchHandOver(uint32_t flags);
