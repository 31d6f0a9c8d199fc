// What the hero select and my-info windows draw over their hero buttons: the
// not-owned overlay "NO_CHAR_CARD.DDS" on a hero the player has no card for,
// else the level frame of the player's card, and a highlight on the hero on
// show. The overlay texture belongs to this object.
#pragma once

class CResource;
class CUiObject;

class CHeroCardMarks {
public:
    CHeroCardMarks() = default;
    CHeroCardMarks(const CHeroCardMarks&) = delete;
    CHeroCardMarks& operator=(const CHeroCardMarks&) = delete;
    ~CHeroCardMarks();

    // 0 with the error report set when the overlay cannot be loaded.
    int Load();
    // Over a shown button: the overlay when the hero is not owned, else the
    // level frame when the card level is above 0.
    void DrawCard(CUiObject* button, bool owned, int cardLevel) const;
    // The level frame with its "+level" on a shown control (level above 0).
    static void DrawLevel(CUiObject* control, int level);
    // A bright veil over a shown button.
    static void DrawHighlight(CUiObject* button);
    static constexpr unsigned kHighlightColour = 0x60FFFFFFu;

private:
    CResource* m_overlay = nullptr;
};
