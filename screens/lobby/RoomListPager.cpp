#include "screens/lobby/RoomListPager.h"

int CRoomListPager::Move(int step) {
    if (!PageButtonsEnabled()) return 0;
    int& page = m_pages[m_kind == ROOM_LIST_WAITING ? 1 : 0];
    const int moved = page + step;
    if (moved < 0 || moved > kLastRoomPage) return 0;
    page = moved;
    m_pageCoolDown = kCoolDown;
    return 1;
}

int CRoomListPager::SwitchKind(uint16_t kind) {
    kind = kind == ROOM_LIST_WAITING ? ROOM_LIST_WAITING : ROOM_LIST_ALL;
    if (kind == m_kind || !KindBoxEnabled(kind)) return 0;
    m_kind = kind;
    m_kindCoolDown = kCoolDown;
    return 1;
}

void CRoomListPager::Tick(float dt) {
    if (m_pageCoolDown > 0.0f) m_pageCoolDown -= dt;
    if (m_kindCoolDown > 0.0f) m_kindCoolDown -= dt;
}
