// A button that keeps a checked state: unchecked it shows the normal image
// (the hover image under the pointer), checked the pressed image. Its caption
// stands beside the box and moves down by the caption shift while checked.
#pragma once

#include "ui/UiButton.h"

class CUiCheckButton : public CUiButton {
public:
    static constexpr uint32_t kStyleChecked = 0x02000000;
    static constexpr uint32_t kStyleCaptionLeft = 0x20000000;
    static constexpr uint32_t kStyleCaptionCentred = 0x40000000;

    CUiCheckButton();

    CUiObject* ProcessInput(float dt, CZEMDXInput& input) override;
    void Render() override;
    int SerializeLayoutPart(CLayoutStream& stream) override;

    bool Checked() const { return HasFlags(kStyleChecked); }
    void SetChecked(bool checked);
    void SetCheckShift(int32_t shift) { m_checkData = shift; }
    int32_t CheckShift() const { return m_checkData; }

private:
    int32_t m_checkData = 0;
};
