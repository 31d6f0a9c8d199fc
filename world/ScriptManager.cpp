#include "world/ScriptManager.h"

#include <cstdlib>

#include "engine/core/NameHash.h"
#include "engine/render/Camera.h"
#include "engine/render/DeviceStates.h"
#include "engine/render/Draw2D.h"
#include "ui/UiManager.h"
#include "ui/UiTypes.h"
#include "ui/UiWindow.h"
#include "world/ScriptHost.h"
#include "world/WorldObjectManager.h"

IScriptHost* g_pScriptHost = nullptr;

namespace {

struct KeywordEntry {
    const char* word;
    int id;
};

constexpr KeywordEntry kKeywords[] = {
    {"MAPFILE", SCR_MAPFILE},
    {"HERO", SCR_HERO},
    {"MISSION", SCR_MISSION},
    {"START", SCR_START},
    {"EVENT", SCR_EVENT},
    {"CONDITION", SCR_CONDITION},
    {"EXECUTE", SCR_EXECUTE},
    {"NEXT_MISSION", SCR_NEXT_MISSION},
    {"OBJECT_START", SCR_OBJECT_START},
    {"OP", SCR_OP},
    {"RUN", SCR_RUN},
    {"CHECK_AREA", SCR_CHECK_AREA},
    {"CHECK_DIE_OBJECT", SCR_CHECK_DIE_OBJECT},
    {"CHECK_TIMER", SCR_CHECK_TIMER},
    {"CHECK_CLICK_MSGBOX", SCR_CHECK_CLICK_MSGBOX},
    {"CHECK_HP", SCR_CHECK_HP},
    {"CHECK_MP", SCR_CHECK_MP},
    {"CHECK_CLICK_UI", SCR_CHECK_CLICK_UI},
    {"CHECK_INVENTORY_ITEM", SCR_CHECK_INVENTORY_ITEM},
    {"CHECK_SLOT_ITEM", SCR_CHECK_SLOT_ITEM},
    {"CHECK_ITEM_COUNT", SCR_CHECK_ITEM_COUNT},
    {"CREATE_OBJECT", SCR_CREATE_OBJECT},
    {"DIE_OBJECT", SCR_DIE_OBJECT},
    {"MOVE_OBJECT", SCR_MOVE_OBJECT},
    {"MOVE_CAMERA", SCR_MOVE_CAMERA},
    {"CONTROL_LOCK", SCR_CONTROL_LOCK},
    {"CONTROL_UNLOCK", SCR_CONTROL_UNLOCK},
    {"ALERT_AREA", SCR_ALERT_AREA},
    {"RUN_TIMER", SCR_RUN_TIMER},
    {"DISPLAY_MSGBOX", SCR_DISPLAY_MSGBOX},
    {"MESSAGE", SCR_MESSAGE},
    {"AGAIN_MISSION", SCR_AGAIN_MISSION},
    {"STOP_TIMER", SCR_STOP_TIMER},
    {"FINISH_ITEM_COOLTIME", SCR_FINISH_ITEM_COOLTIME},
    {"GAME_PAUSE", SCR_GAME_PAUSE},
    {"GAME_PLAY", SCR_GAME_PLAY},
    {"FLICKER_ON", SCR_FLICKER_ON},
    {"FLICKER_OFF", SCR_FLICKER_OFF},
    {"ENABLE_TOWNPORTAL", SCR_ENABLE_TOWNPORTAL},
    {"JUMP_OBJECT", SCR_JUMP_OBJECT},
    {"STOP_EVENT", SCR_STOP_EVENT},
    {"LEVEL_UP", SCR_LEVEL_UP},
    {"SCREEN_FADE", SCR_SCREEN_FADE},
};

// Blocks nest this deep at most; deeper is a damaged file, not a script.
constexpr int kMaxDepth = 32;

uint32_t Hash(const char* word) { return NameHash(word); }
int32_t Int(const char* word) { return static_cast<int32_t>(std::strtol(word, nullptr, 10)); }
float Float(const char* word) { return std::strtof(word, nullptr); }
bool Is(const char* word, const char* flag) { return std::string_view(word) == flag; }

}  // namespace

CScriptManager* g_pScriptManager = nullptr;

CScriptManager::CScriptManager() {
    for (const KeywordEntry& k : kKeywords) AddToken(k.word, k.id);
    if (!g_pScriptManager) g_pScriptManager = this;
}

CScriptManager::~CScriptManager() {
    if (g_pScriptManager == this) g_pScriptManager = nullptr;
}

