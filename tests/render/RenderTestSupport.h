#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

#include "engine/core/Engine.h"
#include "engine/core/Result.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/GeometryNode.h"
#include "tests/support/FixedFunctionTestEffect.h"
#include "tests/support/RecordingRenderer.h"

namespace zav::test {

template <class T, class E>
Ref<T> BufferOf(std::initializer_list<E> elements) {
    Ref<T> buffer(new T(static_cast<int>(elements.size())));
    int i = 0;
    for (const E& e : elements) (*buffer)[i++] = e;
    return buffer;
}

// The engine started and a recording renderer current, with a camera at
// the origin looking along +z.
class RenderFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(EngineInit(), kOk);
        renderer = new RecordingRenderer();
        MakeRendererCurrent(renderer.Get());
        camera = new Camera("eye");
        camera->UpdateSubtree(0.0, true);
        renderer->SetCamera(camera.Get());
    }
    void TearDown() override {
        // Device objects hold their renderer, which holds the node it drew
        // last: letting go of both ends that cycle, as closing the window does.
        renderer->SetCurrentNode(nullptr);
        renderer->ReleaseAll();
        renderer->SetCamera(nullptr);
        MakeRendererCurrent(nullptr);
        renderer = nullptr;
        camera = nullptr;
        EXPECT_EQ(EngineShutdown(), kOk);
    }

    // A triangle in front of the camera drawn by `effect`.
    Ref<Triangles> Triangle(const char* name, GeometryNodeEffect* effect) {
        Ref<Triangles> node(new Triangles(name));
        node->SetVertices(BufferOf<Vector3Buffer, Vector3>({{-1, -1, 5}, {0, 1, 5}, {1, -1, 5}}).Get());
        node->SetIndices(BufferOf<IntBuffer, int32_t>({0, 1, 2}).Get());
        node->SetEffect(effect);
        node->UpdateSubtree(0.0, true);
        return node;
    }

    void SetShaders(bool shaders) {
        RendererCaps caps = renderer->GetCaps();
        caps.vertexShaderLevel = caps.pixelShaderLevel = shaders ? kShaderModel2 : kNoShaders;
        renderer->SetCaps(caps);
    }

    Ref<RecordingRenderer> renderer;
    Ref<Camera> camera;
};

}  // namespace zav::test
