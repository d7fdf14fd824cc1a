// The device: creation and capabilities, frames, loss and reset, viewport,
// transforms and reading the back buffer.
#include <new>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/BuiltinModules.h"
#include "engine/render/GammaRamp.h"
#include "engine/render/Image.h"
#include "engine/render/d3d9/D3D9Formats.h"
#include "engine/render/d3d9/D3D9ModeList.h"
#include "engine/render/d3d9/D3D9Renderer.h"

namespace zav {

namespace {

// The SDK version the renderer asks Direct3D for.
constexpr UINT kSdkVersion = 31;

const char* TrueFalse(bool value) { return value ? "true" : "false"; }

const D3DMATRIX* DeviceMatrix(const Matrix4& matrix) {
    // Both are row-vector 4x4 float matrices, m[row][column].
    static_assert(sizeof(Matrix4) == sizeof(D3DMATRIX), "matrix layouts differ");
    return reinterpret_cast<const D3DMATRIX*>(&matrix);
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
    simulatedLoss_ = false;
    resetCount_ = 0;
    lossLogged_ = false;
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
    caps_ = RendererCaps();
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
        maxVertexIndex_ = caps.MaxVertexIndex;
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
    ApplyShaderOverride();
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

void D3D9Renderer::ReleaseEverything() {
    AbortRecording();
    ReleaseTargets();
    ReleaseAll();
    ReleaseDeclarations();
    lightsToSwitchOff_ = 0;
    lightingToSwitchOff_ = false;
    declaration_ = nullptr;
    boundPositions_ = nullptr;
    boundIndices_ = nullptr;
}

int D3D9Renderer::ReleaseDevice() {
    if (!device_) return kOk;
    ReleaseEverything();
    if (inScene_) device_->EndScene();
    inScene_ = false;
    device_->Release();
    device_ = nullptr;
    deviceLost_ = false;
    return kOk;
}

int D3D9Renderer::ResetDevice() {
    ReleaseEverything();
    D3DPRESENT_PARAMETERS present = present_;  // Reset may rewrite them
    if (FAILED(device_->Reset(&present))) return kFailed;
    ++resetCount_;
    deviceLost_ = false;
    LogInfo("Устройство восстановлено.");
    return kOk;
}

void D3D9Renderer::Clear(int32_t flags, const Color& color, float depth, uint32_t stencil) {
    lastClear_ = {flags, color, depth, stencil};
    DWORD clearFlags = 0;
    if (flags & kClearColor) {
        RememberClearColor(color);
        clearFlags |= D3DCLEAR_TARGET;
    }
    // Clearing a buffer the device does not have fails the whole call.
    if ((flags & kClearDepth) && mode_.depthBits > 0) clearFlags |= D3DCLEAR_ZBUFFER;
    if ((flags & kClearStencil) && mode_.stencilBits > 0) clearFlags |= D3DCLEAR_STENCIL;
    if (!device_ || deviceLost_ || !clearFlags) return;
    device_->Clear(0, nullptr, clearFlags, d3d9::PackColor(color), depth, stencil);
}

int D3D9Renderer::BeginFrame() {
    if (!device_) return kFailed;
    HRESULT state = device_->TestCooperativeLevel();
    if (simulatedLoss_ && SUCCEEDED(state)) state = D3DERR_DEVICENOTRESET;
    simulatedLoss_ = false;
    if (state == D3DERR_DEVICELOST || state == D3DERR_DEVICENOTRESET) {
        if (!lossLogged_) LogWarning("Устройство потеряно: кадры пропускаются.");
        lossLogged_ = true;
        deviceLost_ = true;
        ReleaseEverything();
        // Frames are skipped only while the device cannot be reset yet.
        if (state == D3DERR_DEVICELOST || ResetDevice() != kOk) return kFailed;
        lossLogged_ = false;
        state = device_->TestCooperativeLevel();
        // The frame's clear came before the reset, which left the buffers
        // undefined: it is made again.
        if (SUCCEEDED(state) && lastClear_.flags) {
            const ClearRecord clear = lastClear_;
            Clear(clear.flags, clear.color, clear.depth, clear.stencil);
        }
    }
    if (FAILED(state) || FAILED(device_->BeginScene())) return kFailed;
    inScene_ = true;
    SwitchOffPendingLights();
    SetLighting(false);
    return kOk;
}

int D3D9Renderer::EndFrame() {
    if (!device_ || !inScene_) return kFailed;
    AbortRecording();
    FlushDeferred();
    while (!targets_.empty()) PopTarget();
    SwitchOffPendingLights();
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

void D3D9Renderer::SetViewport(float x, float y, float width, float height) {
    if (!device_) return;
    D3DVIEWPORT9 viewport = {};
    viewport.X = x > 0.0f ? static_cast<DWORD>(x) : 0;
    viewport.Y = y > 0.0f ? static_cast<DWORD>(y) : 0;
    viewport.Width = width > 0.0f ? static_cast<DWORD>(width) : 0;
    viewport.Height = height > 0.0f ? static_cast<DWORD>(height) : 0;
    viewport.MinZ = 0.0f;
    viewport.MaxZ = 1.0f;
    device_->SetViewport(&viewport);
}

void D3D9Renderer::SetWorldMatrix(const Matrix4& matrix) {
    Renderer::SetWorldMatrix(matrix);
    if (device_) device_->SetTransform(D3DTS_WORLD, DeviceMatrix(matrix));
}

void D3D9Renderer::SetViewMatrix(const Matrix4& matrix) {
    Renderer::SetViewMatrix(matrix);
    if (device_) device_->SetTransform(D3DTS_VIEW, DeviceMatrix(matrix));
}

void D3D9Renderer::SetProjectionMatrix(const Matrix4& matrix) {
    Renderer::SetProjectionMatrix(matrix);
    if (device_) device_->SetTransform(D3DTS_PROJECTION, DeviceMatrix(matrix));
}

void D3D9Renderer::SetTextureMatrix(int stage, const Matrix4& matrix) {
    if (stage < 0 || stage >= 8) return;
    Renderer::SetTextureMatrix(stage, matrix);
    if (!device_) return;
    const auto state = static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + stage);
    device_->SetTransform(state, DeviceMatrix(matrix));
    device_->SetTextureStageState(static_cast<DWORD>(stage), D3DTSS_TEXTURETRANSFORMFLAGS,
                                  matrix == Matrix4::Identity() ? D3DTTFF_DISABLE : D3DTTFF_COUNT3);
}

int D3D9Renderer::ReadBackBuffer(Image& image) {
    if (!device_) return kFailed;
    IDirect3DSurface9* backBuffer = nullptr;
    if (FAILED(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer))) return kFailed;
    D3DSURFACE_DESC desc;
    IDirect3DSurface9* copy = nullptr;
    int result = kFailed;
    if (SUCCEEDED(backBuffer->GetDesc(&desc)) &&
        SUCCEEDED(device_->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                                       &copy, nullptr)) &&
        SUCCEEDED(device_->GetRenderTargetData(backBuffer, copy))) {
        D3DLOCKED_RECT locked;
        if (SUCCEEDED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
            result = d3d9::ReadSurfaceRows(locked, desc, image);
            copy->UnlockRect();
        }
    }
    if (copy) copy->Release();
    backBuffer->Release();
    return result;
}

}  // namespace zav
