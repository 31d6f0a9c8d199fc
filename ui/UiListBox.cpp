#include "ui/UiListBox.h"

#include <cmath>

#include "engine/input/ZEMDXInput.h"
#include "ui/UiWindow.h"
#include "ui/LayoutStream.h"
#include "ui/UiManager.h"
#include "ui/UiTextFit.h"

namespace {

constexpr float kFirstArrowSize = 20.0f;

// The cell of an offset in cells of `size`, -1 outside any (or for a size a
// damaged layout made 0 or tiny).
int32_t CellIndex(float offset, float size) {
    if (!(size > 0.0f)) return -1;
    const float cell = offset / size;
    return cell >= 0.0f && cell < 2147483647.0f ? static_cast<int32_t>(cell) : -1;
}

}  // namespace

CUiListBox::CUiListBox() { m_typeId = UI_TYPE_LISTBOX; }

CUiListBox::~CUiListBox() = default;

void CUiListBox::Create(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                        uint32_t style) {
    CUiObject::Create(parent, name, x, y, width, height, style);
    if (m_children.empty()) {
        m_marking.Create(this, "MID_ItemMarking", 0, 0, 0, 0, 0);
        AddChild(&m_marking);
    }
}

void CUiListBox::CreateEx(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                          uint32_t columns, uint32_t rows) {
    Create(parent, name, x, y, width, height, 0);
    SetRows(columns, rows);
}

void CUiListBox::CreateForLayout(CUiWindow* window, const std::string& name) {
    CreateEx(window, name, 0, 0, 0, 0, 0, 0);
    SetScrollBarWidth(0);
}

void CUiListBox::LayOutHighlight() { m_marking.SetSize(m_rowWidth * static_cast<float>(m_columns), m_rowHeight); }

void CUiListBox::SetRows(uint32_t columns, uint32_t rows) {
    m_columns = columns < 1 ? 1 : columns;
    m_rows = rows < 1 ? 1 : rows;
    m_rowWidth = (m_size.x - m_scrollBarWidth) / static_cast<float>(m_columns);
    m_rowHeight = m_size.y / static_cast<float>(m_rows);
    LayOutHighlight();
    UpdateScroll();
}

void CUiListBox::SetScrollBarWidth(float width) {
    RemoveChild(m_scroll.NameHashValue());
    m_scrollBarWidth = width;
    if (!m_scrollMade) {
        m_scroll.Create(this, "MID_Scroll", m_size.x - width, 0, width, m_size.y, CUiScrollBar::kStyleVertical);
        m_scroll.SetColor(UiColor{1, 0.5f, 0.5f, 1});
        m_scroll.SetArrowSize(kFirstArrowSize);
        m_scrollMade = true;
    } else {
        m_scroll.SetPosition(m_size.x - width, 0);
        m_scroll.SetSize(width, m_size.y);
        m_scroll.SetArrowSize(m_scroll.ArrowSize());
    }
    AddChild(&m_scroll);
}

void CUiListBox::SetTextColour(const UiColor& colour) {
    m_textColour = colour;
    for (Item& item : m_items) item.colour = colour;
}

void CUiListBox::AddItem(const std::string& text, const UiColor& colour) {
    m_items.push_back({text, colour.a == kDefaultColourAlpha ? m_textColour : colour});
    UpdateScroll();
}

int CUiListBox::RemoveItem(uint32_t n) {
    if (n >= m_items.size()) return 0;
    m_items.erase(m_items.begin() + n);
    if (m_selected >= static_cast<int32_t>(m_items.size())) m_selected = -1;
    UpdateScroll();
    return 1;
}

void CUiListBox::Clear() {
    ClearItems();
    UpdateScroll();
}

void CUiListBox::ClearItems() {
    m_items.clear();
    m_selected = -1;
}

const char* CUiListBox::GetItemText(int32_t n) const {
    return n >= 0 && static_cast<uint32_t>(n) < m_items.size() ? m_items[n].text.c_str() : nullptr;
}

