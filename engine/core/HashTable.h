// A flat open-addressing table keyed by a 32-bit name hash. The name-indexed
// look-ups of the client (file index, caches) run for every file and resource
// request; one probe sequence in a contiguous array of small slots costs about
// one cache miss where a node-based map costs several. Empty slots are marked
// by a reserved key, and the one value whose key is that reserved key is kept
// beside the array, so a slot is just the key and the value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

template <typename V>
class CHashTable {
public:
    V* Find(uint32_t key) {
        if (key == kEmpty) return m_hasEmptyKey ? &m_emptyKeyValue : nullptr;
        if (m_slots.empty()) return nullptr;
        size_t mask = m_slots.size() - 1;
        for (size_t i = Mix(key) & mask;; i = (i + 1) & mask) {
            Slot& s = m_slots[i];
            if (s.key == key) return &s.value;
            if (s.key == kEmpty) return nullptr;
        }
    }
    const V* Find(uint32_t key) const { return const_cast<CHashTable*>(this)->Find(key); }

    // The value under key, default-constructed when it was not there.
    V& Insert(uint32_t key) {
        if (key == kEmpty) {
            if (!m_hasEmptyKey) {
                m_hasEmptyKey = true;
                m_emptyKeyValue = V();
                ++m_count;
            }
            return m_emptyKeyValue;
        }
        if ((m_count + 1) * 2 > m_slots.size()) Grow();
        size_t mask = m_slots.size() - 1;
        for (size_t i = Mix(key) & mask;; i = (i + 1) & mask) {
            Slot& s = m_slots[i];
            if (s.key == key) return s.value;
            if (s.key == kEmpty) {
                s.key = key;
                s.value = V();
                ++m_count;
                return s.value;
            }
        }
    }

    void Clear() {
        m_slots.clear();
        m_count = 0;
        m_hasEmptyKey = false;
        m_emptyKeyValue = V();
    }
    size_t Size() const { return m_count; }
    bool Empty() const { return m_count == 0; }

    template <typename F>
    void ForEach(F&& f) const {
        if (m_hasEmptyKey) f(kEmpty, m_emptyKeyValue);
        for (const Slot& s : m_slots)
            if (s.key != kEmpty) f(s.key, s.value);
    }

private:
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;

    struct Slot {
        uint32_t key = kEmpty;
        V value{};
    };

    // Hashes of similar names differ little in their low bits; the high bits
    // of a multiplicative mix spread them over the table.
    static size_t Mix(uint32_t key) {
        return static_cast<size_t>((static_cast<uint64_t>(key) * 0x9E3779B97F4A7C15ull) >> 32);
    }

    void Grow() {
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(old.empty() ? 16 : old.size() * 2, Slot());
        m_count = m_hasEmptyKey ? 1 : 0;
        for (Slot& s : old)
            if (s.key != kEmpty) Insert(s.key) = std::move(s.value);
    }

    std::vector<Slot> m_slots;
    size_t m_count = 0;
    bool m_hasEmptyKey = false;
    V m_emptyKeyValue{};
};
