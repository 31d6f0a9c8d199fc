// The statements of a mission script: containers (mission, blocks, events),
// conditions (ids 200-209) and actions (108, 300-321). Names are kept as the
// NameHash of the word; objects are found through the script manager's object
// map, areas through the map scenario's area source.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CScriptManager;
class CWorldObject;
struct MapAreaView;

enum ScriptKeyword : int {
    SCR_MAPFILE = 100,
    SCR_HERO = 101,
    SCR_MISSION = 102,
    SCR_START = 103,
    SCR_EVENT = 104,
    SCR_CONDITION = 105,
    SCR_EXECUTE = 106,
    SCR_NEXT_MISSION = 108,
    SCR_OBJECT_START = 109,
    SCR_OP = 110,
    SCR_RUN = 111,
    SCR_CHECK_AREA = 200,
    SCR_CHECK_DIE_OBJECT = 201,
    SCR_CHECK_TIMER = 202,
    SCR_CHECK_CLICK_MSGBOX = 203,
    SCR_CHECK_HP = 204,
    SCR_CHECK_MP = 205,
    SCR_CHECK_CLICK_UI = 206,
    SCR_CHECK_INVENTORY_ITEM = 207,
    SCR_CHECK_SLOT_ITEM = 208,
    SCR_CHECK_ITEM_COUNT = 209,
    SCR_CREATE_OBJECT = 300,
    SCR_DIE_OBJECT = 301,
    SCR_MOVE_OBJECT = 302,
    SCR_MOVE_CAMERA = 303,
    SCR_CONTROL_LOCK = 304,
    SCR_CONTROL_UNLOCK = 305,
    SCR_ALERT_AREA = 306,
    SCR_RUN_TIMER = 307,
    SCR_DISPLAY_MSGBOX = 308,
    SCR_MESSAGE = 309,
    SCR_AGAIN_MISSION = 310,
    SCR_STOP_TIMER = 311,
    SCR_FINISH_ITEM_COOLTIME = 312,
    SCR_GAME_PAUSE = 313,
    SCR_GAME_PLAY = 314,
    SCR_FLICKER_ON = 315,
    SCR_FLICKER_OFF = 316,
    SCR_ENABLE_TOWNPORTAL = 317,
    SCR_JUMP_OBJECT = 318,
    SCR_STOP_EVENT = 319,
    SCR_LEVEL_UP = 320,
    SCR_SCREEN_FADE = 321,
};

class CScriptCommand {
public:
    explicit CScriptCommand(int keyword) : m_keyword(keyword) {}
    virtual ~CScriptCommand() = default;
    CScriptCommand(const CScriptCommand&) = delete;
    CScriptCommand& operator=(const CScriptCommand&) = delete;

    virtual uint32_t Execute() { return 1; }
    virtual uint32_t Check(float /*elapsed*/) { return 0; }
    // Containers keep what is added; elsewhere it is freed.
    virtual void Add(std::unique_ptr<CScriptCommand> /*command*/) {}
    virtual int KeywordId() const { return m_keyword; }
    virtual uint32_t IsReady() { return 1; }
    virtual void Reset() {}
    // This command and those it holds whose number is 0 or more.
    virtual void CollectNumbered(std::vector<CScriptCommand*>& out) {
        if (number >= 0) out.push_back(this);
    }
    // The keyword the command was written with (its numbered key).
    int Keyword() const { return m_keyword; }

    int32_t number = -1;
    CScriptManager* manager = nullptr;

private:
    int m_keyword;
};

// START and EXECUTE (actions) and CONDITION (conditions with an AND/OR mode).
class CScriptBlock : public CScriptCommand {
public:
    using CScriptCommand::CScriptCommand;
    uint32_t Execute() override;
    uint32_t Check(float elapsed) override;
    void Add(std::unique_ptr<CScriptCommand> command) override { commands.push_back(std::move(command)); }
    uint32_t IsReady() override;
    void Reset() override;
    void CollectNumbered(std::vector<CScriptCommand*>& out) override;

    std::vector<std::unique_ptr<CScriptCommand>> commands;
    int32_t mode = 0;  // 0: all must hold, 1: one suffices
};

class CScriptEvent : public CScriptCommand {
public:
    CScriptEvent() : CScriptCommand(SCR_EVENT) {}
    // 1 once done (fired and not looping).
    uint32_t Update(float elapsed);
    uint32_t IsReady() override;
    void Reset() override;
    void CollectNumbered(std::vector<CScriptCommand*>& out) override;

    std::unique_ptr<CScriptBlock> condition;
    std::unique_ptr<CScriptBlock> execute;
    uint32_t fired = 0;
    uint32_t loop = 0;
};

class CScriptMission : public CScriptCommand {
public:
    CScriptMission() : CScriptCommand(SCR_MISSION) {}
    void Update(float elapsed);
    uint32_t IsReady() override;
    void Reset() override;
    // Enters every numbered command under the hash of its keyword and number.
    void BuildRegistry();
    // The commands registered under that keyword and number.
    std::vector<CScriptCommand*> FindNumbered(int keyword, int32_t number) const;

    std::unique_ptr<CScriptBlock> start;
    std::vector<std::unique_ptr<CScriptEvent>> events;
    uint32_t started = 0;
    uint32_t objectStart = 0;
    std::vector<std::pair<uint32_t, CScriptCommand*>> registry;
};

// ---- conditions ----

