// The skin of the patch dialog: "PATCHLOGO.BMP" of the game folder, drawn
// beneath every control. Controls draw their own part of it when they alone
// are redrawn, so a changed label never leaves its old text behind.
#pragma once

#include <memory>
#include <string>

class Fl_RGB_Image;

class CDialogBackground {
public:
    static constexpr int kDefaultWidth = 691;
    static constexpr int kDefaultHeight = 537;

    CDialogBackground();
    ~CDialogBackground();

    // Loads a BMP file; false (and no image) when it is missing or unreadable.
    bool Load(const std::string& hostPath);
    bool Loaded() const { return m_image != nullptr; }
    int Width() const;
    int Height() const;
    // Draws the part of the image under the rectangle (window coordinates);
    // nothing without an image.
    void Draw(int x, int y, int w, int h) const;

private:
    std::unique_ptr<Fl_RGB_Image> m_image;
};
