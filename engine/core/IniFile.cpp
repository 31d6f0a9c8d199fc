#include "engine/core/IniFile.h"

#include "engine/core/TextFormat.h"
#include "platform/Ini.h"

namespace {
constexpr size_t kValueCapacity = 1023;
}

CIniFile::~CIniFile() { m_stream.Close(); }

int CIniFile::ReadIniBool(const char* section, const char* key) {
    m_value = platform::GetProfileString(section ? section : "", key ? key : "", "", m_path);
    if (m_value.size() > kValueCapacity) m_value.resize(kValueCapacity);
    return m_value == "TRUE" ? 1 : 0;
}

int CIniFile::OpenWrite() { return m_stream.OpenWrite(m_path.c_str()); }

int CIniFile::WriteText(const std::string& text) {
    if (!m_stream.IsOpen()) return 0;
    return m_stream.Write(text.data(), static_cast<uint32_t>(text.size())) ? 1 : 0;
}

int CIniFile::WriteSection(const char* section) { return WriteText(FormatText("[%s]\r\n", section)); }

int CIniFile::WriteIniBool(const char* key, int value) {
    return WriteText(FormatText("%s = %s\r\n", key, value ? "TRUE" : "FALSE"));
}
