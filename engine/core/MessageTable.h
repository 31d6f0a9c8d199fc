// The client's user-visible texts by number and the start-up values of
// "GAMEINFO.DAT" by key.
//
// "MSG.DAT" is an INI file: section [MESSAGE], one key per text (the names of
// engine/core/MessageKeys.h), values up to 511 bytes, where the two characters
// backslash and n stand for a line break. It may lie loose or inside a package
// entry; only the entry's bytes are read.
//
// "GAMEINFO.DAT" is an "[END]"-terminated text file of "key = value" lines: the
// key is the text before the first '=' with every blank and tab removed, the
// value the text after it with leading blanks and tabs removed (inner and
// trailing ones kept). Lines without '=', with an empty key or an empty value
// are skipped; a later line replaces an earlier value of the same key; keys are
// case-sensitive.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/core/MessageKeys.h"

#define QOR_MESSAGE_ID(name) name,
enum MessageId : int { QOR_MESSAGE_KEYS(QOR_MESSAGE_ID) MESSAGE_COUNT };
#undef QOR_MESSAGE_ID

static_assert(MESSAGE_COUNT == 400, "MSG.DAT holds exactly 400 texts");

// The key name of a message number ("" outside the table).
const char* MessageKeyName(int index);

class CMessageTable {
public:
    CMessageTable();
    ~CMessageTable();
    CMessageTable(const CMessageTable&) = delete;
    CMessageTable& operator=(const CMessageTable&) = delete;

    // Reads all 400 texts from the whole INI file at path. 1 when every text
    // was read; 0 with the error report set ("not found message-<key>" for the
    // first missing one).
    int LoadMessages(const char* path);
    // The same from the byte range [offset, offset + size) of the file, when
    // "MSG.DAT" is a package entry. An empty entry is an empty file.
    int LoadMessages(const char* path, uint32_t offset, uint32_t size);

    // Reads an information file found through the file index. 1 when read; 0
    // with error 10001 and message 7 when it cannot be found or opened.
    int LoadInfoFile(const char* fileName);

    // The text of a message; an index outside the table gives an empty text.
    const char* GetMsg(int index) const;
    // Stores a text directly (tests and the loaders).
    void SetMsg(int index, std::string text);

    // The value of an information key, or "" when absent (so atoi gives 0).
    const char* GetInfo(const char* key) const;

    const std::string& MessagePath() const { return m_path; }

    // Parses one information line; false when the line holds no pair.
    static bool ParseInfoLine(std::string_view line, std::string* key, std::string* value);

private:
    int BindAll(const char* path, uint32_t offset, uint32_t size);
    int BindMessage(int index, const char* section, const char* key, const std::string& file);
    int CountMessages();

    std::vector<std::string> m_messages;
    std::string m_path;
    std::unordered_map<uint32_t, std::string> m_info;
};

extern CMessageTable* g_pMessageTable;

// The registered table's text, or an empty text when no table is loaded yet.
const char* GetMessageText(int index);

// Message 7 (a file that cannot be found) as a format for one file name; a
// plain English text while no table is loaded, so the report is never empty.
const char* FileNotFoundFormat();
