#include "net/ProtocolTables.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"

CProtocolTables* g_pProtocolTables = nullptr;

CProtocolTables::CProtocolTables() {
    if (!g_pProtocolTables) {
        g_pProtocolTables = this;
        m_registered = true;
    }
}

CProtocolTables::~CProtocolTables() {
    if (m_registered && g_pProtocolTables == this) g_pProtocolTables = nullptr;
}

int CProtocolTables::Check(const Permutation& permutation, const Experience& experience, const char* source) {
    std::array<bool, kPermutationSize> seen{};
    for (uint32_t v : permutation) {
        if (v >= kPermutationSize || seen[v]) {
            ErrorReport().SetError(ERR_DATA, "%s : the record permutation is not one of 0..95", source);
            return 0;
        }
        seen[v] = true;
    }
    if (experience[1] != 0) {
        ErrorReport().SetError(ERR_DATA, "%s : level 1 must start at 0 experience", source);
        return 0;
    }
    for (int level = 2; level <= kMaxLevel; ++level) {
        if (experience[level] <= experience[level - 1]) {
            ErrorReport().SetError(ERR_DATA, "%s : the experience of level %d does not rise", source, level);
            return 0;
        }
    }
    return 1;
}

int CProtocolTables::Set(const Permutation& permutation, const Experience& experience) {
    return Take(permutation, experience, "protocol tables");
}

int CProtocolTables::Take(const Permutation& permutation, const Experience& experience, const char* source) {
    if (!Check(permutation, experience, source)) return 0;
    m_permutation = permutation;
    m_experience = experience;
    m_loaded = true;
    return 1;
}

int CProtocolTables::Load(const char* path) {
    CFileStream stream;
    if (!stream.OpenRead(path)) return 0;
    float version = 0;
    uint32_t count = 0;
    stream.ReadFloat(version);
    if (!stream.Failed() && version != kVersion) {
        ErrorReport().SetError(ERR_FILE_VERSION, "%s : version %g, expected %g", path, version, kVersion);
        return 0;
    }
    Permutation permutation{};
    Experience experience{};
    stream.ReadU32(count);
    if (!stream.Failed() && count != kPermutationSize) {
        ErrorReport().SetError(ERR_DATA, "%s : %u permutation entries, expected 96", path, count);
        return 0;
    }
    for (uint32_t& v : permutation) stream.ReadU32(v);
    stream.ReadU32(count);
    if (!stream.Failed() && count != kLevelCount) {
        ErrorReport().SetError(ERR_DATA, "%s : %u experience rows, expected 101", path, count);
        return 0;
    }
    for (uint32_t& v : experience) stream.ReadU32(v);
    if (stream.Failed()) {
        ErrorReport().Chain("%s : the protocol tables are cut short", path);
        return 0;
    }
    return Take(permutation, experience, path);
}

int LevelProgressPercent(int level, int64_t experience) {
    if (level < 1 || !g_pProtocolTables || !g_pProtocolTables->IsLoaded()) return 0;
    if (level >= CProtocolTables::kMaxLevel) return 100;
    const CProtocolTables::Experience& t = g_pProtocolTables->GetExperience();
    const int64_t base = t[static_cast<size_t>(level)];
    const int64_t span = static_cast<int64_t>(t[static_cast<size_t>(level) + 1]) - base;
    if (span <= 0) return 0;
    const int64_t percent = (experience - base) * 100 / span;
    return percent < 0 ? 0 : percent > 100 ? 100 : static_cast<int>(percent);
}
