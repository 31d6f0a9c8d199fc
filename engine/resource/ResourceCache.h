// One type's cache of loaded resources, keyed by the name hash of the file-name
// part. Two different names that share a hash get two entries: a look-up
// compares the stored name, so a collision never hands out another file.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string_view>

#include "engine/resource/Resource.h"

class CResourceCache {
public:
    CResourceCache() = default;
    CResourceCache(const CResourceCache&) = delete;
    CResourceCache& operator=(const CResourceCache&) = delete;

    // The cached resource of that file name (no folder) and cache owner, or null.
    CResource* Find(std::string_view fileName, const void* owner = nullptr) const;
    bool Contains(const CResource* resource) const;

    // Caches a loaded resource under its name (CResource::SetName). A resource
    // enters with the reference its creator holds: a count of 0 becomes 1.
    // Refused (0) when the resource has no name or its name and owner are cached already.
    int Insert(CResource* resource);
    // Takes the entry out without freeing the resource; 0 when it is not cached.
    int Remove(const CResource* resource);

    // Every cached resource, in key order; fn returns false to stop the walk.
    // fn must not load or release resources of this cache.
    void ForEach(const std::function<bool(CResource&)>& fn) const;
    size_t Count() const { return m_entries.size(); }

private:
    std::multimap<uint32_t, CResource*> m_entries;
};
