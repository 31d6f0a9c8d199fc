#include "world/ItemData.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/NameHash.h"
#include "world/GameDataRegistry.h"

int CItemData::Serialize(CFileStream& s) {
    SerializeWords(s, {&kind, &flags, &value2});
    s.Serialize(model);
    SerializeName(s);
    s.Serialize(text);
    s.Serialize(itemText2);
    s.Serialize(icon);
    for (size_t i = 1; i <= 5; ++i) s.Serialize(itemWord[i]);
    s.Serialize(useSkill);
    s.Serialize(effect);
    SerializeWords(s, {&itemWord7, &itemWord6});
    SerializeBlock(s, statsA);
    SerializeBlock(s, statsB);
    if (s.Failed() || !SerializeKeyList(s, linkedItems)) return 0;
    return s.Serialize(cooldownItem) ? 1 : 0;
}

int CItemData::Check() {
    if (model.empty()) return FailCheck(ERR_RESOURCE_LINK, "ResourceData");
    if (!useSkill.empty() && !ResolveRecord(CAT_SKILL, useSkill, useSkillRecord)) return 0;
    for (RecordKey& entry : linkedItems) {
        entry.record = FindGameRecord(CAT_ITEM, entry.key);
        if (!entry.record) return FailCheck(ERR_RESOURCE_LINK, FormatText("%u\n<- ITEM : %s", entry.key, name));
    }
    if (EffectHasRefusedType(effectResource))
        return FailCheck(ERR_DATA, FormatText("ITEM: %s, 이펙트 타입이 다릅니다.", name));
    if (cooldownItem != 0 && !FindGameRecord(CAT_ITEM, cooldownItem))
        return FailCheck(ERR_RESOURCE_LINK,
                         FormatText("%u\n<- ITEM : %s의 공유 쿨타임 아이템을 찾을 수 없습니다.", cooldownItem, name));
    return 1;
}

int CItemData::LinkBody() {
    // The effect is taken before the check, so that the check sees its type.
    bool ok = AcquireResource(model, RES_MODEL, modelResource) && AcquireResource(icon, RES_TEXTURE, iconResource) &&
              AcquireResource(effect, RES_EFFECT, effectResource);
    if (ok && !Check()) return 0;
    if (ok && useSkillRecord) ok = useSkillRecord->Link() != 0;
    if (!ok) ErrorReport().Chain("ITEM : %s", name);
    return ok ? 1 : 0;
}

void CItemData::ReleaseBody() {
    DropResource(iconResource);
    DropResource(effectResource);
    CGameDataRecord* skill = useSkill.empty() ? nullptr : FindGameRecord(CAT_SKILL, NameHash(useSkill));
    if (skill) skill->ReleaseResources();
}
