// GLSL of the engine's two effects.
#include "tools/StandardEffects.h"

#include "tools/EffectWriter.h"

using namespace platform;

std::vector<uint8_t> SkinEffectFile() {
    CEffectWriter w;
    w.Parameter("mView", EPT_MATRIX)
        .Parameter("mProj", EPT_MATRIX)
        .Parameter("lightDir", EPT_VECTOR)
        .Parameter("mWorld", EPT_MATRIX)
        .Parameter("mInvWorld", EPT_MATRIX)
        .Parameter("MaterialDiffuse", EPT_VECTOR)
        .Parameter("MaterialAmbient", EPT_VECTOR)
        .Parameter("DayNightAmbient", EPT_VECTOR)
        .Parameter("mWorldMatrixArray", EPT_MATRIX, 45)
        .Parameter("bLightEnable", EPT_BOOL);
    uint32_t vs = w.Shader(0,
                           "layout(location = 0) in vec4 a_position;\n"
                           "layout(location = 1) in vec3 a_normal;\n"
                           "layout(location = 4) in vec4 a_tex0;\n"
                           "layout(location = 5) in vec4 a_weights;\n"
                           "layout(location = 6) in vec4 a_indices;\n"
                           "uniform mat4 mView, mProj;\n"
                           "uniform mat4 mWorldMatrixArray[45];\n"
                           "uniform vec4 lightDir, MaterialDiffuse, MaterialAmbient, DayNightAmbient;\n"
                           "uniform bool bLightEnable;\n"
                           "out vec2 uv;\nout vec4 colour;\n"
                           "void main() {\n"
                           "  vec3 p = vec3(0.0), n = vec3(0.0);\n"
                           "  for (int i = 0; i < 4; ++i) {\n"
                           "    float w = a_weights[i];\n"
                           "    if (w <= 0.0) continue;\n"
                           "    mat4 bone = mWorldMatrixArray[clamp(int(a_indices[i]), 0, 44)];\n"
                           "    p += w * (bone * vec4(a_position.xyz, 1.0)).xyz;\n"
                           "    n += w * (mat3(bone) * a_normal);\n"
                           "  }\n"
                           "  gl_Position = ToClip(mProj * (mView * vec4(p, 1.0)));\n"
                           "  uv = a_tex0.xy;\n"
                           "  vec3 lit = vec3(1.0);\n"
                           "  if (bLightEnable) {\n"
                           "    float d = max(dot(normalize(n), -normalize(lightDir.xyz)), 0.0);\n"
                           "    lit = MaterialAmbient.rgb * DayNightAmbient.rgb + MaterialDiffuse.rgb * d;\n"
                           "  }\n"
                           "  colour = vec4(clamp(lit, 0.0, 1.0), MaterialDiffuse.a);\n"
                           "}\n");
    uint32_t fs = w.Shader(1,
                           "in vec2 uv;\nin vec4 colour;\nuniform sampler2D u_stage0;\nout vec4 o;\n"
                           "void main() { o = texture(u_stage0, uv) * colour; }\n");
    w.Technique("SkinShader").Pass("P0", vs, fs);
    return w.Bytes();
}

std::vector<uint8_t> GaussEffectFile() {
    CEffectWriter w;
    w.Parameter("NormalTex", EPT_TEXTURE)
        .Parameter("SmallTex", EPT_TEXTURE)
        .Parameter("vPixelSize", EPT_VECTOR)
        .Parameter("vOffsetX", EPT_FLOAT, 14)
        .Parameter("vOffsetY", EPT_FLOAT, 14)
        .Parameter("vWeight", EPT_VECTOR, 7);
    // The quad's corners (-1, 1) top left to (1, -1) bottom right; texture rows run downward.
    uint32_t vs = w.Shader(0,
                           "layout(location = 0) in vec4 a_position;\nout vec2 uv;\n"
                           "void main() {\n"
                           "  uv = vec2(a_position.x * 0.5 + 0.5, 0.5 - a_position.y * 0.5);\n"
                           "  gl_Position = ToClip(vec4(a_position.xy, 0.5, 1.0));\n"
                           "}\n");
    uint32_t luminance = w.Shader(1,
                                  "in vec2 uv;\nuniform sampler2D NormalTex;\nout vec4 o;\n"
                                  "void main() {\n"
                                  "  vec4 c = texture(NormalTex, uv);\n"
                                  "  float l = dot(c.rgb, vec3(0.299, 0.587, 0.114));\n"
                                  "  o = vec4(c.rgb * smoothstep(0.5, 1.0, l), 1.0);\n"
                                  "}\n");
    auto blur = [&](const char* offsets) {
        return w.Shader(1, std::string("in vec2 uv;\nuniform sampler2D SmallTex;\nuniform float ") + offsets +
                               "[14];\nuniform vec4 vWeight[7];\nout vec4 o;\n"
                               "void main() {\n"
                               "  vec3 sum = texture(SmallTex, uv).rgb * vWeight[0].rgb;\n"
                               "  for (int i = 1; i < 7; ++i) {\n"
                               "    vec2 d = vec2(" +
                               offsets + "[2 * i], " + offsets +
                               "[2 * i + 1]);\n"
                               "    sum += (texture(SmallTex, uv + d).rgb + texture(SmallTex, uv - d).rgb) * "
                               "vWeight[i].rgb;\n"
                               "  }\n"
                               "  o = vec4(sum, 1.0);\n"
                               "}\n");
    };
    uint32_t gaussX = blur("vOffsetX");
    uint32_t gaussY = blur("vOffsetY");
    uint32_t blit = w.Shader(1,
                             "in vec2 uv;\nuniform sampler2D NormalTex;\nuniform sampler2D SmallTex;\nout vec4 o;\n"
                             "void main() {\n"
                             "  o = vec4(clamp(texture(NormalTex, uv).rgb + texture(SmallTex, uv).rgb, 0.0, 1.0), "
                             "1.0);\n"
                             "}\n");
    const std::vector<std::pair<uint32_t, uint32_t>> quadStates = {
        {RS_ZENABLE, 0}, {RS_ZWRITEENABLE, 0}, {RS_CULLMODE, CULL_NONE}, {RS_ALPHABLENDENABLE, 0}};
    w.Technique("LUMINANCE").Pass("P0", vs, luminance, quadStates);
    w.Technique("GAUSSX").Pass("P0", vs, gaussX, quadStates);
    w.Technique("GAUSSY").Pass("P0", vs, gaussY, quadStates);
    w.Technique("BLIT").Pass("P0", vs, blit, quadStates);
    return w.Bytes();
}
