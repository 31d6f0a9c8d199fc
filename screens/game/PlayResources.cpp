#include "screens/game/PlayResources.h"

#include "engine/sound/SoundEffect.h"

#include <cstdio>

#include "engine/core/ErrorReport.h"
#include "engine/core/TextList.h"
#include "engine/resource/ResourceManager.h"
#include "engine/resource/TextureResource.h"
#include "ui/UiObject.h"
#include "ui/UiStatic.h"
#include "world/GameDataRecord.h"
#include "world/UnitData.h"
#include "ui/LayoutResource.h"
#include "ui/UiManager.h"
#include "ui/UiMessageBox.h"

CPlayResources* g_pPlayResources = nullptr;

namespace {

void Drop(CResource*& resource) {
    if (resource && g_pResourceManager) g_pResourceManager->ReleaseResource(resource);
    resource = nullptr;
}

// The window a layout resource loaded, or null once the UI manager deleted it.
CUiWindow* WindowOf(CResource* layout) { return layout ? static_cast<CLayoutResource*>(layout)->Window() : nullptr; }

constexpr uint32_t kHiddenFlag = 0x2;

const char* const kPanelTextures[] = {"PLAY_HELP.DDS",     "PLAY_CONFIG.DDS", "PLAY_VICTORY.DDS",
                                      "PLAY_LOST.DDS",     "PLAY_MAIN.DDS",   "PLAY_COM_LIST.DDS",
                                      "PLAY_UNITINFO.DDS", "PLAY_MARKET.DDS", "PLAY_UPPER_GODGAUGES.DDS"};

// Puts the icon (one more reference for the control) and the name on the
// control, or hides it when there is no icon.
void ShowIcon(CUiObject* control, CResource* icon, const std::string& name) {
    if (!control) return;
    if (!icon) {
        control->AddFlags(kHiddenFlag);
        return;
    }
    icon->AddRef();
    control->SetImage(icon, icon->Name());
    control->ClearFlags(kHiddenFlag);
    if (auto* label = dynamic_cast<CUiStatic*>(control))
        label->SetText(name);
    else
        control->SetText(name);
}

}  // namespace

const std::array<uint32_t, CPlayResources::kCursorCount> CPlayResources::kCursorIds = {
    136, 147, 153, 148, 150, 0,   152, 0,   146, 149, 0,   0,   151, 136,
    158, 137, 157, 144, 159, 143, 143, 140, 139, 138, 142, 141, 145, 160};

CPlayResources::CPlayResources() {
    if (!g_pPlayResources) g_pPlayResources = this;
}

CPlayResources::~CPlayResources() {
    Release();
    if (g_pPlayResources == this) g_pPlayResources = nullptr;
}

