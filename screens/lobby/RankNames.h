// The texts and images the nickname list shows for a rank and for a
// disconnect level, from the play resources: rank n is line n - 1 of the rank
// names and the n-th level icon, disconnect level n line n of the bad-rank
// names and the n-th disabled-state icon. A rank outside 1..100, a level
// outside 0..6 or an entry the resources lack has an empty text and no image.
#pragma once

#include <cstdint>

class CResource;

constexpr uint32_t kMaxRank = 100;
constexpr int kMaxDisconnectLevel = 6;

const char* RankName(uint32_t rank);
// A new reference the caller hands on (SetImage takes it over), or null.
CResource* RankIcon(uint32_t rank);
const char* DisconnectLevelText(int level);
CResource* DisconnectLevelImage(int level);
