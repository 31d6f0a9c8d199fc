#include "screens/lobby/RankNames.h"

#include "screens/game/PlayResources.h"

namespace {

// Line n of a name list, or "" past its end or without the play resources.
const char* ListText(const std::vector<std::string>& list, size_t index) {
    return index < list.size() ? list[index].c_str() : "";
}

CResource* NewReference(CResource* image) {
    if (image) image->AddRef();
    return image;
}

bool IsRank(uint32_t rank) { return rank >= 1 && rank <= kMaxRank; }
bool IsLevel(int level) { return level >= 0 && level <= kMaxDisconnectLevel; }

}  // namespace

// Rank 1 is the list's first line.
const char* RankName(uint32_t rank) {
    if (!IsRank(rank) || !g_pPlayResources) return "";
    return ListText(g_pPlayResources->rankNames, rank - 1);
}

CResource* RankIcon(uint32_t rank) {
    if (!IsRank(rank) || !g_pPlayResources) return nullptr;
    return NewReference(g_pPlayResources->levelIcons[rank - 1]);
}

const char* DisconnectLevelText(int level) {
    if (!IsLevel(level) || !g_pPlayResources) return "";
    return ListText(g_pPlayResources->badRankNames, static_cast<size_t>(level));
}

CResource* DisconnectLevelImage(int level) {
    if (!IsLevel(level) || !g_pPlayResources) return nullptr;
    return NewReference(g_pPlayResources->disabledIcons[static_cast<size_t>(level)]);
}
