#include "patcher/ZEMBitmapButton.h"

#include <FL/Fl.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include "patcher/DialogBackground.h"
#include "patcher/PatchBitmaps.h"

CZEMBitmapButton::Shown CZEMBitmapButton::ShownImage(bool hover, bool pressed, bool hasOut) {
    if (hover || pressed || !hasOut) return Shown::In;
    return Shown::Out;
}

CZEMBitmapButton::CZEMBitmapButton(int x, int y, int w, int h, const CDialogBackground* background)
    : Fl_Button(x, y, w, h),
      m_background(background),
      m_normalColour(FL_BACKGROUND_COLOR),
      m_hoverColour(FL_BACKGROUND_COLOR),
      m_focusColour(FL_BACKGROUND_COLOR) {
    box(FL_NO_BOX);
    // Keys never press the button: Enter has no default button here.
    visible_focus(0);
}

CZEMBitmapButton::~CZEMBitmapButton() = default;

std::unique_ptr<CZEMBitmapButton::Image> CZEMBitmapButton::MakeImage(int id, uint32_t key) {
    PatchBitmap bitmap;
    if (!LoadPatchBitmap(id, &bitmap) || bitmap.width <= 0 || bitmap.height <= 0) return nullptr;
    auto image = std::make_unique<Image>();
    image->rgba = KeyColourToRgba(bitmap, key);
    image->image = std::make_unique<Fl_RGB_Image>(image->rgba.data(), bitmap.width, bitmap.height, 4);
    return image;
}

int CZEMBitmapButton::SetBitmaps(int inId, uint32_t inTransparent, int outId, uint32_t outTransparent) {
    m_in.reset();
    m_out.reset();
    m_inId = m_outId = 0;
    std::unique_ptr<Image> in = MakeImage(inId, inTransparent);
    std::unique_ptr<Image> out = outId ? MakeImage(outId, outTransparent) : nullptr;
    if (!in || (outId && !out)) {
        redraw();
        return 1;
    }
    m_in = std::move(in);
    m_out = std::move(out);
    m_inId = inId;
    m_outId = outId;
    redraw();
    return 0;
}

int CZEMBitmapButton::ImageWidth() const { return m_in ? m_in->image->w() : 0; }
int CZEMBitmapButton::ImageHeight() const { return m_in ? m_in->image->h() : 0; }

CZEMBitmapButton::Shown CZEMBitmapButton::Showing() const {
    if (!m_in) return Shown::Nothing;
    return ShownImage(m_hover, value() != 0, m_out != nullptr);
}

bool CZEMBitmapButton::OwnerActive() const {
    if (m_trackInactive) return true;
    Fl_Widget* focus = Fl::focus();
    Fl_Window* top = const_cast<CZEMBitmapButton*>(this)->top_window();
    return focus && top && (focus == top || focus->top_window() == top);
}

int CZEMBitmapButton::handle(int event) {
    switch (event) {
        case FL_ENTER:
        case FL_MOVE:
            fl_cursor(FL_CURSOR_HAND);
            if (!m_hover && OwnerActive()) {
                m_hover = true;
                redraw();
            }
            return 1;
        case FL_LEAVE:
            fl_cursor(FL_CURSOR_DEFAULT);
            if (m_hover) {
                m_hover = false;
                redraw();
            }
            return 1;
        case FL_PUSH:
            fl_cursor(FL_CURSOR_HAND);
            break;
        default:
            break;
    }
    return Fl_Button::handle(event);
}

void CZEMBitmapButton::DrawBackground() {
    if (m_background && m_background->Loaded()) {
        m_background->Draw(x(), y(), w(), h());
        return;
    }
    Fl_Color colour = (value() || m_hover) ? m_hoverColour : Fl::focus() == this ? m_focusColour : m_normalColour;
    fl_rectf(x(), y(), w(), h(), colour);
}

void CZEMBitmapButton::DrawBorder() {
    // The skin carries the look; the frame is drawn only on a plain dialog.
    if (m_background && m_background->Loaded()) return;
    fl_color(value() ? FL_DARK3 : FL_LIGHT3);
    fl_xyline(x(), y(), x() + w() - 1);
    fl_yxline(x(), y(), y() + h() - 1);
    fl_color(value() ? FL_LIGHT3 : FL_DARK3);
    fl_xyline(x(), y() + h() - 1, x() + w() - 1);
    fl_yxline(x() + w() - 1, y(), y() + h() - 1);
}

void CZEMBitmapButton::draw() {
    DrawBackground();
    Shown shown = Showing();
    Image* image = shown == Shown::In ? m_in.get() : shown == Shown::Out ? m_out.get() : nullptr;
    if (image) {
        int shift = value() ? 1 : 0;
        int ix = x() + (w() - image->image->w()) / 2 + shift;
        int iy = y() + (h() - image->image->h()) / 2 + shift;
        fl_push_clip(x(), y(), w(), h());
        image->image->draw(ix, iy);
        fl_pop_clip();
    }
    DrawBorder();
}
