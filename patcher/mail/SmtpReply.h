// Collects one SMTP reply from the bytes a server sends: lines "ddd-text"
// continue it, the line "ddd text" (or just "ddd") ends it. A reply may come
// in pieces or in one piece with several lines; it is complete only at its
// last line. Replies are capped, so a server that never ends one cannot
// fill the memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CSmtpReply {
public:
    static constexpr size_t kMaxReply = 64 * 1024;

    enum State { REPLY_PENDING, REPLY_DONE, REPLY_BAD };

    // Takes bytes from the server. Bytes after the end of the reply are not
    // taken: *used (if given) tells how many were.
    State Feed(std::string_view bytes, size_t* used = nullptr);
    State GetState() const { return m_state; }
    // The reply's number (valid when done).
    int Code() const { return m_code; }
    // The whole reply as received.
    const std::string& Text() const { return m_text; }
    void Clear();

private:
    State Line(std::string_view line);

    State m_state = REPLY_PENDING;
    int m_code = 0;
    std::string m_text;
    std::string m_line;
};
