// The loading screen's job on the loader thread: the map's digest, the HUD
// textures, the water, the map, the twelve heroes with their starting items
// and the water effects, with the exact progress the screens show:
//   0 digest, 0.2 panel textures, 1 water frames, 2 markers; the map from 2
//   to 82 + (12 - h) (h positions with a hero); heroes from 84 + (12 - h),
//   one point each, to 96; 96 records linked; 100 loaded.
#include <chrono>
#include <thread>

#include "commands/GameCommandManager.h"
#include "engine/core/ErrorReport.h"
#include "engine/core/MessageTable.h"
#include "engine/resource/ResourceManager.h"
#include "net/ClientSession.h"
#include "net/NetClient.h"
#include "screens/game/LoadingScreen.h"
#include "screens/game/PlayResources.h"
#include "ui/ScreenHost.h"
#include "world/GameDataRegistry.h"
#include "world/NamedArea.h"
#include "world/PlayerHeroes.h"
#include "world/Unit.h"
#include "world/WorldObjectManager.h"
#include "world/ZEMMap.h"

namespace {
constexpr uint32_t kHeroFlagBit = 0x2;
}  // namespace

void CLoadingScreen::SetProgress(float value) {
    m_progress.store(value, std::memory_order_release);
    OnProgress(value);
}

int CLoadingScreen::Fail() {
    SetPhase(PHASE_FAILED);
    return 0;
}

