#include "engine/MessageTable.h"

CMessageTable* g_pMessageTable = nullptr;

CMessageTable::CMessageTable() {
    if (!g_pMessageTable) g_pMessageTable = this;
}

CMessageTable::~CMessageTable() {
    if (g_pMessageTable == this) g_pMessageTable = nullptr;
}

const char* CMessageTable::GetMsg(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= m_messages.size()) return "";
    return m_messages[static_cast<size_t>(index)].c_str();
}

void CMessageTable::SetMsg(int index, std::string text) {
    if (index < 0) return;
    if (static_cast<size_t>(index) >= m_messages.size()) m_messages.resize(static_cast<size_t>(index) + 1);
    m_messages[static_cast<size_t>(index)] = std::move(text);
}

const char* GetMessageText(int index) { return g_pMessageTable ? g_pMessageTable->GetMsg(index) : ""; }
