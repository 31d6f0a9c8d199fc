#include "tools/EffectFileWriter.h"

#include "tools/FormatWriter.h"

using platform::Vec3;
using platform::Vec4;

namespace {

void Vec4Out(CFormatWriter& w, const Vec4& v) {
    w.Float(v.x);
    w.Float(v.y);
    w.Float(v.z);
    w.Float(v.w);
}

void LayerOut(CFormatWriter& w, const EffectFileLayer& layer) {
    const EffectLayer& l = layer.values;
    w.U32(l.meshFlag);
    if (l.meshFlag) {
        w.String(layer.meshName);
        w.String(layer.animationName);
    } else {
        w.String(layer.textureName);
    }
    for (const Vec3& c : l.corners) w.Vec3(c);
    w.Vec3(l.spawnMin);
    w.Vec3(l.spawnMax);
    w.U32(l.orbitMode);
    if (l.orbitMode == 0) {
        w.Vec3(l.directionMin);
        w.Vec3(l.directionMax);
    } else {
        w.Float(l.orbitRadiusGrowth);
    }
    w.Vec3(l.gravity);
    w.U32(l.localSpace);
    w.U32(l.keepUpright);
    for (const Vec4& c : l.colours) Vec4Out(w, c);
    for (float f : {l.startDelay, l.emissionDuration, l.particleLife, l.emissionInterval, l.speedMin, l.speedMax,
                    l.acceleration})
        w.Float(f);
    w.U32(l.twoSided);
    for (float f : {l.sizeMin, l.sizeMax, l.sizeGrowth, l.sizePeriod}) w.Float(f);
    w.U32(l.sizeLoop);
    for (float f : {l.peakAlpha, l.fadeInRate, l.fadeOutRate, l.fadeInEnd, l.fadeOutStart}) w.Float(f);
    for (uint32_t u : {l.sourceBlend, l.destBlend, l.sheetColumns, l.sheetRows}) w.U32(u);
    w.Float(l.sheetFps);
    w.U32(l.sheetLoop);
    w.U32(l.billboard);
    w.Vec3(l.rotationSpeed);
}

// The values every sample layer shares: a unit quad, white fading out, additive.
EffectLayer CommonValues() {
    EffectLayer l;
    l.corners = {Vec3(-0.5f, 0.5f, 0), Vec3(0.5f, 0.5f, 0), Vec3(-0.5f, -0.5f, 0), Vec3(0.5f, -0.5f, 0)};
    l.colours = {Vec4(1, 1, 1, 1), Vec4(1, 1, 1, 1), Vec4(1, 1, 1, 0), Vec4(1, 1, 1, 0)};
    l.emissionDuration = 0.5f;
    l.particleLife = 1.0f;
    l.emissionInterval = 0.05f;
    l.sizeMin = l.sizeMax = 1.0f;
    l.peakAlpha = 1.0f;
    l.fadeInRate = 4.0f;
    l.fadeOutRate = 2.0f;
    l.fadeInEnd = 0.25f;
    l.fadeOutStart = 0.5f;
    l.sourceBlend = 5;  // source alpha
    l.destBlend = 2;    // one
    l.sheetColumns = l.sheetRows = 1;
    return l;
}

}  // namespace

std::vector<uint8_t> WriteEffectFile(const EffectFile& file) {
    CFormatWriter w;
    w.Float(file.version);
    w.Vec3(file.boundsMin);
    w.Vec3(file.boundsMax);
    w.Float(file.headerA);
    w.U32(file.effectType);
    for (const auto& group : file.options) {
        w.U32(static_cast<uint32_t>(group.size()));
        for (uint32_t word : group) w.U32(word);
    }
    w.U32(static_cast<uint32_t>(file.layers.size()));
    for (const EffectFileLayer& layer : file.layers) LayerOut(w, layer);
    return w.Data();
}

EffectFile MakeEffectFile(std::vector<EffectFileLayer> layers) {
    EffectFile file;
    const size_t words = layers.empty() ? 1 : layers.size();
    for (auto& group : file.options) group.assign(words, 1);
    file.layers = std::move(layers);
    return file;
}

EffectFileLayer BillboardLayer(const std::string& texture) {
    EffectFileLayer layer;
    layer.textureName = texture;
    EffectLayer& l = layer.values = CommonValues();
    l.directionMin = Vec3(-0.3f, 1.0f, -0.3f);
    l.directionMax = Vec3(0.3f, 1.0f, 0.3f);
    l.gravity = Vec3(0, -9.8f, 0);
    l.speedMin = 2.0f;
    l.speedMax = 4.0f;
    l.billboard = 1;
    return layer;
}

EffectFileLayer MeshLayer(const std::string& mesh, const std::string& animation) {
    EffectFileLayer layer;
    layer.meshName = mesh;
    layer.animationName = animation;
    EffectLayer& l = layer.values = CommonValues();
    l.meshFlag = 1;
    l.emissionInterval = 1.0f;
    l.emissionDuration = 0.1f;
    l.twoSided = 1;
    l.rotationSpeed = Vec3(0, 1.5f, 0);
    return layer;
}

EffectFileLayer OrbitLayer(const std::string& texture) {
    EffectFileLayer layer;
    layer.textureName = texture;
    EffectLayer& l = layer.values = CommonValues();
    l.orbitMode = 1;
    l.orbitRadiusGrowth = 0.5f;
    l.spawnMin = Vec3(-2, 0, -2);
    l.spawnMax = Vec3(2, 0.5f, 2);
    l.emissionDuration = 0.0f;  // for ever
    l.localSpace = 1;
    l.speedMin = l.speedMax = 1.0f;
    l.billboard = 1;
    return layer;
}

EffectFileLayer LinearLayer(const std::string& texture) {
    EffectFileLayer layer;
    layer.textureName = texture;
    EffectLayer& l = layer.values = CommonValues();
    l.directionMin = Vec3(-1, 0, -1);
    l.directionMax = Vec3(1, 0.2f, 1);
    l.speedMin = 5.0f;
    l.speedMax = 8.0f;
    l.acceleration = -2.0f;
    l.sizeGrowth = 0.5f;
    l.sizePeriod = 1.0f;
    l.sizeLoop = 1;
    l.sheetColumns = 2;
    l.sheetRows = 2;
    l.sheetFps = 8.0f;
    l.sheetLoop = 1;
    return layer;
}
