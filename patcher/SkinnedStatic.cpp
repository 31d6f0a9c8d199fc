#include "patcher/SkinnedStatic.h"

#include <FL/fl_draw.H>

#include "patcher/DialogBackground.h"
#include "platform/Dialog.h"

CSkinnedStatic::CSkinnedStatic(int x, int y, int w, int h, const CDialogBackground* background)
    : Fl_Box(x, y, w, h), m_background(background) {
    box(FL_NO_BOX);
    labelcolor(FL_WHITE);
    align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
}

void CSkinnedStatic::SetText(const std::string& cp949) {
    m_text = cp949;
    m_label = platform::DialogText(cp949);
    label(m_label.c_str());
    redraw();
}

void CSkinnedStatic::draw() {
    if (m_background && m_background->Loaded())
        m_background->Draw(x(), y(), w(), h());
    else
        fl_rectf(x(), y(), w(), h(), parent() ? parent()->color() : FL_BACKGROUND_COLOR);
    draw_label();
}
