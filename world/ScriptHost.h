// What a mission script needs of the play screen and its panels. The play
// screen implements it and registers itself while it runs; tests give their own.
#pragma once

#include <cstdint>

class CCamera;
class IMessageBoxHost;

class IScriptHost {
public:
    virtual ~IScriptHost() = default;

    virtual void SelectOwnHero() = 0;
    virtual void StartScreenFade(bool fadeIn) = 0;
    // The scripted-move flags: set by a scripted move, cleared when the unit arrives.
    virtual void SetScriptedMove(bool moving) = 0;
    virtual void SetInputLocked(bool locked) = 0;
    virtual void SetPaused(bool paused) = 0;
    // The main panel's controls.
    virtual void SetControlsEnabled(bool enabled) = 0;
    // A storage button of the main panel holds an item of that record id.
    virtual bool HasStorageItem(uint32_t itemId) = 0;
    // The selected unit's inventory slots on the main panel show the item.
    virtual bool HasInventoryItem(uint32_t itemId) = 0;
    // Items of that record id in the hero's eight slots and the player's eight stored slots.
    virtual int32_t CountItems(uint32_t itemId) = 0;
    virtual void RestockShopItem(uint32_t itemId) = 0;
    // A click of mouse button 0 (left), 1 (right) or 2 (middle) this frame.
    virtual bool MouseClicked(int32_t button) = 0;
    // Null when there is none.
    virtual CCamera* Camera() = 0;
    virtual IMessageBoxHost* MessageBox() = 0;
};

// Null while no play screen runs a script.
extern IScriptHost* g_pScriptHost;
