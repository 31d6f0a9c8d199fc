// A drop-down: a check button part whose checked state means "open", a list
// part below the control, and the selected item's text drawn in the control,
// shortened to fit. The selection is an index (-1 for none), set by a click on
// an item or by SelectItem.
#pragma once

#include <cstdint>
#include <string>

#include "ui/UiCheckButton.h"
#include "ui/UiListBox.h"

class CUiComboBox : public CUiObject {
public:
    CUiComboBox();
    ~CUiComboBox() override;

    void Create(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                uint32_t style) override;
    virtual void CreateEx(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                          uint32_t columns, uint32_t rows);
    void CreateForLayout(CUiWindow* window, const std::string& name) override;
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void Render() override;
    void SetEnabled(int enable) override;
    void SetTextAlpha(float alpha) override;
    int SerializeLayoutPart(CLayoutStream& stream) override;

    void SetButtonWidth(float width);
    float ButtonWidth() const { return m_buttonWidth; }
    void CreateListPart(float height, uint32_t rows);
    void AddItem(const std::string& text, const UiColor& colour);
    // -1 or an index past the items clears the selection.
    void SelectItem(int32_t n);
    int32_t Selected() const { return m_selected; }
    uint32_t ItemCount() const { return m_list.ItemCount(); }
    // Null while nothing is selected.
    const char* SelectedText() const { return m_list.GetItemText(m_selected); }
    // The selected text as drawn: cut with "..." when wider than the list's row.
    std::string ShownText() const;
    bool IsOpen() const { return !m_list.HasFlags(UI_HIDDEN); }

    CUiCheckButton& Button() { return m_button; }
    CUiListBox& List() { return m_list; }

private:
    void Close();

    CUiCheckButton m_button;
    CUiListBox m_list;
    CUiStatic m_static;
    bool m_listMade = false;
    float m_buttonWidth = 0.0f;
    int32_t m_selected = -1;
    float m_dt = 0.0f;
};
