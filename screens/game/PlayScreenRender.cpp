// The play screen's frame: the world with its terrain passes, shadows, fog of
// war and glow, the unit bars, the overlays of the input modes, the centre
// notice, the HUD windows, the floating texts, the game-over picture and the
// fade; and in a replay the keys of the playback.
//
// Every state goes through the device's state cache, so a frame that sets
// what the last one left costs nothing; the unit bars are two batches (the
// frames, then the fills) however many units stand in view.
#include <algorithm>
#include <cstdio>

#include "engine/core/Options.h"
#include "engine/effects/EffectManager.h"
#include "engine/effects/RibbonManager.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/render/Camera.h"
#include "engine/render/DeviceStates.h"
#include "engine/render/Draw2D.h"
#include "engine/render/RenderStateCache.h"
#include "engine/render/ShaderSet.h"
#include "engine/render/ZEMGauss.h"
#include "engine/render/ZEMShadow.h"
#include "engine/resource/ResourceManager.h"
#include "engine/resource/TextureResource.h"
#include "platform/GfxTexture.h"
#include "platform/Input.h"
#include "screens/game/PlayResources.h"
#include "screens/game/PlayScreen.h"
#include "screens/game/StatusPanel.h"
#include "screens/game/TopBarPanel.h"
#include "ui/ScreenHost.h"
#include "ui/UiManager.h"
#include "ui/UiStatic.h"
#include "ui/UiTypes.h"
#include "world/CombatObject.h"
#include "world/ScriptManager.h"
#include "world/SpatialTree.h"
#include "world/TerrainEngine.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

using namespace platform;

namespace {
constexpr uint32_t kClearColour = 0xFF000000u;
constexpr uint32_t kNightAmbient = 0xFF777777u;
constexpr uint32_t kSelectionColour = 0xFF00FF00u;
constexpr uint32_t kDimColour = 0x77777777u;
constexpr uint32_t kCentreNoticeRgb = 0xFFFF00u;
constexpr uint32_t kStatisticsColour = 0xFFFFFF00u;
constexpr uint32_t kBarLabelFont = 1;
constexpr uint32_t kNoticeFont = 2;
// The effect manager's plainest grade goes without fog.
constexpr uint32_t kNoFogGrade = 2;

// Unit bar layout, in pixels from the bar's top-left corner.
constexpr float kBarWidth = 56.0f;
constexpr float kBarRise = 30.0f;
constexpr float kFillX = 4.0f, kFillY = 7.0f, kFillHeight = 3.0f;
constexpr int32_t kLabelX = 65, kWideLabelX = 62, kLabelY = 3;
constexpr uint32_t kOwnFill = 0xFFFFCC00u, kTeamFill = 0xFF00FF00u, kEnemyFill = 0xFFFF0000u;
// The state flags that hide the bar (dying) or make the label the level.
constexpr uint32_t kDyingState = 0x4000000u;
constexpr uint32_t kLevelLabelStates = 0x200000B0u;
constexpr uint32_t kBuildingState = 0x2u;

CWorldObjectManager* World() { return g_pWorldObjectManager; }



IUiFont* UiFont(uint32_t index) { return g_pUiManager ? g_pUiManager->GetFont(index) : nullptr; }

void PushQuad(std::vector<UiVertex>& out, float x, float y, float w, float h, uint32_t argb) {
    // The half-pixel rule: pre-transformed corners cover whole pixels.
    const float l = x - 0.5f, t = y - 0.5f, r = l + w, b = t + h;
    const UiVertex tl{l, t, 0, 1, argb, 0, 0}, tr{r, t, 0, 1, argb, 1, 0}, bl{l, b, 0, 1, argb, 0, 1},
        br{r, b, 0, 1, argb, 1, 1};
    out.insert(out.end(), {tl, tr, bl, tr, br, bl});
}
}  // namespace

// The floating texts drawn through the UI manager and the play camera.
class CPlayTextCanvas : public IFloatingTextCanvas {
public:
    const CCamera* camera = nullptr;
    Viewport viewport{0, 0, 1024, 768, 0, 1};

