// Writers of the game's small text formats, exactly as the engine reads them:
// INI files ("MSG.DAT", "VAZE.INI"), "[END]"-terminated information files
// ("GAMEINFO.DAT") and text lists ("GAMETIP.DAT", the filter-word lists).
// Lines end with CR LF, as the files shipped for the original system did.
#pragma once

#include <string>
#include <utility>
#include <vector>

// An INI text built section by section.
class CIniWriter {
public:
    void Section(const std::string& name);
    void Value(const std::string& key, const std::string& value);
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};

// "key=value" lines closed by an "[END]" line.
class CInfoFileWriter {
public:
    void Add(const std::string& key, const std::string& value);
    void Add(const std::string& key, int value);
    std::string Text() const { return m_text + "[END]\r\n"; }

private:
    std::string m_text;
};

using MessageEntry = std::pair<std::string, std::string>;  // key, text

// "MSG.DAT": section [MESSAGE] with each entry; a line break in a text is
// written as the two characters backslash and n.
std::string MessageFileText(const std::vector<MessageEntry>& entries);

// One line per entry; withEnd closes the list with an "[END]" line.
std::string TextListText(const std::vector<std::string>& lines, bool withEnd = true);

// "VAZE.INI": [INFO] LOGIN_SERVER and the patch server (PATCH_SERVER, ROOT_PATH,
// CONNECT, LANGUAGE), [PATCH] HOMEPAGE_URL, JOIN_URL, NOTICE_URL and the eight
// layout keys of the patch dialog.
// The patch server the sample "VAZE.INI" names, and the folder of its files.
constexpr const char* kSamplePatchServer = "127.0.0.1";
constexpr const char* kSamplePatchRoot = "patch";
// The notice page the patch dialog fetches after its local "DefaultNotice.htm".
constexpr const char* kSampleNoticeUrl = "http://127.0.0.1/notice.htm";
std::string VazeIniText(const std::string& loginServer, const std::string& homepageUrl, const std::string& joinUrl);
