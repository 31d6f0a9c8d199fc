// Fixed-size blocks handed out from chunks that are allocated a chunk at a
// time and given back to the heap only when the pool is destroyed, so objects
// made and freed every frame (command records, effect instances, projectiles,
// floating texts) cost no allocation in steady play.
//
// Each block is the object's bytes followed by the link of the free list. The
// free list is first in, first out: a block is taken at the head and released
// to the tail, so a released block is handed out again only after every block
// that was free before it. A pool is used by one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

template <typename T>
class CBlockPool {
    // Chunks come from new[], which aligns this far.
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);

public:
    // blockBytes is the object's size; a pool of variable-size records (one
    // pool per record size) passes its own. A chunk holds blocksPerChunk blocks.
    explicit CBlockPool(size_t blocksPerChunk, size_t blockBytes = sizeof(T))
        : m_blocksPerChunk(blocksPerChunk ? blocksPerChunk : 1),
          m_objectBytes(blockBytes ? blockBytes : 1),
          m_stride(RoundUp(RoundUp(m_objectBytes, alignof(Link)) + sizeof(Link), kAlign)) {}
    ~CBlockPool() = default;
    CBlockPool(const CBlockPool&) = delete;
    CBlockPool& operator=(const CBlockPool&) = delete;
    // Chunks never move, so the free list goes along unchanged.
    CBlockPool(CBlockPool&& other) noexcept
        : m_blocksPerChunk(other.m_blocksPerChunk),
          m_objectBytes(other.m_objectBytes),
          m_stride(other.m_stride),
          m_chunks(std::move(other.m_chunks)),
          m_head(std::exchange(other.m_head, nullptr)),
          m_tail(std::exchange(other.m_tail, nullptr)),
          m_free(std::exchange(other.m_free, 0)) {}
    CBlockPool& operator=(CBlockPool&&) = delete;

    // A block of raw bytes, or null when no chunk can be allocated.
    void* Take() {
        if (!m_head && !Grow()) return nullptr;
        uint8_t* block = m_head;
        m_head = LinkOf(block);
        if (!m_head) m_tail = nullptr;
        LinkOf(block) = nullptr;
        --m_free;
        return block;
    }

    // Back to the tail of the free list. Null is ignored.
    void Release(void* p) {
        if (!p) return;
        uint8_t* block = static_cast<uint8_t*>(p);
        LinkOf(block) = nullptr;
        if (m_tail)
            LinkOf(m_tail) = block;
        else
            m_head = block;
        m_tail = block;
        ++m_free;
    }

    // An object constructed in place in a fresh block, or null.
    template <typename... Args>
    T* Construct(Args&&... args) {
        void* p = Take();
        return p ? new (p) T(std::forward<Args>(args)...) : nullptr;
    }
    void Destroy(T* object) {
        if (!object) return;
        object->~T();
        Release(object);
    }

    // One more chunk, its blocks appended to the free list in address order.
    bool Grow() {
        std::unique_ptr<uint8_t[]> chunk(new (std::nothrow) uint8_t[m_stride * m_blocksPerChunk]);
        if (!chunk) return false;
        uint8_t* base = chunk.get();
        m_chunks.push_back(std::move(chunk));
        for (size_t i = 0; i < m_blocksPerChunk; ++i) Release(base + i * m_stride);
        return true;
    }

    size_t BlocksPerChunk() const { return m_blocksPerChunk; }
    size_t ObjectBytes() const { return m_objectBytes; }
    size_t ChunkCount() const { return m_chunks.size(); }
    size_t FreeCount() const { return m_free; }
    // The block that the next Take hands out (null when a chunk must be added).
    const void* NextFree() const { return m_head; }

private:
    using Link = uint8_t*;
    static constexpr size_t kAlign = alignof(Link) > alignof(T) ? alignof(Link) : alignof(T);
    static constexpr size_t RoundUp(size_t n, size_t a) { return (n + a - 1) / a * a; }

    Link& LinkOf(uint8_t* block) const { return *std::launder(reinterpret_cast<Link*>(block + m_stride - sizeof(Link))); }

    size_t m_blocksPerChunk;
    size_t m_objectBytes;
    size_t m_stride;
    std::vector<std::unique_ptr<uint8_t[]>> m_chunks;
    uint8_t* m_head = nullptr;
    uint8_t* m_tail = nullptr;
    size_t m_free = 0;
};
