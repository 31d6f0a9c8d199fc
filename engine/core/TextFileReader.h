// Line-by-line reading of the game's text data files ("GAMEINFO.DAT", the text
// lists, scripts), loose or inside a package entry. The file index gives the
// file and the byte range; reading never runs past the range, so a text list
// packed before another one ends at its own last byte even when its "[END]"
// line is missing.
//
// A line runs up to '\n'; a '\r' before it is dropped, so files written on
// Windows read the same. A last line without a line break is kept whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CTextFileReader {
public:
    // Longest file we read into memory; data files are a few kilobytes.
    static constexpr uint32_t kMaxFileSize = 16u * 1024u * 1024u;

    // Finds the file through the file index (or as a path when no index is
    // registered) and reads its bytes. 0 with error 10001 and message 7
    // formatted with the name when it is nowhere or cannot be read.
    int Open(const char* fileName);
    // Takes the text directly (the same line rules apply).
    void OpenText(std::string text);

    // The next line, cut to at most maxLength bytes without splitting a
    // double-byte character; *tooLong tells whether it was cut. False at the end.
    bool ReadLine(std::string& line, size_t maxLength, bool* tooLong = nullptr);

    // Lines handed out so far.
    int LineNumber() const { return m_lineNumber; }

private:
    std::string m_text;
    size_t m_pos = 0;
    int m_lineNumber = 0;
};
