// Writes the protocol data file the client reads its record permutation and
// level experience from (layout in net/ProtocolTables.h), and makes the sample
// game folder's own tables.
#pragma once

#include <array>
#include <cstdint>

using ProtocolPermutation = std::array<uint32_t, 96>;
using ProtocolExperience = std::array<uint32_t, 101>;

struct SampleProtocolTables {
    ProtocolPermutation permutation;
    ProtocolExperience experience;
};

// The sample folder's tables: a permutation of its own, and the experience
// rows the game is known to use with rising values between them.
SampleProtocolTables MakeSampleProtocolTables();

// Writes the file as given (even a faulty table, so tests can make broken
// files). 1, or 0 with the error report set.
int WriteProtocolTables(const char* path, const ProtocolPermutation& permutation, const ProtocolExperience& experience);
