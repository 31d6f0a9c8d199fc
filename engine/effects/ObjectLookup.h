// Finds a scene object by its id. The engine's effects name the objects they
// join by id and look them up every frame, so an object that is destroyed can
// never be reached through a stale pointer; the world registers the lookup.
#pragma once

#include <cstdint>

class CSceneObject;

class IObjectLookup {
public:
    virtual ~IObjectLookup() = default;
    // Null when no live object has the id.
    virtual CSceneObject* FindObject(int32_t id) = 0;
};

// The process-wide lookup (null until the world registers one).
extern IObjectLookup* g_pObjectLookup;
inline CSceneObject* LookUpObject(int32_t id) { return g_pObjectLookup && id >= 0 ? g_pObjectLookup->FindObject(id) : nullptr; }