int CPlayResources::Load() {
    if (!g_pResourceManager) return 0;
    CResourceManager& resources = *g_pResourceManager;
    Release();
    // The layout resource owns the window from here on: a failed load deletes it.
    m_tooltipLayout = resources.GetResource(kTooltipLayout, RES_LAYOUT, new CUiFramedWindow, 1);
    m_messageBoxLayout =
        m_tooltipLayout ? resources.GetResource(kMessageBoxLayout, RES_LAYOUT, new CUiMessageBox, 1) : nullptr;
    if (!m_tooltipLayout || !m_messageBoxLayout) {
        Release();
        return 0;
    }
    const bool soundOn = resources.SoundDeviceUsable();
    struct Step {
        const char* name;
        int32_t type;
        CResource** slot;
    };
    std::vector<Step> steps = {
        {"SELECT_OBJECT.DDS", RES_TEXTURE, &textures[TEX_SELECT_OBJECT]},
        {"EFF_COM_LEVELUP.DRE", RES_EFFECT, &levelUpEffect},
        {"CARTOON-GONG-LRG-SOFT-HIT.OGG", RES_SOUND_EFFECT, &sounds[SND_GONG]},
        {"MAP_HERO.DDS", RES_TEXTURE, &textures[TEX_MAP_HERO]},
        {"MAPNOTIFY.DDS", RES_TEXTURE, &textures[TEX_MAP_NOTIFY]},
        {"MAPNOTIFY_CIRCLE.DDS", RES_TEXTURE, &textures[TEX_MAP_NOTIFY_CIRCLE]},
        {"CURSOR_SKILL_REGION.DDS", RES_TEXTURE, &textures[TEX_SKILL_REGION]},
        {"MAPALARM.OGG", RES_SOUND_EFFECT, &sounds[SND_MAP_ALARM]},
        {"ERROR1.OGG", RES_SOUND_EFFECT, &sounds[SND_ERROR]},
        {"SHADOW.DDS", RES_TEXTURE, &textures[TEX_SHADOW]},
        {"COOLTIMER.DDS", RES_TEXTURE, &textures[TEX_COOLTIMER]},
        {"SELECT_SKILL.DDS", RES_TEXTURE, &textures[TEX_SELECT_SKILL]},
        {"PLAY_VICTORY.DDS", RES_TEXTURE, &textures[TEX_VICTORY]},
        {"PLAY_LOST.DDS", RES_TEXTURE, &textures[TEX_DEFEAT]},
        {"CLICK_MOVE.DRC", RES_MODEL, &clickMarkers[0]},
        {"CLICK_ATTACK.DRC", RES_MODEL, &clickMarkers[1]},
        {"CLICK_FLAG.DRC", RES_MODEL, &clickMarkers[2]},
        {"CLICK_FLAG.DRC", RES_MODEL, &clickMarkers[3]},
        {kRainEffect, RES_EFFECT, &ambientEffects[0]},
        {kSnowEffect, RES_EFFECT, &ambientEffects[1]},
        {"SELECT_SKILL_ON.DDS", RES_TEXTURE, &textures[TEX_SELECT_SKILL_ON]},
        {"GETITEM.OGG", RES_SOUND_EFFECT, &sounds[SND_GET_ITEM]},
        {"SELLITEM.OGG", RES_SOUND_EFFECT, &sounds[SND_SELL_ITEM]},
        {"PICKUPITEM.OGG", RES_SOUND_EFFECT, &sounds[SND_PICKUP_ITEM]},
        {"PUTDOWNITEM.OGG", RES_SOUND_EFFECT, &sounds[SND_PUTDOWN_ITEM]},
        {"SELECT_OVER.DDS", RES_TEXTURE, &textures[TEX_SELECT_OVER]},
        {"EFF_COM_HERO-ORA-LIGHT.DRE", RES_EFFECT, &selectionMarkers[0]},
        {"EFF_COM_HERO-ORA-DARKNESS.DRE", RES_EFFECT, &selectionMarkers[1]},
        {"EFF_COM_HERO-ORA-PLAYER.DRE", RES_EFFECT, &selectionMarkers[2]},
        {"PLAY_MAIN4_ALPHA.DDS", RES_TEXTURE, &textures[TEX_PANEL_ALPHA]},
        {"PLAY_GAUGESHELL.DDS", RES_TEXTURE, &textures[TEX_GAUGE_SHELL]},
        {kRainSound, RES_SOUND_EFFECT, &ambientSound},
        {"ATTACK_FONT.DDS", RES_TEXTURE, &textures[TEX_ATTACK_FONT]},
        {"PLUS_FONT.DDS", RES_TEXTURE, &textures[TEX_PLUS_FONT]},
        {"MISS_FONT.DDS", RES_TEXTURE, &textures[TEX_MISS_FONT]},
        {"FIRSTBLOOD.OGG", RES_SOUND_EFFECT, &sounds[SND_FIRST_BLOOD]},
        {"SELECT_BOX.DDS", RES_TEXTURE, &textures[TEX_SELECT_BOX]},
        {"ITEM_FRAME.DDS", RES_TEXTURE, &itemIconFrame},
        {"ICN_RACE_VAMPIRES.DDS", RES_TEXTURE, &raceIcons[0]},
        {"ICN_RACE_MAGE.DDS", RES_TEXTURE, &raceIcons[1]},
        {"ICN_RACE_HUNTER.DDS", RES_TEXTURE, &raceIcons[2]},
        {"ICN_RACE_WOLF.DDS", RES_TEXTURE, &raceIcons[3]},
        {"ICN_CLASS_STR.DDS", RES_TEXTURE, &classIcons[0]},
        {"ICN_CLASS_DEX.DDS", RES_TEXTURE, &classIcons[1]},
        {"ICN_CLASS_INT.DDS", RES_TEXTURE, &classIcons[2]},
        {"ICN_CLASS_GARDIAN.DDS", RES_TEXTURE, &classIcons[3]},
    };
    std::vector<std::string> numbered;
    numbered.reserve(levelIcons.size() + disabledIcons.size());
    char name[32];
    for (size_t i = 0; i < levelIcons.size(); ++i) {
        std::snprintf(name, sizeof(name), "LEVEL_%zu.DDS", i + 1);
        numbered.emplace_back(name);
    }
    for (size_t i = 0; i < disabledIcons.size(); ++i) {
        std::snprintf(name, sizeof(name), "ICN_DIS_%zu.DDS", i);
        numbered.emplace_back(name);
    }
    for (size_t i = 0; i < levelIcons.size(); ++i) steps.push_back({numbered[i].c_str(), RES_TEXTURE, &levelIcons[i]});
    for (size_t i = 0; i < disabledIcons.size(); ++i)
        steps.push_back({numbered[levelIcons.size() + i].c_str(), RES_TEXTURE, &disabledIcons[i]});

    for (const Step& step : steps) {
        if (step.type == RES_SOUND_EFFECT && !soundOn) {
            // Without a sound device the match plays silently.
            ErrorReport().SetError(0, "Sound load fail %s\n", step.name);
            continue;
        }
        *step.slot = resources.GetResource(step.name, step.type, nullptr, 1);
        if (!*step.slot) {
            Release();
            return 0;
        }
    }
    const std::pair<const char*, std::vector<std::string>*> lists[] = {{"TRIBENAME.DAT", &raceNames},
                                                                       {"STATNAME.DAT", &classNames},
                                                                       {"RANKNAME.DAT", &rankNames},
                                                                       {"BADRANKNAME.DAT", &badRankNames},
                                                                       {"SKILLATTACKMSG.DAT", &skillAttackMessages},
                                                                       {"GAMEMODENAME.DAT", &gameModeNames}};
    for (const auto& [file, list] : lists) {
        list->clear();
        if (!ReadTextList(file, *list)) {
            Release();
            return 0;
        }
    }
    if (!LoadCursors()) {
        Release();
        return 0;
    }
    if (g_pUiManager) {
        g_pUiManager->SetTooltip(Tooltip());
        g_pUiManager->SetMessageBox(MessageBox());
        // Drawn last, above every screen's windows.
        g_pUiManager->AddUpperWindow(Tooltip());
        g_pUiManager->AddUpperWindow(MessageBox());
    }
    return 1;
}

