// The text files read at start-up: the input is read as "MSG.DAT" (whole and
// as a package entry range), as an information file, as a text list, as INI
// keys and as the options file's switches.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/IniFile.h"
#include "engine/core/MessageTable.h"
#include "engine/core/TextList.h"
#include "platform/Ini.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::UseReports();
    const std::string path = fuzz::WriteInput("MSG.DAT", data, size);
    {
        CMessageTable table;
        table.LoadMessages(path.c_str());
        table.LoadMessages(path.c_str(), static_cast<uint32_t>(size / 3), static_cast<uint32_t>(size / 2));
        table.LoadInfoFile(path.c_str());
        (void)table.GetInfo("GAME_VERSION");
        for (int i = 0; i < MESSAGE_COUNT; i += 37) (void)table.GetMsg(i);
    }
    std::vector<std::string> lines;
    ReadTextList(path.c_str(), lines);
    (void)platform::GetProfileString("INFO", "LOGIN_SERVER", "", path);
    (void)platform::GetProfileInt("OPTION", "WIDTH", 800, path);
    CIniFile ini;
    ini.SetPath(path);
    ini.ReadIniBool("OPTION", "SOUND");
    ini.ReadIniBool("MESSAGE", "MSG_OK");
    return 0;
}
