// A button drawn from two images: "in" while the mouse is over it or it is
// pressed, "out" otherwise (the "in" image serves for both when there is no
// "out" image). One colour of each image is transparent and shows the
// dialog's skin; without a skin the button's state colour fills behind it.
#pragma once

#include <FL/Fl_Button.H>

#include <cstdint>
#include <memory>
#include <vector>

class CDialogBackground;
class Fl_RGB_Image;

class CZEMBitmapButton : public Fl_Button {
public:
    enum class Shown { Nothing, In, Out };
    // Which image a button shows.
    static Shown ShownImage(bool hover, bool pressed, bool hasOut);

    CZEMBitmapButton(int x, int y, int w, int h, const CDialogBackground* background);
    ~CZEMBitmapButton() override;

    // Images by id with their transparent colours (0xRRGGBB); outId 0: none.
    // 0 on success; 1 when an image is missing, and then both are freed.
    int SetBitmaps(int inId, uint32_t inTransparent, int outId = 0, uint32_t outTransparent = 0);
    bool HasImages() const { return m_in != nullptr; }
    // The width and height of the "in" image (0 without one).
    int ImageWidth() const;
    int ImageHeight() const;
    // The ids shown now, for tests and the dialog's state.
    int InId() const { return m_inId; }
    int OutId() const { return m_outId; }

    // Hover counts only while the dialog is the active window, unless this is on.
    void SetTrackInactive(bool on) { m_trackInactive = on; }
    bool Hover() const { return m_hover; }
    Shown Showing() const;

    int handle(int event) override;

protected:
    void draw() override;
    virtual void DrawBackground();
    virtual void DrawBorder();

private:
    struct Image {
        std::vector<uint8_t> rgba;
        std::unique_ptr<Fl_RGB_Image> image;
    };
    static std::unique_ptr<Image> MakeImage(int id, uint32_t key);
    bool OwnerActive() const;

    const CDialogBackground* m_background;
    std::unique_ptr<Image> m_in;
    std::unique_ptr<Image> m_out;
    int m_inId = 0;
    int m_outId = 0;
    bool m_hover = false;
    bool m_trackInactive = false;
    // The state colours, used only when the dialog has no skin.
    Fl_Color m_normalColour;
    Fl_Color m_hoverColour;
    Fl_Color m_focusColour;
};
