// The nickname screen's list ("SELECT_NICKNAME.DUI"): the account's three
// nickname slots with rank, wins and losses, the account's disconnect record,
// and the join, make, delete and back buttons.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "ui/UiWindow.h"

class CUiButton;
class CUiCheckButton;
class CUiStatic;

// One slot of PK_NICKNAME_LIST.
struct NicknameSlot {
    std::string nickname;  // empty: a free slot
    uint32_t rank = 0;
    uint32_t rankPoints = 0;
    uint16_t wins = 0;
    uint16_t losses = 0;
};

// PK_NICKNAME_LIST: u8 ok, u8 code, three 71-byte member entries from offset 2
// (nickname of 17 bytes at +19, rank at +48, rank points at +52, wins at +56,
// losses at +58); the account's two disconnect counters are entry 0's +60 and +62.
struct NicknameList {
    static constexpr size_t kSize = 215;
    static constexpr size_t kEntrySize = 71;
    static constexpr size_t kNicknameSize = 17;
    uint8_t ok = 0;
    uint8_t code = 0;
    std::array<NicknameSlot, 3> slots;
    uint16_t disconnects = 0;
    uint16_t disconnectPoints = 0;
};
// 1 read; 0 when the payload ends before a field.
int ReadNicknameList(const uint8_t* data, size_t size, NicknameList* list);
// Disconnect level 0 to 6: a level per 30 points.
int DisconnectLevel(uint16_t points);

class CSelectNicknameWindow : public CUiWindow {
public:
    enum Request { REQUEST_JOIN, REQUEST_MAKE, REQUEST_DELETE, REQUEST_BACK, REQUEST_COUNT };
    static constexpr int kSlots = 3;

    int OnLayoutLoaded() override;
    void OnLButtonClick(CUiObject* control) override;
    void OnLButtonDoubleClick(CUiObject* control) override;

    void Fill(const NicknameList& list);
    // Selects and checks a slot that holds a nickname; else nothing changes.
    void SelectSlot(int slot);
    int Selected() const { return m_selected; }
    const std::string& SelectedNickname() const;
    bool HasNickname(int slot) const { return slot >= 0 && slot < kSlots && !m_names[slot].empty(); }
    // 1 when the request was raised; it is then cleared.
    int TakeRequest(int index);
    void RaiseRequest(int index) { m_requests[index] = 1; }
    // The nick, win and lose texts follow the window's fade: hidden while
    // it runs, and given back once the screen is shown (a fade of the whole
    // screen does not give them back by itself).
    void SetSlotTextAlpha(float alpha);

    CUiStatic* NickStatic(int slot) const { return m_nick[slot]; }
    CUiStatic* ClassStatic(int slot) const { return m_class[slot]; }
    CUiCheckButton* Bar(int slot) const { return m_bar[slot]; }
    CUiStatic* Disgrace() const { return m_disgrace; }

private:
    int SlotOf(const CUiObject* control) const;

    CUiButton* m_buttons[REQUEST_COUNT] = {};
    int m_requests[REQUEST_COUNT] = {};
    CUiStatic* m_class[kSlots] = {};
    CUiStatic* m_win[kSlots] = {};
    CUiStatic* m_lose[kSlots] = {};
    CUiStatic* m_nick[kSlots] = {};
    CUiStatic* m_disgrace = nullptr;
    CUiStatic* m_disCount = nullptr;
    CUiStatic* m_disPoint = nullptr;
    CUiStatic* m_disHelp = nullptr;
    CUiCheckButton* m_bar[kSlots] = {};
    std::string m_names[kSlots];
    int m_selected = -1;
};
