#include "engine/render/d3d9/D3D9Renderer.h"

#include <new>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/BuiltinModules.h"
#include "engine/render/GammaRamp.h"
#include "engine/render/d3d9/D3D9Formats.h"
#include "engine/render/d3d9/D3D9ModeList.h"
#include "engine/scene/Buffer.h"

namespace zav {

namespace {

// The SDK version the renderer asks Direct3D for.
constexpr UINT kSdkVersion = 31;

const char* TrueFalse(bool value) { return value ? "true" : "false"; }

DWORD PackChannel(float value) {
    if (!(value > 0.0f)) return 0;  // also NaN
    if (value >= 1.0f) return 255;
    return static_cast<DWORD>(value * 255.0f);
}

D3DCOLOR PackColor(const Color& color) {
    return D3DCOLOR_ARGB(PackChannel(color.a), PackChannel(color.r), PackChannel(color.g), PackChannel(color.b));
}

}  // namespace

int CreateDirectX9Renderer(Renderer** renderer) {
    if (!renderer) return kNotFound;
    *renderer = new (std::nothrow) D3D9Renderer();
    return *renderer ? kOk : kOutOfMemory;
}

D3D9Renderer::D3D9Renderer() {
    d3d_ = Direct3DCreate9(kSdkVersion);
    if (!d3d_) {
        LogError("Невозможно создать экземпляр D3D9.");
        return;
    }
    d3d9::ListDeviceModes(d3d_, &modes_, &defaultMode_);
}

D3D9Renderer::~D3D9Renderer() {
    // CloseWindow releases the device before anything else, whatever it returns.
    if (device_ && CloseWindow() != kOk) LogError("Невозможно закрыть окно рендеринга.");
    if (d3d_) d3d_->Release();
    d3d_ = nullptr;
}

int D3D9Renderer::CreateDevice(int32_t modeIndex, const String&, void*, int32_t, int32_t, int32_t width,
                               int32_t height) {
    if (!d3d_ || !window_ || modeIndex < 0 || static_cast<size_t>(modeIndex) >= modes_.size()) return kFailed;
    if (device_) ReleaseDevice();
    const DisplayMode& mode = modes_[static_cast<size_t>(modeIndex)];

    D3DPRESENT_PARAMETERS present = {};
    present.BackBufferWidth = static_cast<UINT>(mode.fullScreen ? mode.width : width);
    present.BackBufferHeight = static_cast<UINT>(mode.fullScreen ? mode.height : height);
    present.BackBufferFormat = d3d9::BackBufferFormatOf(mode);
    present.BackBufferCount = 1;
    present.MultiSampleType = d3d9::MultisampleTypeOf(mode.samples);
    present.MultiSampleQuality = 0;
    present.SwapEffect = D3DSWAPEFFECT_DISCARD;
    present.hDeviceWindow = static_cast<HWND>(window_);
    present.Windowed = mode.fullScreen ? FALSE : TRUE;
    present.EnableAutoDepthStencil = TRUE;
    present.AutoDepthStencilFormat = d3d9::DepthFormatOf(mode.depthBits, mode.stencilBits);
    present.Flags = 0;
    present.FullScreen_RefreshRateInHz = D3DPRESENT_RATE_DEFAULT;
    present.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;

    HWND window = static_cast<HWND>(window_);
    D3DPRESENT_PARAMETERS tried = present;  // CreateDevice may rewrite them
    if (SUCCEEDED(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                     D3DCREATE_HARDWARE_VERTEXPROCESSING, &tried, &device_))) {
        LogInfo("Created HARDWARE VERTEXPROCESSING");
    } else {
        device_ = nullptr;
        tried = present;
        if (FAILED(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                      D3DCREATE_SOFTWARE_VERTEXPROCESSING, &tried, &device_))) {
            device_ = nullptr;
            return kFailed;
        }
        LogInfo("Created SOFTWARE VERTEXPROCESSING");
    }
    present_ = tried;
    mode_ = mode;
    deviceLost_ = false;
    inScene_ = false;

    D3DFORMAT displayFormat = d3d9::DisplayFormatOf(mode);
    if (!mode.fullScreen) {
        D3DDISPLAYMODE desktop = {};
        if (SUCCEEDED(d3d_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop))) displayFormat = desktop.Format;
    }
    ReadCaps(displayFormat);
    LogCaps();
    return kOk;
}

