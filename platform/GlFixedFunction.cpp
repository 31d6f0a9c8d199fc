// GLSL generation for the fixed-function state. The vertex stage computes
// D3D clip coordinates and turns them into GL's: y is negated, because the
// device stores images top row first in its framebuffers, and depth 0..w
// becomes -w..w. Pre-transformed vertices are in target pixels with D3D's
// pixel centres on integers, hence the half pixel added before mapping.
// Texture coordinates travel with their divisor (1 unless projected), and
// the divide is made for each pixel: divided at the vertices and then
// interpolated, a projected image would bend across a primitive.
#include "platform/GlFixedFunction.h"

namespace platform {

size_t GlFixedFunctionKeyHash::operator()(const GlFixedFunctionKey& k) const {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&k);
    size_t h = 1469598103934665603ull;
    for (size_t i = 0; i < sizeof(k); ++i) h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

GlFixedFunctionKey MakeFixedFunctionKey(const GfxState& s, bool pretransformed, bool hasNormal, bool hasDiffuse,
                                        uint32_t texSets, const bool textured[2]) {
    GlFixedFunctionKey k;
    std::memset(&k, 0, sizeof(k));
    k.pretransformed = pretransformed;
    k.hasNormal = hasNormal;
    k.hasDiffuse = hasDiffuse;
    k.texSets = static_cast<uint8_t>(texSets);
    k.lighting = !pretransformed && s.render[RS_LIGHTING] != 0;
    if (k.lighting) {
        k.normalize = s.render[RS_NORMALIZENORMALS] != 0;
        bool vertexColour = s.render[RS_COLORVERTEX] && hasDiffuse;
        k.diffuseSource = vertexColour && s.render[RS_DIFFUSEMATERIALSOURCE] == MCS_COLOR1;
        k.ambientSource = vertexColour && s.render[RS_AMBIENTMATERIALSOURCE] == MCS_COLOR1;
        k.hasNormal = hasNormal;
    }
    if (s.render[RS_FOGENABLE]) {
        if (s.render[RS_FOGTABLEMODE] == FOG_LINEAR)
            k.fog = 2;
        else if (s.render[RS_FOGVERTEXMODE] == FOG_LINEAR)
            k.fog = 1;
    }
    if (s.render[RS_ALPHATESTENABLE] && s.render[RS_ALPHAFUNC] != CMP_ALWAYS)
        k.alphaFunc = static_cast<uint8_t>(s.render[RS_ALPHAFUNC]);
    for (int i = 0; i < 2; ++i) {
        const auto& st = s.stage[i];
        if (st[TSS_COLOROP] == TOP_DISABLE || st[TSS_COLOROP] > TOP_BLENDCURRENTALPHA) break;
        auto& out = k.stage[i];
        out.colorOp = static_cast<uint8_t>(st[TSS_COLOROP]);
        out.colorArg1 = static_cast<uint8_t>(st[TSS_COLORARG1]);
        out.colorArg2 = static_cast<uint8_t>(st[TSS_COLORARG2]);
        out.alphaOp = static_cast<uint8_t>(st[TSS_ALPHAOP] > TOP_BLENDCURRENTALPHA ? TOP_DISABLE : st[TSS_ALPHAOP]);
        out.alphaArg1 = static_cast<uint8_t>(st[TSS_ALPHAARG1]);
        out.alphaArg2 = static_cast<uint8_t>(st[TSS_ALPHAARG2]);
        uint32_t tci = st[TSS_TEXCOORDINDEX];
        out.coordSource = (tci & 0xFFFF0000u) == TCI_CAMERASPACEPOSITION ? 8 : static_cast<uint8_t>(tci & 7);
        uint32_t ttff = st[TSS_TEXTURETRANSFORMFLAGS];
        out.transform = static_cast<uint8_t>((ttff & 7) | ((ttff & TTFF_PROJECTED) ? 0x80 : 0));
        out.textured = textured[i];
    }
    return k;
}

namespace {
const char* kCompare[] = {"false", "false", "a < r", "a == r", "a <= r", "a > r", "a != r", "a >= r", "true"};

std::string Arg(uint8_t arg, int stage, bool alpha) {
    std::string v;
    switch (arg & TA_SELECTMASK) {
        case TA_DIFFUSE:
            v = "v_diffuse";
            break;
        case TA_CURRENT:
            v = "cur";
            break;
        case TA_TEXTURE:
            v = "tex" + std::to_string(stage);
            break;
        case TA_TFACTOR:
            v = "u_tfactor";
            break;
        case TA_SPECULAR:
            v = "vec4(0.0)";
            break;
        default:
            v = "cur";
            break;
    }
    if (arg & TA_COMPLEMENT) v = "(vec4(1.0) - " + v + ")";
    if ((arg & TA_ALPHAREPLICATE) && !alpha) v = "vec4(" + v + ".a)";
    return v + (alpha ? ".a" : ".rgb");
}

std::string Op(uint8_t op, const std::string& a1, const std::string& a2, int stage, bool alpha) {
    std::string t = "tex" + std::to_string(stage) + ".a";
    switch (op) {
        case TOP_SELECTARG1:
            return a1;
        case TOP_SELECTARG2:
            return a2;
        case TOP_MODULATE:
            return a1 + " * " + a2;
        case TOP_MODULATE2X:
            return "clamp(" + a1 + " * " + a2 + " * 2.0, 0.0, 1.0)";
        case TOP_MODULATE4X:
            return "clamp(" + a1 + " * " + a2 + " * 4.0, 0.0, 1.0)";
        case TOP_ADD:
            return "clamp(" + a1 + " + " + a2 + ", 0.0, 1.0)";
        case TOP_ADDSIGNED:
            return "clamp(" + a1 + " + " + a2 + " - 0.5, 0.0, 1.0)";
        case TOP_ADDSIGNED2X:
            return "clamp((" + a1 + " + " + a2 + " - 0.5) * 2.0, 0.0, 1.0)";
        case TOP_SUBTRACT:
            return "clamp(" + a1 + " - " + a2 + ", 0.0, 1.0)";
        case TOP_ADDSMOOTH:
            return "clamp(" + a1 + " + " + a2 + " - " + a1 + " * " + a2 + ", 0.0, 1.0)";
        case TOP_BLENDDIFFUSEALPHA:
            return "mix(" + a2 + ", " + a1 + ", v_diffuse.a)";
        case TOP_BLENDTEXTUREALPHA:
            return "mix(" + a2 + ", " + a1 + ", " + t + ")";
        case TOP_BLENDFACTORALPHA:
            return "mix(" + a2 + ", " + a1 + ", u_tfactor.a)";
        case TOP_BLENDCURRENTALPHA:
            return "mix(" + a2 + ", " + a1 + ", cur.a)";
        default:
            return alpha ? "cur.a" : "cur.rgb";
    }
}
}  // namespace

std::string FixedFunctionVertexSource(const GlFixedFunctionKey& k) {
    std::string s = "#version 330 core\n";
    s += "layout(location = 0) in vec4 a_position;\n"
         "layout(location = 1) in vec3 a_normal;\n"
         "layout(location = 2) in vec4 a_diffuse;\n";
    for (int i = 0; i < 8; ++i)
        s += "layout(location = " + std::to_string(4 + i) + ") in vec4 a_tex" + std::to_string(i) + ";\n";
    s += "uniform mat4 u_worldView;\nuniform mat4 u_projection;\nuniform vec4 u_viewport;\n"
         "uniform mat4 u_texMatrix[2];\n"
         "uniform vec4 u_matDiffuse, u_matAmbient, u_matEmissive, u_ambient;\n"
         "uniform vec4 u_lightDiffuse, u_lightAmbient;\nuniform vec3 u_lightDirView;\nuniform int u_lightOn;\n"
         "uniform vec2 u_fogRange;\n"
         "out vec4 v_diffuse;\nout vec3 v_uv0;\nout vec3 v_uv1;\nout float v_eyeDepth;\nout float v_fog;\n"
         "void main() {\n";
    if (k.pretransformed) {
        s += "  float w = a_position.w != 0.0 ? 1.0 / a_position.w : 1.0;\n"
             "  vec2 ndc = (a_position.xy + 0.5 - u_viewport.xy) / u_viewport.zw * 2.0 - 1.0;\n"
             "  gl_Position = vec4(ndc * w, (a_position.z * 2.0 - 1.0) * w, w);\n"
             "  vec4 eye = vec4(a_position.xy, w, 1.0);\n"
             "  v_eyeDepth = w;\n";
    } else {
        s += "  vec4 eye = u_worldView * vec4(a_position.xyz, 1.0);\n"
             "  vec4 clip = u_projection * eye;\n"
             "  gl_Position = vec4(clip.x, -clip.y, clip.z * 2.0 - clip.w, clip.w);\n"
             "  v_eyeDepth = eye.z;\n";
    }
    s += std::string("  vec4 diffuse = ") + (k.hasDiffuse ? "a_diffuse" : "vec4(1.0)") + ";\n";
    if (k.lighting) {
        s += std::string("  vec4 md = ") + (k.diffuseSource ? "diffuse" : "u_matDiffuse") + ";\n";
        s += std::string("  vec4 ma = ") + (k.ambientSource ? "diffuse" : "u_matAmbient") + ";\n";
        s += "  vec3 lit = u_matEmissive.rgb + u_ambient.rgb * ma.rgb;\n";
        if (k.hasNormal) {
            s += "  vec3 n = mat3(u_worldView) * a_normal;\n";
            if (k.normalize) s += "  n = normalize(n);\n";
            s += "  if (u_lightOn != 0) lit += u_lightAmbient.rgb * ma.rgb + "
                 "u_lightDiffuse.rgb * md.rgb * max(dot(n, -u_lightDirView), 0.0);\n";
        } else {
            s += "  if (u_lightOn != 0) lit += u_lightAmbient.rgb * ma.rgb;\n";
        }
        s += "  diffuse = vec4(clamp(lit, 0.0, 1.0), md.a);\n";
    }
    s += "  v_diffuse = diffuse;\n";
    for (int i = 0; i < 2; ++i) {
        const auto& st = k.stage[i];
        std::string out = "v_uv" + std::to_string(i);
        if (!st.colorOp) {
            s += "  " + out + " = vec3(0.0, 0.0, 1.0);\n";
            continue;
        }
        std::string coord = st.coordSource == 8 ? "vec4(eye.xyz, 1.0)"
                            : st.coordSource < k.texSets
                                ? "vec4(a_tex" + std::to_string(st.coordSource) + ".xy, 1.0, 0.0)"
                                : "vec4(0.0, 0.0, 1.0, 0.0)";
        int count = st.transform & 7;
        if (count == 0) {
            s += "  " + out + " = vec3(" + coord + ".xy, 1.0);\n";
        } else {
            s += "  { vec4 t = u_texMatrix[" + std::to_string(i) + "] * " + coord + ";\n";
            if (st.transform & 0x80) {
                std::string q = count >= 4 ? "t.w" : count == 3 ? "t.z" : "t.y";
                s += "    " + out + " = vec3(t.xy, " + q + "); }\n";
            } else {
                s += "    " + out + " = vec3(t.xy, 1.0); }\n";
            }
        }
    }
    if (k.fog == 1)
        s += "  v_fog = clamp((u_fogRange.y - abs(v_eyeDepth)) / (u_fogRange.y - u_fogRange.x), 0.0, 1.0);\n";
    else
        s += "  v_fog = 1.0;\n";
    s += "}\n";
    return s;
}

std::string FixedFunctionFragmentSource(const GlFixedFunctionKey& k) {
    std::string s =
        "#version 330 core\n"
        "in vec4 v_diffuse;\nin vec3 v_uv0;\nin vec3 v_uv1;\nin float v_eyeDepth;\nin float v_fog;\n"
        "uniform sampler2D u_tex0;\nuniform sampler2D u_tex1;\n"
        "uniform vec4 u_tfactor;\nuniform vec4 u_fogColor;\nuniform vec2 u_fogRange;\n"
        "uniform float u_alphaRef;\n"
        "out vec4 o_color;\n"
        "void main() {\n"
        "  vec4 cur = v_diffuse;\n";
    for (int i = 0; i < 2; ++i) {
        const auto& st = k.stage[i];
        if (!st.colorOp) break;
        std::string n = std::to_string(i);
        // An unbound texture reads as opaque white.
        std::string uv = "v_uv" + n;
        std::string read = "texture(u_tex" + n + ", " + uv + ".xy / (" + uv + ".z != 0.0 ? " + uv + ".z : 1.0))";
        s += "  vec4 tex" + n + " = " + (st.textured ? read : "vec4(1.0)") + ";\n";
        s += "  {\n    vec3 c = " + Op(st.colorOp, Arg(st.colorArg1, i, false), Arg(st.colorArg2, i, false), i, false) +
             ";\n";
        if (st.alphaOp && st.alphaOp != TOP_DISABLE)
            s += "    float a = " + Op(st.alphaOp, Arg(st.alphaArg1, i, true), Arg(st.alphaArg2, i, true), i, true) +
                 ";\n";
        else
            s += "    float a = cur.a;\n";
        s += "    cur = vec4(c, a);\n  }\n";
    }
    if (k.alphaFunc) {
        s += "  { float a = floor(cur.a * 255.0 + 0.5); float r = u_alphaRef;\n";
        s += std::string("    if (!(") + kCompare[k.alphaFunc < 9 ? k.alphaFunc : 8] + ")) discard; }\n";
    }
    if (k.fog == 1) s += "  cur.rgb = mix(u_fogColor.rgb, cur.rgb, v_fog);\n";
    if (k.fog == 2)
        s += "  cur.rgb = mix(u_fogColor.rgb, cur.rgb, clamp((u_fogRange.y - abs(v_eyeDepth)) / "
             "(u_fogRange.y - u_fogRange.x), 0.0, 1.0));\n";
    s += "  o_color = cur;\n}\n";
    return s;
}

}  // namespace platform
