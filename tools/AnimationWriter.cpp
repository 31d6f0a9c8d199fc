#include "tools/AnimationWriter.h"

#include "tools/FormatWriter.h"

std::vector<uint8_t> WriteAnimationFile(const AnimationFile& file) {
    CFormatWriter w;
    w.Float(file.version);
    w.U32(file.keyCount);
    w.U32(file.reserved);
    w.Float(file.length);
    w.U32(static_cast<uint32_t>(file.tracks.size()));
    w.U32(file.extraCount);
    for (const AnimationTrack& t : file.tracks) {
        w.String(t.name);
        w.I32(t.parent);
        w.Matrix(t.baseMatrix);
        w.U32(t.mode);
        w.U32(t.reserved);
        for (const AnimationKey& k : t.keys) {
            w.Vec3(k.translation);
            w.Float(k.rotation.x);
            w.Float(k.rotation.y);
            w.Float(k.rotation.z);
            w.Float(k.rotation.w);
            w.Vec3(k.scale);
        }
    }
    return w.Data();
}

AnimationKey MakeAnimationKey(const platform::Vec3& translation, float yaw, float scale) {
    AnimationKey k;
    k.translation = translation;
    k.rotation = platform::QuaternionRotationAxis(platform::Vec3(0, 1, 0), yaw);
    k.scale = platform::Vec3(scale, scale, scale);
    return k;
}
