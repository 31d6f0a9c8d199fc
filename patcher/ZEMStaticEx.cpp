#include "patcher/ZEMStaticEx.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include "platform/Process.h"

CZEMStaticEx::CZEMStaticEx(int x, int y, int w, int h, const CDialogBackground* background)
    : CSkinnedStatic(x, y, w, h, background) {}

void CZEMStaticEx::SetUrl(const std::string& url) {
    m_url = url;
    // The dialog gives the link no text of its own: it shows where it leads.
    SetText(url);
}

int CZEMStaticEx::handle(int event) {
    switch (event) {
        case FL_ENTER:
        case FL_MOVE:
            fl_cursor(FL_CURSOR_HAND);
            return 1;
        case FL_LEAVE:
            fl_cursor(FL_CURSOR_DEFAULT);
            return 1;
        case FL_PUSH:
            fl_cursor(FL_CURSOR_HAND);
            return 1;
        case FL_RELEASE:
            if (!m_url.empty() && Fl::event_inside(this)) platform::Spawn("xdg-open", {m_url});
            return 1;
        default:
            return CSkinnedStatic::handle(event);
    }
}
