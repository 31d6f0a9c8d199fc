// The base of every cached resource: the reference count the resource manager
// keeps, the type id, whether its device objects exist, its name with the name
// hash that keys the cache, and where its file lies (a loose file, or a range
// inside a package).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/core/EngineObject.h"

// Type ids of the resource manager's caches.
enum ResourceType : int32_t {
    RES_MODEL = 0,         // ".DRC" models
    RES_EFFECT = 1,        // ".DRE" effects
    RES_SOUND_EFFECT = 2,  // ".WAV" / ".OGG" sound effects
    RES_STREAM_SOUND = 3,  // ".WAV" / ".OGG" streamed sound
    RES_MESH = 4,          // meshes named inside models and effects
    RES_ANIMATION = 5,     // animations named inside models
    RES_LAYOUT = 6,        // ".DUI" layouts
    RES_TEXTURE = 7,       // ".DDS" textures
    RES_TYPE_COUNT = 8,
};

// A package entry must lie inside its package before anything is allocated for
// it or read: 1 when [offset, offset + size) fits in the file at path, 0 with
// the error report set (size 0, a loose file, always fits).
int CheckPackageRange(const std::string& path, uint32_t offset, uint32_t size, std::string_view name);

class CResource : public CEngineObject {
public:
    explicit CResource(int32_t type) : m_type(type) {}
    // Clears what the base holds; a derived class unloads its own data in its
    // destructor (a base destructor cannot reach the derived Unload).
    ~CResource() override;

    // Reads the file at path (the resolved path; offset and size are already
    // set for a package entry). 1 on success; 0 after setting the error report.
    virtual int Load(const char* path, int flag) = 0;
    // Re-creates device objects after a device reset.
    virtual int Restore() { return 1; }
    // Releases device objects when the device is lost.
    virtual void Invalidate() {}
    // Frees what Load made and forgets where the file was.
    virtual void Unload();

    // Stores the file-name part under which the resource is cached, with its hash.
    void SetName(std::string_view fileName);

    int32_t RefCount() const { return m_refCount; }
    void SetRefCount(int32_t count) { m_refCount = count; }
    void AddRef() { ++m_refCount; }
    // One reference fewer; the count that remains.
    int32_t DropRef() { return --m_refCount; }

    int32_t Type() const { return m_type; }
    int32_t State() const { return m_state; }
    uint32_t NameHashValue() const { return m_nameHash; }
    const std::string& Name() const { return m_name; }
    const std::string& Path() const { return m_path; }
    uint32_t Offset() const { return m_offset; }
    uint32_t Size() const { return m_size; }
    bool IsPackageEntry() const { return m_size != 0; }

    // A second key beside the name: layouts are cached per owner window, since
    // each window loads its own controls from the same file. Null for the rest.
    const void* CacheOwner() const { return m_cacheOwner; }
    void SetCacheOwner(const void* owner) { m_cacheOwner = owner; }

    void SetPath(std::string path) { m_path = std::move(path); }
    void SetLocation(uint32_t offset, uint32_t size) {
        m_offset = offset;
        m_size = size;
    }

protected:
    void SetState(int32_t state) { m_state = state; }

private:
    void ClearBase();

    int32_t m_refCount = 0;
    int32_t m_type;
    int32_t m_state = 0;  // 0: device objects absent or not loaded; 1: loaded and usable
    uint32_t m_nameHash = 0;
    const void* m_cacheOwner = nullptr;
    uint32_t m_offset = 0;  // inside the package; 0 for a loose file
    uint32_t m_size = 0;    // bytes inside the package; 0 for a loose file read whole
    std::string m_name;     // file-name part of the requested name
    std::string m_path;     // the requested name, then the path the type's Load opened
};
