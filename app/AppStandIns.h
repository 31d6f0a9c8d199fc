// Stand-ins for the application's services whose own classes are not in the
// program yet. Each does only what the application and the screen base need of
// it today, and nothing more; the real class takes its place as the member's
// type when it arrives. They live in their own namespace so that the real
// classes can never clash with them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/MessageBoxHost.h"
#include "ui/UiManager.h"

namespace standin {

class CScriptManager {};
class CPlayResources {
public:
    void Release() {}
};

class CEffectManager {
public:
    int CreateDeviceObjects() { return 1; }
    void DeleteDeviceObjects() {}
    void ClearCounter() { liveCount = 0; }
    int liveCount = 0;
};

class CRibbonManager {
public:
    int RestoreTrailBuffers() { return 1; }
    void ReleaseTrailBuffers() {}
};

// The text, buttons and result of the one message box until the message box
// control holds them; showing and hiding go to the UI manager.
class CMessageBox : public IMessageBoxHost {
public:
    explicit CMessageBox(CUiManager& ui) : m_ui(ui) {}
    void ShowBox(const char* text, int buttonMode) override {
        m_text = text ? text : "";
        m_mode = buttonMode;
        m_visible = true;
        m_ui.ShowMessageBox(m_dim);
    }
    void ClearStyleBits(unsigned) override {}
    void SetDimAlpha(float alpha) override {
        m_dim = alpha;
        if (m_visible) m_ui.ShowMessageBox(alpha);
    }
    int Result() const override { return m_result; }
    void SetResult(int result) override { m_result = result; }
    void HideBox() override {
        m_visible = false;
        m_ui.HideMessageBox();
    }
    bool Visible() const override { return m_visible; }
    int Mode() const override { return m_mode; }
    std::string Text() const override { return m_text; }

private:
    CUiManager& m_ui;
    std::string m_text;
    int m_mode = 0, m_result = -1;
    bool m_visible = false;
    float m_dim = 0.0f;
};

class CZEMMap {
public:
    // The header texts and stamp of a map file; until maps are read, a present
    // file gives empty texts.
    int ReadMapHeader(const char*, std::string* text1, std::string* text2, std::string* text3, uint32_t* stamp) {
        text1->clear();
        text2->clear();
        text3->clear();
        *stamp = 0;
        return 1;
    }
};

class CPlayerSlot {
public:
    int index = 0;
};

}  // namespace standin