void CUiListBox::UpdateScroll() {
    const uint64_t itemRows = (static_cast<uint64_t>(ItemCount()) + m_columns - 1) / m_columns;
    m_scroll.SetRange(static_cast<uint32_t>(itemRows), m_rows);
    if (HasFlags(kStyleFollowLast) && itemRows > m_rows)
        m_scroll.SetPosition(m_scroll.Range());
    else
        m_scroll.SetPosition(0u);
}

int32_t CUiListBox::ItemAtPoint(const UiPoint& point) {
    if (!(m_rowWidth > 0.0f) || !(m_rowHeight > 0.0f)) return -1;
    const UiPoint a = GetAbsolutePos();
    const float fx = (point.x - a.x) / m_rowWidth, fy = (point.y - a.y) / m_rowHeight;
    if (fx < 0.0f || fy < 0.0f || fx >= static_cast<float>(m_columns) || fy >= static_cast<float>(m_rows)) return -1;
    const uint64_t index =
        (static_cast<uint64_t>(static_cast<uint32_t>(fy)) + FirstVisibleRow()) * m_columns + static_cast<uint32_t>(fx);
    return index < m_items.size() ? static_cast<int32_t>(index) : -1;
}

CUiObject* CUiListBox::ProcessInput(float dt, CZEMDXInput& input) {
    if (HasFlags(UI_HIDDEN | UI_DISABLED) || (HasFlags(UI_TAKES_ALL) && !HasFlags(UI_HIT_DRAG_AREA))) {
        ClearFlags(UI_PRESSED);
        return nullptr;
    }
    m_dt = dt;
    platform::CursorPoint cursor{};
    input.GetCursor(&cursor);
    m_cursor = {static_cast<float>(cursor.x), static_cast<float>(cursor.y)};
    const uint32_t shared = UI_POINTER_OVER | UI_BLOCKED;
    for (CUiObject* part : {static_cast<CUiObject*>(&m_scroll), static_cast<CUiObject*>(&m_marking)}) {
        part->ClearFlags(shared);
        part->AddFlags(Flags() & shared);
    }
    m_pointerInside = 0;
    if (!HasFlags(UI_BLOCKED)) HitTest(m_cursor);

    if (CUiObject* took = m_scroll.ProcessInput(dt, input)) {
        m_marking.AddFlags(UI_HIDDEN);
        return took;
    }
    if (m_scroll.HasFlags(UI_PRESSED)) {
        AddFlags(UI_PRESSED);
        return nullptr;
    }
    if (!m_pointerInside || !HasFlags(UI_POINTER_OVER)) {
        if (input.MouseReleased(0)) ClearFlags(UI_PRESSED);
        m_marking.AddFlags(UI_HIDDEN);
        ClearFlags(UI_FOCUS);
        m_hoverColumn = m_hoverRow = -1;
        return nullptr;
    }
    const UiPoint a = GetAbsolutePos();
    m_hoverColumn = CellIndex(m_cursor.x - a.x, m_rowWidth);
    m_hoverRow = CellIndex(m_cursor.y - a.y, m_rowHeight);
    if (m_hoverRow >= 0) m_marking.SetPosition(0, static_cast<float>(m_hoverRow) * m_rowHeight);
    if (std::fabs(m_marking.Size().x - m_rowWidth * static_cast<float>(m_columns)) > 1.0f) LayOutHighlight();
    if (HasFlags(kStyleNoHighlight))
        m_marking.AddFlags(UI_HIDDEN);
    else
        m_marking.ClearFlags(UI_HIDDEN);
    if (input.MouseDown(0)) {
        AddFlags(UI_PRESSED);
        return this;
    }
    if (input.MouseReleased(0)) {
        m_selected = ItemAtPoint(m_cursor);
        AddFlags(UI_FOCUS);
        const bool wasPressed = HasFlags(UI_PRESSED);
        ClearFlags(UI_PRESSED);
        return wasPressed ? this : nullptr;
    }
    return HasFlags(UI_HIT_DRAG_AREA) ? nullptr : this;
}

