// The patcher's configuration: "VAZE.INI" as the patch server or the player
// left it, the patch dialog's layout keys and the "host:port" of the patch server.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "patcher/DialogLayout.h"
#include "patcher/PatchEngine.h"
#include "patcher/PatchStrings.h"
#include "platform/File.h"
#include "platform/Internet.h"
#include "platform/MessageSink.h"
#include "platform/Process.h"
#include "platform/Registry.h"

namespace {

const std::string& Folder() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/qor-fuzz-config-XXXXXX";
        std::string made = ::mkdtemp(pattern) ? pattern : "/tmp";
        platform::WriteWholeFile(made + "/MSG.DAT", "x", 1);
        platform::SetRegistry(platform::CreateMemoryRegistry());
        platform::SetSpawnHook([](const std::string&, const std::vector<std::string>&) { return true; });
        platform::SetMessageHook([](const std::string&, const std::string&) {});
        return made;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    int values[4];
    ParseIntList(text, values);
    std::string host;
    uint16_t port = 0;
    platform::SplitHostPort(text, &host, &port);

    const std::string& folder = Folder();
    platform::WriteWholeFile(folder + "/VAZE.INI", data, size);
    CNullPatchView view;
    CPatchEngine engine(kLanguageEnglish, view);
    engine.LoadPatchConfig("QOR", folder);
    for (const std::string& line :
         {engine.ReadIniString("VAZE.INI", "PATCH", "WEB"), engine.ReadIniString("VAZE.INI", "PATCH", "BASE_DIALOG")})
        ParseIntList(line, values);
    ComputeDialogLayout([&](const char* key) { return engine.ReadIniString("VAZE.INI", "PATCH", key); }, 691, 537, 120,
                        40, 90, 28);
    platform::InternetSession::EncodePath(engine.Config().rootPath);
    return 0;
}
