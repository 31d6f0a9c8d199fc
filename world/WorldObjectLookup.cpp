#include "world/WorldObjectLookup.h"

#include "world/WorldObject.h"
#include "world/WorldObjectManager.h"

CWorldObjectLookup::CWorldObjectLookup() {
    if (!g_pObjectLookup) g_pObjectLookup = this;
}

CWorldObjectLookup::~CWorldObjectLookup() {
    if (g_pObjectLookup == this) g_pObjectLookup = nullptr;
}

CSceneObject* CWorldObjectLookup::FindObject(int32_t id) {
    return g_pWorldObjectManager ? g_pWorldObjectManager->GetObjectById(id) : nullptr;
}
