// The game application's start-up, frame and clean-up steps.
#include "app/GameApp.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <thread>

#include "engine/core/FileIndex.h"
#include "engine/effects/EffectResource.h"
#include "engine/render/AnimationResource.h"
#include "engine/render/MeshResource.h"
#include "engine/render/ModelResource.h"
#include "engine/render/GfxShaderEffect.h"
#include "engine/text/FontFileLocator.h"
#include "engine/text/FreeTypeFont.h"
#include "engine/core/Random.h"
#include "engine/core/TextList.h"
#include "net/NetErrors.h"
#include "net/SocketLayer.h"
#include "platform/Crash.h"
#include "platform/CrtRandom.h"
#include "ui/UiControls.h"
#include "platform/File.h"
#include "platform/GfxSystem.h"
#include "platform/JpegWriter.h"
#include "platform/Math.h"
#include "platform/MessageSink.h"
#include "platform/Process.h"
#include "screens/lobby/LogoScreen.h"
#include "ui/LayoutResource.h"
#include "ui/UiMessageBox.h"

using namespace platform;

CGameApp* g_pGameApp = nullptr;

namespace {

// Each scene light takes the next light index; the count falls when one goes.
uint32_t g_lightCount = 0;

constexpr uint8_t kKeyLeftAlt = 0x38, kKeyRightAlt = 0xB8, kKeyReturn = 0x1C, kKeyPrintScreen = 0xB7;

uint32_t ReadMemoryKb() {
    std::ifstream in("/proc/meminfo");
    std::string name;
    uint64_t value = 0;
    while (in >> name >> value) {
        if (name == "MemTotal:") return static_cast<uint32_t>(std::min<uint64_t>(value, 0xFFFFFFFFu));
        in.ignore(1 << 16, '\n');
    }
    return 0;
}

// The first processor's clock; 0 when the system does not tell it (as in many virtual machines).
uint32_t ReadProcessorMhz() {
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("cpu MHz", 0) != 0) continue;
        const size_t colon = line.find(':');
        if (colon != std::string::npos) return static_cast<uint32_t>(std::atof(line.c_str() + colon + 1));
    }
    return 0;
}

}  // namespace

CGameApp::SceneLightRecord::SceneLightRecord() : number(g_lightCount++) {}
CGameApp::SceneLightRecord::~SceneLightRecord() { --g_lightCount; }

CGameApp::CGameApp(const std::string& commandLine) {
    if (!g_pGameApp) g_pGameApp = this;
    RegisterScreenHost(this);
    if (!g_pClientSession) g_pClientSession = &m_session;
    m_session.net = &m_net;
    m_gameData.SetInventoryTable(&m_session.inventory);
    m_commandLine = commandLine;
    m_windowTitle = "-Morvane-";
    m_behaviourFlags = CREATE_MULTITHREADED;
    m_firstScreenMaker = [] { return new CLogoScreen(); };
    m_loaderFailed = !LoadStartupData();
}

CGameApp::~CGameApp() {
    // The steps must run while this is still the game application.
    Cleanup();
    // Options that were never loaded are not the player's: they must not overwrite the stored ones.
    if (m_options.loaded) m_options.SaveOptions();
    WithdrawScreenHost(this);
    if (g_pClientSession == &m_session) g_pClientSession = nullptr;
    if (g_pGameApp == this) g_pGameApp = nullptr;
}

std::string CGameApp::FindDataFile(const char* name, uint32_t* offset, uint32_t* size) {
    *offset = *size = 0;
    std::string path = m_resources.FileIndex().ResolvePath(name, offset, size);
    if (!path.empty()) return path;
    if (FileExists(name)) return name;
    return std::string();
}

const char* CGameApp::Info(const char* key) const { return m_messages.GetInfo(key); }

std::string CGameApp::ListedName(const std::vector<std::string>& names, int index) {
    return index >= 0 && static_cast<size_t>(index) < names.size() ? names[static_cast<size_t>(index)] : std::string();
}

IMessageBoxHost& CGameApp::MessageBox() {
    if (CUiMessageBox* box = m_playResources.MessageBox()) return *box;
    return m_noMessageBox;
}

