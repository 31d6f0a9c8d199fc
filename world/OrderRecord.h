// An order that waits: in a combat object's current-order list (until what
// blocks it ends) or its queued-order list (to run after the present one).
// Records come from one process-wide pool of fixed blocks, so that the many
// short-lived orders of a match never reach the heap once it has warmed up.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Math.h"

struct COrderRecord {
    int32_t kind = 0;
    int32_t subKind = 0;
    platform::Vec3 point;
    int32_t targetId = -1;
    int32_t extra = -1;
    COrderRecord* next = nullptr;

    // A cleared record from the pool; records go back through Release.
    static COrderRecord* Allocate();
    static void Release(COrderRecord* record);
    // Records out of the pool now (for the tests' leak checks).
    static int32_t LiveCount();
};

// A singly linked list of pooled order records, first to last.
class COrderList {
public:
    COrderList() = default;
    ~COrderList() { Clear(); }
    COrderList(const COrderList&) = delete;
    COrderList& operator=(const COrderList&) = delete;

    void Add(int32_t kind, int32_t subKind, const platform::Vec3& point, int32_t targetId, int32_t extra,
             bool atFront);
    // Unlinks the first record and hands it to the caller (null when empty).
    COrderRecord* PopFront();
    void DropFront() { COrderRecord::Release(PopFront()); }
    void Clear();
    bool Empty() const { return !m_head; }
    int32_t Count() const;
    COrderRecord* Front() const { return m_head; }

private:
    COrderRecord* m_head = nullptr;
    COrderRecord* m_tail = nullptr;
};
