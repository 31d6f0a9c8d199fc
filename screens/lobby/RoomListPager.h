// The pages of the lobby's two room lists (all rooms, waiting rooms) and the
// cool-downs that keep the page buttons and the list-kind boxes from flooding
// the server: a press within a second of the last does nothing.
#pragma once

#include <cstdint>

#include "net/LobbyMessages.h"

class CRoomListPager {
public:
    static constexpr float kCoolDown = 1.0f;

    uint16_t Kind() const { return m_kind; }
    int Page(uint16_t kind) const { return m_pages[kind == ROOM_LIST_WAITING ? 1 : 0]; }
    int CurrentPage() const { return Page(m_kind); }

    // The page buttons: 1 when the page moved (the list is then requested);
    // 0 during the cool-down or at the first or last page.
    int Before() { return Move(-1); }
    int Next() { return Move(+1); }
    // A list-kind box checked: 1 when the other kind is now shown.
    int SwitchKind(uint16_t kind);
    // The frame's time off both cool-downs.
    void Tick(float dt);

    bool PageButtonsEnabled() const { return m_pageCoolDown <= 0.0f; }
    // While the kind's cool-down runs, the box of the kind not shown is disabled.
    bool KindBoxEnabled(uint16_t kind) const { return m_kindCoolDown <= 0.0f || kind == m_kind; }

private:
    int Move(int step);

    uint16_t m_kind = ROOM_LIST_ALL;
    int m_pages[2] = {};
    float m_pageCoolDown = 0.0f;
    float m_kindCoolDown = 0.0f;
};
