// The local queue of records waiting to run: a ring of record pointers that
// grows by doubling and never shrinks, so queueing and running records costs
// no allocation once a match has warmed up. Records are taken at the front,
// added at the back, and a record that must wait goes back to the front.
#pragma once

#include <cstddef>
#include <vector>

class CGameCommand;

class CCommandQueue {
public:
    bool empty() const { return m_count == 0; }
    size_t size() const { return m_count; }

    void push_back(CGameCommand* record) {
        if (m_count == m_ring.size()) Grow();
        m_ring[(m_head + m_count) & (m_ring.size() - 1)] = record;
        ++m_count;
    }
    void push_front(CGameCommand* record) {
        if (m_count == m_ring.size()) Grow();
        m_head = (m_head + m_ring.size() - 1) & (m_ring.size() - 1);
        m_ring[m_head] = record;
        ++m_count;
    }
    // The queue must not be empty.
    CGameCommand* pop_front() {
        CGameCommand* record = m_ring[m_head];
        m_head = (m_head + 1) & (m_ring.size() - 1);
        --m_count;
        return record;
    }
    CGameCommand* front() const { return m_ring[m_head]; }
    CGameCommand* back() const { return (*this)[m_count - 1]; }
    CGameCommand* operator[](size_t i) const { return m_ring[(m_head + i) & (m_ring.size() - 1)]; }
    void clear() {
        m_head = 0;
        m_count = 0;
    }

private:
    void Grow() {
        std::vector<CGameCommand*> ring(m_ring.empty() ? 64 : m_ring.size() * 2);
        for (size_t i = 0; i < m_count; ++i) ring[i] = (*this)[i];
        m_ring.swap(ring);
        m_head = 0;
    }

    std::vector<CGameCommand*> m_ring;  // size is a power of two
    size_t m_head = 0;
    size_t m_count = 0;
};
