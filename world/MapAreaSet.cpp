#include "world/MapAreaSet.h"

#include <cstdio>

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "platform/NameHash.h"

CMapAreaSet* g_pMapAreaSet = nullptr;

CMapAreaSet::CMapAreaSet() { g_pMapAreaSet = this; }

CMapAreaSet::~CMapAreaSet() {
    if (g_pMapAreaSet == this) g_pMapAreaSet = nullptr;
}

void CMapAreaSet::Clear() {
    m_areas.clear();
    m_values.clear();
    for (CNamedArea*& area : m_teamAreas) area = nullptr;
}

CNamedArea* CMapAreaSet::Add(const platform::Vec3& centre, const std::string& name, float width, float depth) {
    auto area = std::make_unique<CNamedArea>();
    area->Set(centre, name, width, depth);
    m_areas.push_back(std::move(area));
    return m_areas.back().get();
}

CNamedArea* CMapAreaSet::Find(uint32_t hash) const {
    for (const auto& area : m_areas)
        if (area->nameHash == hash) return area.get();
    return nullptr;
}

void CMapAreaSet::BindTeamAreas() {
    char name[16];
    for (int32_t i = 0; i < kTeamAreas; ++i) {
        std::snprintf(name, sizeof(name), "Team%d", i + 1);
        m_teamAreas[i] = Find(platform::NameHash(name));
    }
}

bool CMapAreaSet::FindArea(uint32_t hash, MapAreaView* out) {
    CNamedArea* area = Find(hash);
    if (!area) return false;
    if (out) {
        out->centre = area->centre;
        out->width = area->width;
        out->depth = area->depth;
        out->radius = area->radius;
        out->heroIds = &area->heroIds;
    }
    return true;
}

int CMapAreaSet::Serialize(CFileStream& stream) {
    const bool reading = stream.mode() == CFileStream::MODE_READ;
    auto fail = [&]() {
        if (ErrorReport().GetCode() == 0 || stream.Failed()) ErrorReport().SetError(ERR_DATA, "%s", stream.path());
        ErrorReport().Chain("%s", "Area");
        return 0;
    };
    uint32_t count = static_cast<uint32_t>(m_areas.size());
    if (!stream.Serialize(count)) return fail();
    if (reading) {
        Clear();
        // Name length, centre, width and depth: at least 24 bytes an area.
        if (count > stream.Remaining() / 24) return fail();
        for (uint32_t i = 0; i < count; ++i) {
            std::string name;
            platform::Vec3 centre;
            float width = 0, depth = 0;
            stream.Serialize(name);
            stream.Serialize(centre.x);
            stream.Serialize(centre.y);
            stream.Serialize(centre.z);
            stream.Serialize(width);
            if (!stream.Serialize(depth)) return fail();
            Add(centre, name, width, depth);
        }
    } else {
        for (const auto& area : m_areas) {
            std::string name = area->name;
            stream.Serialize(name);
            stream.Serialize(area->centre.x);
            stream.Serialize(area->centre.y);
            stream.Serialize(area->centre.z);
            stream.Serialize(area->width);
            stream.Serialize(area->depth);
        }
    }
    uint32_t values = static_cast<uint32_t>(m_values.size());
    if (!stream.Serialize(values)) return fail();
    if (reading) {
        if (values > stream.Remaining() / 4) return fail();
        m_values.assign(values, 0);
    }
    for (uint32_t& v : m_values) stream.Serialize(v);
    if (stream.Failed()) return fail();
    if (reading) BindTeamAreas();
    return 1;
}
