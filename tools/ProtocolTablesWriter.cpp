#include "tools/ProtocolTablesWriter.h"

#include "engine/core/FileStream.h"

SampleProtocolTables MakeSampleProtocolTables() {
    SampleProtocolTables t{};
    // 37 shares no factor with 96, so i -> (37 i + 11) mod 96 visits every index once.
    for (uint32_t i = 0; i < t.permutation.size(); ++i) t.permutation[i] = (37 * i + 11) % 96;

    struct Row {
        int level;
        uint32_t experience;
    };
    constexpr Row kKnown[] = {{1, 0},    {2, 1199},   {3, 2387},     {4, 4739},
                              {5, 8232}, {10, 42012}, {99, 3052455}, {100, 3096374}};
    for (size_t k = 0; k + 1 < std::size(kKnown); ++k) {
        const Row a = kKnown[k];
        const Row b = kKnown[k + 1];
        for (int level = a.level; level < b.level; ++level) {
            const uint64_t step = static_cast<uint64_t>(b.experience - a.experience) *
                                  static_cast<uint64_t>(level - a.level) / static_cast<uint64_t>(b.level - a.level);
            t.experience[static_cast<size_t>(level)] = a.experience + static_cast<uint32_t>(step);
        }
    }
    t.experience[100] = 3096374;
    return t;
}

int WriteProtocolTables(const char* path, const ProtocolPermutation& permutation,
                        const ProtocolExperience& experience) {
    CFileStream s;
    if (!s.OpenWrite(path)) return 0;
    s.WriteFloat(1.0f);
    s.WriteU32(static_cast<uint32_t>(permutation.size()));
    for (uint32_t v : permutation) s.WriteU32(v);
    s.WriteU32(static_cast<uint32_t>(experience.size()));
    for (uint32_t v : experience) s.WriteU32(v);
    return s.Failed() ? 0 : 1;
}