void D3D9Renderer::ReadCaps(D3DFORMAT displayFormat) {
    caps_ = D3D9Caps();
    D3DADAPTER_IDENTIFIER9 identifier = {};
    if (SUCCEEDED(d3d_->GetAdapterIdentifier(D3DADAPTER_DEFAULT, 0, &identifier))) {
        identifier.Description[sizeof identifier.Description - 1] = '\0';
        identifier.Driver[sizeof identifier.Driver - 1] = '\0';
        caps_.adapterDescription = identifier.Description;
        caps_.driverName = identifier.Driver;
    }
    D3DCAPS9 caps = {};
    if (SUCCEEDED(device_->GetDeviceCaps(&caps))) {
        caps_.maxTextures = static_cast<int32_t>(caps.MaxSimultaneousTextures);
        caps_.maxLights = static_cast<int32_t>(caps.MaxActiveLights);
        caps_.volumeTextures = (caps.TextureCaps & D3DPTEXTURECAPS_VOLUMEMAP) != 0;
        caps_.cubeTextures = (caps.TextureCaps & D3DPTEXTURECAPS_CUBEMAP) != 0;
        caps_.projectedTextures = (caps.TextureCaps & D3DPTEXTURECAPS_PROJECTED) != 0;
        d3d9::ShaderLevels levels = d3d9::ShaderLevelsOf(caps.VertexShaderVersion, caps.PixelShaderVersion);
        caps_.vertexShaderLevel = levels.vertex;
        caps_.pixelShaderLevel = levels.pixel;
        caps_.pointSprites = caps.MaxPointSize > 1.0f;
    }
    IDirect3DQuery9* query = nullptr;
    caps_.occlusionQueries = SUCCEEDED(device_->CreateQuery(D3DQUERYTYPE_OCCLUSION, &query)) && query;
    if (query) query->Release();
    caps_.hardwareShadowMaps = SUCCEEDED(d3d_->CheckDeviceFormat(
        D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, displayFormat, D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_TEXTURE,
        present_.AutoDepthStencilFormat));
    caps_.halfFloatTargets = SUCCEEDED(d3d_->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, displayFormat,
                                                               D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE,
                                                               D3DFMT_A16B16G16R16F));
}

void D3D9Renderer::LogCaps() {
    LogInfo("COLOR BPP %d", mode_.colorBits);
    LogInfo("Alpha BPP %d", mode_.alphaBits);
    LogInfo("Depth BPP %d", mode_.depthBits);
    LogInfo("Stencil BPP %d", mode_.stencilBits);
    LogInfo("Samples %d", mode_.samples);
    LogInfo("Vendor [%s]", caps_.adapterDescription.CStr());
    LogInfo("Driver [%s]", caps_.driverName.CStr());
    LogInfo("Simultaneous Textures [%d]", caps_.maxTextures);
    LogInfo("Max Active Lights [%d]", caps_.maxLights);
    LogInfo("Volume Textures [%s]", TrueFalse(caps_.volumeTextures));
    LogInfo("Cube Textures [%s]", TrueFalse(caps_.cubeTextures));
    LogInfo("Projected Textures [%s]", TrueFalse(caps_.projectedTextures));
    LogInfo("VERTEX SHADER %d", caps_.vertexShaderLevel);
    LogInfo("PIXEL SHADER %d", caps_.pixelShaderLevel);
    LogInfo("Point Sprites [%s]", TrueFalse(caps_.pointSprites));
    LogInfo("Occlusion Query [%s]", TrueFalse(caps_.occlusionQueries));
    LogInfo("Hardware Shadowmaps [%s]", TrueFalse(caps_.hardwareShadowMaps));
    SetLighting(false);
    LogInfo("A16B16G16R16F Textures [%s]", TrueFalse(caps_.halfFloatTargets));
}

