#include "engine/resource/Resource.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "platform/File.h"

int CheckPackageRange(const std::string& path, uint32_t offset, uint32_t size, std::string_view name) {
    if (size == 0) return 1;
    int64_t fileSize = platform::FileSize(path);
    if (fileSize >= 0 && static_cast<uint64_t>(offset) + size <= static_cast<uint64_t>(fileSize)) return 1;
    ErrorReport().SetError(ERR_DATA, GetMessageText(MSG_ERROR_FILE_NOT_READ), std::string(name));
    return 0;
}

CResource::~CResource() { ClearBase(); }

void CResource::Unload() { ClearBase(); }

void CResource::ClearBase() {
    m_nameHash = 0;
    m_offset = 0;
    m_size = 0;
    m_path.clear();
    m_state = 0;
}

void CResource::SetName(std::string_view fileName) {
    m_name = std::string(fileName);
    m_nameHash = NameHash(fileName);
}
