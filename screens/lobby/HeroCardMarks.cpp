#include "screens/lobby/HeroCardMarks.h"

#include "engine/resource/ResourceManager.h"
#include "engine/resource/TextureResource.h"
#include "screens/game/PlayResources.h"
#include "ui/ScreenFade.h"
#include "ui/UiManager.h"
#include "ui/UiObject.h"

namespace {

bool Drawable(CUiObject* control) { return control && !control->HasFlags(UI_HIDDEN | UI_NOT_DRAWN); }

}  // namespace

CHeroCardMarks::~CHeroCardMarks() {
    if (g_pResourceManager) g_pResourceManager->ReleaseResource(m_overlay);
}

int CHeroCardMarks::Load() {
    if (m_overlay) return 1;
    if (!g_pResourceManager) return 0;
    m_overlay = g_pResourceManager->GetResource("NO_CHAR_CARD.DDS", RES_TEXTURE, nullptr, 1);
    return m_overlay ? 1 : 0;
}

void CHeroCardMarks::DrawCard(CUiObject* button, bool owned, int cardLevel) const {
    if (!Drawable(button) || !g_pUiManager) return;
    const auto* overlay = static_cast<const CTextureResource*>(m_overlay);
    if (owned) return DrawLevel(button, cardLevel);
    if (!overlay) return;
    const UiPoint at = button->GetAbsolutePos();
    g_pUiManager->DrawQuad(0xFFFFFFFFu, nullptr, overlay->Texture(), at.x, at.y, static_cast<float>(overlay->Width()),
                           static_cast<float>(overlay->Height()));
}

void CHeroCardMarks::DrawLevel(CUiObject* control, int level) {
    if (!Drawable(control) || level <= 0) return;
    CResource* frame = g_pPlayResources ? g_pPlayResources->itemIconFrame : nullptr;
    const UiPoint at = control->GetAbsolutePos();
    DrawItemLevelFrame(level, true, 0, at.x, at.y, control->Size().x, control->Size().y, frame);
}

void CHeroCardMarks::DrawHighlight(CUiObject* button) {
    if (!Drawable(button) || !g_pUiManager) return;
    const UiPoint at = button->GetAbsolutePos();
    g_pUiManager->DrawQuad(kHighlightColour, nullptr, nullptr, at.x, at.y, button->Size().x, button->Size().y);
}
