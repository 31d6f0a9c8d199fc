// The calls the engine makes on a compiled effect: parameters set by name and
// the passes of a named technique. The render device's effect files are
// wrapped in this by the loader that the shader set is given.
#pragma once

#include <cstdint>

#include "platform/Math.h"

class CShaderEffect {
public:
    virtual ~CShaderEffect() = default;
    virtual void SetMatrix(const char* name, const platform::Matrix& m) = 0;
    virtual void SetMatrixArray(const char* name, const platform::Matrix* m, uint32_t count) = 0;
    virtual void SetVector(const char* name, const platform::Vec4& v) = 0;
    virtual void SetTechnique(const char* name) = 0;
    virtual void SetBool(const char* /*name*/, bool /*value*/) {}
    // Starts the technique; the number of passes it has.
    virtual uint32_t Begin() = 0;
    virtual void BeginPass(uint32_t pass) = 0;
    virtual void EndPass() = 0;
    virtual void End() = 0;
    virtual void OnLostDevice() {}
    virtual void OnResetDevice() {}
};