size_t CGameApp::MapCount(int list) const {
    return list >= 0 && list < MAP_LIST_COUNT ? m_mapLists[static_cast<size_t>(list)].size() : 0;
}

const MapListEntry& CGameApp::Map(int list, size_t index) const {
    return *m_mapLists[static_cast<size_t>(list)][index];
}

void CGameApp::ApplyOptions() { m_options.Apply(m_optionsTarget); }
int CGameApp::InfoInt(const char* key) const { return std::atoi(Info(key)); }

int CGameApp::LoadStartupData() {
    CFileIndex& index = m_resources.FileIndex();
    index.LoadPackageList("PACKAGELIST.DRL");
    uint32_t offset = 0, size = 0;
    const std::string msg = FindDataFile("MSG.DAT", &offset, &size);
    if (msg.empty()) {
        ErrorReport().SetError(ERR_FILE_NOT_FOUND, "not found file!!! (%s)", "MSG.DAT");
        return 0;
    }
    const bool packaged = index.FindPackageEntry("MSG.DAT") != nullptr;
    if (!(packaged ? m_messages.LoadMessages(msg.c_str(), offset, size) : m_messages.LoadMessages(msg.c_str())) ||
        !m_messages.LoadInfoFile("GAMEINFO.DAT"))
        return 0;
    const std::string ini = index.ResolvePath("VAZE.INI", &offset, &size);
    if (ini.empty()) {
        ErrorReport().SetError(ERR_FILE_NOT_FOUND, GetMessageText(MSG_ERROR_FILE_NOT_FOUND), "VAZE.INI");
        return 0;
    }
    m_loginServer = index.GetProfileString("INFO", "LOGIN_SERVER", "VAZE.INI");
    m_homepageUrl = index.GetProfileString("PATCH", "HOMEPAGE_URL", "VAZE.INI");
    m_joinUrl = index.GetProfileString("PATCH", "JOIN_URL", "VAZE.INI");
    m_options.LoadOptions(kOptionsKeyPath);
    return 1;
}

int CGameApp::MeasureSystem() {
    if (m_figuresGiven) return 1;
    m_figures.memoryKb = ReadMemoryKb();
    m_figures.mhz = ReadProcessorMhz() * std::max(1u, std::thread::hardware_concurrency());
    // 0 when the driver does not tell: the check lets it pass and the grade goes by the other figures.
    m_figures.videoKb = System() ? System()->VideoMemoryKb() : 0;
    return 1;
}

int CGameApp::CheckMinimumSpec(uint32_t memoryMb, uint32_t mhz, const char* speedText, uint32_t videoMb,
                               int pvmWording) {
    const uint32_t neededKb = memoryMb * 1024;
    if (m_figures.memoryKb < neededKb - neededKb * 16 / 100) {
        ErrorReport().SetError(
            0, GetMessageText(pvmWording ? MSG_APP_ERROR_MEMORY_FALIED_PVM : MSG_APP_ERROR_MEMORY_FALIED),
            static_cast<int>(memoryMb), static_cast<int>(m_figures.memoryKb / 1024));
        return 0;
    }
    // A machine that does not tell its clock speed, or a driver that does not
    // tell its memory (software rendering), is not held back for it.
    if (m_figures.mhz != 0 && m_figures.mhz < mhz) {
        ErrorReport().SetError(
            0, GetMessageText(pvmWording ? MSG_APP_ERROR_CPU_SPEED_FAILED_PVM : MSG_APP_ERROR_CPU_SPEED_FAILED),
            speedText, static_cast<int>(m_figures.mhz));
        return 0;
    }
    if (m_figures.videoKb != 0 && m_figures.videoKb < videoMb * 1000) {
        ErrorReport().SetError(
            0, GetMessageText(pvmWording ? MSG_APP_ERROR_VIDEO_MEM_FAILED_PVM : MSG_APP_ERROR_VIDEO_MEM_FAILED),
            static_cast<int>(videoMb), static_cast<int>(m_figures.videoKb / 1024));
        return 0;
    }
    return 1;
}