int CPlayResources::LoadCursors() {
    if (!g_pUiManager) return 1;
    // An empty entry keeps its place: the position is the number screens select.
    for (uint32_t id : kCursorIds) g_pUiManager->LoadCursor(id);
    return 1;
}

int CPlayResources::HoldPanelTextures() {
    if (!g_pResourceManager) return 0;
    for (const char* name : kPanelTextures) {
        CResource* texture = g_pResourceManager->GetResource(name, RES_TEXTURE, nullptr, 1);
        if (!texture) return 0;
        m_pinned.push_back(texture);
    }
    return 1;
}

void CPlayResources::ReleasePanelTextures() {
    for (CResource*& r : m_pinned) Drop(r);
    m_pinned.clear();
}

int CPlayResources::RaceIndex(uint32_t flags) {
    if (!(flags & 0x10u)) return 4;
    for (int i = 0; i < 4; ++i)
        if (flags & (0x100u << i)) return i;
    return 4;
}

std::string CPlayResources::ListEntry(const std::vector<std::string>& list, int index) {
    return index >= 0 && static_cast<size_t>(index) < list.size() ? list[static_cast<size_t>(index)] : std::string();
}

void CPlayResources::SetRaceIcon(CUiObject* control, const CGameDataRecord* unit) const {
    const int index = unit ? RaceIndex(unit->flags) : 4;
    ShowIcon(control, raceIcons[static_cast<size_t>(index)], ListEntry(raceNames, index));
}

void CPlayResources::SetClassIcon(CUiObject* control, const CGameDataRecord* unit) const {
    const auto* data = dynamic_cast<const CUnitData*>(unit);
    const int index = data && data->unitClass < classIcons.size() ? static_cast<int>(data->unitClass) : -1;
    ShowIcon(control, index >= 0 ? classIcons[static_cast<size_t>(index)] : nullptr, ListEntry(classNames, index));
}

void CPlayResources::Release() {
    ReleasePanelTextures();
    for (CResource*& r : textures) Drop(r);
    for (CResource*& r : sounds) Drop(r);
    Drop(levelUpEffect);
    for (CResource*& r : clickMarkers) Drop(r);
    for (CResource*& r : raceIcons) Drop(r);
    for (CResource*& r : classIcons) Drop(r);
    for (CResource*& r : levelIcons) Drop(r);
    for (CResource*& r : disabledIcons) Drop(r);
    for (CResource*& r : selectionMarkers) Drop(r);
    for (CResource*& r : ambientEffects) Drop(r);
    Drop(ambientSound);
    Drop(itemIconFrame);
    // Releasing a layout deletes its window, which leaves the UI manager's layers and pointers.
    Drop(m_messageBoxLayout);
    Drop(m_tooltipLayout);
}

CUiFramedWindow* CPlayResources::Tooltip() const { return static_cast<CUiFramedWindow*>(WindowOf(m_tooltipLayout)); }

CUiMessageBox* CPlayResources::MessageBox() const { return static_cast<CUiMessageBox*>(WindowOf(m_messageBoxLayout)); }

platform::CGfxTexture* PlayTexture(int which) {
    if (!g_pPlayResources || which < 0 || static_cast<size_t>(which) >= g_pPlayResources->textures.size()) return nullptr;
    auto* texture = static_cast<CTextureResource*>(g_pPlayResources->textures[static_cast<size_t>(which)]);
    return texture ? texture->Texture() : nullptr;
}

void CPlayResources::PlaySound(size_t which) const {
    if (which >= sounds.size()) return;
    if (auto* effect = dynamic_cast<CSoundEffect*>(sounds[which])) effect->Play(false);
}