    void DrawSprite(CGfxTexture* texture, const float* uv, float x, float y, float width, float height,
                    uint32_t argb) override {
        if (!g_pUiManager) return;
        float corners[8] = {0, 0, 1, 0, 0, 1, 1, 1};
        if (uv) {
            const float set[8] = {uv[0], uv[1], uv[2], uv[1], uv[0], uv[3], uv[2], uv[3]};
            std::copy(set, set + 8, corners);
        }
        g_pUiManager->DrawQuad(argb, corners, texture, x, y, width, height);
    }
    void DrawText(uint32_t font, int32_t x, int32_t y, std::string_view text, uint32_t argb) override {
        if (IUiFont* f = UiFont(font)) f->Draw(x, y, text, argb);
    }
    Vec3 Project(const CCamera* seen, const Vec3& point) override {
        const CCamera* c = seen ? seen : camera;
        // Without a camera nothing lies in front of it.
        if (!c) return Vec3(0, 0, -1);
        return Vec3Project(point, viewport, c->projection, c->view, Matrix::Identity());
    }
    bool FogHidden(const Vec3& point) override {
        CSightGrid* sight = g_pTerrainEngine ? g_pTerrainEngine->SightGrid() : nullptr;
        return sight && sight->GetCell(point, -1) < 1;
    }
};

struct CPlayScreen::BarBatch {
    std::vector<UiVertex> frames, fills;
    struct Label {
        int32_t x, y;
        uint32_t argb;
        char text[12];
    };
    std::vector<Label> labels;
    float frameWidth = 0, frameHeight = 0;
    void Clear() {
        frames.clear();
        fills.clear();
        labels.clear();
    }
};

struct CPlayScreen::RenderParts {
    ~RenderParts() {
        // The layout takes its window with it.
        if (g_pResourceManager) {
            g_pResourceManager->ReleaseResource(topBarLayout);
            g_pResourceManager->ReleaseResource(statusLayout);
        }
    }
    CPlayTextCanvas canvas;
    CResource* topBarLayout = nullptr;
    CResource* statusLayout = nullptr;
    std::unique_ptr<CZEMShadow> shadow;
    BarBatch bars;
    std::vector<CSceneObject*> casters, receivers;
    // A device that cannot make the targets is not asked again every frame.
    bool shadowFailed = false;
};

void CPlayScreen::RenderPartsDeleter::operator()(RenderParts* parts) const { delete parts; }

CPlayScreen::RenderParts& CPlayScreen::Parts() {
    if (!m_renderParts) m_renderParts.reset(new RenderParts());
    return *m_renderParts;
}

CZEMShadow* CPlayScreen::Shadow() const { return m_renderParts ? m_renderParts->shadow.get() : nullptr; }

uint32_t CPlayScreen::CentreNoticeAlpha(float t) { return CDayNightAmbient::ChannelByte(t); }

void CPlayScreen::SetCentreNotice(const char* text, int32_t x, int32_t y, float seconds) {
    m_centreNotice = text ? text : "";
    m_centreNoticeX = x;
    m_centreNoticeY = y;
    m_centreNoticeTime = seconds;
}

void CPlayScreen::ShowNotice(const char* text, uint32_t argb) {
    IScreenHost* host = ScreenHost();
    m_floatingTexts.SetNoticeFont(kNoticeFont, UiFont(kNoticeFont),
                                  host ? static_cast<int32_t>(host->BackBufferWidth()) : CUiManager::kScreenWidth);
    m_floatingTexts.AddNotice(argb, text ? text : "");
}

void CPlayScreen::CullView() {
    if (!m_camera || !g_pSpatialTree) return;
    Plane planes[6];
    CCamera::ExtractFrustumPlanes(m_camera->view, m_camera->projection, planes, false);
    g_pSpatialTree->CollectVisible(planes, 0);
}

int CPlayScreen::CreateShadow() {
    CGfxDevice* device = GetDevice();
    if (!device) return 1;
    RenderParts& parts = Parts();
    parts.shadow = std::make_unique<CZEMShadow>(device);
    parts.shadowFailed = false;
    if (parts.shadow->Create(m_camera)) return 1;
    // A match goes on without shadows rather than with half-made targets.
    parts.shadow.reset();
    parts.shadowFailed = true;
    return 0;
}

