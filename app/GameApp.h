// The game application: owns every long-lived service of the client as a
// member, loads the start-up data when constructed and fills in the
// framework's steps (system check, post-window start-up, device-object
// events, frame update and render, message chain, final clean-up).
// Services whose own classes are not in the program yet are stand-ins
// (app/AppStandIns.h). Screens reach it only as their screen host.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/AppOptionsTarget.h"
#include "app/AppStandIns.h"
#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/effects/EffectManager.h"
#include "engine/effects/RibbonManager.h"
#include "engine/text/FontList.h"
#include "engine/core/IniFile.h"
#include "engine/core/MessageTable.h"
#include "engine/core/Options.h"
#include "engine/resource/ResourceManager.h"
#include "engine/core/ShutdownCountdown.h"
#include "engine/render/CameraRegistry.h"
#include "engine/render/ShaderSet.h"
#include "engine/render/ZEMD3DApp.h"
#include "engine/render/ZEMGauss.h"
#include "engine/input/ZEMDXInput.h"
#include "engine/sound/ZEMSound.h"
#include "engine/sound/ZEMSoundManager.h"
#include "net/NetClient.h"
#include "net/ProtocolTables.h"
#include "net/ClientSession.h"
#include "screens/game/ItemShopWindow.h"
#include "screens/game/PlayResources.h"
#include "platform/GfxTypes.h"
#include "platform/Ime.h"
#include "ui/MapListEntry.h"
#include "world/ZEMMap.h"
#include "ui/ScreenHost.h"
#include "ui/ScreenManager.h"
#include "ui/UiFreeTypeFont.h"
#include "ui/UiManager.h"
#include "world/GameDataRegistry.h"
#include "world/ScriptManager.h"

// The memory, processor and video figures of the machine.
struct SystemFigures {
    uint32_t memoryKb = 0;
    uint32_t mhz = 0;      // clock speed times processor count; 0 when the system does not say
    uint32_t videoKb = 0;  // 0 when the driver does not say
};

class CGameApp : public CZEMD3DApp, public IScreenHost {
public:
    enum MapList { MAP_LIST_LOAD, MAP_LIST_PVM, MAP_LIST_TUTORIAL, MAP_LIST_COUNT };
    static constexpr int kPlayerSlots = 12;
    static constexpr float kVersionValue = 1.00441f;

    using ScreenMaker = std::function<CScreen*()>;
    using InputMaker = std::function<std::unique_ptr<platform::InputSystem>(platform::CWindow* window)>;
    // Writes a frame (0xAARRGGBB, top row first) as a JPG file; false when it could not.
    using JpegWriter = std::function<bool(const std::string& path, const std::vector<uint32_t>& argb, uint32_t width,
                                          uint32_t height)>;

    explicit CGameApp(const std::string& commandLine);
    ~CGameApp() override;

    // Hooks the program and the tests set before CreateApp.
    void SetFirstScreenMaker(ScreenMaker maker) { m_firstScreenMaker = std::move(maker); }
    void SetInputMaker(InputMaker maker) { m_inputMaker = std::move(maker); }
    // The input method the UI manager's edit boxes type through (the SDL one by default).
    using ImeMaker = std::function<std::unique_ptr<platform::ImeContext>(platform::CWindow* window)>;
    void SetImeMaker(ImeMaker maker) { m_imeMaker = std::move(maker); }
    // Tests give the machine's figures instead of measuring them.
    void SetSystemFigures(const SystemFigures& figures) {
        m_figures = figures;
        m_figuresGiven = true;
    }

    // The framework's steps.
    intptr_t MsgProc(const platform::WindowMessage& message) override;
    int OneTimeInit() override;
    void ModifyWindowClass() override;
    int PostWindowInit() override;
    int InitDeviceObjects() override;
    int RestoreDeviceObjects() override;
    void FrameMove() override;
    void Render() override;
    int InvalidateDeviceObjects() override;
    void DeleteDeviceObjects() override;
    void FinalCleanup() override;

