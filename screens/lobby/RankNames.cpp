#include "screens/lobby/RankNames.h"

const char* RankName(uint32_t rank) {
    if (rank < 1 || rank > kMaxRank) return "";
    return "";
}

CResource* RankIcon(uint32_t) { return nullptr; }

const char* DisconnectLevelText(int) { return ""; }

CResource* DisconnectLevelImage(int) { return nullptr; }
