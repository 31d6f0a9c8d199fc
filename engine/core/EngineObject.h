// The root of the engine's polymorphic objects (resources, scene objects): one
// virtual destructor, so that an owner holding a base pointer frees the whole object.
#pragma once

class CEngineObject {
public:
    CEngineObject() = default;
    virtual ~CEngineObject() = default;
    CEngineObject(const CEngineObject&) = delete;
    CEngineObject& operator=(const CEngineObject&) = delete;
};
