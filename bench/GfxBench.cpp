// 10,000 textured, alpha-blended quads a frame, with a state change (the
// texture) every 100 quads: once through the render device, once written in
// plain GL, on the same headless GL. Prints both frame rates and their ratio.
// Target: the device reaches at least 0.7 of plain GL.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"

#include <cstdio>
#include <vector>

#include "platform/GfxGlDevice.h"
#include "platform/TextureLoader.h"
#include "tools/DdsWriter.h"

using namespace platform;

namespace {

constexpr uint32_t kWidth = 1024, kHeight = 768;
constexpr int kQuads = 10000, kBatch = 100;
constexpr float kQuadSize = 16.0f;

struct Vertex {
    float x, y, z, rhw;
    uint32_t colour;
    float u, v;
};

// The same quads for both paths: two triangles each, in screen pixels.
std::vector<Vertex> MakeQuads() {
    std::vector<Vertex> v;
    v.reserve(kQuads * 6);
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 214013u + 2531011u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int i = 0; i < kQuads; ++i) {
        float x = static_cast<float>(next() % (kWidth - 16)), y = static_cast<float>(next() % (kHeight - 16));
        uint32_t c = 0x80000000u | (next() & 0xFFFF) << 8 | 0xFF;
        Vertex a{x, y, 0.5f, 1, c, 0, 0}, b{x + kQuadSize, y, 0.5f, 1, c, 1, 0};
        Vertex d{x, y + kQuadSize, 0.5f, 1, c, 0, 1}, e{x + kQuadSize, y + kQuadSize, 0.5f, 1, c, 1, 1};
        v.insert(v.end(), {a, b, d, d, b, e});
    }
    return v;
}

double g_deviceSeconds = 0, g_plainSeconds = 0;

