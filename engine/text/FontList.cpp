#include "engine/text/FontList.h"

CFontList* g_pFontList = nullptr;

CFontList::CFontList() {
    if (!g_pFontList) g_pFontList = this;
}

CFontList::~CFontList() {
    FreeAll();
    if (g_pFontList == this) g_pFontList = nullptr;
}

CFreeTypeFont* CFontList::Add(std::unique_ptr<CFreeTypeFont> font) {
    if (!font) return nullptr;
    font->SetTextures(&m_textures);
    m_fonts.push_back(std::move(font));
    return m_fonts.back().get();
}

CFreeTypeFont* CFontList::Get(int index) const {
    return (index >= 0 && index < Count()) ? m_fonts[static_cast<size_t>(index)].get() : nullptr;
}

void CFontList::FreeAll() {
    for (auto& font : m_fonts) font->Destroy();
    m_fonts.clear();
    m_fonts.shrink_to_fit();
    m_textures.ReleaseTextures();
}
