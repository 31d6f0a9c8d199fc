// The combination panel of the market ("COMB.DUI"): nine places for cards
// from the inventory, a close and a combine button. Clicks become latches;
// the market screen keeps the table behind the places (CCombineTable).
#pragma once

#include <array>

#include "screens/lobby/MarketWindows.h"

class CCombineWindow : public CUiWindow {
public:
    static constexpr int kPlaces = 9;

    int OnLayoutLoaded() override;
    void OnLButtonClick(CUiObject* control) override;

    void SetHolding(bool holding) { m_holding = holding; }
    // 368 for card combination, 369 for jewel combination.
    void SetTitle(int kind);
    void ClearSlotMarks();
    CLatch& CloseLatch() { return m_close; }
    CLatch& CombineLatch() { return m_combine; }
    CLatch& PickLatch() { return m_pick; }
    const CardPlace& Place(int n) const { return m_places[static_cast<size_t>(n)]; }

private:
    std::array<CardPlace, kPlaces> m_places{};
    CLatch m_close, m_combine, m_pick;
    bool m_holding = false;
    CUiStatic* m_title = nullptr;
    CUiButton* m_closeButton = nullptr;
    CUiButton* m_combineButton = nullptr;
};