void BM_DeviceQuads(benchmark::State& state) {
    GfxPresentParameters p;
    p.backBufferWidth = kWidth;
    p.backBufferHeight = kHeight;
    auto device = CGfxGlDevice::CreateHeadless(p);
    if (!device) {
        state.SkipWithError("no headless GL");
        return;
    }
    CGfxTexture* textures[2] = {};
    for (int i = 0; i < 2; ++i) {
        std::vector<uint8_t> dds = CDdsWriter::Solid(FMT_A8R8G8B8, 64, 64, i ? 0xC0FF8040u : 0xC040FF80u);
        CreateTextureFromFileInMemoryEx(device.get(), dds.data(), dds.size(), 64, 64, 1, 0, FMT_A8R8G8B8, POOL_MANAGED,
                                        0, 0, 0, nullptr, &textures[i]);
    }
    std::vector<Vertex> quads = MakeQuads();
    device->SetRenderState(RS_LIGHTING, 0);
    device->SetRenderState(RS_ZENABLE, 0);
    device->SetRenderState(RS_CULLMODE, CULL_NONE);
    device->SetRenderState(RS_ALPHABLENDENABLE, 1);
    device->SetRenderState(RS_SRCBLEND, BLEND_SRCALPHA);
    device->SetRenderState(RS_DESTBLEND, BLEND_INVSRCALPHA);
    device->SetTextureStageState(0, TSS_ALPHAOP, TOP_MODULATE);
    device->SetTextureStageState(0, TSS_ALPHAARG2, TA_DIFFUSE);
    device->SetTextureStageState(0, TSS_COLORARG2, TA_DIFFUSE);
    device->SetFVF(FVF_XYZRHW | FVF_DIFFUSE | FVF_TEX1);
    for (auto _ : state) {
        device->Clear(0, nullptr, CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        device->BeginScene();
        for (int b = 0; b < kQuads / kBatch; ++b) {
            device->SetTexture(0, textures[b & 1]);
            device->DrawPrimitiveUP(PT_TRIANGLELIST, kBatch * 2, &quads[static_cast<size_t>(b) * kBatch * 6],
                                    sizeof(Vertex));
        }
        device->EndScene();
        device->Present();
        glFinish();
    }
    device->SetTexture(0, nullptr);
    GfxRelease(textures[0]);
    GfxRelease(textures[1]);
}

GLuint Shader(GLenum type, const char* source) {
    GLuint s = glCreateShader(type);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    return s;
}

void BM_PlainGlQuads(benchmark::State& state) {
    auto context = CreateHeadlessGlContext();
    if (!context) {
        state.SkipWithError("no headless GL");
        return;
    }
    GLuint fbo, colour, vao, vbo, textures[2];
    glGenFramebuffers(1, &fbo);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kWidth, kHeight);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &vbo);
    glGenTextures(2, textures);
    for (int i = 0; i < 2; ++i) {
        std::vector<uint32_t> px(64 * 64, i ? 0xC0FF8040u : 0xC040FF80u);
        glBindTexture(GL_TEXTURE_2D, textures[i]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 64, 64, 0, GL_BGRA, GL_UNSIGNED_BYTE, px.data());
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, Shader(GL_VERTEX_SHADER,
                                   "#version 330 core\n"
                                   "layout(location = 0) in vec4 p; layout(location = 2) in vec4 c;"
                                   "layout(location = 4) in vec2 t; uniform vec2 size; out vec4 vc; out vec2 vt;"
                                   "void main() { vc = c; vt = t;"
                                   " gl_Position = vec4((p.xy + 0.5) / size * 2.0 - 1.0, 0.0, 1.0); }"));
    glAttachShader(program, Shader(GL_FRAGMENT_SHADER,
                                   "#version 330 core\n"
                                   "in vec4 vc; in vec2 vt; uniform sampler2D tex; out vec4 o;"
                                   "void main() { vec4 t = texture(tex, vt); o = vec4(t.rgb, t.a * vc.a); }"));
    glLinkProgram(program);
    glUseProgram(program);
    glUniform2f(glGetUniformLocation(program, "size"), kWidth, kHeight);
    glUniform1i(glGetUniformLocation(program, "tex"), 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glViewport(0, 0, kWidth, kHeight);
    std::vector<Vertex> quads = MakeQuads();
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(2);
    glEnableVertexAttribArray(4);
    const GLsizeiptr batchBytes = kBatch * 6 * sizeof(Vertex);
    for (auto _ : state) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        for (int b = 0; b < kQuads / kBatch; ++b) {
            glBindTexture(GL_TEXTURE_2D, textures[b & 1]);
            glBufferData(GL_ARRAY_BUFFER, batchBytes, &quads[static_cast<size_t>(b) * kBatch * 6], GL_STREAM_DRAW);
            glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex), nullptr);
            glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex), reinterpret_cast<void*>(16));
            glVertexAttribPointer(4, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(20));
            glDrawArrays(GL_TRIANGLES, 0, kBatch * 6);
        }
        glFinish();
    }
    glDeleteProgram(program);
    glDeleteTextures(2, textures);
    glDeleteBuffers(1, &vbo);
    glDeleteVertexArrays(1, &vao);
    glDeleteRenderbuffers(1, &colour);
    glDeleteFramebuffers(1, &fbo);
}

// Keeps each run's time per frame for the closing comparison.
class CFrameReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.iterations == 0 || r.error_occurred) continue;
            double seconds = r.real_accumulated_time / static_cast<double>(r.iterations);
            if (r.benchmark_name().find("Device") != std::string::npos) g_deviceSeconds = seconds;
            if (r.benchmark_name().find("PlainGl") != std::string::npos) g_plainSeconds = seconds;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

BENCHMARK(BM_DeviceQuads)->Unit(benchmark::kMillisecond)->MinTime(BenchMinTime(2.0));
BENCHMARK(BM_PlainGlQuads)->Unit(benchmark::kMillisecond)->MinTime(BenchMinTime(2.0));

// The two runs above compared, as a figure of its own (they run first).
void BM_DeviceToPlainGlRatio(benchmark::State& state) {
    for (auto _ : state) {
        state.counters["ratio"] = g_deviceSeconds > 0 ? g_plainSeconds / g_deviceSeconds : 0.0;
    }
}
BENCHMARK(BM_DeviceToPlainGlRatio)->Iterations(1);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    CFrameReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (g_deviceSeconds > 0 && g_plainSeconds > 0) {
        std::printf("device: %.1f frames/s, plain GL: %.1f frames/s, ratio %.2f (target at least 0.70)\n",
                    1.0 / g_deviceSeconds, 1.0 / g_plainSeconds, g_plainSeconds / g_deviceSeconds);
    }
    benchmark::Shutdown();
    return 0;
}
