#include "engine/core/TokenReader.h"

#include "engine/core/ErrorReport.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Lines are read as 1024-byte C strings; anything longer is cut there and
// reported as too long anyway.
constexpr size_t kReadLength = 1023;

}  // namespace

CTokenReader::CTokenReader() {
    AddToken("UNKNOWN", TOKEN_UNKNOWN);
    AddToken("[END]", TOKEN_END);
    AddToken("{", TOKEN_BLOCK_OPEN);
    AddToken("[ERROR]", TOKEN_ERROR);
    AddToken("}", TOKEN_BLOCK_CLOSE);
}

void CTokenReader::AddToken(const char* word, int id) {
    std::string w = word ? word : "";
    for (size_t i = 0; i < m_words.size(); ++i) {
        if (m_words[i] == w) {
            m_ids[i] = id;
            return;
        }
    }
    m_words.push_back(std::move(w));
    m_ids.push_back(id);
}

int CTokenReader::FindToken(const std::string& word) const {
    for (size_t i = 0; i < m_words.size(); ++i) {
        if (m_words[i] == word) return m_ids[i];
    }
    return -1;
}

int CTokenReader::Open(const char* fileName) {
    m_fileName = fileName ? fileName : "";
    m_lineNumber = 0;
    m_line.clear();
    m_linePos = 0;
    if (!m_reader.Open(m_fileName.c_str())) return 0;
    return Load();
}

int CTokenReader::OpenText(const char* name, std::string text) {
    m_fileName = name ? name : "";
    m_lineNumber = 0;
    m_line.clear();
    m_linePos = 0;
    m_reader.OpenText(std::move(text));
    return Load();
}

int CTokenReader::ReadWord() {
    std::string line;
    bool tooLong = false;
    for (;;) {
        if (!m_reader.ReadLine(line, kReadLength, &tooLong)) {
            m_line.clear();
            m_linePos = 0;
            m_firstWord.clear();
            return TOKEN_END;
        }
        ++m_lineNumber;
        size_t start = 0;
        while (start < line.size() && IsBlank(line[start])) ++start;
        if (start == line.size()) continue;
        char c = line[start];
        if (c == ';' || c == '{' || c == '/') continue;
        break;
    }
    if (tooLong || line.size() > kMaxLineLength) {
        m_line.clear();
        m_linePos = 0;
        m_firstWord.clear();
        ReportScriptError("%s(%d) : Word length exceeds 511 bytes", m_fileName, m_lineNumber);
        return TOKEN_ERROR;
    }
    m_line = std::move(line);
    size_t begin = 0;
    while (begin < m_line.size() && IsBlank(m_line[begin])) ++begin;
    size_t end = begin;
    while (end < m_line.size() && !IsBlank(m_line[end])) ++end;
    m_firstWord.assign(m_line, begin, end - begin);
    // The first word is the statement; NextWord continues with its arguments.
    m_linePos = end;
    int id = FindToken(m_firstWord);
    if (id >= 0) return id;
    return m_firstWord.find("[END]") != std::string::npos ? TOKEN_END : TOKEN_UNKNOWN;
}

const char* CTokenReader::NextWord() {
    m_word.clear();
    size_t i = m_linePos;
    while (i < m_line.size() && (IsBlank(m_line[i]) || m_line[i] == '=')) ++i;
    if (i < m_line.size() && m_line[i] == '"') {
        ++i;
        while (i < m_line.size() && m_line[i] != '"') {
            if (m_line[i] == '\\' && i + 1 < m_line.size() && m_line[i + 1] == 'n') {
                m_word += "\r\n";
                i += 2;
                continue;
            }
            m_word += m_line[i++];
        }
        if (i < m_line.size()) ++i;  // the closing quote
    } else {
        while (i < m_line.size() && !IsBlank(m_line[i])) m_word += m_line[i++];
    }
    m_linePos = i;
    return m_word.c_str();
}

void CTokenReader::StoreScriptError(std::string text) { ErrorReport().Set(ERR_DATA, std::move(text)); }
