// The label over the object under the pointer: its name, and for units its
// level and, for a player's unit, the player's nickname, in the colour of the
// viewer's side, framed like the tooltip and lifted above the object's bounds.
// It never takes the input.
#pragma once

#include <cstdint>
#include <string>

#include "ui/UiFramedWindow.h"

class CCamera;
class CWorldObject;

class CUnitTooltipWindow : public CUiFramedWindow {
public:
    // Height above the object's top: a player's unit carries a second line.
    static constexpr float kPlayerLift = 72.0f;
    static constexpr float kOtherLift = 54.0f;
    // The label is centred on a box of this width.
    static constexpr float kCentreWidth = 56.0f;

    CUnitTooltipWindow() = default;

    CUiObject* ProcessInput(float, CZEMDXInput&) override { return nullptr; }
    void Render() override;

    // The object's label and its lift.
    static std::string BuildLabel(CWorldObject& object, int32_t localTeam, float* lift);
    // The screen place of a label from the object's projected bounds.
    static void LabelPosition(int32_t left, int32_t top, int32_t right, float lift, float* x, float* y);
    // The window around the text's measured size.
    void FitToText();
    // The frame pieces around the text, on whole pixels.
    void PlaceFrame();

    void SetObject(int32_t id) { m_objectId = id; }
    void SetCamera(CCamera* camera) { m_camera = camera; }
    int32_t ObjectId() const { return m_objectId; }
    const std::string& Label() const { return m_label; }
    float LabelX() const { return m_labelX; }
    float LabelY() const { return m_labelY; }
    // Builds the label and places the window; false when no object is shown.
    bool UpdateLabel();

private:
    int32_t m_objectId = -1;
    float m_labelX = 0, m_labelY = 0;
    std::string m_label;
    CCamera* m_camera = nullptr;
};
