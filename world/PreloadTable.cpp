#include "world/PreloadTable.h"

#include "engine/core/FileStream.h"
#include "engine/resource/ResourceManager.h"
#include "world/LoadProgress.h"
#include "world/GameDataRecord.h"

bool CPreloadTable::Serialize(CFileStream& s) {
    for (std::string& name : names) s.Serialize(name);
    return !s.Failed();
}

int CPreloadTable::Load(std::atomic<float>* progress, float step) {
    for (uint32_t i = 0; i < kCells; ++i) {
        if (!AcquireSound(names[i], sounds[i])) return 0;
        AddLoadProgress(progress, step * 0.011111111f);
    }
    return 1;
}

void CPreloadTable::Release() {
    for (CResource*& sound : sounds) DropResource(sound);
}

CResource* CPreloadTable::HitSound(uint32_t attackerRow, uint32_t targetColumn) const {
    if (attackerRow >= kRows || targetColumn >= kColumns) return nullptr;
    return sounds[attackerRow * kColumns + targetColumn];
}