    int LoadStartupData();
    int MeasureSystem();
    int CheckMinimumSpec(uint32_t memoryMb, uint32_t mhz, const char* speedText, uint32_t videoMb,
                         int pvmWording) override;
    int GetSystemGrade() const;
    // Fills the screenshot and replay folders and makes the missing ones.
    void CreateUserFolders();
    // 1 when the last presented frame was written as a JPG into folder.
    int SaveScreenshot(const std::string& folder);
    // The screenshot name for a local time.
    static std::string ScreenshotName(const std::string& folder, int year, int month, int day, int hour, int minute,
                                      int second);

    // The screen host.
    CZEMDXInput& Input() override { return m_input; }
    CUiManager& Ui() override { return m_ui; }
    IMessageBoxHost& MessageBox() override;
    bool HasMessageBox() const override { return m_playResources.MessageBox() != nullptr; }
    CScreenManager& Screens() override { return m_screens; }
    platform::CWindow* Window() const override { return CZEMD3DApp::Window(); }
    bool HasWindowFocus() const override { return CZEMD3DApp::HasWindowFocus(); }
    std::string WindowTitle() const override { return CZEMD3DApp::WindowTitle(); }
    uint32_t BackBufferWidth() const override { return CZEMD3DApp::BackBufferWidth(); }
    uint32_t BackBufferHeight() const override { return CZEMD3DApp::BackBufferHeight(); }
    int TickShutdownCountdown(IChatLines* chat, float dt) override {
        return m_shutdown.TickShutdownCountdown(chat, dt);
    }
    void CloseConnection() override { m_net.Disconnect(); }
    CZEMSound* Bgm() const override { return m_bgm; }
    void StopBgm() override;
    void PlayBgm(CZEMSound* sound) override;
    int PlayBgmByName(const char* name) override;
    uint32_t SumMapChecks() const override;
    const MapListEntry* FindMapInfo(int id) const override;
    int FindMapByName(const char* name, int* list) const override;
    int LogoCount() const override { return m_logoCount; }
    int LogoIndex() const override { return m_logoIndex; }
    void SetLogoIndex(int index) override { m_logoIndex = index; }
    std::string LogoTexture(int index) const override { return ListedName(m_logoTextures, index); }
    std::string LogoSound(int index) const override { return ListedName(m_logoSounds, index); }
    size_t MapCount(int list) const override;
    const MapListEntry& Map(int list, size_t index) const override;
    int SystemGrade() const override { return GetSystemGrade(); }
    COptions& Options() override { return m_options; }
    void ApplyOptions() override;
    IOptionsTarget* OptionsTarget() override { return &m_optionsTarget; }
    std::string HomepageAddress() const override { return m_homepageUrl; }
    std::string JoinAddress() const override { return m_joinUrl; }
    std::string ReplayFolderPath() const override { return m_replayFolder; }
    void StartShutdownCountdown(float seconds) override { m_shutdown.StartCountdown(seconds); }
    void Sleep(uint32_t ms) override;
    size_t GameTipCount() const override { return m_gameTips.size(); }
    std::string GameTip(size_t index) const override {
        return index < m_gameTips.size() ? m_gameTips[index] : std::string();
    }
    int StartMissionScript() override { return m_scripts.Start(); }

    // Services.
    CCameraRegistry& Cameras() { return m_cameras; }
    CShaderSet& Shaders() { return m_shaders; }
    CZEMGauss& Glow() { return m_glow; }
    CZEMSoundManager& Sound() { return m_sound; }
    CResourceManager& Resources() { return m_resources; }
    CFontList& Fonts() { return m_fonts; }
    CNetClient& Net() { return m_net; }
    CScriptManager& Scripts() { return m_scripts; }
    CZEMMap& MatchMap() { return m_map; }
    // What the match's item shop sells; empty until a source of it is named.
    ItemShop& Shop() { return m_shop; }
    CMessageTable& Messages() { return m_messages; }
    CShutdownCountdown& ShutdownCountdown() { return m_shutdown; }
    // The music that plays now is a resource reference the application holds.
    void SetBgm(CZEMSound* music) { m_bgm = music; }

