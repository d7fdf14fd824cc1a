// A lost device comes back: everything the renderer made is made again
// and the picture is the same as before the loss.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/core/Log.h"
#include "engine/render/Pass.h"
#include "engine/render/Technique.h"
#include "engine/render/Texture.h"
#include "engine/render/effects/TextureEffect.h"
#include "tests/support/LogCapture.h"
#include "tests/win/DeviceFixture.h"

namespace zav {
namespace {

using test::FixedFunctionTestEffect;

class DeviceLoss : public test::DeviceFixture {
protected:
    // A textured square, a coloured triangle in front of it and a blended
    // square over both.
    void BuildScene() {
        Ref<Image> image(new Image("checks", RGB8, 4, 4));
        for (int i = 0; i < 16; ++i) std::memset(image->GetPixels() + 3 * i, (i + i / 4) % 2 ? 230 : 40, 3);
        textured = new TextureEffect("textured");
        textured->SetTexture(new Texture("checks", image.Get()));
        square = Square(textured.Get(), 3.0f, 1.0f);
        colored = new FixedFunctionTestEffect("colored");
        triangle = Mesh(colored.Get(), {{-1, -1, 2}, {0, 1, 2}, {1, -1, 2}});
        SetColors(*triangle, {0, 0.5f, 1, 1});
        blended = new FixedFunctionTestEffect("blended");
        blended->SetBlending(true);
        veil = Square(blended.Get(), 1.5f, 0.4f, 0.3f, 0.2f);
        SetColors(*veil, {1, 1, 0, 0.5f});
    }
    Ref<Image> Draw() { return Frame({square.Get(), triangle.Get(), veil.Get()}); }

    // The device texture bound to stage 0 after binding `texture`, with a
    // reference of its own.
    IDirect3DBaseTexture9* DeviceTextureOf(BaseTexture* texture) {
        renderer->BindTexture(texture, 0);
        IDirect3DBaseTexture9* bound = nullptr;
        device->GetTexture(0, &bound);
        renderer->BindTexture(nullptr, 0);
        return bound;
    }

    static bool SamePixels(const Image& a, const Image& b) {
        return a.GetDataSize() == b.GetDataSize() && a.GetPixels() && b.GetPixels() &&
               std::memcmp(a.GetPixels(), b.GetPixels(), static_cast<size_t>(a.GetDataSize())) == 0;
    }

