// A package as the patch server sends it (".DRZ"): whatever arrives is
// unpacked into a checked ".part" file or refused; the target stays whole.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "patcher/PatchEngine.h"
#include "patcher/PatchStrings.h"
#include "platform/File.h"
#include "platform/MessageSink.h"
#include "platform/Registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = [] {
        char pattern[] = "/tmp/qor-fuzz-drz-XXXXXX";
        std::string made = ::mkdtemp(pattern) ? pattern : "/tmp";
        platform::WriteWholeFile(made + "/MSG.DAT", "x", 1);
        platform::WriteWholeFile(made + "/VAZE.INI", "[INFO]\nLANGUAGE=ENG\n", 20);
        platform::SetRegistry(platform::CreateMemoryRegistry());
        platform::SetMessageHook([](const std::string&, const std::string&) {});
        return made;
    }();
    CNullPatchView view;
    CPatchEngine engine(kLanguageEnglish, view);
    engine.LoadPatchConfig("QOR", folder);
    platform::WriteWholeFile(folder + "/A.DRP", "old", 3);
    platform::WriteWholeFile(folder + "/A.DRP.DRZ", data, size);
    PatchFileEntry entry;
    entry.name = ".\\A.DRP";
    entry.size = 1 << 20;  // the cap of what may come out
    engine.InflateDrz(folder + "/A.DRP.DRZ", entry);
    // Nothing but a checked file may replace the old one, and no part stays.
    std::vector<uint8_t> now;
    if (platform::FileExists(folder + "/A.DRP.part")) __builtin_trap();
    if (!platform::ReadWholeFile(folder + "/A.DRP", now) || std::string(now.begin(), now.end()) != "old")
        __builtin_trap();
    return 0;
}
