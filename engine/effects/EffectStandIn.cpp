#include "engine/effects/EffectStandIn.h"

#include "engine/core/FileStream.h"
#include "engine/resource/ResourceFile.h"
#include "engine/resource/ResourceManager.h"

int CEffectStandIn::Load(const char* path, int /*flag*/) {
    CFileStream s;
    if (!OpenResourceFile(s, *this, path, kVersion)) return 0;
    s.Close();
    SetState(1);
    return 1;
}

void RegisterEffectStandIn(CResourceManager& manager) {
    manager.SetFactory(RES_EFFECT, [](CUiWindow*) -> CResource* { return new CEffectStandIn(); });
}
