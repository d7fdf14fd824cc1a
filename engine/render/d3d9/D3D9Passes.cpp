// Passes on the device: recording a pass's state and bindings into a state
// block with a vertex declaration made from the streams it binds, replaying
// them, and the draws.
#include <new>
#include <string>

#include "engine/core/Log.h"
#include "engine/render/Pass.h"
#include "engine/render/RenderStateBlock.h"
#include "engine/render/d3d9/D3D9Renderer.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/GeometryNode.h"

namespace zav {

namespace {

// Streams a device reads at most.
constexpr int kMaxStreams = 16;
// Texture stages a recording starts by unbinding.
constexpr DWORD kStagesCleared = 7;

BYTE FloatTypeOf(const Buffer* buffer) {
    if (!buffer || ObjectCast<Vector3Buffer>(const_cast<Buffer*>(buffer))) return D3DDECLTYPE_FLOAT3;
    auto* any = const_cast<Buffer*>(buffer);
    if (ObjectCast<FloatBuffer>(any)) return D3DDECLTYPE_FLOAT1;
    if (ObjectCast<Vector2Buffer>(any)) return D3DDECLTYPE_FLOAT2;
    return D3DDECLTYPE_FLOAT4;  // four-float vectors and colours
}

D3DPRIMITIVETYPE DevicePrimitive(int kind) {
    switch (kind) {
        case kPrimitivePoints: return D3DPT_POINTLIST;
        case kPrimitiveLines: return D3DPT_LINELIST;
        case kPrimitiveLineStrip: return D3DPT_LINESTRIP;
        case kPrimitiveTriangleStrip: return D3DPT_TRIANGLESTRIP;
        default: return D3DPT_TRIANGLELIST;
    }
}

// Primitives drawn from `count` indices or vertices of a kind.
int64_t PrimitivesFrom(int kind, int64_t count) {
    switch (kind) {
        case kPrimitivePoints: return count;
        case kPrimitiveLines: return count / 2;
        case kPrimitiveLineStrip: return count - 1;
        case kPrimitiveTriangleStrip: return count - 2;
        default: return count / 3;
    }
}

// Vertices read by `primitives` primitives of a kind drawn without indices.
int64_t VerticesFor(int kind, int64_t primitives) {
    switch (kind) {
        case kPrimitivePoints: return primitives;
        case kPrimitiveLines: return 2 * primitives;
        case kPrimitiveLineStrip: return primitives + 1;
        case kPrimitiveTriangleStrip: return primitives + 2;
        default: return 3 * primitives;
    }
}

}  // namespace

int D3D9Renderer::BeginPass(Pass* pass) {
    if (!device_ || !pass || !pass->GetRenderState()) return kFailed;
    AbortRecording();  // a pass before this one that never drew
    streamCount_ = 0;
    elements_.clear();
    boundPositions_ = nullptr;
    boundIndices_ = nullptr;
    TakeOver(pass);
    RenderStateBlock* block = pass->GetRenderState();
    auto* declaration = HandleOf<d3d9::DeclarationObject>(*pass);
    auto* stateBlock = HandleOf<d3d9::StateBlockObject>(*block);
    declaration_ = nullptr;
    if (declaration && stateBlock && !pass->IsDirty() && !block->IsDirty()) {
        declaration_ = declaration->object;
    } else if (declaration || stateBlock) {
        Ref<Renderer> keep = KeepAlive();
        ReleasePass(pass);
        SetCurrentPass(pass);
    }
    ApplyRenderState(block);
    if (!declaration_) {
        // The recorded block starts from no textures and no shaders.
        for (DWORD stage = 0; stage < kStagesCleared; ++stage) device_->SetTexture(stage, nullptr);
        recordedStages_ = 0;
        device_->SetVertexShader(nullptr);
        device_->SetPixelShader(nullptr);
    }
    return kOk;
}

void D3D9Renderer::ApplyRenderState(RenderStateBlock* block) {
    if (!device_ || !block) return;
    TakeOver(block);
    if (auto* stateBlock = HandleOf<d3d9::StateBlockObject>(*block); stateBlock && !block->IsDirty()) {
        stateBlock->object->Apply();
        return;
    }
    ReleaseStateBlock(block);
    AbortRecording();
    if (SUCCEEDED(device_->BeginStateBlock())) {
        recording_ = true;
        recordingBlock_ = block;
    }
    ApplyRenderStateFields(*block);
}

void D3D9Renderer::AbortRecording() {
    if (!recording_) return;
    recording_ = false;
    recordingBlock_ = nullptr;
    IDirect3DStateBlock9* dropped = nullptr;
    if (SUCCEEDED(device_->EndStateBlock(&dropped)) && dropped) dropped->Release();
}

void D3D9Renderer::FinishRecording() {
    // The stages from the first one that reads a texture it does not have
    // on are switched off: such a stage passes the colour through anyway
    // (an absent texture reads as white), and every stage that is on costs
    // each pixel its texture lookups.
    if (recording_ && recordingBlock_) {
        const int stage = FirstStageWithoutItsTexture(*recordingBlock_, recordedStages_);
        if (stage < RenderStateBlock::kStages) {
            device_->SetTextureStageState(static_cast<DWORD>(stage), D3DTSS_COLOROP, D3DTOP_DISABLE);
            device_->SetTextureStageState(static_cast<DWORD>(stage), D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        }
    }
    IDirect3DStateBlock9* stateBlock = nullptr;
    if (recording_ && FAILED(device_->EndStateBlock(&stateBlock))) stateBlock = nullptr;
    recording_ = false;
    RenderStateBlock* block = recordingBlock_;
    recordingBlock_ = nullptr;
    elements_.push_back(D3DDECL_END());
    IDirect3DVertexDeclaration9* declaration = nullptr;
    Pass* pass = GetCurrentPass();
    if (stateBlock && block && pass && (declaration = SharedDeclaration()) != nullptr) {
        auto* blockObject = new (std::nothrow) d3d9::StateBlockObject(stateBlock);
        auto* passObject = new (std::nothrow) d3d9::DeclarationObject(declaration);
        if (blockObject && passObject) {
            AttachDeviceObject(*block, *block, blockObject);
            block->SetDirty(false);
            AttachDeviceObject(*pass, *pass, passObject);
            pass->SetDirty(false);
            declaration_ = declaration;
            ++recordings_;
            // What was recorded has not reached the device yet.
            stateBlock->Apply();
            return;
        }
        delete blockObject;
        delete passObject;
        return;
    }
    // Without its state block or declaration the draw is left out.
    if (declaration) declaration->Release();
    if (stateBlock) stateBlock->Release();
}

IDirect3DVertexDeclaration9* D3D9Renderer::SharedDeclaration() {
    // Passes that bind the same streams share one declaration, so that
    // consecutive draws of such passes do not switch it.
    const std::string key(reinterpret_cast<const char*>(elements_.data()),
                          elements_.size() * sizeof(D3DVERTEXELEMENT9));
    IDirect3DVertexDeclaration9* declaration = nullptr;
    try {
        auto found = declarations_.find(key);
        if (found == declarations_.end()) {
            if (FAILED(device_->CreateVertexDeclaration(elements_.data(), &declaration))) return nullptr;
            found = declarations_.emplace(key, declaration).first;
        }
        declaration = found->second;
    } catch (const std::bad_alloc&) {
        if (declaration) declaration->Release();
        return nullptr;
    }
    declaration->AddRef();  // the pass's own reference
    return declaration;
}

void D3D9Renderer::ReleaseDeclarations() {
    for (auto& entry : declarations_) entry.second->Release();
    declarations_.clear();
    currentDeclaration_ = nullptr;
}

void D3D9Renderer::BindStream(Buffer* buffer, BYTE type, BYTE usage, BYTE usageIndex) {
    if (!device_) return;
    const int stream = streamCount_++;
    if (stream >= kMaxStreams) return;
    bool recreated = false;
    d3d9::BufferObject* object = buffer ? UploadVertices(*buffer, &recreated) : nullptr;
    if (!declaration_) {
        D3DVERTEXELEMENT9 element = {static_cast<WORD>(stream), 0, type, D3DDECLMETHOD_DEFAULT, usage, usageIndex};
        elements_.push_back(element);
        device_->SetStreamSource(static_cast<UINT>(stream), object ? object->vertices : nullptr, 0,
                                 object ? object->stride : 0);
    } else if (recreated || (buffer && !object)) {
        // The recorded block binds the old buffer: this draw gets the new
        // one, and the pass is recorded again at its next use.
        device_->SetStreamSource(static_cast<UINT>(stream), object ? object->vertices : nullptr, 0,
                                 object ? object->stride : 0);
        if (Pass* pass = GetCurrentPass()) pass->SetDirty();
    }
}

void D3D9Renderer::BindTexCoords(Buffer* texCoords, int usageIndex) {
    if (usageIndex < 0 || usageIndex > 7) return;
    BindStream(texCoords, FloatTypeOf(texCoords), D3DDECLUSAGE_TEXCOORD, static_cast<BYTE>(usageIndex));
}

void D3D9Renderer::BindColors(ColorBuffer* colors) {
    const bool packed = caps_.pixelShaderLevel == kNoShaders;
    BindStream(colors, packed ? D3DDECLTYPE_D3DCOLOR : D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_COLOR, 0);
    if (!device_) return;
    device_->SetRenderState(D3DRS_COLORVERTEX, TRUE);
    device_->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
}

void D3D9Renderer::BindPositions(Buffer* positions) {
    boundPositions_ = positions;
    BindStream(positions, FloatTypeOf(positions), D3DDECLUSAGE_POSITION, 0);
}

void D3D9Renderer::BindPointSizes(FloatBuffer* sizes) { BindStream(sizes, D3DDECLTYPE_FLOAT1, D3DDECLUSAGE_PSIZE, 0); }

void D3D9Renderer::BindNormals(Vector3Buffer* normals) {
    BindStream(normals, D3DDECLTYPE_FLOAT3, D3DDECLUSAGE_NORMAL, 0);
}

void D3D9Renderer::BindBlendWeights(Vector4Buffer* weights) {
    BindStream(weights, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_BLENDWEIGHT, 0);
}

void D3D9Renderer::BindBlendIndices(Vector4Buffer* indices) {
    BindStream(indices, D3DDECLTYPE_FLOAT4, D3DDECLUSAGE_BLENDINDICES, 0);
}

void D3D9Renderer::BindIndices(IntBuffer* indices) {
    boundIndices_ = indices;
    if (!device_ || !indices) return;
    bool recreated = false;
    d3d9::BufferObject* object = UploadIndices(*indices, &recreated);
    if (!declaration_) {
        device_->SetIndices(object ? object->indices : nullptr);
    } else if (recreated || !object) {
        device_->SetIndices(object ? object->indices : nullptr);
        if (Pass* pass = GetCurrentPass()) pass->SetDirty();
    }
}

bool D3D9Renderer::PrepareDraw() {
    if (!device_ || deviceLost_) return false;
    if (!declaration_) {
        if (!recording_) return false;
        FinishRecording();
        if (!declaration_) return false;
    }
    SwitchOffPendingLights();
    if (declaration_ != currentDeclaration_) {
        device_->SetVertexDeclaration(declaration_);
        currentDeclaration_ = declaration_;
    }
    if (IsDepthEqual()) device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_EQUAL);
    return true;
}

bool D3D9Renderer::CheckVertices(int64_t vertexCount, bool indexed) {
    GeometryNode* node = GetCurrentNode();
    if (!node) return false;
    if (!indexed) {
        if (vertexCount >= 0) return true;
        if (ReportOnce(node->GetId()))
            LogError("Вершин узла меньше, чем нужно для рисования: узел не рисуется. ID[%d] Имя[%s]", node->GetId(),
                     node->GetName().CStr());
        return false;
    }
    d3d9::BufferObject* object = boundIndices_ ? HandleOf<d3d9::BufferObject>(*boundIndices_) : nullptr;
    if (!object || !object->indices) return false;
    if (object->indicesUsable && object->largestIndex < vertexCount) return true;
    if (ReportOnce(node->GetId()))
        LogError("Индексы узла выходят за пределы его вершин: узел не рисуется. ID[%d] Имя[%s]", node->GetId(),
                 node->GetName().CStr());
    return false;
}

void D3D9Renderer::DrawCurrent() {
    if (!PrepareDraw()) return;
    GeometryNode* node = GetCurrentNode();
    if (!node) return;
    if (!boundIndices_) boundIndices_ = node->GetIndices();
    Buffer* positions = boundPositions_ ? boundPositions_ : node->GetVertices();
    if (!positions || !boundIndices_) return;
    const int64_t vertexCount = positions->GetCount();
    if (!CheckVertices(vertexCount, true)) return;
    const int kind = node->GetPrimitiveType();
    const int64_t primitives = PrimitivesFrom(kind, boundIndices_->GetCount());
    if (primitives <= 0) return;
    device_->DrawIndexedPrimitive(DevicePrimitive(kind), 0, 0, static_cast<UINT>(vertexCount), 0,
                                  static_cast<UINT>(primitives));
}

void D3D9Renderer::DrawSkinned(Buffer* positions, IntBuffer* indices, Vector4Buffer* weights,
                               Vector4Buffer* blendIndices) {
    BindPositions(positions);
    BindBlendWeights(weights);
    BindBlendIndices(blendIndices);
    BindIndices(indices);
    DrawCurrent();
}

void D3D9Renderer::DrawPrimitives(int primitiveCount) {
    // A count of 0 still completes the recording of the pass.
    if (!PrepareDraw() || primitiveCount <= 0) return;
    GeometryNode* node = GetCurrentNode();
    Buffer* positions = boundPositions_ ? boundPositions_ : node ? node->GetVertices() : nullptr;
    if (!node || !positions) return;
    const int kind = node->GetPrimitiveType();
    const int64_t needed = VerticesFor(kind, primitiveCount);
    if (!CheckVertices(positions->GetCount() >= needed ? needed : -1, false)) return;
    device_->DrawPrimitive(DevicePrimitive(kind), 0, static_cast<UINT>(primitiveCount));
}

}  // namespace zav