int CGameApp::GetSystemGrade() const {
    const SystemFigures& f = m_figures;
    // A driver that does not tell its memory (0) leaves the grade to the other figures.
    auto videoBelow = [&f](uint32_t kb) { return f.videoKb != 0 && f.videoKb < kb; };
    if (videoBelow(60000) || f.memoryKb < 400000 || f.mhz < 1100) return 3;
    if (videoBelow(100000) || f.memoryKb < 500000 || f.mhz < 1700) return 2;
    if (videoBelow(200000) || f.memoryKb < 1000000 || f.mhz < 2800) return 1;
    return 0;
}

int CGameApp::OneTimeInit() {
    if (m_loaderFailed) return 0;
    if (!EnsureSystem()) return 0;
    if (!MeasureSystem() || !CheckMinimumSpec(256, 1000, "1 GHz", 32, 0)) return 0;
    CreateUserFolders();
    m_windowed = m_options.windowMode != 0;
    if (m_options.color32Bit == 0) m_fullscreenParams.backBufferFormat = FMT_R5G6B5;
    if (!LoadMapLists()) return 0;
    // Without the tables no account record can be sealed: the login shows that
    // error, the rest of the client runs.
    m_protocolTables.Load();
    for (int i = 0; i < kPlayerSlots; ++i) m_session.slots[static_cast<size_t>(i)].position = static_cast<uint32_t>(i);
    m_logoCount = InfoInt("LOGO_COUNT");
    char key[32];
    for (int i = 1; i <= m_logoCount; ++i) {
        std::snprintf(key, sizeof(key), "LOGO%d_TEXTURE", i);
        m_logoTextures.push_back(Info(key));
        std::snprintf(key, sizeof(key), "LOGO%d_SOUND", i);
        m_logoSounds.push_back(Info(key));
    }
    return 1;
}

int CGameApp::LoadMapLists() {
    static const char* const kPrefixes[MAP_LIST_COUNT] = {"LOAD", "PVM", "TUTORIAL"};
    char key[64];
    for (int list = 0; list < MAP_LIST_COUNT; ++list) {
        std::snprintf(key, sizeof(key), "%s_MAPCOUNT", kPrefixes[list]);
        const int count = InfoInt(key);
        for (int i = 1; i <= count; ++i) {
            auto entry = std::make_unique<MapListEntry>();
            std::snprintf(key, sizeof(key), "%s_KEY_%d", kPrefixes[list], i);
            entry->key = InfoInt(key);
            std::snprintf(key, sizeof(key), "%s_MAP_%d", kPrefixes[list], i);
            entry->fileName = Info(key);
            if (entry->fileName.empty()) continue;
            if (!m_resources.FileIndex().ComputeFileDigest(entry->fileName.c_str(), entry->digest, true)) {
                ErrorReport().SetError(ERR_DATA, GetMessageText(MSG_ERROR_WRONG_DATA_FILE), entry->fileName);
                return 0;
            }
            if (!m_map.ReadMapHeader(entry->fileName.c_str(), &entry->text1, &entry->text2, &entry->text3,
                                     &entry->dataStamp))
                return 0;
            m_mapLists[static_cast<size_t>(list)].push_back(std::move(entry));
        }
    }
    return 1;
}

void CGameApp::CreateUserFolders() {
    const std::string documents = DocumentsFolder();
    if (documents.empty()) return;
    m_screenshotFolder = documents + "\\QOR\\SCREENSHOT";
    // The documents folder itself may not exist yet on a fresh account.
    if (!FolderExists(m_screenshotFolder)) CreateFolders(m_screenshotFolder);
    m_replayFolder = documents + "\\QOR\\REPLAY";
    if (!FolderExists(m_replayFolder)) CreateFolders(m_replayFolder);
}

void CGameApp::ModifyWindowClass() {
    // A machine without sound output plays silent; the post-window step switches sound off then.
    m_sound.CreateSoundDevice();
}

