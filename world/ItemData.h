// An ITEM record (category 3): an item with its use skill, stat bonuses and
// the items that share its cool-down.
#pragma once

#include "world/GameDataRecord.h"

class CItemData : public CGameDataRecord {
public:
    CItemData() : CGameDataRecord(CAT_ITEM, 8) {}

    int Serialize(CFileStream& stream) override;
    // The model, the use skill, the linked items, the effect's type and the
    // cool-down partner, in that order.
    int Check() override;

    // What the play screen's item rules read: the grade (0: a consumable whose
    // copies stack), the most charges one stack holds, the shop price and
    // whether a failed combination takes the item.
    uint32_t Grade() const { return kind; }
    int32_t StackSize() const { return static_cast<int32_t>(itemWord[3]); }
    uint32_t Price() const { return itemWord[1]; }
    // The hero level the item asks for; 0 and 1 both mean none.
    uint32_t RequiredLevel() const { return itemWord[2]; }
    bool LostOnFailedCombination() const { return itemWord[5] != 0; }

    // kind holds the item kind: 0 a consumable (each use takes a charge).
    std::string itemText2;
    std::string icon;  // texture (type 7)
    CResource* iconResource = nullptr;
    std::array<uint32_t, 6> itemWord{0, 0, 0, 1, 0, 0};  // itemWord[1]..[5]
    std::string useSkill;  // a SKILL record
    CGameDataRecord* useSkillRecord = nullptr;
    std::string effect;  // effect resource (type 1)
    CResource* effectResource = nullptr;
    uint32_t itemWord7 = 0xFFFFFFFFu, itemWord6 = 0;
    StatBlock statsA{};  // stat bonuses
    StatBlock statsB{};  // per stat: 1 applies the bonus to the second stat set
    std::vector<RecordKey> linkedItems;  // the ITEM keys whose cool-down this item shares
    uint32_t cooldownItem = 0;           // key of the cool-down partner; 0 = the item's own
    // Seconds the shop has been restocking the item in this match (not stored).
    float restockElapsed = 0;

protected:
    int LinkBody() override;
    void ReleaseBody() override;
};
