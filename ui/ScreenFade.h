// The coloured (optionally textured) quad with which every screen fades in
// from a colour or out to one. A fade-out quad starts opaque and vanishes (the
// screen comes into view); a covering fade starts transparent and stays opaque
// once it is done.
#pragma once

#include <cstdint>

#include "engine/resource/Resource.h"
#include "ui/UiTypes.h"

class CScreenFade {
public:
    CScreenFade();
    ~CScreenFade();
    CScreenFade(const CScreenFade&) = delete;
    CScreenFade& operator=(const CScreenFade&) = delete;

    // Takes over one reference of the texture resource (null for none) and
    // releases the previous one.
    void SetUp(float x, float y, float width, float height, CResource* texture);
    // A rate of exactly 0 is done at once and stays drawn in the colour given.
    void Start(const UiColor& colour, int fadeOut, float rate);
    void Advance(float dt);
    void Render();

    int Drawn() const { return m_drawn; }
    int Done() const { return m_done; }
    const UiColor& Colour() const { return m_colour; }
    const UiVertex* Vertices() const { return m_vertices; }

private:
    void WriteColour();

    CResource* m_texture = nullptr;
    UiVertex m_vertices[4];
    float m_rect[4] = {0, 0, 0, 0};
    int m_drawn = 0;
    UiColor m_colour{0, 0, 0, 0};
    float m_rate = 0.0f;
    float m_elapsed = 0.0f;
    int m_done = 1;
    int m_fadeOut = 0;
};

// Tint of an item's level frame: 1-4 blue, 5-8 red, 9-12 green, 13-15 red,
// 16 and above white; alpha 1.
UiColor ItemLevelTint(int level);
// The level frame of an item icon at (x, y, width, height): a quad 3 pixels
// larger on every side with the frame texture, tinted by the level, and with
// withText the "+level" text in font fontIndex at the icon's right edge. Level
// 0 draws nothing.
void DrawItemLevelFrame(int level, bool withText, uint32_t fontIndex, float x, float y, float width, float height,
                        CResource* frameTexture);
