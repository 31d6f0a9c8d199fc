#include "patcher/mail/SmtpReply.h"

void CSmtpReply::Clear() {
    m_state = REPLY_PENDING;
    m_code = 0;
    m_text.clear();
    m_line.clear();
}

CSmtpReply::State CSmtpReply::Feed(std::string_view bytes, size_t* used) {
    size_t at = 0;
    while (m_state == REPLY_PENDING && at < bytes.size()) {
        const char c = bytes[at++];
        m_text += c;
        if (m_text.size() > kMaxReply) {
            m_state = REPLY_BAD;
            break;
        }
        if (c != '\n') {
            m_line += c;
            continue;
        }
        if (!m_line.empty() && m_line.back() == '\r') m_line.pop_back();
        m_state = Line(m_line);
        m_line.clear();
    }
    if (used) *used = at;
    return m_state;
}

CSmtpReply::State CSmtpReply::Line(std::string_view line) {
    if (line.size() < 3) return REPLY_BAD;
    int code = 0;
    for (size_t i = 0; i < 3; ++i) {
        if (line[i] < '0' || line[i] > '9') return REPLY_BAD;
        code = code * 10 + (line[i] - '0');
    }
    // Every line of a reply carries the same number.
    if (m_code != 0 && code != m_code) return REPLY_BAD;
    m_code = code;
    if (line.size() == 3 || line[3] == ' ') return REPLY_DONE;
    if (line[3] == '-') return REPLY_PENDING;
    return REPLY_BAD;
}
