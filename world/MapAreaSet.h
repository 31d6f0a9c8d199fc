// The map's named areas with their value list, and the twelve team start
// areas bound by the names "Team1".."Team12" (the first of a name in file
// order). One set exists at a time; the process-wide pointer names it.
//
// Map section: u32 area count; per area a string name, 3 floats centre,
// float width, float depth; u32 value count, that many u32 values.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "world/MapAreas.h"
#include "world/NamedArea.h"

class CFileStream;

class CMapAreaSet : public IMapAreas {
public:
    static constexpr int32_t kTeamAreas = 12;

    CMapAreaSet();
    ~CMapAreaSet() override;
    CMapAreaSet(const CMapAreaSet&) = delete;
    CMapAreaSet& operator=(const CMapAreaSet&) = delete;

    // Reads (after clearing) or writes the section by the stream's mode.
    int Serialize(CFileStream& stream);
    void Clear();
    CNamedArea* Add(const platform::Vec3& centre, const std::string& name, float width, float depth);
    void BindTeamAreas();
    CNamedArea* TeamArea(int32_t team) const {
        return team >= 0 && team < kTeamAreas ? m_teamAreas[team] : nullptr;
    }
    CNamedArea* Find(uint32_t hash) const;
    bool FindArea(uint32_t hash, MapAreaView* out) override;

    const std::vector<std::unique_ptr<CNamedArea>>& Areas() const { return m_areas; }
    std::vector<uint32_t>& Values() { return m_values; }

private:
    std::vector<std::unique_ptr<CNamedArea>> m_areas;
    std::vector<uint32_t> m_values;
    CNamedArea* m_teamAreas[kTeamAreas] = {};
};

// Null while no area set exists.
extern CMapAreaSet* g_pMapAreaSet;
