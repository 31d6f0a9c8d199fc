// The players' board of a match ("PLAY_PLAYER_RANK.DUI"), shown with Insert:
// one line per player with connection mark, colour, hero level and name, and
// columns of kills and deaths. Players who left stay on it in grey, at the
// bottom.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/UiWindow.h"

class CPlayScreen;
class CPlayerSlot;
class CUiStatic;

class CPlayerRankWindow : public CUiWindow {
public:
    explicit CPlayerRankWindow(CPlayScreen* play) : m_play(play) {}

    int OnLayoutLoaded() override;
    // Rebuilds the three columns from the player slots.
    void Refresh();

    // The score of a player still loading is not recomputed here.
    static int32_t ComputeScore(const CPlayerSlot& slot);
    // Whether a goes above b on the board (matchRule: the world's match kind).
    static bool RanksAbove(const CPlayerSlot& a, bool aGone, const CPlayerSlot& b, bool bGone, int32_t matchRule);
    // The message entry of a connection mark: good, normal, and bad for any other class.
    static int ConnectionMark(uint8_t connectionClass);
    // The name colour of a position (0xRRGGBB).
    static uint32_t NameColour(bool gone, bool local, bool sameTeam, const std::string& name);

    CUiStatic* Names() const { return m_names; }
    CUiStatic* Kills() const { return m_kills; }
    CUiStatic* Deaths() const { return m_deaths; }
    CUiStatic* Title() const { return m_title; }

private:
    CPlayScreen* m_play;
    CUiStatic* m_names = nullptr;
    CUiStatic* m_kills = nullptr;
    CUiStatic* m_deaths = nullptr;
    CUiStatic* m_title = nullptr;
};