void CPlayScreen::ReleaseShadow() {
    if (m_renderParts) m_renderParts->shadow.reset();
}

void CPlayScreen::AdvanceOverlays(float realDt) {
    m_floatingTexts.Update(realDt);
    if (m_centreNoticeTime > 0.0f) m_centreNoticeTime = std::max(0.0f, m_centreNoticeTime - realDt);
    if (!m_topBar) return;
    m_topBar->night = !m_day;
    m_topBar->dayClock = m_dayNight.elapsed;
    if (m_lordWarningState == 1 && !m_topBar->warningSwitch && !m_topBar->warningDone) {
        m_topBar->warningSwitch = true;
        m_topBar->warningIndex = 0;
        if (CUiStatic* warning = m_topBar->warnings[0]) warning->ClearFlags(UI_HIDDEN);
    }
    if (m_topBar->warningDone && m_lordWarningState == 1) m_lordWarningState = 2;
}

int CPlayScreen::LoadHudLayouts() {
    RenderParts& parts = Parts();
    if (!g_pResourceManager) return 1;
    if (!parts.statusLayout) {
        m_statusPanel = new CStatusPanel(this);
        parts.statusLayout = g_pResourceManager->GetResource(CStatusPanel::kLayout, RES_LAYOUT, m_statusPanel, 1);
        if (!parts.statusLayout) {
            m_statusPanel = nullptr;
            return 0;
        }
    }
    if (parts.topBarLayout) return 1;
    m_topBar = new CTopBarPanel();
    parts.topBarLayout = g_pResourceManager->GetResource(CTopBarPanel::kLayout, RES_LAYOUT, m_topBar, 1);
    // A layout that failed took its window with it.
    if (!parts.topBarLayout) {
        m_topBar = nullptr;
        return 0;
    }
    for (CUiStatic* warning : m_topBar->warnings) warning->AddFlags(UI_HIDDEN);
    m_topBar->owner = this;
    return 1;
}

void CPlayScreen::Render() {
    CGfxDevice* device = GetDevice();
    if (!device) return;
    const float dt = m_timer.Dt();
    ++m_fpsFrames;
    m_fpsTime += dt;
    if (m_fpsTime >= 1.0f) {
        m_fps = static_cast<float>(m_fpsFrames) / m_fpsTime;
        m_fpsFrames = 0;
        m_fpsTime = 0;
    }
    // The back buffer has no stencil part to clear.
    device->Clear(0, nullptr, CLEAR_TARGET | CLEAR_ZBUFFER, kClearColour, 1.0f, 0);
    if (device->BeginScene() != GFX_OK) return;
    RenderWorld(*device);
    RenderOverlays(*device);
    if (g_pUiManager) {
        g_pUiManager->BeginDraw();
        m_fade.Render();
        g_pUiManager->EndDraw();
    }
    device->EndScene();
}