int CScriptManager::Load() {
    m_hasMap = m_hasHero = false;
    for (;;) {
        const int id = ReadWord();
        if (id == TOKEN_END) break;
        if (id == TOKEN_ERROR) return 0;
        if (!ParseStatement(nullptr, id)) return 0;
    }
    if (!m_hasMap) {
        ReportScriptError("Not found map file : SCR_MAPFILE");
        return 0;
    }
    if (!m_hasHero) {
        ReportScriptError("Not found Hero info : SCR_HERO");
        return 0;
    }
    return 1;
}

int CScriptManager::ParseBlock(CScriptCommand* container) {
    static thread_local int depth = 0;
    if (depth >= kMaxDepth) {
        ReportScriptError("Invalid token found(%s) : %d", FirstWord(), LineNumber());
        return 0;
    }
    ++depth;
    int result = 1;
    for (;;) {
        const int id = ReadWord();
        // The end of the file closes every open block.
        if (id == TOKEN_BLOCK_CLOSE || id == TOKEN_END) break;
        if (id == TOKEN_ERROR || !ParseStatement(container, id)) {
            result = 0;
            break;
        }
    }
    --depth;
    return result;
}

int CScriptManager::ParseStatement(CScriptCommand* container, int keyword) {
    switch (keyword) {
        case SCR_MAPFILE:
            m_mapFile = NextWord();
            m_hasMap = true;
            return 1;
        case SCR_HERO:
            m_heroName = NextWord();
            m_heroHash = Hash(m_heroName.c_str());
            m_objects[m_heroHash] = 0;
            m_hasHero = true;
            return 1;
        case SCR_MISSION: {
            auto mission = std::make_unique<CScriptMission>();
            mission->manager = this;
            CScriptMission* outer = m_parsing;
            m_parsing = mission.get();
            const int ok = ParseBlock(mission.get());
            m_parsing = outer;
            if (!mission->start) mission->start = std::make_unique<CScriptBlock>(SCR_START);
            m_missions.push_back(std::move(mission));
            return ok;
        }
        case SCR_START:
        case SCR_CONDITION:
        case SCR_EXECUTE: {
            auto block = std::make_unique<CScriptBlock>(keyword);
            block->manager = this;
            if (!ParseBlock(block.get())) return 0;
            auto* event = dynamic_cast<CScriptEvent*>(container);
            if (keyword == SCR_START && m_parsing)
                m_parsing->start = std::move(block);
            else if (keyword == SCR_CONDITION && event)
                event->condition = std::move(block);
            else if (keyword == SCR_EXECUTE && event)
                event->execute = std::move(block);
            return 1;
        }
        case SCR_EVENT: {
            auto event = std::make_unique<CScriptEvent>();
            event->manager = this;
            if (!ParseBlock(event.get())) return 0;
            if (m_parsing) m_parsing->events.push_back(std::move(event));
            return 1;
        }
        case SCR_OBJECT_START: {
            const char* name = NextWord();
            if (m_parsing) m_parsing->objectStart = Hash(name);
            return 1;
        }
        case SCR_OP: {
            const char* word = NextWord();
            auto* block = dynamic_cast<CScriptBlock*>(container);
            if (block && block->Keyword() == SCR_CONDITION) block->mode = Is(word, "AND") ? 0 : 1;
            return 1;
        }
        case SCR_RUN: {
            const char* word = NextWord();
            if (auto* event = dynamic_cast<CScriptEvent*>(container)) event->loop = Is(word, "LOOP") ? 1 : 0;
            return 1;
        }
        default:
            break;
    }
    std::unique_ptr<CScriptCommand> command = MakeCommand(keyword);
    if (!command) {
        ReportScriptError("Invalid token found(%s) : %d", FirstWord(), LineNumber());
        return 0;
    }
    command->manager = this;
    // A command outside a block that holds commands is dropped here.
    if (container) container->Add(std::move(command));
    return 1;
}

