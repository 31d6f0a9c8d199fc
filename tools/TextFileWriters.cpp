#include "tools/TextFileWriters.h"

void CIniWriter::Section(const std::string& name) { m_text += "[" + name + "]\r\n"; }

void CIniWriter::Value(const std::string& key, const std::string& value) { m_text += key + "=" + value + "\r\n"; }

void CInfoFileWriter::Add(const std::string& key, const std::string& value) { m_text += key + "=" + value + "\r\n"; }

void CInfoFileWriter::Add(const std::string& key, int value) { Add(key, std::to_string(value)); }

std::string MessageFileText(const std::vector<MessageEntry>& entries) {
    CIniWriter ini;
    ini.Section("MESSAGE");
    for (const MessageEntry& e : entries) {
        std::string escaped;
        for (char c : e.second) {
            if (c == '\n')
                escaped += "\\n";
            else
                escaped += c;
        }
        ini.Value(e.first, escaped);
    }
    return ini.Text();
}

std::string TextListText(const std::vector<std::string>& lines, bool withEnd) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    if (withEnd) text += "[END]\r\n";
    return text;
}

std::string VazeIniText(const std::string& loginServer, const std::string& homepageUrl, const std::string& joinUrl) {
    CIniWriter ini;
    ini.Section("INFO");
    ini.Value("LOGIN_SERVER", loginServer);
    // The patcher's server, on loopback like the game servers.
    ini.Value("PATCH_SERVER", kSamplePatchServer);
    ini.Value("ROOT_PATH", kSamplePatchRoot);
    ini.Value("CONNECT", "HTTP");
    ini.Value("LANGUAGE", "ENG");
    ini.Section("PATCH");
    ini.Value("HOMEPAGE_URL", homepageUrl);
    ini.Value("JOIN_URL", joinUrl);
    ini.Value("NOTICE_URL", kSampleNoticeUrl);
    // The patch dialog's controls on the sample skin (client coordinates).
    ini.Value("WEB", "20, 20, 651, 330");
    ini.Value("FILE_STATIC", "20, 362, 651, 20");
    ini.Value("TOTAL_PROGRESS", "20, 388, 651, 16");
    ini.Value("FILE_PROGRESS", "20, 410, 651, 16");
    ini.Value("START_BUTTON", "551, 474, 0, 0");
    ini.Value("REPATCH_BUTTON", "445, 480, 0, 0");
    ini.Value("HOMEPAGE_STATIC", "20, 484, 300, 20");
    ini.Value("BASE_DIALOG", "100, 80, 797, 643");
    return ini.Text();
}