void CPlayScreen::RenderWorld(CGfxDevice& device) {
    IScreenHost* host = ScreenHost();
    const int shadowType = host ? host->Options().shadowType : 0;
    CShaderSet* shaders = g_pShaderSet;
    CShaderEffect* skin = shaders && shaders->IsReady() ? shaders->SkinEffect() : nullptr;
    CZEMGauss* glow = m_context.glow && m_context.glow->Surface(0) ? m_context.glow : nullptr;
    const float dt = m_timer.Dt();

    m_dayNight.Apply(device, shaders);
    if (glow) {
        device.SetRenderTarget(0, glow->Surface(0));
        device.Clear(0, nullptr, CLEAR_TARGET, 0, 1.0f, 0);
    }
    if (m_camera) {
        device.SetTransform(TS_VIEW, &m_camera->view);
        device.SetTransform(TS_PROJECTION, &m_camera->projection);
    }
    CZEMMap* map = g_pZEMMap;
    if (map && !(g_pEffectManager && g_pEffectManager->qualityGrade == kNoFogGrade))
        SetFog(device, map->fogOn != 0, map->fogColor, map->fogStart, map->fogEnd);

    RenderParts& parts = Parts();
    if (!parts.shadow && !parts.shadowFailed && shadowType >= 2) CreateShadow();
    if (g_pTerrainEngine) {
        // The ground of a played map is each patch's baked picture; the
        // projected pass follows it.
        g_pTerrainEngine->RenderTextured();
        // The low shadow setting gives each unit a blob on the ground.
        g_pTerrainEngine->drawDecals = shadowType == 1 ? 1u : 0u;
        if (shadowType == 1) g_pTerrainEngine->RenderProjectedPass(PlayTexture(CPlayResources::TEX_SHADOW));
        // An aimed area skill's marker, under the objects that stand in it.
        g_pTerrainEngine->RenderGroundMarker();
    }
    if (shadowType >= 2 && parts.shadow && g_pSpatialTree) {
        parts.shadow->useLarge = shadowType != 2 ? 1u : 0u;
        parts.casters.clear();
        parts.receivers.clear();
        for (CSceneObject* o : g_pSpatialTree->VisibleList()) {
            if (!o) continue;
            if (o->flags & WO_WORLD_OBJECT)
                parts.casters.push_back(o);
            else
                parts.receivers.push_back(o);
        }
        Viewport viewport{};
        device.GetViewport(&viewport);
        parts.shadow->RenderShadowMap(&viewport, parts.casters, parts.receivers);
    }
    if (skin && m_camera) {
        skin->SetMatrix("mView", m_camera->view);
        skin->SetMatrix("mProj", m_camera->projection);
        const Vec3& l = m_context.lightDirection;
        skin->SetVector("lightDir", Vec4(l.x, l.y, l.z, 1.0f));
    }
    if (g_pSpatialTree) g_pSpatialTree->RenderVisible(&device);
    SetFog(device, false, 0, 0, 0);

    if (map) map->RenderWater(dt);
    if (g_pRibbonManager) g_pRibbonManager->DrawAll();
    if (g_pEffectManager) g_pEffectManager->DrawEffects(0);
    SetRenderStateCached(device, RS_AMBIENT, kNightAmbient);
    if (g_pTerrainEngine) g_pTerrainEngine->RenderFogOfWar(dt);
    if (glow) glow->Render();
}

void CPlayScreen::RenderOverlays(CGfxDevice& device) {
    CUiManager* ui = g_pUiManager;
    RenderParts& parts = Parts();
    parts.canvas.camera = m_camera;
    device.GetViewport(&parts.canvas.viewport);

    DrawUnitBars();
    RenderPortraits();
    if (ui) ui->BeginDraw();
    m_floatingTexts.Draw(parts.canvas, 1);
    if (m_centreNoticeTime != 0.0f && !m_centreNotice.empty()) {
        // A held notice (negative time) stands at full alpha.
        const float t = m_centreNoticeTime < 0.0f ? 1.0f : m_centreNoticeTime;
        if (IUiFont* font = UiFont(kNoticeFont))
            font->Draw(m_centreNoticeX, m_centreNoticeY, m_centreNotice, CentreNoticeAlpha(t) << 24 | kCentreNoticeRgb);
    }
    if (m_dimmed && ui) {
        ui->DrawQuad(kDimColour, nullptr, nullptr, 0, 0, static_cast<float>(CUiManager::kScreenWidth),
                     static_cast<float>(CUiManager::kScreenHeight));
    }
    if (ui) {
        ui->EndDraw();
        ui->RenderWindows();
        ui->BeginDraw();
    }
    m_floatingTexts.Draw(parts.canvas, 0);
    DrawGameOverPicture();
    if (ui) ui->EndDraw();
    if (m_context.scripts && World() && World()->gameMode == 2) m_context.scripts->DrawFlicker();
    ReadReplayKeys();
    DrawStatistics();
}

