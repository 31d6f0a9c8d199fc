// Rows of coloured text in one or more columns, with a highlight that follows
// the pointer, a selected item and an embedded scroll bar. The first visible
// row is the scroll bar's position. A long item is shortened with "..." and
// shown whole after the pointer rests on it for half a second.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/UiScrollBar.h"
#include "ui/UiStatic.h"

class CUiListBox : public CUiObject {
public:
    static constexpr uint32_t kStyleNoSelectionQuad = 0x01000000;
    static constexpr uint32_t kStyleNoHighlight = 0x02000000;
    static constexpr uint32_t kStyleFollowLast = 0x04000000;
    static constexpr uint32_t kStyleTextPastScrollBar = 0x08000000;
    // An item colour of exactly this alpha means "the list's default colour".
    static constexpr float kDefaultColourAlpha = 0.95f;
    static constexpr float kHintDelay = 0.5f;
    // Room an item's text leaves in its row before it is shortened.
    static constexpr float kTextRoom = 14.0f;

    struct Item {
        std::string text;
        UiColor colour{1, 1, 1, 1};
    };

    CUiListBox();
    ~CUiListBox() override;

    void Create(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                uint32_t style) override;
    virtual void CreateEx(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                          uint32_t columns, uint32_t rows);
    void CreateForLayout(CUiWindow* window, const std::string& name) override;
    void SetTextAlpha(float alpha) override { m_textAlpha = alpha; }
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void Render() override;
    void SetEnabled(int enable) override;
    int SerializeLayoutPart(CLayoutStream& stream) override;

    // 0 columns or rows count as 1.
    void SetRows(uint32_t columns, uint32_t rows);
    void SetScrollBarWidth(float width);
    void SetTextColour(const UiColor& colour);
    void SetSelectionColour(const UiColor& colour) { m_selectionColour = colour; }
    void AddItem(const std::string& text, const UiColor& colour);
    int RemoveItem(uint32_t n);
    void Clear();
    void ClearItems();
    // Null when out of range.
    const char* GetItemText(int32_t n) const;
    // The item under a screen point, -1 when there is none.
    int32_t ItemAtPoint(const UiPoint& point);
    void UpdateScroll();

    uint32_t ItemCount() const { return static_cast<uint32_t>(m_items.size()); }
    const Item& ItemAt(uint32_t n) const { return m_items[n]; }
    int32_t Selected() const { return m_selected; }
    void SetSelected(int32_t n) { m_selected = n >= 0 && static_cast<uint32_t>(n) < ItemCount() ? n : -1; }
    uint32_t Columns() const { return m_columns; }
    uint32_t Rows() const { return m_rows; }
    float RowWidth() const { return m_rowWidth; }
    float RowHeight() const { return m_rowHeight; }
    float ScrollBarWidth() const { return m_scrollBarWidth; }
    uint32_t FirstVisibleRow() const { return m_scroll.Position(); }
    const UiColor& TextColour() const { return m_textColour; }
    CUiScrollBar& ScrollBar() { return m_scroll; }
    CUiStatic& Highlight() { return m_marking; }
    // The highlight: one full row (row width x columns by row height).
    void LayOutHighlight();

private:
    void DrawItems(const UiPoint& origin);
    void DrawHint(const UiPoint& origin);

    CUiScrollBar m_scroll;
    CUiStatic m_marking;
    bool m_scrollMade = false;
    std::vector<Item> m_items;
    uint32_t m_columns = 1;
    uint32_t m_rows = 1;
    float m_rowWidth = 0.0f;
    float m_rowHeight = 0.0f;
    int32_t m_selected = -1;
    float m_scrollBarWidth = 0.0f;
    UiColor m_textColour{1, 1, 1, 1};
    UiColor m_savedTextColour{1, 1, 1, 1};
    UiColor m_selectionColour{200.0f / 255, 200.0f / 255, 200.0f / 255, 1};
    float m_textAlpha = 1.0f;
    float m_hoverTime = 0.0f;
    int32_t m_hoverColumn = -1;
    int32_t m_hoverRow = -1;
    int32_t m_hintColumn = -1;
    int32_t m_hintRow = -1;
    UiPoint m_cursor;
    float m_dt = 0.0f;
};
