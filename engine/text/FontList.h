// The application's fonts, by index in the order of creation (the order of the
// font keys of "GAMEINFO.DAT"), with the scratch textures they all draw through.
#pragma once

#include <memory>
#include <vector>

#include "engine/text/FreeTypeFont.h"
#include "engine/text/ZEMFTFontTexture.h"

class CFontList {
public:
    CFontList();
    ~CFontList();
    CFontList(const CFontList&) = delete;
    CFontList& operator=(const CFontList&) = delete;

    // Takes a created font; it draws through this list's textures. Returns it.
    CFreeTypeFont* Add(std::unique_ptr<CFreeTypeFont> font);
    // The font at index, or null.
    CFreeTypeFont* Get(int index) const;
    int Count() const { return static_cast<int>(m_fonts.size()); }

    CZEMFTFontTexture& Textures() { return m_textures; }

    // Destroys every font and releases the textures.
    void FreeAll();

private:
    std::vector<std::unique_ptr<CFreeTypeFont>> m_fonts;
    CZEMFTFontTexture m_textures;
};

// The application's font list (the first one constructed registers itself).
extern CFontList* g_pFontList;