int CGameApp::PostWindowInit() {
    // Layouts name their controls by type id; the makers must be known before the first layout loads.
    RegisterUiControls();
    RegisterLayoutResource(m_resources);
    m_closeIgnored = true;
    m_altEnterAllowed = true;
    CrtSrand(static_cast<uint32_t>(std::time(nullptr)));
    InitPercentTable();
    if (m_cameras.Count() == 0) {
        auto* play = new CPlayCamera();
        play->pitchLimitHigh = 0.95f;
        play->pitchLimitLow = 0.05f;
        m_cameras.Register(play);
        for (int i = 0; i < 3; ++i) m_cameras.Register(new CCamera());
    }
    if (NetStartup(1) < 0) return ReportNetError(kNetErrorFromSocket);
    m_netStarted = true;
    // Without sound the game goes on silent.
    if (m_sound.InitSoundDevice(true, 2, 22050, 16))
        m_sound.SetDistances(40.0f, 100000.0f, 200.0f);
    else
        m_sound.SwitchOff();
    m_sound.RegisterResources(m_resources);
    // Effects take the meshes, animations and textures their layers name.
    RegisterAnimationResources(m_resources);
    RegisterMeshResources(m_resources, &m_shaders);
    RegisterModelResources(m_resources);
    RegisterEffectResources(m_resources);
    m_effects.ClearCounter();
    // The input is made once; making it a second time would lose the first.
    std::unique_ptr<InputSystem> inputSystem =
        m_inputMaker ? m_inputMaker(m_window) : CreateSdlInputSystem(m_window ? m_window->Id() : 0);
    const int inputMade = m_input.CreateInput(std::move(inputSystem), 0);
    if (!m_imeContext) {
        m_imeContext = m_imeMaker ? m_imeMaker(m_window) : CreateSdlImeContext(m_window ? m_window->Id() : 0);
        m_ui.Ime().Create(m_imeContext.get());
    }
    if (!LoadFonts()) return 0;
    if (m_window) m_window->ShowCursor(false);
    m_screens.SetPushListener(&m_input);
    if (m_firstScreenMaker) m_screens.PushScreen(m_firstScreenMaker());
    // Each list loads on its own: a missing tip file must not switch the word filter off.
    ReadTextList("GAMETIP.DAT", m_gameTips);
    ReadTextList("FilterWord.DAT", m_filterWords);
    ReadTextList("ChangeFilterWord.DAT", m_changeFilterWords);
    m_light.light = GfxLight();
    m_light.light.type = LIGHT_DIRECTIONAL;
    m_light.light.direction = Vec3Normalize(Vec3{-0.5f, -0.5f, 0.5f});
    m_light.light.diffuse = ColorValue(1.0f, 1.0f, 1.0f, 1.0f);
    m_light.light.specular = ColorValue(0.0f, 0.0f, 0.0f, 0.0f);
    m_light.light.ambient = ColorValue(0.0f, 0.0f, 0.0f, 0.0f);
    if (!inputMade) return 0;
    m_glow.SetSize(m_backBufferWidth, m_backBufferHeight, 0.25f);
    return 1;
}

int CGameApp::LoadFonts() {
    const int count = InfoInt("FONT_COUNT");
    char key[32];
    auto value = [&](int n, const char* field) {
        std::snprintf(key, sizeof(key), "FONT%d_%s", n, field);
        return Info(key);
    };
    CFontFileLocator locator;
    for (int n = 1; n <= count; ++n) {
        // A font that is nowhere stops the start (error 10001 with its name).
        FontFile file;
        if (!locator.Locate(value(n, "NAME"), std::atoi(value(n, "INDEX")), &file)) return 0;
        auto font = std::make_unique<CFreeTypeFont>();
        if (!font->Create(std::atoi(value(n, "OUTLINE")), std::atoi(value(n, "SIZE")), std::move(file),
                          static_cast<float>(std::atof(value(n, "BOLD1"))),
                          static_cast<float>(std::atof(value(n, "BOLD2"))), std::atoi(value(n, "GAP1")),
                          std::atoi(value(n, "GAP2")), 1, 1))
            return 0;
        m_uiFonts.push_back(std::make_unique<CUiFreeTypeFont>(font.get()));
        m_ui.AddFont(m_uiFonts.back().get());
        m_fonts.Add(std::move(font));
    }
    return 1;
}

