#include "engine/core/TutorialProgress.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/IniFile.h"
#include "engine/core/TextFormat.h"
#include "platform/File.h"

namespace {
constexpr const char* kSection = "INFO";
constexpr const char* kKey = "TUTORIAL_CANCEL";
}  // namespace

bool CTutorialProgress::IsSafeNickname(std::string_view nickname) {
    if (nickname.empty() || nickname.find("..") != std::string_view::npos) return false;
    // Every byte is checked, trail bytes of double-byte characters too: a
    // 0x5C trail byte would still become a folder separator on this system.
    for (char ch : nickname) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F || c == '\\' || c == '/') return false;
    }
    return true;
}

std::string CTutorialProgress::FilePath(std::string_view nickname) const {
    if (!IsSafeNickname(nickname)) return std::string();
    return FormatText("%s\\%s.INI", m_saveFolder, std::string(nickname));
}

int CTutorialProgress::LoadTutorialCancel(std::string_view nickname) {
    m_tutorialCancel = 0;
    platform::CreateFolder(m_saveFolder);
    std::string path = FilePath(nickname);
    if (path.empty() || !platform::FileExists(path)) return 0;
    CIniFile file;
    file.SetPath(path);
    m_tutorialCancel = file.ReadIniBool(kSection, kKey);
    return 1;
}

int CTutorialProgress::SaveTutorialCancel(std::string_view nickname) {
    std::string path = FilePath(nickname);
    if (path.empty()) {
        ErrorReport().SetError(ERR_DATA, "refused save file name for nickname \"%s\"", std::string(nickname));
        return 0;
    }
    platform::CreateFolder(m_saveFolder);
    CIniFile file;
    file.SetPath(path);
    if (!file.OpenWrite()) return 0;
    int ok = file.WriteSection(kSection) && file.WriteIniBool(kKey, m_tutorialCancel);
    file.Close();
    return ok;
}
