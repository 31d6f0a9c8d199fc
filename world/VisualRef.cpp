#include "world/VisualRef.h"

#include "engine/core/ErrorReport.h"
#include "engine/core/FileStream.h"
#include "engine/core/TextFormat.h"
#include "world/GameDataRecord.h"

bool SerializeVisualRef(VisualRef& ref, CFileStream& s) {
    s.Serialize(ref.effectName);
    s.Serialize(ref.effectWord);
    s.Serialize(ref.modelName);
    s.Serialize(ref.refWord1);
    s.Serialize(ref.refWord2);
    SerializeVec(s, ref.offset);
    s.Serialize(ref.soundName);
    return !s.Failed();
}

int LinkVisualRef(VisualRef& ref) {
    if (!AcquireResource(ref.effectName, RES_EFFECT, ref.effect)) return 0;
    if (EffectHasRefusedType(ref.effect))
        return FailCheck(ERR_DATA, FormatText("이펙트 타입이 다릅니다.[%s]", ref.effectName));
    if (EffectIsEndless(ref.effect))
        return FailCheck(ERR_DATA,
                         FormatText("발사체 대상효과는 무한 방출 이펙트를 사용할 수 없습니다.[%s]", ref.effectName));
    if (!AcquireResource(ref.modelName, RES_MODEL, ref.model)) return 0;
    return AcquireSound(ref.soundName, ref.sound);
}

void ReleaseVisualRef(VisualRef& ref) {
    DropResource(ref.effect);
    DropResource(ref.model);
    DropResource(ref.sound);
}
