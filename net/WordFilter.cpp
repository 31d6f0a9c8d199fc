#include "net/WordFilter.h"

#include "net/Nickname.h"
#include "platform/CodePage.h"
#include "platform/CrtRandom.h"

namespace {
std::u32string UpperCodePoints(std::string_view cp949) {
    std::u32string text = platform::Cp949ToUtf32(cp949);
    for (char32_t& c : text) c = UpperCaseChar(c);
    return text;
}
}  // namespace

void CWordFilter::Load(const std::vector<std::string>& badWords, const std::vector<std::string>& phrases) {
    m_words.clear();
    for (const std::string& word : badWords)
        if (!word.empty()) m_words.push_back(UpperCodePoints(word));
    m_phrases = phrases;
}

bool CWordFilter::HasBadWord(std::string_view text) const {
    if (m_words.empty()) return false;
    const std::u32string line = UpperCodePoints(text);
    for (const std::u32string& word : m_words)
        if (line.find(word) != std::u32string::npos) return true;
    return false;
}

int CWordFilter::FilterChatWords(std::string_view text, std::string_view ownNickname, const char* sender,
                                 std::string& out) const {
    out.clear();
    if (!HasBadWord(text)) {
        out.assign(text);
        return 1;
    }
    if (sender && std::string_view(sender) != ownNickname) return 0;
    if (m_phrases.empty()) return 0;
    out = m_phrases[static_cast<size_t>(platform::CrtRand()) % m_phrases.size()];
    return 1;
}
