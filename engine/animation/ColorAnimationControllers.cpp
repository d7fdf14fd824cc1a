#include "engine/animation/ColorAnimationControllers.h"

#include "engine/core/ClassRegistration.h"
#include "engine/render/effects/ColorEffect.h"
#include "engine/scene/Flare.h"
#include "engine/scene/Light.h"

namespace zav {

ZAV_REGISTER_CLASS(ColorAnimationController);
ZAV_REGISTER_CLASS(DiffuseLightAnimationController);
ZAV_REGISTER_CLASS(AmbientLightAnimationController);
ZAV_REGISTER_CLASS(SpecularLightAnimationController);
ZAV_REGISTER_CLASS(FlareColorController);
ZAV_REGISTER_CLASS(FlareSizeController);

void ColorAnimationController::Play(double time) {
    PlayOn<ColorEffect>(time, [this](ColorEffect& effect) { effect.SetColor(BlendColor(effect.GetColor())); });
}

void DiffuseLightAnimationController::Play(double time) {
    PlayOn<Light>(time, [this](Light& light) { light.diffuse = BlendColor(light.diffuse); });
}

void AmbientLightAnimationController::Play(double time) {
    PlayOn<Light>(time, [this](Light& light) { light.ambient = BlendColor(light.ambient); });
}

void SpecularLightAnimationController::Play(double time) {
    PlayOn<Light>(time, [this](Light& light) { light.specular = BlendColor(light.specular); });
}

void FlareColorController::Play(double time) {
    PlayOn<Flare>(time, [this](Flare& flare) { flare.SetColor(BlendColor(flare.GetColor())); });
}

void FlareSizeController::Play(double time) {
    PlayOn<Flare>(time, [this](Flare& flare) { flare.SetSize(BlendFloat(flare.GetSize())); });
}

}  // namespace zav
