#include "screens/lobby/LogoScreen.h"

#include <chrono>
#include <string>
#include <thread>

#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/core/Options.h"
#include "engine/render/RenderStateCache.h"
#include "engine/resource/ResourceManager.h"
#include "engine/sound/SoundEffect.h"
#include "platform/GfxDevice.h"
#include "platform/MessageSink.h"
#include "screens/game/PlayResources.h"
#include "ui/ScreenHost.h"
#include "ui/ScreenManager.h"
#include "ui/UiManager.h"
#include "ui/UiMessageBox.h"
#include "world/GameDataRegistry.h"

namespace {
const UiColor kBlack{0.0f, 0.0f, 0.0f, 0.0f};
const UiColor kWhite{1.0f, 1.0f, 1.0f, 1.0f};
}  // namespace

CLogoScreen::CLogoScreen() = default;

CLogoScreen::~CLogoScreen() {
    // A screen cleared while its job runs must not go before the job.
    if (g_pResourceManager) {
        g_pResourceManager->WaitLoaderThread(CResourceManager::kInfinite);
        g_pResourceManager->ReleaseResource(m_sound);
    }
    m_sound = nullptr;
}

int CLogoScreen::SetUp() {
    IScreenHost* host = ScreenHost();
    if (!host || !g_pResourceManager) {
        ErrorReport().SetError(ERR_DATA, "The logo screen runs without its application");
        return SCREEN_FATAL;
    }
    const int index = host->LogoIndex();
    const bool listed = index >= 0 && index < host->LogoCount();
    const std::string textureName = listed ? host->LogoTexture(index) : std::string();
    CResource* texture =
        textureName.empty() ? nullptr : g_pResourceManager->GetResource(textureName.c_str(), RES_TEXTURE, nullptr, 1);
    if (!texture) {
        // A count larger than the names listed, or a name that is empty, is a missing logo.
        if (textureName.empty())
            ErrorReport().SetError(ERR_FILE_NOT_FOUND, GetMessageText(MSG_ERROR_FILE_NOT_FOUND),
                                   "LOGO" + std::to_string(index + 1) + "_TEXTURE");
        return SCREEN_FATAL;
    }
    const float width = static_cast<float>(host->BackBufferWidth());
    const float height = static_cast<float>(host->BackBufferHeight());
    m_logo.SetUp(0.0f, 0.0f, width, height, texture);
    m_logo.Start(kWhite, 0, 0.0f);
    m_fade.SetUp(0.0f, 0.0f, width, height, nullptr);

    const std::string soundName = listed ? host->LogoSound(index) : std::string();
    if (!soundName.empty()) {
        // With sound off the resource manager refuses it and leaves "Sound load fail" in the report;
        // a sound that fails to load is not kept.
        m_sound = g_pResourceManager->GetResource(soundName.c_str(), RES_SOUND_EFFECT, nullptr, 1);
        if (auto* effect = dynamic_cast<CSoundEffect*>(m_sound)) effect->Play(false);
    }

    if (index == 0) {
        COptions& options = host->Options();
        options.machineGrade = host->SystemGrade();
        if (options.defaultsNeeded) options.SetDefaults();
        host->ApplyOptions();
        if (!g_pResourceManager->StartLoaderThread(this, 1)) return SCREEN_FATAL;
        SetPhase(PHASE_LOADING);
    } else {
        SetPhase(PHASE_SHOWING);
    }
    m_fade.Start(kBlack, 1, kInRate);
    m_timer.StartCountdown(kShowSeconds);
    return SCREEN_RUNNING;
}

int CLogoScreen::Update() {
    m_timer.Update();
    IScreenHost* host = ScreenHost();
    switch (Phase()) {
        case PHASE_SETUP:
            if (SetUp() != SCREEN_RUNNING) return SCREEN_FATAL;
            break;
        case PHASE_FAILED:
            // The job may still be on its way out; the application must not tear down under it.
            g_pResourceManager->WaitLoaderThread(CResourceManager::kInfinite);
            platform::ShowMessage(host ? host->WindowTitle() : std::string(), ErrorReport().Text());
            return SCREEN_FATAL;
        case PHASE_SHOWING:
            if (m_fade.Done() && m_timer.CountdownDone()) {
                g_pResourceManager->WaitLoaderThread(CResourceManager::kInfinite);
                m_fade.Start(kBlack, 0, kOutRate);
                SetPhase(PHASE_OUT);
                if (CUiMessageBox* box = g_pPlayResources ? g_pPlayResources->MessageBox() : nullptr)
                    box->SetScreenSize(static_cast<float>(host->BackBufferWidth()),
                                       static_cast<float>(host->BackBufferHeight()));
            }
            break;
        case PHASE_OUT:
            if (m_fade.Done() && host) {
                host->MessageBox().HideBox();
                host->SetLogoIndex(host->LogoIndex() + 1);
                host->Screens().PushScreen(host->LogoIndex() >= host->LogoCount() ? MakeLoginScreen()
                                                                                  : new CLogoScreen());
                return SCREEN_FINISHED;
            }
            break;
        default:
            break;
    }
    m_fade.Advance(Dt());
    return SCREEN_RUNNING;
}

int CLogoScreen::Fail() {
    SetPhase(PHASE_FAILED);
    return 0;
}

int CLogoScreen::LoadDataJob() {
    // The main thread moves the phase to loading right after starting the job.
    while (Phase() != PHASE_LOADING) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    IScreenHost* host = ScreenHost();
    if (!host || !g_pResourceManager || !g_pGameDataRegistry || !g_pPlayResources) {
        ErrorReport().SetError(ERR_DATA, "The start-up data job runs without its application");
        return Fail();
    }
    const char* dataFile = g_pMessageTable ? g_pMessageTable->GetInfo("LOAD_DATA") : "";
    uint8_t digest[16];
    if (!g_pResourceManager->FileIndex().ComputeFileDigest(dataFile, digest, true)) {
        ErrorReport().SetError(ERR_DATA, GetMessageText(MSG_ERROR_WRONG_DATA_FILE), dataFile);
        return Fail();
    }
    SetProgress(0.1f);
    if (!g_pGameDataRegistry->LoadDataBlock(dataFile)) return Fail();
    SetProgress(0.2f);
    if (!g_pGameDataRegistry->PreloadTable().Load(&m_progress, 0.4f)) return Fail();
    for (int list = 0; list < IScreenHost::kMapListCount; ++list) {
        for (size_t i = 0; i < host->MapCount(list); ++i) {
            const MapListEntry& map = host->Map(list, i);
            if (map.dataStamp != g_pGameDataRegistry->blockValue) {
                ErrorReport().SetError(ERR_RESOURCE_LINK, GetMessageText(MSG_ERROR_WRONG_DATA_FILE_KEY), map.fileName);
                return Fail();
            }
        }
    }
    SetProgress(0.8f);
    if (!g_pPlayResources->Load()) return Fail();
    SetProgress(1.0f);
    SetPhase(PHASE_SHOWING);
    return 1;
}

void CLogoScreen::Render() {
    platform::CGfxDevice* device = GetDevice();
    if (!device) return;
    device->Clear(0, nullptr, platform::CLEAR_TARGET | platform::CLEAR_ZBUFFER, kClearColor, 1.0f, 0);
    if (device->BeginScene() != platform::GFX_OK) return;
    // The 2D states: the quads' colours and alphas modulate their textures.
    if (g_pUiManager) g_pUiManager->BeginDraw();
    m_logo.Render();
    m_fade.Render();
    if (g_pUiManager) g_pUiManager->EndDraw();
    device->EndScene();
}