class CScriptCheckArea : public CScriptCommand {
public:
    CScriptCheckArea() : CScriptCommand(SCR_CHECK_AREA) {}
    uint32_t Check(float elapsed) override;
    void Reset() override { clock = 0; }
    uint32_t area = 0, object = 0;
    float clock = 0;
};

class CScriptCheckDie : public CScriptCommand {
public:
    CScriptCheckDie() : CScriptCommand(SCR_CHECK_DIE_OBJECT) {}
    uint32_t Check(float elapsed) override;
    void Reset() override { held = 0, clock = 0; }
    uint32_t object = 0;
    uint32_t held = 0;
    float clock = 0;
};

class CScriptCheckTimer : public CScriptCommand {
public:
    CScriptCheckTimer() : CScriptCommand(SCR_CHECK_TIMER) {}
    uint32_t Check(float elapsed) override;
    void Reset() override { clock = 0; }
    float limit = 0;
    uint32_t in = 0;
    uint32_t running = 0;
    float clock = 0;
};

class CScriptCheckClickMsgBox : public CScriptCommand {
public:
    CScriptCheckClickMsgBox() : CScriptCommand(SCR_CHECK_CLICK_MSGBOX) {}
    uint32_t Check(float elapsed) override;
    void Reset() override { armed = 0, clicked = 0; }
    uint32_t armed = 0;
    uint32_t clicked = 0;
};

// CHECK_HP and CHECK_MP.
class CScriptCheckStat : public CScriptCommand {
public:
    explicit CScriptCheckStat(int keyword) : CScriptCommand(keyword) {}
    uint32_t Check(float elapsed) override;
    uint32_t object = 0;
    float percent = 0;
    uint32_t in = 0;
};

class CScriptCheckClickUi : public CScriptCommand {
public:
    CScriptCheckClickUi() : CScriptCommand(SCR_CHECK_CLICK_UI) {}
    uint32_t Check(float elapsed) override;
    uint32_t window = 0, control = 0;
    int32_t button = 0;
};

// CHECK_INVENTORY_ITEM, CHECK_SLOT_ITEM and CHECK_ITEM_COUNT.
class CScriptCheckItem : public CScriptCommand {
public:
    explicit CScriptCheckItem(int keyword) : CScriptCommand(keyword) {}
    uint32_t Check(float elapsed) override;
    uint32_t item = 0;
    int32_t count = 0;
};

// ---- actions ----

class CScriptCreateObject : public CScriptCommand {
public:
    CScriptCreateObject() : CScriptCommand(SCR_CREATE_OBJECT) {}
    uint32_t Execute() override;
    uint32_t IsReady() override;
    void Reset() override;
    uint32_t record = 0, object = 0, area = 0;
    int32_t owner = 0;
    uint32_t flag = 0;
    int32_t createdId = -1;
};

// DIE_OBJECT, MOVE_OBJECT and JUMP_OBJECT.
class CScriptObjectAction : public CScriptCommand {
public:
    explicit CScriptObjectAction(int keyword) : CScriptCommand(keyword) {}
    uint32_t Execute() override;
    uint32_t object = 0, area = 0;
    uint32_t flag = 0;
};

class CScriptMoveCamera : public CScriptCommand {
public:
    CScriptMoveCamera() : CScriptCommand(SCR_MOVE_CAMERA) {}
    uint32_t Execute() override;
    uint32_t area = 0;
    float speed = 0, hold = 0;
    uint32_t flag = 0;
};

// CONTROL_LOCK and CONTROL_UNLOCK.
class CScriptControlLock : public CScriptCommand {
public:
    explicit CScriptControlLock(int keyword) : CScriptCommand(keyword) {}
    uint32_t Execute() override;
};

class CScriptAlertArea : public CScriptCommand {
public:
    CScriptAlertArea() : CScriptCommand(SCR_ALERT_AREA) {}
    uint32_t Execute() override;
    uint32_t area = 0;
};

// RUN_TIMER and STOP_TIMER.
class CScriptTimerControl : public CScriptCommand {
public:
    explicit CScriptTimerControl(int keyword) : CScriptCommand(keyword) {}
    uint32_t Execute() override;
};

// DISPLAY_MSGBOX (with a number) and MESSAGE (a chat line).
class CScriptMessage : public CScriptCommand {
public:
    CScriptMessage(bool box) : CScriptCommand(box ? SCR_DISPLAY_MSGBOX : SCR_MESSAGE), box(box) {}
    uint32_t Execute() override;
    int KeywordId() const override { return box ? SCR_DISPLAY_MSGBOX : SCR_MESSAGE; }
    std::string text;
    bool box;
};

// NEXT_MISSION, AGAIN_MISSION, ENABLE_TOWNPORTAL, FINISH_ITEM_COOLTIME,
// GAME_PAUSE, GAME_PLAY, SCREEN_FADE, STOP_EVENT and LEVEL_UP: one value each.
class CScriptSimpleAction : public CScriptCommand {
public:
    explicit CScriptSimpleAction(int keyword) : CScriptCommand(keyword) {}
    uint32_t Execute() override;
    uint32_t object = 0;
    int32_t value = 0;
};

// FLICKER_ON and FLICKER_OFF.
class CScriptFlicker : public CScriptCommand {
public:
    explicit CScriptFlicker(int keyword) : CScriptCommand(keyword) {}
    uint32_t Execute() override;
    int KeywordId() const override { return 0; }
    uint32_t window = 0, control = 0;
};
