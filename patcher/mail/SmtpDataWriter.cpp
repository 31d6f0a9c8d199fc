#include "patcher/mail/SmtpDataWriter.h"

bool CSmtpDataWriter::Write(std::string_view text) {
    if (m_failed) return false;
    for (char c : text) {
        if (c == '\n' && !m_lastCr) m_buffer += '\r';
        if (c == '.' && m_lineStart) m_buffer += '.';
        m_buffer += c;
        m_lastCr = c == '\r';
        m_lineStart = c == '\n';
    }
    return m_buffer.size() < kFlushSize || Flush();
}

bool CSmtpDataWriter::Flush() {
    if (m_failed) return false;
    if (!m_buffer.empty() && !m_sink(m_buffer)) m_failed = true;
    m_buffer.clear();
    return !m_failed;
}

bool CSmtpDataWriter::Finish() {
    if (m_failed) return false;
    if (!m_lineStart) m_buffer += m_lastCr ? "\n" : "\r\n";
    m_buffer += ".\r\n";
    m_lineStart = true;
    m_lastCr = false;
    return Flush();
}