void CPlayScreen::DrawGameOverPicture() {
    if (m_gameOver != 1 || !g_pUiManager || !World()) return;
    CGfxTexture* picture =
        PlayTexture(m_winningTeam == World()->localTeam ? CPlayResources::TEX_VICTORY : CPlayResources::TEX_DEFEAT);
    if (!picture) return;
    IScreenHost* host = ScreenHost();
    const int32_t width = host ? static_cast<int32_t>(host->BackBufferWidth()) : CUiManager::kScreenWidth;
    const int32_t height = host ? static_cast<int32_t>(host->BackBufferHeight()) : CUiManager::kScreenHeight;
    const int32_t w = static_cast<int32_t>(picture->GetWidth()), h = static_cast<int32_t>(picture->GetHeight());
    const int32_t x = (width - w) / 2;
    const int32_t y = (height - m_mainPanelHeight - h + 20) / 2;
    g_pUiManager->DrawQuad(0xFFFFFFFFu, nullptr, picture, static_cast<float>(x), static_cast<float>(y),
                           static_cast<float>(w), static_cast<float>(h));
}

void CPlayScreen::DrawStatistics() {
    IScreenHost* host = ScreenHost();
    if (!m_showStatistics || !host) return;
    IUiFont* font = UiFont(kNoticeFont);
    if (!font) return;
    const bool skin = g_pShaderSet && g_pShaderSet->IsReady();
    char line[128];
    std::snprintf(line, sizeof line, "%d X %d X %dBit (%.2f FPS) %s", static_cast<int>(host->BackBufferWidth()),
                  static_cast<int>(host->BackBufferHeight()), static_cast<int>(m_context.colorBits),
                  static_cast<double>(m_fps), skin ? "Use SkinShader" : "No SkinShader");
    if (g_pUiManager) g_pUiManager->BeginDraw();
    font->Draw(10, 30, line, kStatisticsColour);
    if (g_pUiManager) g_pUiManager->EndDraw();
}

void CPlayScreen::ReadReplayKeys() {
    IScreenHost* host = ScreenHost();
    if (!host || !World() || World()->gameMode != 3) return;
    CZEMDXInput& input = host->Input();
    if (input.KeyPressed(DIK_SPACE)) m_dimmed = !m_dimmed;
    if (input.KeyPressed(DIK_PRIOR) && m_replaySpeed < 10.0f) m_replaySpeed += 0.5f;
    if (input.KeyPressed(DIK_NEXT) && m_replaySpeed > 0.5f) m_replaySpeed -= 0.5f;
    SetReplaySpeed(m_replaySpeed);
    StepReplayPlayer(input);
}

void CPlayScreen::DrawUnitBars() {
    CGfxDevice* device = GetDevice();
    if (!device) return;
    BarBatch& batch = Parts().bars;
    batch.Clear();
    IScreenHost* host = ScreenHost();
    const bool all = host && host->Options().showUnitHP;
    if (all && g_pSpatialTree) {
        for (CSceneObject* o : g_pSpatialTree->VisibleList())
            if (o && (o->flags & WO_WORLD_OBJECT)) AddUnitBar(*static_cast<CWorldObject*>(o), batch);
    } else if (!all && World()) {
        if (CWorldObject* hovered = World()->GetObjectById(m_hoveredObject)) AddUnitBar(*hovered, batch);
    }
    FlushUnitBars(batch);
}

void CPlayScreen::DrawUnitBar(CWorldObject* object, int /*filter*/) {
    if (!object) return;
    BarBatch& batch = Parts().bars;
    batch.Clear();
    AddUnitBar(*object, batch);
    FlushUnitBars(batch);
}

