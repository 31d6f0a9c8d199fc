// A small window holding one list box: the base of the screens' context
// menus. It grows with its items, stays on the screen, and starts hidden.
#pragma once

#include <cstdint>
#include <string>

#include "ui/UiListBox.h"
#include "ui/UiWindow.h"

class CUiPopupMenu : public CUiWindow {
public:
    static constexpr float kRowHeight = 30.0f;
    static constexpr float kTextPadding = 25.0f;

    explicit CUiPopupMenu(CUiWindow* owner = nullptr);
    ~CUiPopupMenu() override;

    // Makes the window and its list and puts it in the UI manager's lower layer.
    void Create(const std::string& name);
    using CUiWindow::Create;
    // Colour as four floats (an alpha of exactly 0.95: the list's default colour).
    void AddItem(const std::string& text, const UiColor& colour);
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void OnLButtonClick(CUiObject* control) override;

    CUiListBox& List() { return m_list; }
    int32_t Selected() const { return m_selected; }
    float MenuWidth() const { return m_menuWidth; }
    CUiWindow* Owner() const { return m_owner; }

protected:
    CUiListBox m_list;
    int32_t m_selected = -1;
    float m_menuWidth = 0.0f;
    CUiWindow* m_owner;
};
