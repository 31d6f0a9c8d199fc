#include "ui/UiComboBox.h"

#include <cmath>

#include "engine/input/ZEMDXInput.h"
#include "ui/UiWindow.h"
#include "ui/LayoutStream.h"
#include "ui/UiTextFit.h"

namespace {

constexpr float kFirstScrollBarWidth = 20.0f;

}  // namespace

CUiComboBox::CUiComboBox() { m_typeId = UI_TYPE_COMBOBOX; }

CUiComboBox::~CUiComboBox() = default;

void CUiComboBox::Create(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                         uint32_t style) {
    CUiObject::Create(parent, name, x, y, width, height, style);
    if (!m_children.empty()) return;
    m_button.Create(this, "MID_Button", width - m_buttonWidth, 0, m_buttonWidth, height, 0);
    m_button.SetColor(UiColor{0, 1, 1, 1});
    AddChild(&m_button);
    m_static.Create(this, "MID_Text", 0, 0, width, height, 0);
}

void CUiComboBox::CreateEx(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                           uint32_t, uint32_t) {
    Create(parent, name, x, y, width, height, 0);
}

void CUiComboBox::CreateForLayout(CUiWindow* window, const std::string& name) {
    CreateEx(window, name, 0, 0, 0, 0, 0, 0);
    CreateListPart(0, 0);
}

void CUiComboBox::SetButtonWidth(float width) {
    m_buttonWidth = width;
    m_button.SetPosition(m_size.x - width, 0);
    m_button.SetSize(width, m_size.y);
}

void CUiComboBox::CreateListPart(float height, uint32_t rows) {
    if (!m_listMade) {
        m_list.CreateEx(this, "MID_List", 0, m_size.y, m_size.x, height, 1, rows);
        m_list.SetColor(UiColor{0.5f, 0.5f, 1, 1});
        m_list.SetScrollBarWidth(kFirstScrollBarWidth);
        m_list.AddFlags(UI_HIDDEN);
        AddChild(&m_list);
        m_listMade = true;
    } else {
        m_list.SetPosition(0, m_size.y);
        m_list.SetSize(m_size.x, height);
        m_list.SetScrollBarWidth(m_list.ScrollBarWidth());
    }
    m_list.SetRows(1, rows);
}

void CUiComboBox::AddItem(const std::string& text, const UiColor& colour) { m_list.AddItem(text, colour); }

void CUiComboBox::SelectItem(int32_t n) {
    m_selected = n >= 0 && static_cast<uint32_t>(n) < m_list.ItemCount() ? n : -1;
    m_list.SetSelected(m_selected);
    if (m_selected >= 0)
        m_list.ScrollBar().SetPosition(std::min(static_cast<uint32_t>(m_selected), m_list.ScrollBar().Range()));
}

std::string CUiComboBox::ShownText() const {
    const char* text = SelectedText();
    if (!text || !m_font) return {};
    return FitTextToWidth(*m_font, text, m_list.RowWidth() - CUiListBox::kTextRoom);
}

void CUiComboBox::Close() {
    m_list.AddFlags(UI_HIDDEN);
    m_button.SetChecked(false);
}

CUiObject* CUiComboBox::ProcessInput(float dt, CZEMDXInput& input) {
    m_dt = dt;
    if (HasFlags(UI_HIDDEN | UI_DISABLED | UI_HIT_DRAG_AREA | UI_TAKES_ALL)) {
        ClearFlags(UI_PRESSED);
        return nullptr;
    }
    platform::CursorPoint cursor{};
    input.GetCursor(&cursor);
    const UiPoint point{static_cast<float>(cursor.x), static_cast<float>(cursor.y)};
    m_pointerInside = 0;
    if (!HasFlags(UI_BLOCKED))
        HitTestRect({m_position.x + m_size.x - m_buttonWidth, m_position.y},
                    {m_position.x + m_size.x, m_position.y + m_size.y}, point);
    const uint32_t shared = UI_POINTER_OVER | UI_BLOCKED;
    for (CUiObject* part : {static_cast<CUiObject*>(&m_button), static_cast<CUiObject*>(&m_list)}) {
        part->ClearFlags(shared);
        part->AddFlags(Flags() & shared);
    }
    if (CUiObject* took = m_button.ProcessInput(dt, input); took && !m_list.HasFlags(UI_PRESSED)) {
        if (m_button.Checked())
            m_list.ClearFlags(UI_HIDDEN);
        else
            m_list.AddFlags(UI_HIDDEN);
        return took;
    }
    if (IsOpen()) {
        const int32_t before = m_list.Selected();
        m_list.SetSelected(-1);
        CUiObject* took = m_list.ProcessInput(dt, input);
        if (took == &m_list && input.MouseReleased(0) && m_list.Selected() >= 0) {
            m_selected = m_list.Selected();
            Close();
            return took;
        }
        if (m_list.Selected() < 0) m_list.SetSelected(before);
        if (took) return took;
        if (input.MouseReleased(0)) Close();
    }
    return m_pointerInside ? this : nullptr;
}

void CUiComboBox::Render() {
    if (HasFlags(UI_HIDDEN | UI_NOT_DRAWN)) return;
    CUiObject::Render();
    m_button.Render();
    const std::string shown = ShownText();
    if (!shown.empty()) {
        m_static.SetFont(FontIndex());
        m_static.SetPosition(0, 0);
        m_static.SetSize(m_size.x - m_buttonWidth, m_size.y);
        m_static.SetText(shown);
        m_static.Render();
    }
    m_list.Render();
}

void CUiComboBox::SetTextAlpha(float alpha) {
    m_static.SetTextAlpha(alpha);
    m_list.SetTextAlpha(alpha);
    m_button.SetTextAlpha(alpha);
}

void CUiComboBox::SetEnabled(int enable) {
    for (CUiObject* part : m_children) part->SetEnabled(enable);
    m_static.SetEnabled(enable);
    ApplyDisabledColour(enable);
}

int CUiComboBox::SerializeLayoutPart(CLayoutStream& s) {
    float buttonWidth = m_buttonWidth, listHeight = m_list.Size().y;
    uint32_t rows = m_list.Rows();
    if (!s.Field(buttonWidth) || !s.Field(listHeight) || !s.Field(rows)) return 0;
    if (!s.Reading()) return 1;
    SetButtonWidth(buttonWidth);
    CreateListPart(listHeight, rows);
    return 1;
}