void D3D9Renderer::SetLighting(bool on) {
    if (!device_) return;
    device_->SetRenderState(D3DRS_LIGHTING, on ? TRUE : FALSE);
    device_->SetRenderState(D3DRS_SPECULARENABLE, on ? TRUE : FALSE);
}

void D3D9Renderer::ReleaseAll() {
    // Textures, buffers, shaders and state blocks enter the renderer's
    // resource table when they are first uploaded; until then there is
    // nothing device-side to drop.
}

int D3D9Renderer::ReleaseDevice() {
    if (!device_) return kOk;
    ReleaseAll();
    if (inScene_) device_->EndScene();
    inScene_ = false;
    device_->Release();
    device_ = nullptr;
    deviceLost_ = false;
    return kOk;
}

void D3D9Renderer::Clear(int32_t flags, const Color& color, float depth, uint32_t stencil) {
    DWORD clearFlags = 0;
    if (flags & kClearColor) {
        clearColor_ = color;
        clearFlags |= D3DCLEAR_TARGET;
    }
    // Clearing a buffer the device does not have fails the whole call.
    if ((flags & kClearDepth) && mode_.depthBits > 0) clearFlags |= D3DCLEAR_ZBUFFER;
    if ((flags & kClearStencil) && mode_.stencilBits > 0) clearFlags |= D3DCLEAR_STENCIL;
    if (!device_ || !clearFlags) return;
    device_->Clear(0, nullptr, clearFlags, PackColor(color), depth, stencil);
}

int D3D9Renderer::BeginFrame() {
    if (!device_) return kFailed;
    HRESULT state = device_->TestCooperativeLevel();
    if (state == D3DERR_DEVICELOST || state == D3DERR_DEVICENOTRESET) {
        if (!deviceLost_) {
            LogWarning("Устройство потеряно: кадры пропускаются.");
            ReleaseAll();
        }
        deviceLost_ = true;
        return kFailed;
    }
    deviceLost_ = false;
    if (FAILED(state) || FAILED(device_->BeginScene())) return kFailed;
    inScene_ = true;
    SetLighting(false);
    return kOk;
}

int D3D9Renderer::EndFrame() {
    if (!device_ || !inScene_) return kFailed;
    device_->EndScene();
    inScene_ = false;
    HRESULT presented = device_->Present(nullptr, nullptr, nullptr, nullptr);
    if (presented == D3DERR_DEVICELOST) deviceLost_ = true;
    return SUCCEEDED(presented) ? kOk : kFailed;
}

void D3D9Renderer::SetBrightness(int level) {
    if (!device_) return;
    D3DGAMMARAMP ramp;
    for (int32_t i = 0; i < 256; ++i)
        ramp.red[i] = ramp.green[i] = ramp.blue[i] = GammaRampEntry(level, i);
    device_->SetGammaRamp(0, D3DSGR_CALIBRATE, &ramp);
}

// Buffers get device copies, and nodes get drawn, once vertex and index
// buffers and passes reach this back end; until then no buffer owns a
// device object and the draws have nothing to bind.
void D3D9Renderer::ReleaseDeviceObject(Buffer* buffer) {
    if (buffer) buffer->Detach();
}

void D3D9Renderer::DrawCurrent() {}

void D3D9Renderer::DrawPrimitives(int) {}

// Lights are switched on from their description when the lit effects arrive;
// switching off needs nothing more than the light's slot.
void D3D9Renderer::EnableLight(Light*) {}

void D3D9Renderer::DisableLight() {
    if (!device_) return;
    device_->LightEnable(static_cast<DWORD>(GetLightCount()), FALSE);
    if (GetLightCount() == 0) SetLighting(false);
}

int D3D9Renderer::GetViewportWidth() const {
    D3DVIEWPORT9 viewport;
    if (device_ && SUCCEEDED(device_->GetViewport(&viewport))) return static_cast<int>(viewport.Width);
    return static_cast<int>(present_.BackBufferWidth);
}

int D3D9Renderer::GetViewportHeight() const {
    D3DVIEWPORT9 viewport;
    if (device_ && SUCCEEDED(device_->GetViewport(&viewport))) return static_cast<int>(viewport.Height);
    return static_cast<int>(present_.BackBufferHeight);
}

}  // namespace zav
