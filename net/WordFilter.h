// The bad-word filter over other players' chat lines. The word lists are
// converted to code points and upper-cased once when they load, so a check is
// a plain search per word.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CWordFilter {
public:
    // Empty bad words would match every line and are skipped.
    void Load(const std::vector<std::string>& badWords, const std::vector<std::string>& phrases);
    size_t WordCount() const { return m_words.size(); }

    // 1 with the line to show in out; 0 when the line must not be shown. A
    // line with a bad word from another player (sender given and not
    // ownNickname) is dropped; the user's own line (or one without a sender)
    // becomes a replacement phrase chosen at random, and is dropped when there
    // is no phrase.
    int FilterChatWords(std::string_view text, std::string_view ownNickname, const char* sender,
                        std::string& out) const;
    bool HasBadWord(std::string_view text) const;

private:
    std::vector<std::u32string> m_words;
    std::vector<std::string> m_phrases;
};
