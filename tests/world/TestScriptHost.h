// A play screen for mission scripts in tests: it registers itself while it
// lives, remembers what the script asked of it, and answers item and click
// questions with what the test set.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/render/Camera.h"
#include "tests/engine/RecordingMessageBox.h"
#include "world/ScriptHost.h"

class CTestScriptHost : public IScriptHost {
public:
    CTestScriptHost() { g_pScriptHost = this; }
    ~CTestScriptHost() override { g_pScriptHost = nullptr; }
    CTestScriptHost(const CTestScriptHost&) = delete;
    CTestScriptHost& operator=(const CTestScriptHost&) = delete;
    void SelectOwnHero() override { ++heroSelected; }
    void StartScreenFade(bool in) override { fades.push_back(in); }
    void SetScriptedMove(bool m) override { scriptedMove = m; }
    void SetInputLocked(bool l) override { inputLocked = l; }
    void SetPaused(bool p) override { paused = p; }
    void SetControlsEnabled(bool e) override { controls = e; }
    bool HasStorageItem(uint32_t id) override { return id == stored; }
    bool HasInventoryItem(uint32_t id) override { return id == slotted; }
    int32_t CountItems(uint32_t id) override { return id == counted ? itemCount : 0; }
    void RestockShopItem(uint32_t id) override { restocked.push_back(id); }
    bool MouseClicked(int32_t) override { return false; }
    CCamera* Camera() override { return &camera; }
    IMessageBoxHost* MessageBox() override { return &box; }

    int heroSelected = 0;
    std::vector<bool> fades;
    bool scriptedMove = false, inputLocked = false, paused = false, controls = true;
    uint32_t stored = 0, slotted = 0, counted = 0;
    int32_t itemCount = 0;
    std::vector<uint32_t> restocked;
    CCamera camera;
    CRecordingMessageBox box;
};
