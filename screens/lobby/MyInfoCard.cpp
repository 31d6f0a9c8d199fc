#include "screens/lobby/MyInfoCard.h"

#include <algorithm>

#include "engine/core/MessageTable.h"
#include "engine/core/NameHash.h"
#include "engine/core/TextFormat.h"
#include "net/ByteReader.h"
#include "net/ClientSession.h"
#include "net/ProtocolTables.h"
#include "screens/lobby/HeroStats.h"
#include "screens/lobby/RankNames.h"
#include "world/UnitData.h"

namespace {

constexpr size_t kRankAt = 48;
constexpr uint32_t kHeroBit = 0x10;
constexpr uint32_t kNotListedBit = 0x40000000u;
constexpr uint32_t kSideBit = 1u << 28;
constexpr uint32_t kHiddenBit = 0x8000000u;

}  // namespace

MyInfoCard BuildMyInfoCard(const PlayerRecord& record, const std::string& nickname, int ownedHeroes,
                           int ownedHidden) {
    CByteReader in(record.bytes.data(), record.bytes.size());
    in.Seek(kRankAt);
    const int32_t rank = in.ReadI32();
    const int32_t points = in.ReadI32();
    const uint16_t wins = in.ReadU16();
    const uint16_t losses = in.ReadU16();
    const uint16_t disconnects = in.ReadU16();
    const uint16_t disconnectPoints = in.ReadU16();
    MyInfoCard card;
    card.player = nickname;
    // The grade names run 1..100; a rank outside them shows the nearest.
    const uint32_t grade = static_cast<uint32_t>(std::clamp<int32_t>(rank, 1, static_cast<int32_t>(kMaxRank)));
    card.level = FormatText(GetMessageText(MSG_MYINFO_UI_LEVEL), RankName(grade));
    card.battle = FormatText(GetMessageText(MSG_NICKNAME_RECORD), wins + losses, wins, losses);
    card.disconnection = FormatText(GetMessageText(MSG_NICKNAME_DISCONN_POINT), disconnects, disconnectPoints);
    card.heroes = FormatText(GetMessageText(MSG_MYINFO_UI_HEROCHA), ownedHeroes);
    card.hidden = FormatText(GetMessageText(MSG_MYINFO_UI_HIDDENCHR), ownedHidden);
    const bool member = record.GuildState() == CClientSession::kGuildMember;
    card.guild = FormatText(GetMessageText(MSG_MYINFO_UI_GUILDNAME), member ? record.GuildName() : std::string("-"));
    card.experiencePercent = LevelProgressPercent(rank, points);
    card.experience = FormatText("%d%%", card.experiencePercent);
    return card;
}

MyInfoHeroLists BuildMyInfoHeroLists(const CGameDataRegistry& registry, const InventoryTable& inventory) {
    MyInfoHeroLists lists;
    for (CGameDataRecord* record : registry.Records(CAT_UNIT).Records()) {
        const uint32_t flags = record->flags;
        if (!(flags & kHeroBit) || (flags & kNotListedBit)) continue;
        const auto* unit = dynamic_cast<const CUnitData*>(record);
        if (!unit) continue;
        const size_t row = (flags & kHiddenBit) ? 2 : (flags & kSideBit) ? 1 : 0;
        const size_t limit = row == 2 ? kMyInfoHiddenButtons : kMyInfoSideButtons;
        if (lists[row].size() >= limit) continue;
        int card = -1;
        for (const auto& entry : registry.Catalogue().Entries())
            if (NameHash(entry->texts[0].c_str()) == unit->id) card = hero_stats::FindHeroCard(inventory, entry->code);
        lists[row].push_back(
            {unit, hero_stats::IsHeroOwned(flags, card), card > 0 ? card : 0, hero_stats::Level20Stats(*unit)});
    }
    return lists;
}