std::unique_ptr<CScriptCommand> CScriptManager::MakeCommand(int keyword) {
    switch (keyword) {
        case SCR_CHECK_AREA: {
            auto c = std::make_unique<CScriptCheckArea>();
            c->area = Hash(NextWord());
            c->object = Hash(NextWord());
            return c;
        }
        case SCR_CHECK_DIE_OBJECT: {
            auto c = std::make_unique<CScriptCheckDie>();
            c->object = Hash(NextWord());
            return c;
        }
        case SCR_CHECK_TIMER: {
            auto c = std::make_unique<CScriptCheckTimer>();
            c->number = Int(NextWord());
            c->limit = Float(NextWord());
            c->in = Is(NextWord(), "IN");
            return c;
        }
        case SCR_CHECK_CLICK_MSGBOX: {
            auto c = std::make_unique<CScriptCheckClickMsgBox>();
            c->number = Int(NextWord());
            return c;
        }
        case SCR_CHECK_HP:
        case SCR_CHECK_MP: {
            auto c = std::make_unique<CScriptCheckStat>(keyword);
            c->object = Hash(NextWord());
            c->percent = Float(NextWord());
            c->in = Is(NextWord(), "IN");
            return c;
        }
        case SCR_CHECK_CLICK_UI: {
            auto c = std::make_unique<CScriptCheckClickUi>();
            c->window = Hash(NextWord());
            c->control = Hash(NextWord());
            const char* button = NextWord();
            c->button = Is(button, "RIGHT") ? 1 : Is(button, "MIDDLE") ? 2 : 0;
            return c;
        }
        case SCR_CHECK_INVENTORY_ITEM:
        case SCR_CHECK_SLOT_ITEM:
        case SCR_CHECK_ITEM_COUNT: {
            auto c = std::make_unique<CScriptCheckItem>(keyword);
            c->item = Hash(NextWord());
            if (keyword == SCR_CHECK_ITEM_COUNT) c->count = Int(NextWord());
            return c;
        }
        case SCR_CREATE_OBJECT: {
            auto c = std::make_unique<CScriptCreateObject>();
            c->record = Hash(NextWord());
            c->object = Hash(NextWord());
            c->area = Hash(NextWord());
            c->owner = Int(NextWord());
            c->flag = Is(NextWord(), "TRUE");
            return c;
        }
        case SCR_DIE_OBJECT:
        case SCR_MOVE_OBJECT:
        case SCR_JUMP_OBJECT: {
            auto c = std::make_unique<CScriptObjectAction>(keyword);
            c->object = Hash(NextWord());
            if (keyword != SCR_DIE_OBJECT) c->area = Hash(NextWord());
            if (keyword == SCR_MOVE_OBJECT) c->flag = Is(NextWord(), "TRUE");
            return c;
        }
        case SCR_MOVE_CAMERA: {
            auto c = std::make_unique<CScriptMoveCamera>();
            c->area = Hash(NextWord());
            c->speed = Float(NextWord());
            c->hold = Float(NextWord());
            c->flag = Is(NextWord(), "TRUE");
            return c;
        }
        case SCR_CONTROL_LOCK:
        case SCR_CONTROL_UNLOCK: return std::make_unique<CScriptControlLock>(keyword);
        case SCR_ALERT_AREA: {
            auto c = std::make_unique<CScriptAlertArea>();
            c->area = Hash(NextWord());
            return c;
        }
        case SCR_RUN_TIMER:
        case SCR_STOP_TIMER: {
            auto c = std::make_unique<CScriptTimerControl>(keyword);
            c->number = Int(NextWord());
            return c;
        }
        case SCR_DISPLAY_MSGBOX:
        case SCR_MESSAGE: {
            auto c = std::make_unique<CScriptMessage>(keyword == SCR_DISPLAY_MSGBOX);
            if (c->box) c->number = Int(NextWord());
            c->text = NextWord();
            return c;
        }
        case SCR_FLICKER_ON:
        case SCR_FLICKER_OFF: {
            auto c = std::make_unique<CScriptFlicker>(keyword);
            c->window = Hash(NextWord());
            c->control = Hash(NextWord());
            return c;
        }
        case SCR_NEXT_MISSION:
        case SCR_AGAIN_MISSION:
        case SCR_ENABLE_TOWNPORTAL:
        case SCR_GAME_PAUSE:
        case SCR_GAME_PLAY:
        case SCR_FINISH_ITEM_COOLTIME:
        case SCR_STOP_EVENT:
        case SCR_LEVEL_UP:
        case SCR_SCREEN_FADE: {
            auto c = std::make_unique<CScriptSimpleAction>(keyword);
            if (keyword == SCR_FINISH_ITEM_COOLTIME || keyword == SCR_LEVEL_UP) c->object = Hash(NextWord());
            if (keyword == SCR_STOP_EVENT || keyword == SCR_LEVEL_UP) c->value = Int(NextWord());
            if (keyword == SCR_SCREEN_FADE) c->value = Is(NextWord(), "IN");
            return c;
        }
        default: return nullptr;
    }
}

int CScriptManager::Start() {
    m_current = m_missions.empty() ? -1 : 0;
    m_pending = PENDING_NONE;
    for (auto& mission : m_missions) {
        mission->BuildRegistry();
        if (!mission->IsReady()) return 0;
    }
    return 1;
}