    Ref<TextureEffect> textured;
    Ref<FixedFunctionTestEffect> colored, blended;
    Ref<GeometryNode> square, triangle, veil;
};

TEST_F(DeviceLoss, AfterAResetEveryDeviceObjectIsMadeAgainAndThePictureIsTheSame) {
    BuildScene();
    Ref<Image> before = Draw();
    const int objects = renderer->GetDeviceObjectCount();
    EXPECT_GE(objects, 13);  // per node: buffers, a pass and its state block; the texture
    IDirect3DBaseTexture9* oldTexture = DeviceTextureOf(textured->GetTexture());
    ASSERT_NE(oldTexture, nullptr);

    test::LogCapture log;
    renderer->SimulateDeviceLoss();
    Ref<Image> after = Draw();
    EXPECT_EQ(renderer->GetResetCount(), 1);
    EXPECT_FALSE(renderer->IsDeviceLost());
    EXPECT_TRUE(log.Has(kLogWarning, "Устройство потеряно: кадры пропускаются."));
    EXPECT_TRUE(log.Has(kLogInfo, "Устройство восстановлено."));
    EXPECT_EQ(renderer->GetDeviceObjectCount(), objects);
    IDirect3DBaseTexture9* newTexture = DeviceTextureOf(textured->GetTexture());
    EXPECT_NE(newTexture, oldTexture);  // the old one is still held here, so a new one is a new object
    for (Effect* effect : std::initializer_list<Effect*>{textured.Get(), colored.Get(), blended.Get()}) {
        Pass* pass = effect->GetCurrentTechnique()->GetPass(0);
        EXPECT_NE(pass->GetHandle(), nullptr);
        EXPECT_NE(pass->GetRenderState()->GetHandle(), nullptr);
        EXPECT_FALSE(pass->IsDirty());
    }
    if (newTexture) newTexture->Release();
    oldTexture->Release();
    EXPECT_TRUE(SamePixels(*before, *after));
    EXPECT_TRUE(SamePixels(*after, *Draw()));
}

// The real thing: a full-screen device loses itself when another window is
// activated over it, and is reset once its own window is active again.
TEST(DeviceLossFullScreen, ActivatingAnotherWindowLosesTheDeviceAndReturningResetsIt) {
    ASSERT_EQ(EngineInit(), kOk);
    InstallSystemWindow();
    ASSERT_EQ(CreateRenderer("DirectX9"), kOk);
    auto* renderer = dynamic_cast<D3D9Renderer*>(GetRenderer());
    ASSERT_NE(renderer, nullptr);
    ASSERT_GE(renderer->GetDefaultMode(), 0);
    ASSERT_EQ(renderer->OpenWindow(renderer->GetDefaultMode(), "full screen", nullptr, 0, 0, 0, 0), kOk);
    Ref<Camera> camera(new Camera("eye"));
    renderer->SetCamera(camera.Get());
    Ref<FixedFunctionTestEffect> effect(new FixedFunctionTestEffect("lit"));
    Ref<Triangles> node(new Triangles("node"));
    Ref<Vector3Buffer> positions(new Vector3Buffer(3));
    (*positions)[0] = {-1, -1, 3};
    (*positions)[1] = {0, 1, 3};
    (*positions)[2] = {1, -1, 3};
    Ref<IntBuffer> indices(new IntBuffer(3));
    for (int i = 0; i < 3; ++i) (*indices)[i] = i;
    node->SetVertices(positions.Get());
    node->SetIndices(indices.Get());
    node->SetEffect(effect.Get());
    node->UpdateSubtree(0.0, true);
    auto frame = [&] {
        renderer->Clear(kClearColor | kClearDepth, Color{0, 0, 0, 1}, 1.0f, 0);
        const int begun = renderer->BeginRender();
        if (begun == kOk) node->Draw(*renderer);
        renderer->EndRender();
        return begun;
    };
    ASSERT_EQ(frame(), kOk);
    const int objects = renderer->GetDeviceObjectCount();

    // Another program's window takes the activation away.
    HWND own = static_cast<HWND>(renderer->GetWindow());
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    wchar_t commandLine[] = L"notepad.exe";
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    MSG message;
    bool lost = false;
    for (int i = 0; i < 250 && !lost; ++i) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        if (HWND notepad = FindWindowW(L"Notepad", nullptr)) SetForegroundWindow(notepad);
        lost = renderer->GetDevice()->TestCooperativeLevel() == D3DERR_DEVICELOST;
        if (!lost) Sleep(20);
    }
    auto endNotepad = [&] {
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, 5000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    };
    if (!lost) {
        endNotepad();
        renderer->CloseWindow();
        DestroyRenderer();
        EngineShutdown();
        GTEST_SKIP() << "this display does not take the device away from an inactive full-screen window";
    }
    EXPECT_EQ(frame(), kFailed);  // skipped while lost
    EXPECT_TRUE(renderer->IsDeviceLost());
    EXPECT_EQ(renderer->GetDeviceObjectCount(), 0);
    endNotepad();
    SetForegroundWindow(own);
    SetActiveWindow(own);
    int result = kFailed;
    for (int i = 0; i < 100 && result != kOk; ++i) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        result = frame();
        if (result != kOk) Sleep(20);
    }
    EXPECT_EQ(result, kOk);
    EXPECT_EQ(renderer->GetResetCount(), 1);
    EXPECT_EQ(renderer->GetDeviceObjectCount(), objects);
    renderer->SetCamera(nullptr);
    renderer->CloseWindow();
    DestroyRenderer();
    EXPECT_EQ(EngineShutdown(), kOk);
}

}  // namespace
}  // namespace zav
