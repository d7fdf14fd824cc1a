// Fixed-function lights on the device: surfaces lit by N·L, each light kind
// switched on and off.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/scene/Light.h"
#include "tests/win/DeviceFixture.h"

namespace zav {
namespace {

using test::FixedFunctionTestEffect;
using test::PixelNear;

class DeviceLights : public test::DeviceFixture {
protected:
    // A white, fully diffuse square facing the camera, lit by `lights`.
    Ref<GeometryNode> LitSquare(FixedFunctionTestEffect* effect, float half = 0.5f) {
        effect->diffuse = {1, 1, 1, 1};
        effect->ambient = {0, 0, 0, 1};
        Ref<GeometryNode> square = Square(effect, 4.0f, half);
        SetNormals(*square, {0, 0, -1});
        return square;
    }
    static Ref<Light> MakeLight(int32_t kind, const Color& diffuse) {
        Ref<Light> light(new Light(kind, "light"));
        light->diffuse = diffuse;
        light->ambient = {0, 0, 0, 1};
        return light;
    }
};

TEST_F(DeviceLights, DirectionalAndPointLightsLightBySurfaceNormalDotLight) {
    // A directional light turned 60 degrees away from the normal gives half.
    Ref<FixedFunctionTestEffect> effect(new FixedFunctionTestEffect("lit"));
    Ref<Light> sun = MakeLight(Light::kDirectional, {1, 1, 1, 1});
    const float angle = 3.14159265f / 3;
    sun->SetLocalTransform(MakeTransform({1, 1, 1}, {0, std::sin(angle / 2), 0, std::cos(angle / 2)}, {}));
    sun->UpdateSubtree(0.0, true);
    effect->lights = {sun.Get()};
    Ref<GeometryNode> square = LitSquare(effect.Get());
    Ref<Image> frame = Frame({square.Get()});
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), {128, 128, 128}, 3));

    // A point light beside the camera: at the square's centre the light
    // comes in at cos = 4 / 5 of the normal.
    Ref<FixedFunctionTestEffect> pointEffect(new FixedFunctionTestEffect("point lit"));
    Ref<Light> lamp = MakeLight(Light::kPoint, {1, 1, 1, 1});
    lamp->SetLocalTransform(MakeTransform({1, 1, 1}, {}, {3, 0, 0}));
    lamp->UpdateSubtree(0.0, true);
    pointEffect->lights = {lamp.Get()};
    Ref<GeometryNode> small = LitSquare(pointEffect.Get(), 0.05f);
    frame = Frame({small.Get()});
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), {204, 204, 204}, 4));
}

TEST_F(DeviceLights, EveryLightKindSwitchesOnAndOff) {
    const struct {
        int32_t kind;
        Vector3 position;
    } kinds[] = {{Light::kWorldDirectional, {}}, {Light::kDirectional, {}}, {Light::kPoint, {0, 0, 0}},
                 {Light::kSpot, {0, 0, 0}}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.kind);
        Ref<Light> light = MakeLight(kind.kind, {0, 1, 0, 1});
        light->spotAngle = 0.4f;
        light->SetLocalTransform(MakeTransform({1, 1, 1}, {}, kind.position));
        light->UpdateSubtree(0.0, true);
        Ref<FixedFunctionTestEffect> litEffect(new FixedFunctionTestEffect("lit"));
        litEffect->lights = {light.Get()};
        Ref<GeometryNode> lit = LitSquare(litEffect.Get());
        Ref<Image> frame = Frame({lit.Get()});
        // (A point or spot light at the camera meets the corners slightly aslant.)
        EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), {0, 255, 0}, 6));
        // The pass's light is off after its draw, and lighting with it: an
        // unlit square shows its own white.
        BOOL enabled = TRUE;
        device->GetLightEnable(0, &enabled);
        EXPECT_FALSE(enabled);
        DWORD lighting = TRUE;
        device->GetRenderState(D3DRS_LIGHTING, &lighting);
        EXPECT_EQ(lighting, static_cast<DWORD>(FALSE));
        Ref<FixedFunctionTestEffect> plainEffect(new FixedFunctionTestEffect("unlit"));
        Ref<GeometryNode> unlit = LitSquare(plainEffect.Get());
        SetColors(*unlit, {1, 1, 1, 1});
        frame = Frame({lit.Get(), unlit.Get()});
        EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), {255, 255, 255}, 0));
        EXPECT_EQ(renderer->GetLightCount(), 0);
    }

    // Light kinds outside 0-3 describe no light: the surface is lit by none.
    Ref<Light> odd = MakeLight(7, {1, 0, 0, 1});
    Ref<FixedFunctionTestEffect> effect(new FixedFunctionTestEffect("odd"));
    effect->lights = {odd.Get()};
    Ref<GeometryNode> square = LitSquare(effect.Get());
    Ref<Image> frame = Frame({square.Get()});
    EXPECT_TRUE(PixelNear(Pixel(*frame, 32, 32), {0, 0, 0}, 0));
}

}  // namespace
}  // namespace zav
