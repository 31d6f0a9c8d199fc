#include "engine/Resource.h"

#include "engine/NameHash.h"

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
