// 2 000 lit, textured boxes drawn on the Direct3D 9 device by the engine
// (scene update, culling, effects, recorded passes) and by a minimal
// hand-written loop with the same buffers and states (set once; per box
// the world matrix, three streams, the indices and one draw), in one run on
// one device. Prints frames per second and processor milliseconds per frame
// (the process's, so the software rasteriser's threads count too).
//   scripts/wine-run.sh build/win/bin/bench_draw_d3d9.exe [frames]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/SystemWindow.h"
#include "bench/DrawScene.h"
#include "engine/core/Engine.h"
#include "engine/render/TextureUpload.h"
#include "engine/render/d3d9/D3D9Renderer.h"
#include "engine/scene/TransformMath.h"

using namespace zav;

namespace {

constexpr int kBoxes = 2000;
constexpr int kWidth = 640, kHeight = 480;

double ProcessSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& time) {
        return (static_cast<double>(time.dwHighDateTime) * 4294967296.0 + time.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

struct Measure {
    double wall = 0, processor = 0;
    int frames = 0;
    void Add(double wallSeconds, double processorSeconds, int count) {
        wall += wallSeconds;
        processor += processorSeconds;
        frames += count;
    }
    void Print(const char* what) const {
        std::printf("%-44s %7.1f frames/s  %7.2f ms processor per frame\n", what, frames / wall,
                    processor * 1e3 / frames);
    }
};

template <class Frame>
void Run(Measure& measure, int frames, Frame frame) {
    const double processor = ProcessSeconds();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) frame();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    measure.Add(wall, ProcessSeconds() - processor, frames);
}

const D3DMATRIX* DeviceMatrix(const Matrix4& matrix) { return reinterpret_cast<const D3DMATRIX*>(&matrix); }

// What the hand-written loop draws with: its own copies of the boxes'
// buffers and of the texture, one declaration.
struct HandLoop {
    struct Box {
        IDirect3DVertexBuffer9* positions = nullptr;
        IDirect3DVertexBuffer9* normals = nullptr;
        IDirect3DVertexBuffer9* texCoords = nullptr;
        IDirect3DIndexBuffer9* indices = nullptr;
        Matrix4 world;
    };
    std::vector<Box> boxes;
    IDirect3DVertexDeclaration9* declaration = nullptr;
    IDirect3DTexture9* texture = nullptr;

    ~HandLoop() {
        for (Box& box : boxes)
            for (IUnknown* object : std::initializer_list<IUnknown*>{box.positions, box.normals, box.texCoords,
                                                                     box.indices})
                if (object) object->Release();
        if (declaration) declaration->Release();
        if (texture) texture->Release();
    }
};

template <class T>
IDirect3DVertexBuffer9* VertexBuffer(IDirect3DDevice9* device, const std::vector<T>& data) {
    IDirect3DVertexBuffer9* buffer = nullptr;
    const UINT bytes = static_cast<UINT>(data.size() * sizeof(T));
    if (FAILED(device->CreateVertexBuffer(bytes, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &buffer, nullptr)))
        return nullptr;
    void* bits = nullptr;
    buffer->Lock(0, 0, &bits, 0);
    std::memcpy(bits, data.data(), bytes);
    buffer->Unlock();
    return buffer;
}

bool MakeHandLoop(IDirect3DDevice9* device, const bench::DrawScene& scene, HandLoop& loop) {
    const bench::BoxData& data = bench::Box();
    for (const Ref<GeometryNode>& node : scene.boxes) {
        HandLoop::Box box;
        box.positions = VertexBuffer(device, data.positions);
        box.normals = VertexBuffer(device, data.normals);
        box.texCoords = VertexBuffer(device, data.texCoords);
        const UINT bytes = static_cast<UINT>(data.indices.size() * 4);
        if (FAILED(device->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX32, D3DPOOL_MANAGED,
                                             &box.indices, nullptr)))
            return false;
        void* bits = nullptr;
        box.indices->Lock(0, 0, &bits, 0);
        std::memcpy(bits, data.indices.data(), bytes);
        box.indices->Unlock();
        box.world = ToMatrix(node->GetWorldTransform());
        loop.boxes.push_back(box);
        if (!box.positions || !box.normals || !box.texCoords) return false;
    }
    const D3DVERTEXELEMENT9 elements[] = {
        {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
        {1, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
        {2, 0, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
        D3DDECL_END()};
    if (FAILED(device->CreateVertexDeclaration(elements, &loop.declaration))) return false;
    // The same texture with the same box-filtered mip levels.
    const Image& image = *scene.texture->GetImage();
    if (FAILED(device->CreateTexture(64, 64, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &loop.texture, nullptr)))
        return false;
    D3DLOCKED_RECT top;
    loop.texture->LockRect(0, &top, nullptr, 0);
    TexelRegion region{static_cast<uint8_t*>(top.pBits), 64, 64, 1, top.Pitch, 0};
    WriteImageTexels(image, 0, region);
    loop.texture->UnlockRect(0);
    for (DWORD level = 1, size = 32; level < loop.texture->GetLevelCount(); ++level, size = std::max<DWORD>(1, size / 2)) {
        D3DLOCKED_RECT upper, lower;
        loop.texture->LockRect(level - 1, &upper, nullptr, D3DLOCK_READONLY);
        loop.texture->LockRect(level, &lower, nullptr, 0);
        const auto lowerSize = static_cast<int32_t>(size);
        FilterMipLevel({static_cast<uint8_t*>(upper.pBits), lowerSize * 2, lowerSize * 2, 1, upper.Pitch, 0},
                       {static_cast<uint8_t*>(lower.pBits), lowerSize, lowerSize, 1, lower.Pitch, 0}, 4);
        loop.texture->UnlockRect(level);
        loop.texture->UnlockRect(level - 1);
    }
    return true;
}

// The states the engine's pass sets, set once: lighting with the scene's
// light, the material, linear filtering with mip levels, repeat.
void SetHandLoopStates(IDirect3DDevice9* device, const bench::DrawScene& scene) {
    LightDescription light;
    scene.light->Describe(light);
    D3DLIGHT9 deviceLight = {};
    deviceLight.Type = D3DLIGHT_DIRECTIONAL;
    deviceLight.Diffuse = {light.diffuse.r, light.diffuse.g, light.diffuse.b, light.diffuse.a};
    deviceLight.Ambient = {light.ambient.r, light.ambient.g, light.ambient.b, light.ambient.a};
    deviceLight.Direction = {light.direction.x, light.direction.y, light.direction.z};
    deviceLight.Range = light.range;
    deviceLight.Attenuation0 = 1;
    device->SetLight(0, &deviceLight);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    D3DMATERIAL9 material = {{1, 1, 1, 1}, {0.2f, 0.2f, 0.2f, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, 1};
    device->SetMaterial(&material);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_CURRENT);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const int frames = argc > 1 ? std::max(4, std::atoi(argv[1])) : 200;
    if (EngineInit() != 0) return 1;
    InstallSystemWindow();
    int result = 1;
    if (CreateRenderer("DirectX9") == 0) {
        auto* renderer = static_cast<D3D9Renderer*>(GetRenderer());
        int mode = -1;
        for (size_t i = 0; i < renderer->GetModes().size() && mode < 0; ++i)
            if (!renderer->GetModes()[i].fullScreen && renderer->GetModes()[i].samples == 1) mode = static_cast<int>(i);
        if (mode >= 0 && renderer->OpenWindow(mode, "bench", nullptr, 0, 0, kWidth, kHeight) == 0) {
            IDirect3DDevice9* device = renderer->GetDevice();
            bench::DrawScene scene = bench::BuildDrawScene(kBoxes);
            renderer->SetCamera(scene.camera.Get());
            const Color black{0, 0, 0, 1};
            auto engineFrame = [&](bool update) {
                if (update) scene.root->UpdateSubtree(1.0 / 60.0, true);
                renderer->Clear(kClearColor | kClearDepth, black, 1.0f, 0);
                renderer->BeginRender();
                scene.root->Draw(*renderer);
                renderer->EndRender();
            };
            HandLoop loop;
            if (MakeHandLoop(device, scene, loop)) {
                auto handFrame = [&] {
                    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
                    device->BeginScene();
                    SetHandLoopStates(device, scene);
                    device->SetTransform(D3DTS_VIEW, DeviceMatrix(scene.camera->GetView()));
                    device->SetTransform(D3DTS_PROJECTION, DeviceMatrix(scene.camera->GetProjection()));
                    device->SetVertexDeclaration(loop.declaration);
                    device->SetTexture(0, loop.texture);
                    for (const HandLoop::Box& box : loop.boxes) {
                        device->SetTransform(D3DTS_WORLD, DeviceMatrix(box.world));
                        device->SetStreamSource(0, box.positions, 0, 12);
                        device->SetStreamSource(1, box.normals, 0, 12);
                        device->SetStreamSource(2, box.texCoords, 0, 8);
                        device->SetIndices(box.indices);
                        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 24, 0, 12);
                    }
                    device->EndScene();
                    device->Present(nullptr, nullptr, nullptr, nullptr);
                };
                // Warm up both, then alternate blocks so that both see the same machine.
                for (int i = 0; i < 10; ++i) engineFrame(true), handFrame();
                Measure engine, engineDrawOnly, hand;
                for (int block = 0; block < 4; ++block) {
                    Run(hand, frames / 4, handFrame);
                    Run(engine, frames / 4, [&] { engineFrame(true); });
                    Run(engineDrawOnly, frames / 4, [&] { engineFrame(false); });
                }
                std::printf("%d lit, textured boxes on a %d x %d window, %d frames each\n", kBoxes, kWidth, kHeight,
                            hand.frames);
                hand.Print("hand-written Direct3D 9 loop");
                engine.Print("engine: update, cull and draw");
                engineDrawOnly.Print("engine: cull and draw (no update)");
                std::printf("engine / hand-written, processor time: %.3f (with update), %.3f (drawing only)\n",
                            engine.processor / hand.processor, engineDrawOnly.processor / hand.processor);
                std::printf("passes recorded: %lld (%d boxes)\n", static_cast<long long>(renderer->GetRecordingCount()),
                            kBoxes);
                std::printf("engine / hand-written, frame time: %.3f (with update), %.3f (drawing only)\n",
                            engine.wall / hand.wall, engineDrawOnly.wall / hand.wall);
                result = 0;
            }
            renderer->SetCamera(nullptr);
            renderer->SetCurrentNode(nullptr);
        }
        renderer->CloseWindow();
    }
    DestroyRenderer();
    EngineShutdown();
    return result;
}
