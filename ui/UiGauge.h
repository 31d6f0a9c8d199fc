// A progress bar: a fill part and a head part laid out for a percent value,
// horizontal or vertical, filling from the start or from the far end. It
// reports clicks; it takes no value input.
#pragma once

#include <cstdint>

#include "ui/UiStatic.h"

class CUiGauge : public CUiObject {
public:
    static constexpr uint32_t kStyleFromFarEnd = 0x01000000;
    static constexpr uint32_t kStyleVertical = 0x02000000;

    CUiGauge();
    ~CUiGauge() override;

    // Makes the parts the first time; the style is OR-ed into the flags (exactly 4 disables).
    void Create(CUiObject* parent, const std::string& name, float x, float y, float width, float height,
                uint32_t style) override;
    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void Render() override;
    void SetEnabled(int enable) override;
    int SerializeLayoutPart(CLayoutStream& stream) override;

    // Clamped to 0 ... 100; UpdateBar lays the parts out for it.
    void SetPercent(float percent);
    float Percent() const { return m_percent; }
    void UpdateBar();
    void SetHeadLength(float length);
    float HeadLength() const { return m_headLength; }

    CUiStatic& Fill() { return m_fill; }
    CUiStatic& Head() { return m_head; }

private:
    CUiStatic m_fill;
    CUiStatic m_head;
    float m_percent = 0.0f;
    float m_headLength = 0.0f;
};
