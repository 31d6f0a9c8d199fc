// The play-time resources the application holds for the whole run: the
// tooltip and the one message box (loaded by the start-up job and handed to
// the UI manager's upper layer), and the resources the match screens read:
// the hero selection auras, the weather effects with their looping sound, and
// the frame texture of item icons. What is empty here is loaded by the match
// screens' own issues; Release gives back whatever is held.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/resource/Resource.h"

class CUiFramedWindow;
class CUiMessageBox;
class CUiObject;
class CGameDataRecord;

class CPlayResources {
public:
    static constexpr const char* kTooltipLayout = "TOOLTIP.DUI";
    static constexpr const char* kMessageBoxLayout = "MESSAGE_BOX.DUI";
    static constexpr const char* kRainEffect = "EFF_COM_ENV_RAIN01.DRE";
    static constexpr const char* kSnowEffect = "EFF_COM_ENV_SNOW01.DRE";
    static constexpr const char* kRainSound = "WEATHER-RAIN.OGG";

    CPlayResources();
    ~CPlayResources();
    CPlayResources(const CPlayResources&) = delete;
    CPlayResources& operator=(const CPlayResources&) = delete;

    // Runs on the loader thread. 1 when loaded; 0 with the error report set,
    // and nothing of this load is kept.
    int Load();
    // Gives back every reference and window held; harmless twice.
    void Release();
    // The 28 cursors of the screens, by the program's cursor ids (0: an empty entry).
    static constexpr int kCursorCount = 28;
    static const std::array<uint32_t, kCursorCount> kCursorIds;
    int LoadCursors();
    // One more reference on each HUD panel texture for the match; 0 at the
    // first that fails (those taken before stay pinned).
    int HoldPanelTextures();
    void ReleasePanelTextures();
    size_t PinnedCount() const { return m_pinned.size(); }
    // The race (or class) icon and name of a UNIT record on the control; hidden
    // when the record names none.
    void SetRaceIcon(CUiObject* control, const CGameDataRecord* unit) const;
    void SetClassIcon(CUiObject* control, const CGameDataRecord* unit) const;
    // 0..3 from the record's flag word (bit 0x10 and the race bits), else 4.
    static int RaceIndex(uint32_t flags);
    // The entry of a name list, or "" past its end.
    static std::string ListEntry(const std::vector<std::string>& list, int index);

    // Null until loaded, and again once the UI manager has deleted the window.
    CUiFramedWindow* Tooltip() const;
    CUiMessageBox* MessageBox() const;

    // The hero auras under selected units: light, darkness, the player's own.
    std::array<CResource*, 3> selectionMarkers{};
    // The weather of the ambient event: rain and snow, and the rain's loop
    // (null with the sound off).
    std::array<CResource*, 2> ambientEffects{};
    CResource* ambientSound = nullptr;
    // The frame drawn 3 pixels outside an item icon; the level frame draws
    // untextured while it is empty.
    CResource* itemIconFrame = nullptr;

    enum Texture {
        TEX_SELECT_OBJECT, TEX_MAP_HERO, TEX_MAP_NOTIFY, TEX_MAP_NOTIFY_CIRCLE, TEX_SKILL_REGION, TEX_SHADOW,
        TEX_COOLTIMER, TEX_SELECT_SKILL, TEX_VICTORY, TEX_DEFEAT, TEX_SELECT_SKILL_ON, TEX_SELECT_OVER,
        TEX_PANEL_ALPHA, TEX_GAUGE_SHELL, TEX_ATTACK_FONT, TEX_PLUS_FONT, TEX_MISS_FONT, TEX_SELECT_BOX, TEX_COUNT
    };
    enum Sound {
        SND_GONG, SND_MAP_ALARM, SND_ERROR, SND_GET_ITEM, SND_SELL_ITEM, SND_PICKUP_ITEM, SND_PUTDOWN_ITEM,
        SND_FIRST_BLOOD, SND_COUNT
    };
    std::array<CResource*, TEX_COUNT> textures{};
    // Null with the sound switched off.
    std::array<CResource*, SND_COUNT> sounds{};
    // One of the sound effects above, once, if it loaded.
    void PlaySound(size_t which) const;
    CResource* levelUpEffect = nullptr;
    // Move, attack and flag; the flag's model twice.
    std::array<CResource*, 4> clickMarkers{};
    std::array<CResource*, 5> raceIcons{};  // the fifth stays empty
    std::array<CResource*, 4> classIcons{};
    std::array<CResource*, 100> levelIcons{};  // level 1 at index 0
    std::array<CResource*, 7> disabledIcons{};
    std::vector<std::string> raceNames, classNames, rankNames, badRankNames, skillAttackMessages, gameModeNames;

private:
    CResource* m_tooltipLayout = nullptr;
    CResource* m_messageBoxLayout = nullptr;
    std::vector<CResource*> m_pinned;
};

extern CPlayResources* g_pPlayResources;

namespace platform {
class CGfxTexture;
}
// The device texture of one of the play resources' pictures; null when the
// resources or the picture are not loaded.
platform::CGfxTexture* PlayTexture(int which);
