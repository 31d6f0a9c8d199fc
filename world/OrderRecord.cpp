#include "world/OrderRecord.h"

#include <memory>

namespace {

// Blocks of records handed out one by one and never given back to the heap.
struct OrderPool {
    static constexpr int kBlock = 64;
    std::vector<std::unique_ptr<COrderRecord[]>> blocks;
    COrderRecord* free = nullptr;
    int32_t live = 0;

    COrderRecord* Take() {
        if (!free) {
            blocks.push_back(std::make_unique<COrderRecord[]>(kBlock));
            COrderRecord* b = blocks.back().get();
            for (int i = 0; i < kBlock; ++i) {
                b[i].next = free;
                free = &b[i];
            }
        }
        COrderRecord* r = free;
        free = r->next;
        *r = COrderRecord{};
        ++live;
        return r;
    }
    void Give(COrderRecord* r) {
        r->next = free;
        free = r;
        --live;
    }
};

OrderPool& Pool() {
    static OrderPool pool;
    return pool;
}

}  // namespace

COrderRecord* COrderRecord::Allocate() { return Pool().Take(); }

void COrderRecord::Release(COrderRecord* record) {
    if (record) Pool().Give(record);
}

int32_t COrderRecord::LiveCount() { return Pool().live; }

void COrderList::Add(int32_t kind, int32_t subKind, const platform::Vec3& point, int32_t targetId, int32_t extra,
                     bool atFront) {
    COrderRecord* r = COrderRecord::Allocate();
    r->kind = kind;
    r->subKind = subKind;
    r->point = point;
    r->targetId = targetId;
    r->extra = extra;
    if (!m_head) {
        m_head = m_tail = r;
    } else if (atFront) {
        r->next = m_head;
        m_head = r;
    } else {
        m_tail->next = r;
        m_tail = r;
    }
}

COrderRecord* COrderList::PopFront() {
    COrderRecord* r = m_head;
    if (!r) return nullptr;
    m_head = r->next;
    if (!m_head) m_tail = nullptr;
    r->next = nullptr;
    return r;
}

void COrderList::Clear() {
    while (m_head) DropFront();
}

int32_t COrderList::Count() const {
    int32_t n = 0;
    for (COrderRecord* r = m_head; r; r = r->next) ++n;
    return n;
}
