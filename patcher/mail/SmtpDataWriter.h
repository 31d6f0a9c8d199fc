// The message text of an SMTP DATA phase. A line that starts with "." would
// end the data early (and what follows would run as commands), so a leading
// "." is doubled; a bare LF becomes CRLF. The text is passed on in large
// pieces; Finish ends the data with the line ".".
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "patcher/mail/MailWriter.h"

class CSmtpDataWriter : public IMailWriter {
public:
    using Sink = std::function<bool(std::string_view)>;
    static constexpr size_t kFlushSize = 16 * 1024;

    explicit CSmtpDataWriter(Sink sink) : m_sink(std::move(sink)) {}
    bool Write(std::string_view text) override;
    // Ends the last line when it is open, writes ".", and passes everything on.
    bool Finish();

private:
    bool Flush();

    Sink m_sink;
    std::string m_buffer;
    bool m_lineStart = true;
    bool m_lastCr = false;
    bool m_failed = false;
};