void CPlayScreen::AddUnitBar(CWorldObject& o, BarBatch& batch) {
    if (!(o.flags & WO_WORLD_OBJECT) || !o.IsVisible() || !(o.flags & WO_COMBAT)) return;
    if (!(o.hitPoints > 0.0f) || (o.stateFlags & kDyingState)) return;
    const float maxHp = o.GetStat(5);
    // Without a maximum there is no fraction to show.
    if (!(maxHp > 0.0f) || !m_camera) return;
    Vec3 lo = o.bounds.innerBox[0], hi = o.bounds.innerBox[0];
    for (const Vec3& c : o.bounds.innerBox) {
        lo = Vec3(std::min(lo.x, c.x), std::min(lo.y, c.y), std::min(lo.z, c.z));
        hi = Vec3(std::max(hi.x, c.x), std::max(hi.y, c.y), std::max(hi.z, c.z));
    }
    const Viewport& viewport = Parts().canvas.viewport;
    int32_t p[4];
    ProjectBoundsToScreen(viewport, m_camera->view, m_camera->projection, lo, hi, p);
    const float left = static_cast<float>(std::min(p[0], p[2])), right = static_cast<float>(std::max(p[0], p[2]));
    const float top = static_cast<float>(std::min(p[1], p[3]));
    const float x0 = left - (kBarWidth - (right - left)) * 0.5f;
    const float y0 = top - kBarRise;

    const CWorldObjectManager* world = World();
    uint32_t fill = kEnemyFill;
    if (world && o.owner == world->localSlot)
        fill = kOwnFill;
    else if (world && o.team == world->localTeam)
        fill = kTeamFill;
    CGfxTexture* shell = PlayTexture(CPlayResources::TEX_GAUGE_SHELL);
    batch.frameWidth = shell ? static_cast<float>(shell->GetWidth()) : kBarWidth + 2 * kFillX;
    batch.frameHeight = shell ? static_cast<float>(shell->GetHeight()) : 2 * kFillY + kFillHeight;
    PushQuad(batch.frames, x0, y0, batch.frameWidth, batch.frameHeight, 0xFFFFFFFFu);
    const float hp = std::min(o.hitPoints, maxHp);
    PushQuad(batch.fills, x0 + kFillX, y0 + kFillY, static_cast<float>(static_cast<int32_t>(hp * kBarWidth / maxHp)),
             kFillHeight, fill);

    BarBatch::Label label{0, static_cast<int32_t>(y0) + kLabelY, fill, {}};
    int32_t labelX = kLabelX;
    if (o.stateFlags & kLevelLabelStates) {
        const int32_t level = o.IsCombatObject() ? static_cast<CCombatObject&>(o).level : 1;
        std::snprintf(label.text, sizeof label.text, "%d", level);
        if (level > 9) labelX = kWideLabelX;
    } else {
        std::snprintf(label.text, sizeof label.text, "%s", (o.stateFlags & kBuildingState) ? "B" : "U");
    }
    label.x = static_cast<int32_t>(x0) + labelX;
    batch.labels.push_back(label);
}

void CPlayScreen::FlushUnitBars(BarBatch& batch) {
    CGfxDevice* device = GetDevice();
    if (!device || batch.frames.empty()) return;
    SetTextureCached(*device, 1, nullptr);
    if (g_pUiManager) g_pUiManager->BeginDraw();
    SetRenderStateCached(*device, RS_ALPHABLENDENABLE, 1);
    SetRenderStateCached(*device, RS_ZENABLE, 0);
    SetRenderStateCached(*device, RS_LIGHTING, 0);
    SetFvfCached(*device, kUiVertexFormat);
    SetTextureCached(*device, 0, PlayTexture(CPlayResources::TEX_GAUGE_SHELL));
    device->DrawPrimitiveUP(PT_TRIANGLELIST, static_cast<uint32_t>(batch.frames.size() / 3), batch.frames.data(),
                            sizeof(UiVertex));
    SetTextureCached(*device, 0, nullptr);
    device->DrawPrimitiveUP(PT_TRIANGLELIST, static_cast<uint32_t>(batch.fills.size() / 3), batch.fills.data(),
                            sizeof(UiVertex));
    if (IUiFont* font = UiFont(kBarLabelFont))
        for (const BarBatch::Label& l : batch.labels) font->Draw(l.x, l.y, l.text, l.argb);
    if (g_pUiManager) g_pUiManager->EndDraw();
    SetRenderStateCached(*device, RS_ZENABLE, 1);
    SetRenderStateCached(*device, RS_LIGHTING, 1);
    SetRenderStateCached(*device, RS_ALPHABLENDENABLE, 0);
}