int CLoadingScreen::AskMainThread(Request request) {
    m_answer.store(-1, std::memory_order_release);
    m_request.store(request, std::memory_order_release);
    for (;;) {
        const int answer = m_answer.load(std::memory_order_acquire);
        if (answer >= 0) return answer;
        if (m_stop.load(std::memory_order_acquire)) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

int CLoadingScreen::WaitForPlayers() {
    const CWorldObjectManager& world = *g_pWorldObjectManager;
    for (;;) {
        bool all = true;
        for (int p = 0; p < kPositions && all; ++p) {
            const size_t i = static_cast<size_t>(p);
            all = !world.slotOccupied[i] || m_gone[i].load(std::memory_order_acquire) ||
                  m_received[i].load(std::memory_order_acquire);
        }
        if (all) return 1;
        if (m_stop.load(std::memory_order_acquire)) return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

int CLoadingScreen::RunLoadingJob() {
    CZEMMap* map = g_pZEMMap;
    if (!map || !g_pClientSession || !g_pWorldObjectManager || !g_pResourceManager || !g_pPlayResources ||
        !g_pGameCommandManager) {
        ErrorReport().SetError(ERR_DATA, "The loading job runs without its application");
        return Fail();
    }
    CClientSession& session = *g_pClientSession;
    const std::string mapFile = session.mapFile;
    SetProgress(0.0f);
    uint8_t digest[16];
    if (!g_pResourceManager->FileIndex().ComputeFileDigest(mapFile.c_str(), digest, true)) {
        ErrorReport().SetError(ERR_DATA, GetMessageText(MSG_ERROR_WRONG_DATA_FILE), mapFile.c_str());
        return Fail();
    }
    SetProgress(0.2f);
    if (!g_pPlayResources->HoldPanelTextures()) return Fail();
    SetProgress(1.0f);
    if (!map->CreateWater(kWaterFrames, kWaterFrames / kWaterFramesPerSecond, "WATER%02d.DDS")) return Fail();
    map->markerTextures = {g_pPlayResources->textures[CPlayResources::TEX_SELECT_OBJECT],
                           g_pPlayResources->textures[CPlayResources::TEX_SHADOW]};
    SetProgress(2.0f);
    if (m_gameMode != 3) g_pGameCommandManager->ClearRecording();
    if (m_network && session.net && session.net->IsConnected()) {
        if (!AskMainThread(REQUEST_HEADER)) return Fail();
        if (!WaitForPlayers()) return 0;
    }
    for (int p = 0; p < kPositions; ++p) g_pWorldObjectManager->slotGone[static_cast<size_t>(p)] = PlayerGone(p);

    int heroes = 0;
    for (const CPlayerSlot& slot : session.slots) heroes += slot.heroId != 0 ? 1 : 0;
    const float missing = static_cast<float>(kPositions - heroes);
    // The map writes the gauge's own value, so the bar moves while it loads.
    if (!map->LoadMap(mapFile.c_str(), 0, &m_progress, 80.0f + missing)) return Fail();
    SetProgress(82.0f + missing);
    SetProgress(84.0f + missing);
    if (!CreateHeroes(*map) || !LoadWaterEffects(*map)) return Fail();
    SetProgress(96.0f);
    if (!g_pWorldObjectManager->LinkPlayerRecords()) return Fail();
    if (g_pGameDataRegistry && !g_pGameDataRegistry->LinkCombinations()) return Fail();
    IScreenHost* host = ScreenHost();
    if (m_gameMode == 2 && (!host || !host->StartMissionScript())) return Fail();
    SetProgress(100.0f);

    if (m_network) {
        if (!AskMainThread(REQUEST_FULL_PROGRESS)) return 0;
        if (session.net && session.net->IsConnected() && !AskMainThread(REQUEST_LOADING_DONE)) return 0;
    } else {
        SetPhase(m_gameMode == 1 || m_gameMode == 2 ? PHASE_LOADED : PHASE_START);
    }
    m_jobDone.store(true, std::memory_order_release);
    return 1;
}

int CLoadingScreen::CreateHeroes(CZEMMap& map) {
    CGameCommandManager& commands = *g_pGameCommandManager;
    for (int p = 0; p < kPositions; ++p) {
        const size_t i = static_cast<size_t>(p);
        commands.heroIds[i] = 0;
        commands.bonusLevels[i] = 0;
        CPlayerSlot& slot = g_pClientSession->slots[i];
        slot.Reset();
        if (slot.heroId == 0) {
            // An observer keeps the room's nickname.
            if (slot.observer != 0 && m_network)
                slot.nickname = std::string(g_pClientSession->room.MemberNickname(p));
            continue;
        }
        if (!CreateHero(map, p)) return 0;
        SetProgress(JobProgress() + 1.0f);
    }
    return 1;
}

int CLoadingScreen::CreateHero(CZEMMap& map, int position) {
    const size_t i = static_cast<size_t>(position);
    CPlayerSlot& slot = g_pClientSession->slots[i];
    CWorldObjectManager& world = map.objects;
    // A map without this position's start area plays without the hero.
    if (!map.areas.TeamArea(position)) return 1;
    CGameDataRecord* record = FindGameRecord(CAT_UNIT, slot.heroId);
    if (!record) {
        ErrorReport().SetError(ERR_DATA, GetMessageText(MSG_ERROR_NOT_FOUND_PLAYER_DATA), position + 1);
        return 0;
    }
    slot.heroFlag = (record->flags & kHeroFlagBit) ? 1 : 0;
    PlayerHeroSpec hero;
    hero.record = record;
    hero.position = position;
    hero.bonusLevel = slot.bonusLevel;
    if (m_gameMode == 3)
        hero.name = g_pGameCommandManager->playerNames[i];
    else if (m_network)
        hero.name = std::string(g_pClientSession->room.MemberNickname(position));
    else
        hero.name = world.online && m_gameMode != 0 ? g_pClientSession->nickname : record->name;
    slot.nickname = hero.name;
    if (!CreatePlayerHero(map, hero, nullptr)) return 0;
    g_pGameCommandManager->heroIds[i] = slot.heroId;
    g_pGameCommandManager->bonusLevels[i] = static_cast<uint32_t>(slot.bonusLevel);
    for (CGameDataRecord* item : map.baseItems)
        if (item) slot.AddItem(item, 0, 0);
    return 1;
}

int CLoadingScreen::LoadWaterEffects(CZEMMap& map) {
    map.ReleaseWaterEffects();
    map.markerTextures = {g_pPlayResources->textures[CPlayResources::TEX_SELECT_OBJECT],
                          g_pPlayResources->textures[CPlayResources::TEX_SHADOW]};
    map.footmarkEffect = g_pResourceManager->GetResource(kFootmarkEffect, RES_EFFECT, nullptr, 1);
    if (!map.footmarkEffect) return 0;
    // With the sound off the world plays without it; the report keeps "Sound load fail".
    map.waterSound = g_pResourceManager->GetResource(kWaterSound, RES_SOUND_EFFECT, nullptr, 1);
    return 1;
}
