// A plain-text part, sent unchanged as 8bit text in its charset.
#pragma once

#include <string>

#include "patcher/mail/MimePart.h"

class CMimeTextPart : public CMimePart {
public:
    CMimeTextPart(std::string text, std::string charset);
    bool WritePart(IMailWriter& out, const std::string& opening) const override;
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
};
