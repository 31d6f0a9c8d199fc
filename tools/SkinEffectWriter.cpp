#include "tools/SkinEffectWriter.h"

#include "tools/EffectWriter.h"

using namespace platform;

namespace {

// Inputs of the 64-byte skinned vertex: texture set 1 holds the four weights,
// set 2 the four palette slots. Matrices multiply as row vectors (M * v is v M).
const char* kSkinVertex =
    "layout(location = 0) in vec4 a_position;\n"
    "layout(location = 1) in vec4 a_normal;\n"
    "layout(location = 4) in vec4 a_tex0;\n"
    "layout(location = 5) in vec4 a_weights;\n"
    "layout(location = 6) in vec4 a_bones;\n"
    "uniform mat4 mWorldMatrixArray[45];\n"
    "uniform mat4 mWorld;\n"
    "uniform mat4 mView;\n"
    "uniform mat4 mProj;\n"
    "uniform vec4 lightDir;\n"
    "uniform vec4 MaterialDiffuse;\n"
    "uniform vec4 MaterialAmbient;\n"
    "uniform vec4 DayNightAmbient;\n"
    "uniform bool bLightEnable;\n"
    "out vec2 uv;\n"
    "out vec4 color;\n"
    "void main() {\n"
    "    vec4 p = vec4(a_position.xyz, 1.0);\n"
    "    vec3 pos = vec3(0.0);\n"
    "    vec3 nrm = vec3(0.0);\n"
    "    for (int k = 0; k < 4; ++k) {\n"
    "        int i = clamp(int(a_bones[k]), 0, 44);\n"
    "        pos += a_weights[k] * (mWorldMatrixArray[i] * p).xyz;\n"
    "        nrm += a_weights[k] * (mat3(mWorldMatrixArray[i]) * a_normal.xyz);\n"
    "    }\n"
    "    vec4 world = mWorld * vec4(pos, 1.0);\n"
    "    gl_Position = ToClip(mProj * (mView * world));\n"
    "    uv = a_tex0.xy;\n"
    "    if (bLightEnable) {\n"
    "        vec3 n = normalize(mat3(mWorld) * nrm);\n"
    "        float lit = max(dot(n, -lightDir.xyz), 0.0);\n"
    "        color = vec4(MaterialDiffuse.rgb * lit + MaterialAmbient.rgb * DayNightAmbient.rgb, MaterialDiffuse.a);\n"
    "    } else {\n"
    "        color = MaterialDiffuse;\n"
    "    }\n"
    "}\n";

const char* kSkinFragment =
    "in vec2 uv;\n"
    "in vec4 color;\n"
    "out vec4 o;\n"
    "void main() { o = color; }\n";

}  // namespace

std::vector<uint8_t> SkinEffectFile() {
    CEffectWriter w;
    w.Parameter("mWorldMatrixArray", EPT_MATRIX, 45)
        .Parameter("mWorld", EPT_MATRIX)
        .Parameter("mInvWorld", EPT_MATRIX)
        .Parameter("mView", EPT_MATRIX)
        .Parameter("mProj", EPT_MATRIX)
        .Parameter("lightDir", EPT_VECTOR)
        .Parameter("MaterialDiffuse", EPT_VECTOR)
        .Parameter("MaterialAmbient", EPT_VECTOR)
        .Parameter("DayNightAmbient", EPT_VECTOR)
        .Parameter("bLightEnable", EPT_BOOL);
    uint32_t vs = w.Shader(0, kSkinVertex);
    uint32_t fs = w.Shader(1, kSkinFragment);
    w.Technique("SkinShader").Pass("P0", vs, fs);
    return w.Bytes();
}
