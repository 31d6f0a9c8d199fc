#include "engine/effects/EffectInstance.h"

using namespace platform;

void CEffectInstance::Init(const Vec3& pos, CResource* res, const Matrix* parentMatrix, int32_t bone,
                           const Matrix& offsetMatrix, uint32_t drawGroup, int keepOffset) {
    resource = res;
    group = drawGroup;
    boneIndex = bone;
    offset = offsetMatrix;
    stopping = 0;
    if (!keepOffset && bone < 0) {
        offset = Matrix::Identity();
        hasOffset = 0;
    } else {
        hasOffset = 1;
    }
    world = Matrix::Identity();
    position = pos;
    parent = parentMatrix ? parentMatrix : &world;
    elapsed = 0;
    draws = 0;
    alive = 1;
}

int CEffectInstance::Update(float dt) {
    elapsed += dt;
    alive = duration > 0 ? (elapsed < duration ? 1 : 0) : (stopping ? 0 : 1);
    return static_cast<int>(alive);
}

void CEffectInstance::Draw() { ++draws; }

void CEffectInstance::Restart() {
    elapsed = 0;
    stopping = 0;
    alive = 1;
}
