// The word reader under the tutorial and mission scripts. A script is read
// line by line: ReadWord gives the id of the next statement's first word,
// NextWord the following words of that line as text.
//
// Lines that are empty or whose first character after blanks and tabs is ';',
// '{' or '/' are skipped. A first word found in the token table gives its id;
// another word gives END (1) when it contains "[END]", else UNKNOWN (0). The
// end of the file also gives END, so a script without an "[END]" line still
// ends. A line longer than 511 bytes gives ERROR (3) and an error report.
#pragma once

#include <string>
#include <vector>

#include "engine/core/TextFileReader.h"
#include "engine/core/TextFormat.h"

class CTokenReader {
public:
    enum : int { TOKEN_UNKNOWN = 0, TOKEN_END = 1, TOKEN_BLOCK_OPEN = 2, TOKEN_ERROR = 3, TOKEN_BLOCK_CLOSE = 5 };

    CTokenReader();
    virtual ~CTokenReader() = default;
    CTokenReader(const CTokenReader&) = delete;
    CTokenReader& operator=(const CTokenReader&) = delete;

    // Registers a word; a later registration of the same word wins.
    void AddToken(const char* word, int id);

    // Finds the script through the file index, runs Load on it and returns
    // Load's result. 0 with error 10001 and message 7 when it is nowhere.
    int Open(const char* fileName);
    // The same over a text already in memory (named for error texts).
    int OpenText(const char* name, std::string text);

    // The id of the next statement (see above).
    int ReadWord();
    // The next word of the current line after the first one: blanks, tabs and
    // '=' separate words; a word in double quotes runs to the closing quote
    // with each backslash-n becoming CR LF; a plain word runs to the next
    // blank or tab. "" when the line has no more words.
    const char* NextWord();

    // The first word of the current line, its number and the script's name.
    const char* FirstWord() const { return m_firstWord.c_str(); }
    int LineNumber() const { return m_lineNumber; }
    const std::string& FileName() const { return m_fileName; }
    const std::string& CurrentLine() const { return m_line; }

    // Formats a script error into the error report with code 10000.
    template <typename... Args>
    void ReportScriptError(const char* format, const Args&... args) {
        StoreScriptError(FormatText(format, args...));
    }

    // Longest line a script may have.
    static constexpr size_t kMaxLineLength = 511;

protected:
    // Reads the open script (the derived script reader parses it here).
    virtual int Load() { return 1; }

private:
    void StoreScriptError(std::string text);
    int FindToken(const std::string& word) const;

    std::vector<std::string> m_words;
    std::vector<int> m_ids;
    CTextFileReader m_reader;
    std::string m_fileName;
    int m_lineNumber = 0;
    std::string m_line;
    size_t m_linePos = 0;
    std::string m_firstWord;
    std::string m_word;
};
