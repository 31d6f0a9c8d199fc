#include "engine/core/MessageTable.h"

#include <cstring>

#include "engine/core/ErrorReport.h"
#include "engine/core/NameHash.h"
#include "engine/core/TextFileReader.h"
#include "platform/Ini.h"

CMessageTable* g_pMessageTable = nullptr;

namespace {

constexpr const char* kMessageSection = "MESSAGE";
// Information lines are read as 512-byte C strings: 511 bytes of text.
constexpr size_t kInfoLineLength = 511;

// The two characters backslash and n stand for a line break in a message.
std::string ExpandLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

CMessageTable::CMessageTable() {
    if (!g_pMessageTable) g_pMessageTable = this;
}

CMessageTable::~CMessageTable() {
    if (g_pMessageTable == this) g_pMessageTable = nullptr;
}

int CMessageTable::LoadMessages(const char* path) { return BindAll(path, 0, 0); }

int CMessageTable::LoadMessages(const char* path, uint32_t offset, uint32_t size) {
    // The INI reader takes size 0 as "to the end of the file", which for an
    // entry would be the rest of its package.
    if (size == 0) {
        m_messages.clear();
        m_path = path ? path : "";
        ErrorReport().SetError(ERR_DATA, "not found message-%s", MessageKeyName(0));
        return 0;
    }
    return BindAll(path, offset, size);
}

int CMessageTable::BindAll(const char* path, uint32_t offset, uint32_t size) {
    m_messages.clear();
    m_path = path ? path : "";
    // Read once: 400 look-ups must not open the package 400 times.
    std::string file;
    if (!platform::ReadProfileText(m_path, offset, size, &file)) file.clear();
    for (int i = 0; i < MESSAGE_COUNT; ++i) {
        if (!BindMessage(i, kMessageSection, MessageKeyName(i), file)) {
            ErrorReport().SetError(ERR_DATA, "not found message-%s", MessageKeyName(i));
            return 0;
        }
    }
    return CountMessages();
}

int CMessageTable::BindMessage(int index, const char* section, const char* key, const std::string& file) {
    size_t at = static_cast<size_t>(index);
    if (at >= m_messages.size()) m_messages.resize(at + 1);
    if (!m_messages[at].empty()) return 0;  // a key bound twice is a broken table
    std::string text = platform::GetProfileStringFromText(file, section, key, "");
    if (text.empty()) return 0;
    m_messages[at] = ExpandLineBreaks(text);
    return 1;
}

int CMessageTable::CountMessages() {
    int count = 0;
    for (size_t i = 0; i < m_messages.size(); ++i) {
        if (!m_messages[i].empty()) {
            ++count;
            continue;
        }
        ErrorReport().SetError(ERR_DATA, "%d - PrevMSG[%s]", static_cast<int>(i), i ? m_messages[i - 1].c_str() : "");
    }
    if (count != MESSAGE_COUNT) {
        ErrorReport().SetError(ERR_DATA, "%s\nCan't read all message.", ErrorReport().Text());
        return 0;
    }
    return 1;
}

bool CMessageTable::ParseInfoLine(std::string_view line, std::string* key, std::string* value) {
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    std::string k;
    for (char c : line.substr(0, eq)) {
        if (c != ' ' && c != '\t') k += c;
    }
    std::string_view v = line.substr(eq + 1);
    size_t first = v.find_first_not_of(" \t");
    if (k.empty() || first == std::string_view::npos) return false;
    if (key) *key = std::move(k);
    if (value) value->assign(v.substr(first));
    return true;
}

int CMessageTable::LoadInfoFile(const char* fileName) {
    CTextFileReader reader;
    if (!reader.Open(fileName)) return 0;
    std::string line, key, value;
    while (reader.ReadLine(line, kInfoLineLength)) {
        if (line.find("[END]") != std::string::npos) break;
        if (ParseInfoLine(line, &key, &value)) m_info[NameHash(key)] = value;
    }
    return 1;
}

const char* CMessageTable::GetMsg(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= m_messages.size()) return "";
    return m_messages[static_cast<size_t>(index)].c_str();
}

void CMessageTable::SetMsg(int index, std::string text) {
    if (index < 0) return;
    if (static_cast<size_t>(index) >= m_messages.size()) m_messages.resize(static_cast<size_t>(index) + 1);
    m_messages[static_cast<size_t>(index)] = std::move(text);
}

const char* CMessageTable::GetInfo(const char* key) const {
    auto it = m_info.find(NameHash(key));
    return it == m_info.end() ? "" : it->second.c_str();
}

const char* GetMessageText(int index) { return g_pMessageTable ? g_pMessageTable->GetMsg(index) : ""; }

const char* FileNotFoundFormat() {
    const char* text = GetMessageText(MSG_ERROR_FILE_NOT_FOUND);
    return *text ? text : "not found file!!! (%s)";
}
