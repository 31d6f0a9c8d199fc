// Vertex and index buffers: bytes in memory that a device uploads when they
// changed. Locks take byte ranges; a size of 0 locks to the end.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/GfxResource.h"

namespace platform {

class CGfxBuffer : public CGfxResource {
public:
    uint32_t GetLength() const { return static_cast<uint32_t>(m_data.size()); }
    GfxResult Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags);
    GfxResult Unlock();
    bool IsLocked() const { return m_locked; }
    const uint8_t* Data() const { return m_data.data(); }
    std::mutex& DataMutex() { return m_mutex; }

protected:
    CGfxBuffer(std::shared_ptr<CGfxResourceTracker> tracker, uint32_t length, uint32_t usage, uint32_t pool);

private:
    std::vector<uint8_t> m_data;
    bool m_locked = false;
    uint32_t m_lockFlags = 0;
    std::mutex m_mutex;
};

class CGfxVertexBuffer : public CGfxBuffer {
public:
    CGfxVertexBuffer(std::shared_ptr<CGfxResourceTracker> tracker, uint32_t length, uint32_t usage, uint32_t fvf,
                     uint32_t pool)
        : CGfxBuffer(std::move(tracker), length, usage, pool), m_fvf(fvf) {}
    uint32_t GetFvf() const { return m_fvf; }

private:
    uint32_t m_fvf;
};

class CGfxIndexBuffer : public CGfxBuffer {
public:
    CGfxIndexBuffer(std::shared_ptr<CGfxResourceTracker> tracker, uint32_t length, uint32_t usage, uint32_t format,
                    uint32_t pool)
        : CGfxBuffer(std::move(tracker), length, usage, pool), m_format(format) {}
    uint32_t GetFormat() const { return m_format; }

private:
    uint32_t m_format;
};

// The vertex layout of a stream.
class CGfxVertexDeclaration : public CGfxObject {
public:
    explicit CGfxVertexDeclaration(std::vector<GfxVertexElement> elements) : m_elements(std::move(elements)) {}
    const std::vector<GfxVertexElement>& Elements() const { return m_elements; }

private:
    std::vector<GfxVertexElement> m_elements;
};

}  // namespace platform
