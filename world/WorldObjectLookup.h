// The world's answer to the engine's object lookup: effects that join world
// objects (link effects) find them by id in the world object manager, so an
// object that has left the world is simply not found. The play screen holds one.
#pragma once

#include <cstdint>

#include "engine/effects/ObjectLookup.h"

class CWorldObjectLookup : public IObjectLookup {
public:
    // Registers itself as the process-wide lookup when there is none.
    CWorldObjectLookup();
    ~CWorldObjectLookup() override;
    CWorldObjectLookup(const CWorldObjectLookup&) = delete;
    CWorldObjectLookup& operator=(const CWorldObjectLookup&) = delete;

    CSceneObject* FindObject(int32_t id) override;
};
