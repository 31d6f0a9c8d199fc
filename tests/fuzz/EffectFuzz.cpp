// Compiled effects ("QFX1"): parsed, made on the recording device, then every
// technique and pass run with every parameter set as the renderer sets them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/GfxEffect.h"
#include "platform/GfxRecordingDevice.h"

using namespace platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GfxEffectDescription description;
    if (ParseEffect(data, size, &description) != GFX_OK) return 0;
    static CGfxRecordingDevice device;
    CGfxEffect* effect = nullptr;
    if (CreateEffect(&device, data, size, &effect) != GFX_OK || !effect) return 0;
    const std::vector<Matrix> matrices(4);
    const std::vector<Vec4> vectors(4);
    const float floats[4] = {1, 2, 3, 4};
    for (const GfxEffectParameter& p : description.parameters) {
        effect->SetFloat(p.name, 1);
        effect->SetBool(p.name, true);
        effect->SetInt(p.name, 2);
        effect->SetVector(p.name, vectors[0]);
        effect->SetMatrix(p.name, matrices[0]);
        effect->SetFloatArray(p.name, floats, 4);
        effect->SetVectorArray(p.name, vectors.data(), 4);
        effect->SetMatrixArray(p.name, matrices.data(), 4);
        effect->SetTexture(p.name, nullptr);
    }
    for (const GfxEffectTechnique& t : description.techniques) {
        if (effect->SetTechnique(t.name) != GFX_OK) continue;
        uint32_t passes = 0;
        if (effect->Begin(&passes, 0) != GFX_OK) continue;
        for (uint32_t i = 0; i < passes && i < 16; ++i) {
            if (effect->BeginPass(i) != GFX_OK) continue;
            effect->CommitChanges();
            effect->EndPass();
        }
        effect->End();
    }
    effect->Release();
    return 0;
}
