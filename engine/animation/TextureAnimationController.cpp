#include "engine/animation/TextureAnimationController.h"

#include "engine/core/ClassRegistration.h"
#include "engine/render/effects/TextureEffect.h"

namespace zav {

ZAV_REGISTER_CLASS(TextureAnimationController);

void TextureAnimationController::Play(double time) {
    PlayOn<TextureEffect>(time, [this](TextureEffect& effect) {
        const Ref<BaseTexture> initial(effect.GetTexture());
        for (int32_t i = 0; i < GetStageCount(); ++i) {
            const BlendStage& stage = GetStage(i);
            if (!stage.Plays(KeyframeKind::kTexture)) continue;
            BaseTexture* texture = stage.KeyAt<TextureKeyframe>().texture.Get();
            if (texture != initial.Get()) effect.SetTexture(texture);
        }
    });
}

}  // namespace zav