CScriptMission* CScriptManager::CurrentMission() const {
    return m_current >= 0 && m_current < static_cast<int32_t>(m_missions.size()) ? m_missions[m_current].get()
                                                                                 : nullptr;
}

int CScriptManager::Update(float elapsed) {
    if (CScriptMission* mission = CurrentMission()) {
        if (!mission->started) {
            mission->started = 1;
            mission->start->Execute();
        } else {
            mission->Update(elapsed);
        }
        ApplyPending();
    }
    CCamera* camera = g_pScriptHost ? g_pScriptHost->Camera() : nullptr;
    if (camera && !camera->travelDone) camera->UpdateScriptedMove(elapsed);
    if (!m_flickers.empty()) m_flickerPhase += m_flickerFalling ? -elapsed : elapsed;
    return CurrentMission() ? 1 : 0;
}

void CScriptManager::ApplyPending() {
    const Pending pending = m_pending;
    m_pending = PENDING_NONE;
    CScriptMission* mission = CurrentMission();
    if (!mission || pending == PENDING_NONE) return;
    mission->Reset();
    if (pending == PENDING_AGAIN) {
        m_flickerPhase = 0;
        m_flickers.clear();
        return;
    }
    ++m_current;
    if (m_current >= static_cast<int32_t>(m_missions.size())) m_current = -1;
}

void CScriptManager::Clear() {
    m_missions.clear();
    m_flickers.clear();
    m_objects.clear();
    m_flickerPhase = 0;
    m_flickerFalling = false;
    m_current = -1;
    m_pending = PENDING_NONE;
    m_mapFile.clear();
    m_heroName.clear();
    m_heroHash = 0;
    m_hasMap = m_hasHero = false;
}

CWorldObject* CScriptManager::FindObject(uint32_t nameHash) const {
    auto it = m_objects.find(nameHash);
    if (it == m_objects.end() || !g_pWorldObjectManager) return nullptr;
    return g_pWorldObjectManager->GetObjectById(it->second);
}

void CScriptManager::AddFlicker(uint32_t window, uint32_t control) {
    for (FlickerEntry& entry : m_flickers) {
        if (entry.window == window && entry.control == control) {
            entry.finished = false;
            return;
        }
    }
    m_flickers.push_back({window, control, false});
}

void CScriptManager::FinishFlicker(uint32_t window, uint32_t control) {
    for (FlickerEntry& entry : m_flickers)
        if (entry.window == window && entry.control == control) entry.finished = true;
}

void CScriptManager::DrawFlicker() {
    if (m_flickers.empty()) return;
    if (m_flickerPhase > 1.0f) {
        m_flickerPhase = 1.0f;
        m_flickerFalling = true;
    } else if (m_flickerPhase < 0) {
        m_flickerPhase = 0;
        m_flickerFalling = false;
    }
    platform::CGfxDevice* device = g_pUiManager ? g_pUiManager->Device() : nullptr;
    if (!device) return;
    SetRenderStateCached(*device, platform::RS_LIGHTING, 0);
    SetRenderStateCached(*device, platform::RS_ZWRITEENABLE, 0);
    SetRenderStateCached(*device, platform::RS_ALPHABLENDENABLE, 1);
    SetRenderStateCached(*device, platform::RS_SRCBLEND, platform::BLEND_SRCALPHA);
    SetRenderStateCached(*device, platform::RS_DESTBLEND, platform::BLEND_INVSRCALPHA);
    const uint32_t alpha = static_cast<uint32_t>(m_flickerPhase * kFlickerAlpha * 255.0f) & 0xFF;
    for (const FlickerEntry& entry : m_flickers) {
        if (entry.finished) continue;
        CUiWindow* window = g_pUiManager->FindWindow(entry.window);
        if (!window || window->HasFlags(UI_HIDDEN)) continue;
        CUiObject* control = window->FindChild(entry.control);
        if (!control || control->HasFlags(UI_HIDDEN)) continue;
        const UiPoint at = control->GetAbsolutePos();
        const UiPoint& size = control->Size();
        const platform::GfxRect rect{static_cast<int32_t>(at.x), static_cast<int32_t>(at.y),
                                     static_cast<int32_t>(at.x + size.x), static_cast<int32_t>(at.y + size.y)};
        DrawScreenQuad(rect, alpha << 24 | 0xFFFFFF, true);
    }
    SetRenderStateCached(*device, platform::RS_LIGHTING, 1);
    SetRenderStateCached(*device, platform::RS_ZWRITEENABLE, 1);
    SetRenderStateCached(*device, platform::RS_ALPHABLENDENABLE, 0);
}
