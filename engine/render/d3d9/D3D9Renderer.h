#pragma once

#include <d3d9.h>

#include <cstdint>

#include "engine/core/String.h"
#include "engine/render/Renderer.h"

namespace zav {

// What the device can do, as the effects ask for it.
struct D3D9Caps {
    String adapterDescription;
    String driverName;
    int32_t maxTextures = 0;
    int32_t maxLights = 0;
    bool volumeTextures = false;
    bool cubeTextures = false;
    bool projectedTextures = false;
    int32_t vertexShaderLevel = 4;
    int32_t pixelShaderLevel = 4;
    bool pointSprites = false;
    bool occlusionQueries = false;
    bool hardwareShadowMaps = false;
    bool halfFloatTargets = false;
};

// The Direct3D 9 back end: device modes, the device on the renderer's window,
// and the frame calls.
class D3D9Renderer : public Renderer {
public:
    D3D9Renderer();
    ~D3D9Renderer() override;

    bool HasDirect3D() const { return d3d_ != nullptr; }

    int CreateDevice(int32_t modeIndex, const String& windowName, void* windowData, int32_t x, int32_t y,
                     int32_t width, int32_t height) override;
    int ReleaseDevice() override;
    void Clear(int32_t flags, const Color& color, float depth, uint32_t stencil) override;
    int BeginFrame() override;
    int EndFrame() override;
    void SetBrightness(int level) override;
    bool IsDeviceLost() const override { return deviceLost_; }
    void ReleaseDeviceObject(Buffer* buffer) override;
    void DrawCurrent() override;
    void DrawPrimitives(int primitiveCount) override;
    void EnableLight(Light* light) override;
    void DisableLight() override;
    int GetViewportWidth() const override;
    int GetViewportHeight() const override;
    bool SupportsPointSprites() const override { return caps_.pointSprites; }

    const D3D9Caps& GetCaps() const { return caps_; }
    IDirect3DDevice9* GetDevice() const { return device_; }
    D3DFORMAT GetDepthFormat() const { return present_.AutoDepthStencilFormat; }
    const Color& GetClearColor() const { return clearColor_; }

private:
    void ReadCaps(D3DFORMAT displayFormat);
    // Logs the mode and the capabilities; switches lighting off on the way.
    void LogCaps();
    // Releases every device object the renderer made; they are created again
    // at their next use.
    void ReleaseAll();
    void SetLighting(bool on);

    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    // The device's parameters as created: back buffer size and depth format.
    D3DPRESENT_PARAMETERS present_ = {};
    D3D9Caps caps_;
    Color clearColor_;
    DisplayMode mode_;
    bool deviceLost_ = false;
    bool inScene_ = false;
};

}  // namespace zav
