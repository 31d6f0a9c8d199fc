#include "engine/EffectStandIn.h"

#include "engine/FileStream.h"
#include "engine/ResourceFile.h"
#include "engine/ResourceManager.h"

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
