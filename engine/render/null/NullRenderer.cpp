#include "engine/render/null/NullRenderer.h"

#include <new>

#include "engine/core/Result.h"
#include "engine/files/BuiltinModules.h"
#include "engine/files/Module.h"
#include "engine/render/BaseTexture.h"
#include "engine/render/CubeTexture.h"
#include "engine/render/Image.h"
#include "engine/render/Texture.h"
#include "engine/render/VolumeImage.h"
#include "engine/render/OcclusionQuery.h"
#include "engine/render/Pass.h"
#include "engine/render/RenderStateBlock.h"
#include "engine/render/Shader.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/GeometryNode.h"

namespace zav {

namespace {

RendererCaps NullCaps() {
    RendererCaps caps;
    caps.adapterDescription = "Null";
    caps.driverName = "Null";
    caps.maxTextures = 8;
    caps.maxLights = 8;
    caps.volumeTextures = caps.cubeTextures = caps.projectedTextures = true;
    caps.vertexShaderLevel = kShaderModel2;
    caps.pixelShaderLevel = kShaderModel2;
    caps.occlusionQueries = true;
    return caps;
}

DisplayMode NullMode(bool fullScreen) {
    DisplayMode mode;
    mode.fullScreen = fullScreen;
    mode.width = fullScreen ? 1024 : 0;
    mode.height = fullScreen ? 768 : 0;
    mode.colorBits = 32;
    mode.redBits = mode.greenBits = mode.blueBits = 8;
    mode.depthBits = 24;
    mode.stencilBits = 8;
    return mode;
}

int CreateNullRenderer(Renderer** renderer) {
    if (!renderer) return kNotFound;
    *renderer = new (std::nothrow) NullRenderer();
    return *renderer ? kOk : kOutOfMemory;
}

}  // namespace

int RegisterNullRendererModule() {
    return RegisterBuiltinModule("NullRenderer", "CreateRenderer", ToModuleSymbol(&CreateNullRenderer));
}

NullRenderer::NullRenderer() {
    caps_ = NullCaps();
    modes_ = {NullMode(true), NullMode(false)};
    defaultMode_ = 0;
}

NullRenderer::~NullRenderer() { ReleaseAll(); }

void NullRenderer::SetCaps(const RendererCaps& caps) {
    caps_ = caps;
    ApplyShaderOverride();
}

void NullRenderer::SetViewportSize(int width, int height) {
    viewport_.width = width;
    viewport_.height = height;
}

void NullRenderer::Clear(int32_t flags, const Color& color, float, uint32_t) {
    if (flags & kClearColor) RememberClearColor(color);
}

int NullRenderer::CreateDevice(int32_t modeIndex, const String&, void*, int32_t, int32_t, int32_t width,
                               int32_t height) {
    if (modeIndex < 0 || static_cast<size_t>(modeIndex) >= modes_.size()) return kFailed;
    const DisplayMode& mode = modes_[static_cast<size_t>(modeIndex)];
    SetViewportSize(mode.fullScreen ? mode.width : width, mode.fullScreen ? mode.height : height);
    return kOk;
}

int NullRenderer::ReleaseDevice() {
    ReleaseAll();
    return kOk;
}

void NullRenderer::BeginQuery(OcclusionQuery* query) {
    TakeOver(query);
    if (query && !query->GetHandle()) AttachDeviceObject(*query, *query, this);
}

void NullRenderer::EndQuery(OcclusionQuery* query) {
    if (query) query->SetVisiblePixels(0);
}

void NullRenderer::BindTexture(BaseTexture* texture, int) {
    if (!texture) return;
    ++counters_.textureBinds;
    TakeOver(texture);
    if (!texture->GetHandle()) {
        if (!CanMakeDeviceTexture(*texture)) return;
        AttachDeviceObject(*texture, *texture, this);
    } else if (!texture->IsDirty()) {
        return;
    }
    ++counters_.uploads;
    texture->SetDirty(false);
}

Shader* NullRenderer::Assembled(Shader* shader) {
    if (!shader) return nullptr;
    TakeOver(shader);
    if (!shader->GetHandle()) {
        std::vector<uint32_t> tokens;
        if (!AssembleOnce(*shader, tokens, nullptr)) return nullptr;
        AttachDeviceObject(*shader, *shader, this);
        ++counters_.shaders;
    }
    return shader;
}

void NullRenderer::SetVertexShader(VertexShader* shader) { vertexShader_ = Assembled(shader); }

void NullRenderer::SetPixelShader(PixelShader* shader) { pixelShader_ = Assembled(shader); }

namespace {

void StoreConstants(float (*registers)[4], int count, int first, const float* data, int registerCount) {
    if (!data || first < 0 || registerCount <= 0) return;
    for (int i = 0; i < registerCount && first + i < count; ++i)
        for (int k = 0; k < 4; ++k) registers[first + i][k] = data[4 * i + k];
}

}  // namespace

void NullRenderer::SetVertexShaderConstants(int firstRegister, const float* data, int registerCount) {
    StoreConstants(vertexConstants_, kVertexConstants, firstRegister, data, registerCount);
}

void NullRenderer::SetPixelShaderConstants(int firstRegister, const float* data, int registerCount) {
    StoreConstants(pixelConstants_, kPixelConstants, firstRegister, data, registerCount);
}

void NullRenderer::Bind(Buffer* buffer) {
    if (!buffer) return;
    TakeOver(buffer);
    if (!buffer->GetHandle())
        AttachDeviceObject(*buffer, *buffer, this);
    else if (!buffer->IsDirty())
        return;
    ++counters_.uploads;
    buffer->SetDirty(false);
}

void NullRenderer::BindColors(ColorBuffer* colors) { Bind(colors); }
void NullRenderer::BindPointSizes(FloatBuffer* sizes) { Bind(sizes); }
void NullRenderer::BindNormals(Vector3Buffer* normals) { Bind(normals); }
void NullRenderer::BindBlendWeights(Vector4Buffer* weights) { Bind(weights); }
void NullRenderer::BindBlendIndices(Vector4Buffer* indices) { Bind(indices); }
void NullRenderer::BindIndices(IntBuffer* indices) { Bind(indices); }

int NullRenderer::BeginPass(Pass* pass) {
    if (!pass) return kNotFound;
    ++counters_.passes;
    TakeOver(pass);
    RenderStateBlock* block = pass->GetRenderState();
    if (!pass->GetHandle() || pass->IsDirty() || (block && !block->GetHandle())) {
        Ref<Renderer> keep = KeepAlive();
        ReleasePass(pass);
        ++counters_.recordings;
        AttachDeviceObject(*pass, *pass, this);
        pass->SetDirty(false);
    }
    ApplyRenderState(block);
    return kOk;
}

void NullRenderer::ApplyRenderState(RenderStateBlock* block) {
    TakeOver(block);
    if (!block || block->GetHandle()) return;
    AttachDeviceObject(*block, *block, this);
    block->SetDirty(false);
}

int NullRenderer::PrimitivesOf(int indexCount) const {
    GeometryNode* node = GetCurrentNode();
    switch (node ? node->GetPrimitiveType() : kPrimitiveTriangles) {
        case kPrimitivePoints: return indexCount;
        case kPrimitiveLines: return indexCount / 2;
        case kPrimitiveLineStrip: return indexCount > 1 ? indexCount - 1 : 0;
        case kPrimitiveTriangleStrip: return indexCount > 2 ? indexCount - 2 : 0;
        default: return indexCount / 3;
    }
}

void NullRenderer::DrawCurrent() {
    GeometryNode* node = GetCurrentNode();
    IntBuffer* indices = node ? node->GetIndices() : nullptr;
    ++counters_.draws;
    counters_.primitives += PrimitivesOf(indices ? indices->GetCount() : 0);
}

void NullRenderer::DrawSkinned(Buffer* positions, IntBuffer* indices, Vector4Buffer* weights,
                               Vector4Buffer* blendIndices) {
    Bind(positions);
    Bind(weights);
    Bind(blendIndices);
    Bind(indices);
    DrawCurrent();
}

void NullRenderer::DrawPrimitives(int primitiveCount) {
    ++counters_.draws;
    if (primitiveCount > 0) counters_.primitives += primitiveCount;
}

void NullRenderer::EnableLight(Light* light) {
    if (light) enabledLights_ = GetLightCount();
}

void NullRenderer::DisableLight() {
    if (enabledLights_ > GetLightCount()) enabledLights_ = GetLightCount();
}

void NullRenderer::PushTarget(int width, int height) {
    try {
        savedViewports_.push_back(viewport_);
    } catch (const std::bad_alloc&) {
        return;  // as a device target that could not be made: nothing changes
    }
    if (width > 0 && height > 0) viewport_ = {0, 0, width, height};
}

void NullRenderer::PushTextureTarget(Texture* texture) {
    if (!texture) {
        PopTarget();
        return;
    }
    const Image* image = texture->GetImage();
    PushTarget(image ? image->GetWidth() : 0, image ? image->GetHeight() : 0);
}

void NullRenderer::PushCubeTarget(int, CubeTexture* texture) {
    if (!texture) {
        PopTarget();
        return;
    }
    const VolumeImage* image = texture->GetImage(false);
    PushTarget(image ? image->GetWidth() : 0, image ? image->GetWidth() : 0);
}

void NullRenderer::PushDepthTarget(Texture* texture, float, float) {
    if (!texture) {
        PopTarget();
        return;
    }
    const Image* image = texture->GetImage();
    PushTarget(image ? image->GetWidth() : 0, image ? image->GetHeight() : 0);
}

void NullRenderer::PopTarget() {
    FlushDeferred();
    if (savedViewports_.empty()) return;
    viewport_ = savedViewports_.back();
    savedViewports_.pop_back();
}

void NullRenderer::SetViewport(float x, float y, float width, float height) {
    // Converted as the device's viewport is: negative (and not-a-number) values are 0.
    auto whole = [](float value) {
        if (!(value > 0.0f)) return 0;
        return value < 2147483520.0f ? static_cast<int>(value) : 2147483520;
    };
    viewport_ = {whole(x), whole(y), whole(width), whole(height)};
}

}  // namespace zav
