// Fixed-function lights: the light stack of the renderer as device lights.
#include "engine/render/d3d9/D3D9Renderer.h"
#include "engine/scene/Light.h"

namespace zav {

namespace {

D3DCOLORVALUE ColorValue(const Color& color) { return {color.r, color.g, color.b, color.a}; }

D3DLIGHT9 DeviceLight(const LightDescription& light) {
    D3DLIGHT9 device = {};
    switch (light.type) {
        case LightDescription::kPoint: device.Type = D3DLIGHT_POINT; break;
        case LightDescription::kSpot: device.Type = D3DLIGHT_SPOT; break;
        default: device.Type = D3DLIGHT_DIRECTIONAL; break;
    }
    device.Diffuse = ColorValue(light.diffuse);
    device.Specular = ColorValue(light.specular);
    device.Ambient = ColorValue(light.ambient);
    device.Position = {light.position.x, light.position.y, light.position.z};
    device.Direction = {light.direction.x, light.direction.y, light.direction.z};
    device.Range = light.range;
    device.Falloff = light.falloff;
    device.Attenuation0 = light.attenuation[0];
    device.Attenuation1 = light.attenuation[1];
    device.Attenuation2 = light.attenuation[2];
    device.Theta = light.innerCone;
    device.Phi = light.outerCone;
    return device;
}

}  // namespace

void D3D9Renderer::EnableLight(Light* light) {
    const int index = GetLightCount() - 1;
    if (!device_ || index < 0) return;
    const auto number = static_cast<DWORD>(index);
    lightsToSwitchOff_ &= ~(1u << (index < 31 ? index : 31));
    if (index == 0) lightingToSwitchOff_ = false;
    // The pass draws lit from its first light on, even when that light
    // describes nothing: it then gets no light, only the ambient.
    if (index == 0) SetLighting(true);
    LightDescription description;
    if (!light || !light->Describe(description)) {
        device_->LightEnable(number, FALSE);
        return;
    }
    // A light the device has no room for stays off.
    if (caps_.maxLights > 0 && index >= caps_.maxLights) return;
    const D3DLIGHT9 deviceLight = DeviceLight(description);
    device_->SetLight(number, &deviceLight);
    device_->LightEnable(number, TRUE);
}

// The light goes off before the next draw, unless the next pass switches it
// on again: consecutive lit passes keep lighting on instead of turning it
// off and on between their draws.
void D3D9Renderer::DisableLight() {
    if (!device_) return;
    const int number = GetLightCount();
    lightsToSwitchOff_ |= 1u << (number < 31 ? number : 31);
    if (number == 0) lightingToSwitchOff_ = true;
}

void D3D9Renderer::SwitchOffPendingLights() {
    if (!device_ || recording_) return;
    for (DWORD number = 0; lightsToSwitchOff_; ++number, lightsToSwitchOff_ >>= 1)
        if (lightsToSwitchOff_ & 1) device_->LightEnable(number, FALSE);
    if (lightingToSwitchOff_) SetLighting(false);
    lightingToSwitchOff_ = false;
}

}  // namespace zav
