// Device objects: the table's release, vertex and index buffers, occlusion
// queries and the shader and constant pass-throughs.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/platform/Platform.h"
#include "engine/render/OcclusionQuery.h"
#include "engine/render/Shader.h"
#include "engine/render/d3d9/D3D9Formats.h"
#include "engine/render/d3d9/D3D9Renderer.h"
#include "engine/scene/Buffer.h"

namespace zav {

namespace {

// How long EndQuery waits for the device's answer before it counts none.
constexpr uint64_t kQueryWaitMs = 2000;

}  // namespace

void D3D9Renderer::DestroyDeviceObject(void* handle) { delete static_cast<d3d9::DeviceObject*>(handle); }

d3d9::BufferObject* D3D9Renderer::AdoptBuffer(Buffer& buffer, IDirect3DVertexBuffer9* vertices,
                                              IDirect3DIndexBuffer9* indices, uint32_t bytes, uint32_t stride,
                                              bool* recreated) {
    auto* object = new (std::nothrow) d3d9::BufferObject();
    if (!object) {
        if (vertices) vertices->Release();
        if (indices) indices->Release();
        return nullptr;
    }
    object->vertices = vertices;
    object->indices = indices;
    object->bytes = bytes;
    object->stride = stride;
    AttachDeviceObject(buffer, buffer, object);
    buffer.SetDirty();  // filled next
    if (recreated) *recreated = true;
    return object;
}

d3d9::BufferObject* D3D9Renderer::UploadVertices(Buffer& buffer, bool* recreated) {
    if (!device_) return nullptr;
    TakeOver(&buffer);
    // Colours go as four floats where pixel shaders read them, else packed.
    auto* colors = ObjectCast<ColorBuffer>(&buffer);
    const bool packed = colors && caps_.pixelShaderLevel == kNoShaders;
    const uint32_t stride = packed ? 4u : static_cast<uint32_t>(buffer.GetElementSize());
    const uint64_t bytes = static_cast<uint64_t>(std::max(buffer.GetCount(), 0)) * stride;
    if (bytes == 0 || bytes > UINT32_MAX || !buffer.GetData()) return nullptr;

    auto* object = HandleOf<d3d9::BufferObject>(buffer);
    if (object && (!object->vertices || object->bytes != bytes || object->stride != stride)) {
        ReleaseDeviceObject(&buffer);
        object = nullptr;
    }
    if (!object) {
        IDirect3DVertexBuffer9* vertices = nullptr;
        if (FAILED(device_->CreateVertexBuffer(static_cast<UINT>(bytes), D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED,
                                               &vertices, nullptr)))
            return nullptr;
        object = AdoptBuffer(buffer, vertices, nullptr, static_cast<uint32_t>(bytes), stride, recreated);
        if (!object) return nullptr;
    }
    if (!buffer.IsDirty()) return object;
    void* bits = nullptr;
    if (FAILED(object->vertices->Lock(0, 0, &bits, 0))) return object;
    if (packed) {
        auto* out = static_cast<D3DCOLOR*>(bits);
        for (int i = 0; i < colors->GetCount(); ++i) out[i] = d3d9::PackColor((*colors)[i]);
    } else {
        std::memcpy(bits, buffer.GetData(), static_cast<size_t>(bytes));
    }
    object->vertices->Unlock();
    buffer.SetDirty(false);
    return object;
}

d3d9::BufferObject* D3D9Renderer::UploadIndices(IntBuffer& buffer, bool* recreated) {
    if (!device_) return nullptr;
    TakeOver(&buffer);
    // 16-bit indices unless the device takes vertex indices beyond them.
    const bool wide = maxVertexIndex_ > 65536;
    const uint32_t stride = wide ? 4u : 2u;
    const uint64_t bytes = static_cast<uint64_t>(std::max(buffer.GetCount(), 0)) * stride;
    if (bytes == 0 || bytes > UINT32_MAX || !buffer.GetData()) return nullptr;

    auto* object = HandleOf<d3d9::BufferObject>(buffer);
    if (object && (!object->indices || object->bytes != bytes)) {
        ReleaseDeviceObject(&buffer);
        object = nullptr;
    }
    if (!object) {
        IDirect3DIndexBuffer9* indices = nullptr;
        if (FAILED(device_->CreateIndexBuffer(static_cast<UINT>(bytes), D3DUSAGE_WRITEONLY,
                                              wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices,
                                              nullptr)))
            return nullptr;
        object = AdoptBuffer(buffer, nullptr, indices, static_cast<uint32_t>(bytes), stride, recreated);
        if (!object) return nullptr;
    }
    if (!buffer.IsDirty()) return object;
    void* bits = nullptr;
    if (FAILED(object->indices->Lock(0, 0, &bits, 0))) return object;
    const int32_t* in = buffer.Elements();
    int64_t smallest = 0, largest = -1;
    for (int i = 0; i < buffer.GetCount(); ++i) {
        smallest = std::min<int64_t>(smallest, in[i]);
        largest = std::max<int64_t>(largest, in[i]);
    }
    if (wide)
        std::memcpy(bits, in, static_cast<size_t>(bytes));
    else
        for (int i = 0; i < buffer.GetCount(); ++i) static_cast<uint16_t*>(bits)[i] = static_cast<uint16_t>(in[i]);
    object->indices->Unlock();
    object->largestIndex = largest;
    object->indicesUsable = smallest >= 0 && largest <= (wide ? static_cast<int64_t>(maxVertexIndex_) : 0xFFFF);
    buffer.SetDirty(false);
    return object;
}

void D3D9Renderer::BeginQuery(OcclusionQuery* query) {
    if (!device_ || !query) return;
    TakeOver(query);
    auto* object = HandleOf<d3d9::QueryObject>(*query);
    if (!object) {
        IDirect3DQuery9* created = nullptr;
        if (FAILED(device_->CreateQuery(D3DQUERYTYPE_OCCLUSION, &created))) return;
        object = new (std::nothrow) d3d9::QueryObject(created);
        if (!object) {
            created->Release();
            return;
        }
        AttachDeviceObject(*query, *query, object);
    }
    object->object->Issue(D3DISSUE_BEGIN);
}

void D3D9Renderer::EndQuery(OcclusionQuery* query) {
    if (!query) return;
    query->SetVisiblePixels(0);
    auto* object = HandleOf<d3d9::QueryObject>(*query);
    if (!device_ || !object) return;
    object->object->Issue(D3DISSUE_END);
    // The wait always ends: a lost device or no answer in time counts none.
    const uint64_t start = platform::MonotonicMilliseconds();
    for (;;) {
        DWORD pixels = 0;
        const HRESULT result = object->object->GetData(&pixels, sizeof pixels, D3DGETDATA_FLUSH);
        if (result == S_OK) {
            query->SetVisiblePixels(static_cast<int32_t>(std::min<DWORD>(pixels, INT32_MAX)));
            return;
        }
        if (result != S_FALSE || platform::MonotonicMilliseconds() - start > kQueryWaitMs) return;
    }
}

namespace {

// The assembler's text in a message box with an empty caption.
void ShowShaderErrors(const char* errors) { MessageBoxA(nullptr, errors, "", MB_OK | MB_ICONERROR); }

void (*gShaderErrorDisplay)(const char*) = &ShowShaderErrors;

}  // namespace

void D3D9Renderer::SetShaderErrorDisplay(void (*display)(const char* errors)) {
    gShaderErrorDisplay = display ? display : &ShowShaderErrors;
}

template <class Object, class Create>
Object* D3D9Renderer::MakeShader(Shader& shader, Create create) {
    TakeOver(&shader);
    if (auto* object = HandleOf<Object>(shader)) return object;
    std::vector<uint32_t> tokens;
    // A modal box over a full-screen device would hang the run: the log
    // has the text anyway.
    if (!AssembleOnce(shader, tokens, mode_.fullScreen ? nullptr : gShaderErrorDisplay)) return nullptr;
    decltype(Object::object) made = nullptr;
    if (FAILED(create(reinterpret_cast<const DWORD*>(tokens.data()), &made)) || !made) {
        LogError("Невозможно создать шейдер [%s].", shader.GetName().CStr());
        return nullptr;
    }
    auto* object = new (std::nothrow) Object(made);
    if (!object) {
        made->Release();
        return nullptr;
    }
    AttachDeviceObject(shader, shader, object);
    return object;
}

void D3D9Renderer::SetVertexShader(VertexShader* shader) {
    if (!device_) return;
    d3d9::VertexShaderObject* object =
        shader ? MakeShader<d3d9::VertexShaderObject>(*shader, [this](const DWORD* tokens, IDirect3DVertexShader9** made) {
            return device_->CreateVertexShader(tokens, made);
        })
               : nullptr;
    device_->SetVertexShader(object ? object->object : nullptr);
}

void D3D9Renderer::SetPixelShader(PixelShader* shader) {
    if (!device_) return;
    d3d9::PixelShaderObject* object =
        shader ? MakeShader<d3d9::PixelShaderObject>(*shader, [this](const DWORD* tokens, IDirect3DPixelShader9** made) {
            return device_->CreatePixelShader(tokens, made);
        })
               : nullptr;
    device_->SetPixelShader(object ? object->object : nullptr);
}

void D3D9Renderer::SetVertexShaderConstants(int firstRegister, const float* data, int registerCount) {
    if (device_ && data && firstRegister >= 0 && registerCount > 0)
        device_->SetVertexShaderConstantF(static_cast<UINT>(firstRegister), data, static_cast<UINT>(registerCount));
}

void D3D9Renderer::SetPixelShaderConstants(int firstRegister, const float* data, int registerCount) {
    if (device_ && data && firstRegister >= 0 && registerCount > 0)
        device_->SetPixelShaderConstantF(static_cast<UINT>(firstRegister), data, static_cast<UINT>(registerCount));
}

}  // namespace zav
