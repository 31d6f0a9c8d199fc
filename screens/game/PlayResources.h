// The play-time resources the application holds for the whole run: the
// tooltip and the one message box (loaded by the start-up job and handed to
// the UI manager's upper layer), and the resources the match screens read:
// the hero selection auras, the weather effects with their looping sound, and
// the frame texture of item icons. What is empty here is loaded by the match
// screens' own issues; Release gives back whatever is held.
#pragma once

#include <array>

#include "engine/resource/Resource.h"

class CUiFramedWindow;
class CUiMessageBox;

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

private:
    CResource* m_tooltipLayout = nullptr;
    CResource* m_messageBoxLayout = nullptr;
};

extern CPlayResources* g_pPlayResources;
