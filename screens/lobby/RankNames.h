// The texts and images the nickname list shows for a rank and for a
// disconnect level, from the play resources; a rank outside 1..100 or a level
// the resources lack has an empty text and no image.
#pragma once

#include <cstdint>

class CResource;

constexpr uint32_t kMaxRank = 100;

const char* RankName(uint32_t rank);
// A new reference the caller hands on (SetImage takes it over), or null.
CResource* RankIcon(uint32_t rank);
const char* DisconnectLevelText(int level);
CResource* DisconnectLevelImage(int level);
