// The client's user-visible texts by number and the start-up values of
// "GAMEINFO.DAT" by key.
#pragma once

#include <string>
#include <vector>

enum MessageId {
    MSG_ERROR_FILE_NOT_FOUND = 7,
    MSG_ERROR_FILE_NOT_READ = 8,
    MSG_ERROR_FILE_VERSION = 12,
};

class CMessageTable {
public:
    CMessageTable();
    ~CMessageTable();
    CMessageTable(const CMessageTable&) = delete;
    CMessageTable& operator=(const CMessageTable&) = delete;

    // The text of a message; an index outside the table gives an empty text.
    const char* GetMsg(int index) const;

    // Stores a text directly (tests and the loaders).
    void SetMsg(int index, std::string text);

private:
    std::vector<std::string> m_messages;
};

extern CMessageTable* g_pMessageTable;

// The registered table's text, or an empty text when no table is loaded yet.
const char* GetMessageText(int index);
