// Animations (".DRA"): loaded, then sampled across and past their length as
// the game objects sample them.
#include <vector>

#include "engine/render/AnimationResource.h"
#include "tests/fuzz/ModelRig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto* anim = static_cast<CAnimationResource*>(fuzz::LoadModelInput("FUZZ.DRA", RES_ANIMATION, data, size));
    if (!anim) return 0;
    std::vector<platform::Matrix> out(anim->TrackCount() + 1);
    for (float t : {-1.0f, 0.0f, 0.25f, anim->Length() * 0.5f, anim->Length(), anim->Length() * 3 + 0.1f, 1e30f}) {
        anim->GetTrackMatrix(out.data(), t, 0);
        anim->GetTrackMatrix(out.data(), t, 1);
    }
    for (int slot = -1; slot <= CAnimationResource::BONE_SLOT_COUNT; ++slot) (void)anim->BoneSlotTrack(slot);
    fuzz::Models().Manager().ReleaseResource(anim);
    return 0;
}
