#include <gtest/gtest.h>

#include "engine/scene/Camera.h"
#include "engine/scene/TransformMath.h"
#include "tests/scene/SceneTestSupport.h"

namespace zav {
namespace {

Vector3 gFront, gTop;
int gTurns = 0;
void RecordListener(const Vector3& front, const Vector3& top) {
    gFront = front;
    gTop = top;
    ++gTurns;
}

class RendererScene : public test::EngineFixture {
protected:
    void TearDown() override {
        SetListenerFunction(nullptr);
        EngineFixture::TearDown();
    }
    Ref<test::RecordingRenderer> renderer{new test::RecordingRenderer()};
};

TEST_F(RendererScene, BeginRenderMakesACameraUpdatesItAndTurnsTheListener) {
    SetListenerFunction(&RecordListener);
    gTurns = 0;
    ASSERT_EQ(renderer->GetCamera(), nullptr);
    EXPECT_EQ(renderer->BeginRender(), kOk);
    Camera* made = renderer->GetCamera();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetName(), "");
    EXPECT_EQ(renderer->calls, std::vector<std::string>{"BeginFrame"});

    Ref<Camera> camera(new Camera("eye"));
    camera->SetLocalTransform(MakeTransform({1, 1, 1}, {0, 0.70710678f, 0, 0.70710678f}, {}));
    renderer->SetCamera(camera.Get());
    camera->SetCullMask(0);
    renderer->beginFrameResult = kFailed;
    EXPECT_EQ(renderer->BeginRender(), kFailed);  // the frame's own result
    EXPECT_EQ(renderer->GetCamera(), camera.Get());
    EXPECT_EQ(camera->GetCullMask(), Camera::kAllPlanes);
    EXPECT_NEAR(camera->GetView().m[0][2], 1.0f, 1e-6f);  // updated before the frame
    EXPECT_EQ(gTurns, 2);
    EXPECT_NEAR(gFront.x, 1.0f, 1e-6f);
    EXPECT_NEAR(gTop.y, 1.0f, 1e-6f);
}

TEST_F(RendererScene, SetCameraReenablesEveryPlaneAndCloseWindowDropsIt) {
    Ref<Camera> camera(new Camera("eye"));
    camera->SetCullMask(5);
    renderer->SetCamera(camera.Get());
    EXPECT_EQ(camera->GetCullMask(), Camera::kAllPlanes);
    EXPECT_EQ(camera->RefCount(), 2);
    renderer->CloseWindow();
    EXPECT_EQ(renderer->GetCamera(), nullptr);
    EXPECT_EQ(camera->RefCount(), 1);
}

TEST_F(RendererScene, EndRenderFlushesDeferredNodesAndForgetsTheCurrentNode) {
    Ref<Points> glass(new Points("glass"));
    Ref<test::TestGeometryEffect> effect(new test::TestGeometryEffect("glass"));
    effect->SetBlending(true);
    glass->SetEffect(effect.Get());
    glass->Render(*renderer);
    EXPECT_EQ(renderer->GetDeferredCount(), 1);
    EXPECT_EQ(renderer->EndRender(), kOk);
    EXPECT_EQ(renderer->calls, (std::vector<std::string>{"DrawCurrent glass", "EndFrame"}));
    EXPECT_EQ(renderer->GetCurrentNode(), nullptr);
    EXPECT_EQ(renderer->GetDeferredCount(), 0);
}

}  // namespace
}  // namespace zav