void CGameApp::SetSceneLight(const GfxLight& light) {
    m_light.light = light;
    // The device has one light, so every scene light shares index 0 there.
    if (CGfxDevice* device = GetDevice()) {
        device->SetLight(0, &m_light.light);
        device->LightEnable(0, true);
    }
}

int CGameApp::InitDeviceObjects() {
    CGfxDevice* device = GetDevice();
    m_resources.SetDevice(device);
    m_ui.SetDevice(device);
    m_cameras.SetDevice(device);
    m_shaders.SetDevice(device);
    m_glow.SetDevice(device);
    m_map.SetDevice(device);
    if (!m_screens.InitDeviceObjects() || !m_effects.CreateDeviceObjects() || !m_resources.RestoreAll() ||
        !m_fonts.Textures().CreateTextTextures(GetDevice()) || !m_shaders.LoadShaders(m_shadersUsable) ||
        !m_ribbons.RestoreTrailBuffers())
        return 0;
    return 1;
}

int CGameApp::RestoreDeviceObjects() {
    CGfxDevice* device = GetDevice();
    if (!device) return 0;
    SetRenderState(RS_AMBIENT, 0xFF777777u);
    SetRenderState(RS_ZENABLE, 1);
    SetRenderState(RS_LIGHTING, 1);
    SetRenderState(RS_ALPHATESTENABLE, 1);
    SetRenderState(RS_ALPHAFUNC, CMP_GREATER);
    SetRenderState(RS_ALPHAREF, 1);
    for (uint32_t s = 0; s < 2; ++s) {
        SetSamplerState(s, SAMP_MINFILTER, TEXF_LINEAR);
        SetSamplerState(s, SAMP_MAGFILTER, TEXF_LINEAR);
        SetSamplerState(s, SAMP_MIPFILTER, TEXF_NONE);
    }
    SetRenderState(RS_NORMALIZENORMALS, 1);
    SetRenderState(RS_DEPTHBIAS, 5);
    device->GetViewport(&m_viewport);
    if (!m_screens.RestoreDeviceObjects()) return 0;
    m_cameras.UpdateProjections(m_backBufferWidth, m_backBufferHeight);
    m_shaders.ResetEffects();
    // The device has one light, so every scene light shares index 0 there.
    device->SetLight(0, &m_light.light);
    device->LightEnable(0, true);
    // Without its effect the play view goes without the glow.
    if (auto* glowEffect = dynamic_cast<CGfxShaderEffect*>(m_shaders.GlowEffect()))
        if (!m_glow.Create(glowEffect->Effect(), m_params->backBufferFormat)) m_glow.Release();
    return 1;
}

int CGameApp::InvalidateDeviceObjects() {
    const int result = m_screens.InvalidateDeviceObjects();
    m_shaders.LoseEffects();
    m_glow.Release();
    return result;
}

void CGameApp::DeleteDeviceObjects() {
    m_screens.DeleteDeviceObjects();
    // The map's buffers and textures belong to the device that goes.
    m_map.Unload();
    m_map.SetDevice(nullptr);
    m_effects.DeleteDeviceObjects();
    m_resources.InvalidateAll();
    m_fonts.Textures().ReleaseTextures();
    m_shaders.ClearEffects();
    m_ribbons.ReleaseTrailBuffers();
    m_glow.Release();
    m_cameras.SetDevice(nullptr);
    m_shaders.SetDevice(nullptr);
    m_glow.SetDevice(nullptr);
}

