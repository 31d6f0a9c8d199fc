// A sprite-sheet animation of a control's image: the image is a grid of
// columns x rows frames shown in reading order, one every frame time. A grid
// of 0 columns or rows (a damaged layout) counts as 1, so no size or
// coordinate is ever divided by zero.
#pragma once

#include <cstdint>

class CUiFrameAnimation {
public:
    // What happens after the last frame.
    enum End { END_LOOP, END_STAY, END_HIDE };

    CUiFrameAnimation();

    void SetGrid(uint32_t columns, uint32_t rows, float frameTime);
    uint32_t Columns() const { return m_columns; }
    uint32_t Rows() const { return m_rows; }
    float FrameTime() const { return m_frameTime; }
    // Frame time set and a grid given: the image is animated.
    bool Animated() const { return m_frameTime > 0.0f && m_columns > 0; }
    // Columns and rows as divisors: never below 1.
    uint32_t SafeColumns() const { return m_columns < 1 ? 1 : m_columns; }
    uint32_t SafeRows() const { return m_rows < 1 ? 1 : m_rows; }

    void AddTime(float dt) { m_elapsed += dt; }
    // Once more than the frame time has passed: the next frame's coordinates.
    // Returns 1 when the sheet ended with END_HIDE (the owner hides itself).
    int Advance(End end);
    void Restart();
    // Shows one frame of the grid without animating (an image static whose
    // frame picks its picture); frames past the grid wrap around.
    void SetFrame(uint32_t frame);

    uint32_t Frame() const { return m_frame; }
    // Corner texture coordinates of the frame shown.
    const float* Uv() const { return m_uv; }

private:
    void SetFrameUv(uint32_t frame);

    uint32_t m_columns = 0;
    uint32_t m_rows = 0;
    float m_frameTime = 0.0f;
    float m_elapsed = 0.0f;
    uint32_t m_frame = 0;
    float m_uv[8];
};
