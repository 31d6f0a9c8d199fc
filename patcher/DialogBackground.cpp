#include "patcher/DialogBackground.h"

#include <FL/Fl_BMP_Image.H>
#include <FL/fl_draw.H>

CDialogBackground::CDialogBackground() = default;
CDialogBackground::~CDialogBackground() = default;

bool CDialogBackground::Load(const std::string& hostPath) {
    m_image.reset();
    auto image = std::make_unique<Fl_BMP_Image>(hostPath.c_str());
    if (image->fail() || image->w() <= 0 || image->h() <= 0) return false;
    m_image = std::move(image);
    return true;
}

int CDialogBackground::Width() const { return m_image ? m_image->w() : kDefaultWidth; }
int CDialogBackground::Height() const { return m_image ? m_image->h() : kDefaultHeight; }

void CDialogBackground::Draw(int x, int y, int w, int h) const {
    if (!m_image || w <= 0 || h <= 0) return;
    fl_push_clip(x, y, w, h);
    m_image->draw(x, y, w, h, x, y);
    fl_pop_clip();
}
