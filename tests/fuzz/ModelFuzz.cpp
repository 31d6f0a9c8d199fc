// Models (".DRC"): loaded with what they name, then made into a game object
// that runs every action for a while and draws.
#include <memory>

#include "engine/effects/EffectManager.h"
#include "engine/effects/RibbonManager.h"
#include "engine/render/GameObject.h"
#include "engine/render/ModelResource.h"
#include "tests/fuzz/ModelRig.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CEffectManager effects;
    static CRibbonManager ribbons;
    auto* model = static_cast<CModelResource*>(fuzz::LoadModelInput("FUZZ.DRC", RES_MODEL, data, size));
    if (!model) return 0;
    model->AddRef();  // the object's own reference, dropped with it
    {
        CGameObject object;
        object.Init(0, platform::Vec3(), nullptr, model, 0, 0, 1.0f);
        object.flags |= SO_VISIBLE;
        for (size_t a = 0; a < model->Actions().size() && a < 8; ++a) {
            object.SetAction(model->GetAction(static_cast<int32_t>(a)), 1, 0);
            for (int frame = 0; frame < 4; ++frame) {
                object.Update(0.3f);
                object.Render();
            }
        }
        object.Update(0.1f);
        object.Render();
    }
    fuzz::Models().Manager().ReleaseResource(model);
    return 0;
}
