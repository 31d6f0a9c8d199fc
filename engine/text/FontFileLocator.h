// Finds the file of a font that "GAMEINFO.DAT" names. The game's own data comes
// first: a package entry (read into memory) or a loose file. Then the system's
// font folder, searched with its sub-folders, which stands in for the fonts
// folder of Windows; a Windows font that is not installed is replaced by an
// installed one of the same kind (the Nanum fonts for the Korean ones).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// An opened font source: the bytes in memory when they came from a package,
// else the path of the file.
struct FontFile {
    std::string path;
    std::vector<uint8_t> bytes;
    int32_t faceIndex = 0;
};

// The installed font that stands in for a Windows font and face.
struct FontSubstitute {
    const char* windowsName;
    int32_t windowsFace;  // -1: any face of the file
    const char* installedName;
};

class CFontFileLocator {
public:
    static constexpr const char* kDefaultSystemFolder = "/usr/share/fonts/truetype";

    void SetSystemFolder(std::string folder) { m_systemFolder = std::move(folder); }
    const std::string& SystemFolder() const { return m_systemFolder; }

    // Finds the font named name (a file name) with face faceIndex. 1 on
    // success; 0 with error 10001 and the name when it is nowhere.
    int Locate(const char* name, int32_t faceIndex, FontFile* out) const;

    // The substitute for a Windows font name and face, or null.
    static const FontSubstitute* FindSubstitute(std::string_view name, int32_t faceIndex);

private:
    // The path of a file named name under the system folder ("" when absent).
    std::string FindInSystemFolder(std::string_view name) const;

    std::string m_systemFolder = kDefaultSystemFolder;
};