    bool LoaderFailed() const { return m_loaderFailed; }
    bool IsQuitting() const { return m_quitting; }
    const SystemFigures& Figures() const { return m_figures; }
    const std::vector<std::unique_ptr<MapListEntry>>& Maps(MapList list) const { return m_mapLists[list]; }
    const std::vector<std::string>& LogoTextures() const { return m_logoTextures; }
    const std::vector<std::string>& LogoSounds() const { return m_logoSounds; }
    const std::vector<std::string>& GameTips() const { return m_gameTips; }
    const std::vector<std::string>& FilterWords() const { return m_filterWords; }
    const std::vector<std::string>& ChangeFilterWords() const { return m_changeFilterWords; }
    const std::string& ScreenshotFolder() const { return m_screenshotFolder; }
    const std::string& ReplayFolder() const { return m_replayFolder; }
    const std::string& LoginServer() const { return m_loginServer; }
    const std::string& HomepageUrl() const { return m_homepageUrl; }
    const std::string& JoinUrl() const { return m_joinUrl; }
    const platform::GfxLight& SceneLight() const { return m_light.light; }
    void SetSceneLight(const platform::GfxLight& light) override;
    const platform::Viewport& SavedViewport() const { return m_viewport; }
    int PlayerSlotIndex(int slot) const { return static_cast<int>(m_session.slots[static_cast<size_t>(slot)].position); }
    CClientSession& Session() { return m_session; }
    std::string nickname;
    int tutorialCancel = 0;

private:
    int LoadMapLists();
    int LoadFonts();
    // A data file's path: package, loose file, then the working folder; empty when none.
    std::string FindDataFile(const char* name, uint32_t* offset, uint32_t* size);
    const char* Info(const char* key) const;
    static std::string ListedName(const std::vector<std::string>& names, int index);
    int InfoInt(const char* key) const;

    struct SceneLightRecord {
        SceneLightRecord();
        ~SceneLightRecord();
        uint32_t number;
        platform::GfxLight light;
    };

    // Members in construction order; destruction runs the other way.
    CGameCommandManager m_commandManager;
    CGameDataRegistry m_gameData;
    CCameraRegistry m_cameras{nullptr};
    CEffectManager m_effects;
    CZEMSoundManager m_sound;
    CShaderSet m_shaders{nullptr};
    CRibbonManager m_ribbons;
    CScreenManager m_screens;
    CErrorReport m_errorReport;
    CResourceManager m_resources;
    CUiManager m_ui;
    CFontList m_fonts;
    std::vector<std::unique_ptr<CUiFreeTypeFont>> m_uiFonts;  // the UI manager's view of m_fonts, same order
    CZEMDXInput m_input;
    CNetClient m_net;
    CZEMMap m_map;
    CClientSession m_session;
    CProtocolTables m_protocolTables;
    COptions m_options;
    CMessageTable m_messages;
    CZEMGauss m_glow{nullptr};
    std::array<std::vector<std::unique_ptr<MapListEntry>>, MAP_LIST_COUNT> m_mapLists;
    SceneLightRecord m_light;
    CPlayResources m_playResources;
    CZEMSound* m_bgm = nullptr;
    std::string m_screenshotFolder, m_replayFolder;
    std::vector<std::string> m_gameTips, m_filterWords, m_changeFilterWords;
    CShutdownCountdown m_shutdown;
    std::string m_loginServer, m_homepageUrl, m_joinUrl;
    int m_logoCount = 0;
    int m_logoIndex = 0;
    std::vector<std::string> m_logoTextures, m_logoSounds;
    CScriptManager m_scripts;
    ItemShop m_shop;
    CIniFile m_tutorialFile;

    SystemFigures m_figures;
    bool m_figuresGiven = false;
    CNoMessageBox m_noMessageBox;
    CAppOptionsTarget m_optionsTarget{*this};
    bool m_loaderFailed = false;
    bool m_quitting = false;
    bool m_altEnterAllowed = false;
    bool m_netStarted = false;
    platform::Viewport m_viewport;
    ScreenMaker m_firstScreenMaker;
    InputMaker m_inputMaker;
    ImeMaker m_imeMaker;
    std::unique_ptr<platform::ImeContext> m_imeContext;
};

extern CGameApp* g_pGameApp;
