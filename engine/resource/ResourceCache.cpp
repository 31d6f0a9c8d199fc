#include "engine/resource/ResourceCache.h"

#include "engine/core/NameHash.h"

CResource* CResourceCache::Find(std::string_view fileName, const void* owner) const {
    auto [first, last] = m_entries.equal_range(NameHash(fileName));
    for (auto it = first; it != last; ++it) {
        if (it->second->Name() == fileName && it->second->CacheOwner() == owner) return it->second;
    }
    return nullptr;
}

bool CResourceCache::Contains(const CResource* resource) const {
    if (!resource) return false;
    auto [first, last] = m_entries.equal_range(NameHash(resource->Name()));
    for (auto it = first; it != last; ++it) {
        if (it->second == resource) return true;
    }
    return false;
}

int CResourceCache::Insert(CResource* resource) {
    if (!resource || resource->Name().empty() || Find(resource->Name(), resource->CacheOwner())) return 0;
    if (resource->RefCount() <= 0) resource->SetRefCount(1);
    m_entries.emplace(NameHash(resource->Name()), resource);
    return 1;
}

int CResourceCache::Remove(const CResource* resource) {
    if (!resource) return 0;
    auto [first, last] = m_entries.equal_range(NameHash(resource->Name()));
    for (auto it = first; it != last; ++it) {
        if (it->second == resource) {
            m_entries.erase(it);
            return 1;
        }
    }
    return 0;
}

void CResourceCache::ForEach(const std::function<bool(CResource&)>& fn) const {
    for (const auto& entry : m_entries) {
        if (!fn(*entry.second)) return;
    }
}
