// The tutorial and mission scripts: a keyword script that names the map and
// the hero, then lists missions, each with a start block run once and events
// made of a condition block and an execute block. The play screen updates the
// current mission every frame and draws the flicker highlights after its UI.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/core/TokenReader.h"
#include "world/ScriptCommands.h"

class CWorldObject;

class CScriptManager : public CTokenReader {
public:
    static constexpr float kFlickerAlpha = 0.6f;

    struct FlickerEntry {
        uint32_t window = 0;
        uint32_t control = 0;
        bool finished = false;
    };

    CScriptManager();
    ~CScriptManager() override;

    int Start();
    // 1 while a mission is current.
    int Update(float elapsed);
    void DrawFlicker();
    void Clear();
    CWorldObject* FindObject(uint32_t nameHash) const;

    // Parses one statement that began with keyword into container (null at the top).
    int ParseStatement(CScriptCommand* container, int keyword);

    const std::string& MapFile() const { return m_mapFile; }
    const std::string& HeroName() const { return m_heroName; }
    const std::vector<std::unique_ptr<CScriptMission>>& Missions() const { return m_missions; }
    CScriptMission* CurrentMission() const;
    int32_t CurrentIndex() const { return m_current; }
    std::unordered_map<uint32_t, int32_t>& ObjectMap() { return m_objects; }
    const std::vector<FlickerEntry>& Flickers() const { return m_flickers; }
    float FlickerPhase() const { return m_flickerPhase; }
    bool FlickerFalling() const { return m_flickerFalling; }

    // Services of the commands.
    CWorldObject* Hero() const { return FindObject(m_heroHash); }
    // Takes effect after the frame's event loop.
    void RequestNextMission() { m_pending = PENDING_NEXT; }
    void RequestAgainMission() { m_pending = PENDING_AGAIN; }
    void AddFlicker(uint32_t window, uint32_t control);
    void FinishFlicker(uint32_t window, uint32_t control);

protected:
    int Load() override;

private:
    enum Pending { PENDING_NONE, PENDING_NEXT, PENDING_AGAIN };

    int ParseBlock(CScriptCommand* container);
    std::unique_ptr<CScriptCommand> MakeCommand(int keyword);
    void ApplyPending();

    std::string m_mapFile;
    std::string m_heroName;
    uint32_t m_heroHash = 0;
    bool m_hasMap = false;
    bool m_hasHero = false;
    std::vector<std::unique_ptr<CScriptMission>> m_missions;
    CScriptMission* m_parsing = nullptr;
    int32_t m_current = -1;
    Pending m_pending = PENDING_NONE;
    std::unordered_map<uint32_t, int32_t> m_objects;
    std::vector<FlickerEntry> m_flickers;
    float m_flickerPhase = 0;
    bool m_flickerFalling = false;
};

// The application's script manager (the first one made), or null.
extern CScriptManager* g_pScriptManager;
