// Where a message writes itself: the SMTP connection's DATA phase, or a
// string in tests. A write that fails ends the message.
#pragma once

#include <string>
#include <string_view>

class IMailWriter {
public:
    virtual ~IMailWriter() = default;
    virtual bool Write(std::string_view text) = 0;
};

class CStringMailWriter : public IMailWriter {
public:
    bool Write(std::string_view text) override {
        m_text += text;
        return true;
    }
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};
