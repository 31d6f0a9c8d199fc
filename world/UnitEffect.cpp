#include "world/UnitEffect.h"

#include "world/EffectRecord.h"

const CEffectParam* CUnitEffect::LevelParam() const {
    if (!record || level < 1 || static_cast<size_t>(level) > record->params.size()) return nullptr;
    return record->params[static_cast<size_t>(level - 1)].get();
}

float CUnitEffect::Duration() const {
    const CEffectParam* p = LevelParam();
    return p ? p->duration : 0.0f;
}

uint32_t CUnitEffect::Kind() const { return record ? record->kind : 0; }

int CUnitEffect::Update(float dt) {
    if (elapsed != kEnded) elapsed += dt;
    if (elapsed == kEnded) return 0;
    float duration = Duration();
    return duration <= 0 || elapsed < duration ? 1 : 0;
}
