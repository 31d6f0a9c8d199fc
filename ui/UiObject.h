// The root of every element of the 2D user interface: its place in the tree,
// its name and name hash, rectangle, colour, corner texture coordinates, image,
// tooltip text, font and flag word. It draws itself as one coloured, textured
// quad. Windows (CUiWindow) and the controls derive from it.
#pragma once

#include <cstdint>
#include <list>
#include <string>

#include "engine/resource/Resource.h"
#include "ui/UiFont.h"
#include "ui/UiTypes.h"

class CZEMDXInput;
class CLayoutStream;
class CUiWindow;

class CUiObject {
public:
    CUiObject();
    virtual ~CUiObject();
    CUiObject(const CUiObject&) = delete;
    CUiObject& operator=(const CUiObject&) = delete;

    // Stores the parent, the name and the rectangle. The root ignores style.
    virtual void Create(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                        uint32_t style);
    virtual void SetTextAlpha(float) {}
    // The element that took this frame's input, or null.
    virtual CUiObject* ProcessInput(float dt, CZEMDXInput& input);
    virtual void Render();
    // Takes font `index` of the UI manager's font table; an index past the
    // table (a damaged layout) falls back to font 0.
    virtual void SetFont(uint32_t index);
    virtual void SetEnabled(int) {}
    // The UI manager gave this element the keyboard focus (an edit box restarts its caret).
    virtual void OnFocusGained() {}
    // Bytes of typed text the element takes while focused (edit boxes set their own).
    virtual int TextByteLimit() const { return 100; }

    // Layout files. The reader makes a control by its type id, then calls
    // CreateForLayout: the control makes its parts (linked as children, named
    // "MID_..."), and each part's nested record is matched to them in order.
    // SerializeLayoutPart reads or writes the control's own part of the record
    // (after the common fields, before the nested records); 0 fails the record.
    virtual void CreateForLayout(CUiWindow* window, const std::string& name);
    virtual int SerializeLayoutPart(CLayoutStream& stream);
    // Buttons and check buttons keep their texture coordinates and images in
    // their state part; the common record leaves them out.
    bool HasCommonImage() const { return m_typeId != UI_TYPE_BUTTON && m_typeId != UI_TYPE_CHECKBUTTON; }

    void SetName(const std::string& name);
    // Sets the tooltip text and measures it with the element's font.
    void SetText(const std::string& text);
    CUiObject* FindChild(uint32_t hash) const;
    void RemoveChild(uint32_t hash);
    void AddChild(CUiObject* child) { m_children.push_back(child); }
    UiPoint GetAbsolutePos();
    // Strict on all four sides: a point on an edge is outside.
    void HitTest(const UiPoint& point);
    void HitTestRect(const UiPoint& topLeft, const UiPoint& bottomRight, const UiPoint& point);
    void ResetUv();
    void SetAlpha(float alpha, bool recursive);
    // Whole pixels, truncated toward zero.
    void SetPosition(float x, float y);
    void SetSize(float width, float height) { m_size = {width, height}; }
    void SetColor(uint32_t argb);
    void SetColor(const UiColor& colour) { m_colour = colour; }
    void SetSavedColour(const UiColor& colour) { m_savedColour = colour; }
    // Takes over one reference of a texture resource (null for none); the
    // previous image is released.
    void SetImage(CResource* image, const std::string& name);

    CUiObject* Parent() const { return m_parent; }
    uint32_t Flags() const { return m_flags; }
    void SetFlags(uint32_t flags) { m_flags = flags; }
    void AddFlags(uint32_t flags) { m_flags |= flags; }
    void ClearFlags(uint32_t flags) { m_flags &= ~flags; }
    bool HasFlags(uint32_t flags) const { return (m_flags & flags) != 0; }
    uint32_t NameHashValue() const { return m_nameHash; }
    const std::string& Name() const { return m_name; }
    const std::string& Text() const { return m_text; }
    const UiPoint& Position() const { return m_position; }
    const UiPoint& Size() const { return m_size; }
    const UiPoint& TextSize() const { return m_textSize; }
    const UiColor& Colour() const { return m_colour; }
    const UiColor& SavedColour() const { return m_savedColour; }
    const float* Uv() const { return m_uv; }
    float* Uv() { return m_uv; }
    CResource* Image() const { return m_image; }
    const std::string& ImageName() const { return m_imageName; }
    uint32_t TypeId() const { return m_typeId; }
    int PointerInside() const { return m_pointerInside; }
    const std::list<CUiObject*>& Children() const { return m_children; }
    IUiFont* Font() const { return m_font; }
    uint32_t FontIndex() const { return m_fontIndex; }

protected:
    // The element's quad with the given corner texture coordinates (an animation's frame).
    void RenderQuad(const float* uv);
    // Drops a held image through the resource manager (buttons hand their state
    // images to the resource manager themselves).
    void ReleaseImage();
    // Colour alpha of every descendant (not of this element).
    void SetDescendantsAlpha(float alpha);
    // The one rule of disabling: the colour (and a text colour, when given with
    // its saved copy) is kept and dimmed to 0.6 on disable and put back on
    // enable. 1 when the disabled state changed, 0 when it already was so.
    int ApplyDisabledColour(int enable, UiColor* textColour = nullptr, UiColor* savedTextColour = nullptr);

    CResource* m_image = nullptr;
    std::string m_imageName;
    CUiObject* m_parent = nullptr;
    uint32_t m_flags = 0;
    uint32_t m_nameHash = 0;
    std::string m_name;
    std::string m_text;
    float m_uv[8];
    UiPoint m_size;
    UiPoint m_position;
    UiPoint m_absolutePosition;
    UiPoint m_textSize;
    UiColor m_colour{0, 0, 0, 0};
    UiColor m_savedColour{1, 1, 1, 1};
    uint32_t m_typeId = 0;
    int m_pointerInside = 0;
    std::list<CUiObject*> m_children;
    IUiFont* m_font = nullptr;
    uint32_t m_fontIndex = 0;
};

// Shows or hides a control through its hidden flag; null is left alone.
void SetShown(CUiObject* control, bool shown);