void CGameApp::FrameMove() {
    if (m_quitting) return;
    const int result = m_screens.Update();
    if (result == SCREEN_RUNNING) {
        if (m_altEnterAllowed && (m_input.KeyDown(kKeyLeftAlt) || m_input.KeyDown(kKeyRightAlt)) &&
            m_input.KeyReleased(kKeyReturn)) {
            SendMessage(WM_COMMAND, kToggleFullscreenCommand);
        } else if (!m_switching && m_active && m_input.KeyReleased(kKeyPrintScreen)) {
            SaveScreenshot(m_screenshotFolder);
        }
    } else if (result == SCREEN_NO_SUCCESSOR) {
        m_closeIgnored = false;
        if (m_window) m_window->PostQuitMessage(0);
    } else if (result == SCREEN_FATAL) {
        m_quitting = true;
        m_closeIgnored = false;
        m_screens.ClearScreens();
        ShowMessage(m_windowTitle, ErrorReport().Text());
        if (m_window) m_window->PostQuitMessage(0);
    }
}

void CGameApp::Render() {
    if (CScreen* screen = m_screens.Current()) screen->Render();
}

intptr_t CGameApp::MsgProc(const WindowMessage& message) {
    if (message.message == WM_SETCURSOR) return 0;
    if (CScreen* screen = m_screens.Current())
        if (screen->MsgProc(message) == 0) return 1;
    return HandleWindowMessage(message);
}

void CGameApp::StopBgm() {
    if (!m_bgm) return;
    m_bgm->Stop();
    m_resources.ReleaseResource(m_bgm);
    m_bgm = nullptr;
}

void CGameApp::PlayBgm(CZEMSound* sound) {
    if (sound && sound == m_bgm) {
        m_resources.ReleaseResource(sound);
        return;
    }
    StopBgm();
    m_bgm = sound;
    if (m_bgm) m_bgm->Play(true);
}

int CGameApp::PlayBgmByName(const char* name) {
    auto* sound = static_cast<CZEMSound*>(m_resources.GetResource(name, RES_STREAM_SOUND, nullptr, 0));
    PlayBgm(sound);
    return sound ? 1 : 0;
}

uint32_t CGameApp::SumMapChecks() const { return ::SumMapChecks(m_mapLists); }

const MapListEntry* CGameApp::FindMapInfo(int id) const { return ::FindMapInfo(m_mapLists, id); }

int CGameApp::FindMapByName(const char* name, int* list) const { return ::FindMapByName(m_mapLists, name, list); }

void CGameApp::FinalCleanup() {
    SetCrashDumpsEnabled(false);
    m_gameData.PreloadTable().Release();
    StopBgm();
    m_net.Disconnect();
    if (m_netStarted) NetCleanup();
    m_netStarted = false;
    m_screens.ClearScreens();
    m_playResources.Release();
    m_ui.DeleteAllWindows();
    m_map.Unload();
    // Records a match linked hold resources of the manager that outlives them here.
    m_gameData.ReleaseAllResources();
    m_gameData.Clear();
    m_fonts.FreeAll();
    m_input.Release();
    m_ui.Ime().Create(nullptr);
    m_imeContext.reset();
    for (auto& list : m_mapLists) list.clear();
}

std::string CGameApp::ScreenshotName(const std::string& folder, int year, int month, int day, int hour, int minute,
                                     int second) {
    char name[64];
    std::snprintf(name, sizeof(name), "\\QOR_%04d%02d%02d%02d%02d%02d.JPG", year, month, day, hour, minute, second);
    return folder + name;
}

int CGameApp::SaveScreenshot(const std::string& folder) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::string name = ScreenshotName(folder, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                            local.tm_hour, local.tm_min, local.tm_sec);
    CGfxDevice* device = GetDevice();
    CGfxSurface* surface = nullptr;
    if (!device || device->GetBackBuffer(0, 0, &surface) != GFX_OK || !surface) {
        ErrorReport().SetError(ERR_DEVICE_CALL, "The back buffer cannot be read for %s", name);
        return 0;
    }
    // The back buffer still holds the frame presented last: the devices draw
    // into a buffer of their own and only copy it out when presenting.
    const GfxResult saved = SaveSurfaceToJpeg(device, surface, name);
    surface->Release();
    if (saved != GFX_OK) {
        ErrorReport().SetError(ERR_DATA, "The screenshot %s could not be written", name);
        return 0;
    }
    return 1;
}

void CGameApp::Sleep(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