void CUiListBox::DrawItems(const UiPoint& origin) {
    if (m_items.empty() || !(m_textAlpha > 0.0f) || !m_font) return;
    const uint64_t first = static_cast<uint64_t>(FirstVisibleRow()) * m_columns;
    const uint64_t shown = static_cast<uint64_t>(m_rows) * m_columns;
    const float shift = HasFlags(kStyleTextPastScrollBar) ? m_scrollBarWidth : 0.0f;
    const float lineHeight = static_cast<float>(m_font->LineHeight());
    if (m_selected >= 0 && !HasFlags(kStyleNoSelectionQuad) && g_pUiManager) {
        const uint64_t s = static_cast<uint64_t>(m_selected);
        if (s >= first && s < first + shown)
            g_pUiManager->DrawQuad(PackColor(m_selectionColour), nullptr, nullptr, origin.x,
                                   origin.y + static_cast<float>((s - first) / m_columns) * m_rowHeight,
                                   m_marking.Size().x, m_marking.Size().y);
    }
    for (uint64_t i = 0; i < shown && first + i < m_items.size(); ++i) {
        const Item& item = m_items[first + i];
        // Items keep their own colours; a disabled list draws them dimmed.
        const float x = origin.x + static_cast<float>(i % m_columns) * m_rowWidth + 5 + shift;
        const float y = origin.y + static_cast<float>(i / m_columns) * m_rowHeight + (m_rowHeight - lineHeight) * 0.5f;
        UiColor colour = HasFlags(UI_DISABLED) ? DimmedColor(item.colour) : item.colour;
        colour.a = m_textAlpha;
        m_font->Draw(PixelCoord(x), PixelCoord(y),
                     FitTextToWidth(*m_font, item.text, m_rowWidth - kTextRoom), PackColor(colour));
    }
}

void CUiListBox::DrawHint(const UiPoint& origin) {
    if (m_hoverColumn < 0 || m_hoverRow < 0 || m_hoverColumn != m_hintColumn || m_hoverRow != m_hintRow) {
        m_hoverTime = 0.0f;
        m_hintColumn = m_hoverColumn;
        m_hintRow = m_hoverRow;
        return;
    }
    m_hoverTime += m_dt;
    if (!(m_hoverTime > kHintDelay) || !m_font || !(m_textAlpha > 0.0f)) return;
    const int32_t index = ItemAtPoint(m_cursor);
    if (index < 0) return;
    const Item& item = m_items[static_cast<size_t>(index)];
    int32_t w = 0, h = 0;
    m_font->Measure(item.text, &w, &h);
    if (!(static_cast<float>(w) > m_rowWidth - kTextRoom)) return;
    const float x = origin.x + static_cast<float>(m_hoverColumn) * m_rowWidth + 5;
    const float y = origin.y + static_cast<float>(m_hoverRow) * m_rowHeight;
    UiColor colour = item.colour;
    colour.a = m_textAlpha;
    m_font->Draw(PixelCoord(x), PixelCoord(y), item.text, PackColor(colour));
}

void CUiListBox::Render() {
    if (HasFlags(UI_HIDDEN | UI_NOT_DRAWN)) {
        m_hoverColumn = m_hoverRow = -1;
        return;
    }
    CUiObject::Render();
    m_marking.Render();
    const UiPoint origin = GetAbsolutePos();
    DrawItems(origin);
    m_scroll.Render();
    DrawHint(origin);
}

void CUiListBox::SetEnabled(int enable) {
    for (CUiObject* part : m_children) part->SetEnabled(enable);
    ApplyDisabledColour(enable, &m_textColour, &m_savedTextColour);
}

int CUiListBox::SerializeLayoutPart(CLayoutStream& s) {
    uint32_t columns = m_columns, rows = m_rows, font = FontIndex();
    float width = m_scrollBarWidth;
    const UiColor& own = HasFlags(UI_DISABLED) ? m_savedTextColour : m_textColour;
    float colour[4] = {own.r, own.g, own.b, own.a};
    if (!s.Field(columns) || !s.Field(rows) || !s.Field(width) || !s.Floats(colour, 4) || !s.Field(font)) return 0;
    if (!s.Reading()) return 1;
    SetScrollBarWidth(width);
    SetRows(columns, rows);
    SetTextColour({colour[0], colour[1], colour[2], colour[3]});
    m_savedTextColour = m_textColour;
    if (HasFlags(UI_DISABLED)) m_textColour = DimmedColor(m_textColour);
    SetFont(font);
    return 1;
}
