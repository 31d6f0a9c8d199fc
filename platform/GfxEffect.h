// Effects: the project's own compiled-effect files (kept under the original
// ".FXO" names). An effect holds named parameters, GLSL shaders and
// techniques made of passes; a pass names a vertex and a fragment shader and
// the render states it sets. Callers use it as they used the original:
// SetTechnique, parameters by name, Begin, BeginPass / CommitChanges /
// EndPass per pass, End.
//
// Shader sources carry no #version line; the device puts one in front with
// this helper, which vertex shaders use for their output:
//   vec4 ToClip(vec4 clip)  // Direct3D clip coordinates to the device's
// A sampler uniform named u_stage0 or u_stage1 that is not a parameter reads
// the texture bound to that device stage (SetTexture), as an effect without
// its own texture does on the original.
// Matrices reach the shaders as written (row vectors): in GLSL, M * v is the
// row-vector product v * M. Vertex inputs use the device's locations:
// 0 position, 1 normal, 2 diffuse, 3 specular, 4..11 texture sets 0..7.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/GfxResource.h"
#include "platform/Math.h"

namespace platform {

class CGfxDevice;
class CGfxTexture;

enum GfxEffectParameterType : uint32_t {
    EPT_FLOAT = 1,
    EPT_VECTOR = 2,  // float4
    EPT_MATRIX = 3,  // 4x4; elements > 1 makes a matrix array
    EPT_BOOL = 4,
    EPT_INT = 5,
    EPT_TEXTURE = 6,
};

struct GfxEffectParameter {
    std::string name;
    uint32_t type = EPT_FLOAT;
    uint32_t elements = 1;
    std::vector<float> values;  // floats, vectors and matrices; bools and ints as floats
    CGfxTexture* texture = nullptr;
};

struct GfxEffectPass {
    std::string name;
    uint32_t vertexShader = 0, fragmentShader = 0;
    std::vector<std::pair<uint32_t, uint32_t>> renderStates;
};

struct GfxEffectTechnique {
    std::string name;
    std::vector<GfxEffectPass> passes;
};

struct GfxEffectShader {
    uint32_t stage = 0;  // 0 vertex, 1 fragment
    std::string source;
};

// What an effect file holds.
struct GfxEffectDescription {
    std::vector<GfxEffectParameter> parameters;
    std::vector<GfxEffectShader> shaders;
    std::vector<GfxEffectTechnique> techniques;
};

constexpr uint32_t kEffectMagic = 0x31584651;  // "QFX1"
constexpr uint32_t kEffectVersion = 1;

// GFXERR_INVALIDDATA for anything that is not a complete, consistent effect file.
GfxResult ParseEffect(const uint8_t* data, size_t size, GfxEffectDescription* out);

class CGfxEffect : public CGfxResource {
public:
    CGfxEffect(CGfxDevice* device, GfxEffectDescription description);
    ~CGfxEffect() override;

    GfxResult SetTechnique(std::string_view name);
    const std::string& GetCurrentTechnique() const;
    uint32_t TechniqueIndex() const { return m_technique; }
    bool HasParameter(std::string_view name) const { return Find(name) != nullptr; }

    GfxResult SetFloat(std::string_view name, float value);
    GfxResult SetBool(std::string_view name, bool value);
    GfxResult SetInt(std::string_view name, int32_t value);
    GfxResult SetVector(std::string_view name, const Vec4& value);
    // Raw floats into a float, vector or matrix parameter (e.g. an array of float2 as 2 n floats).
    GfxResult SetFloatArray(std::string_view name, const float* values, uint32_t count);
    GfxResult SetVectorArray(std::string_view name, const Vec4* values, uint32_t count);
    GfxResult SetMatrix(std::string_view name, const Matrix& value);
    GfxResult SetMatrixArray(std::string_view name, const Matrix* values, uint32_t count);
    GfxResult SetTexture(std::string_view name, CGfxTexture* texture);

    // passes receives the pass count of the technique.
    GfxResult Begin(uint32_t* passes, uint32_t flags);
    GfxResult BeginPass(uint32_t pass);
    // Sends parameters changed inside a pass.
    GfxResult CommitChanges();
    GfxResult EndPass();
    GfxResult End();

    // Nothing of an effect lives in the default pool; kept for the callers' loss handling.
    GfxResult OnLostDevice() { return GFX_OK; }
    GfxResult OnResetDevice() { return GFX_OK; }

    const GfxEffectDescription& Description() const { return m_description; }
    uint32_t CurrentPass() const { return m_pass; }
    // Raised by every parameter change, so that a device sends them again.
    uint32_t ParameterVersion() const { return m_parameterVersion; }

private:
    GfxEffectParameter* Find(std::string_view name);
    const GfxEffectParameter* Find(std::string_view name) const;
    GfxResult SetFloats(std::string_view name, uint32_t type, const float* values, size_t count);

    CGfxDevice* m_device;
    GfxEffectDescription m_description;
    uint32_t m_technique = 0;
    uint32_t m_pass = 0;
    bool m_begun = false, m_inPass = false;
    uint32_t m_parameterVersion = 1;
};

// From the bytes of an effect file (a package entry) or from a game path.
// errors (optional) receives the reason of a failure, compiler text included.
GfxResult CreateEffect(CGfxDevice* device, const void* data, size_t size, CGfxEffect** effect,
                       std::string* errors = nullptr);
GfxResult CreateEffectFromFile(CGfxDevice* device, std::string_view gamePath, CGfxEffect** effect,
                               std::string* errors = nullptr);

}  // namespace platform
