#pragma once

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/core/Engine.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"
#include "engine/render/GeometryNodeEffect.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Light.h"
#include "engine/scene/SceneNode.h"
#include "tests/support/RecordingRenderer.h"
#include "tests/support/StreamBytes.h"

namespace zav::test {

// Effects with a fixed number of passes that note what the nodes ask of
// them in a shared call list (a RecordingRenderer's, usually).
class TestGeometryEffect : public GeometryNodeEffect {
    ZAV_OBJECT_CLASS(TestGeometryEffect, GeometryNodeEffect)

    explicit TestGeometryEffect(const String& name = String()) : GeometryNodeEffect(name) {}

    int GetPassCount(Renderer&) override { return passes; }
    int ApplyPass(Renderer& renderer, int pass) override;
    void InvalidatePasses() override { ++invalidations; }
    void Animate(double time) override {
        ++animations;
        GeometryNodeEffect::Animate(time);
    }

    int passes = 1;
    std::set<int> failingPasses;
    Light* light = nullptr;  // pushed and switched on by every pass
    std::vector<std::string>* calls = nullptr;
    int invalidations = 0;
    int animations = 0;
};

class TestSceneEffect : public SceneNodeEffect {
    ZAV_OBJECT_CLASS(TestSceneEffect, SceneNodeEffect)

    explicit TestSceneEffect(const String& name = String()) : SceneNodeEffect(name) {}

    int GetPassCount(Renderer&) override { return passes; }
    int ApplyPass(Renderer&, int pass) override;
    void Animate(double time) override {
        ++animations;
        SceneNodeEffect::Animate(time);
    }

    int passes = 1;
    std::set<int> failingPasses;
    std::vector<std::string>* calls = nullptr;
    int animations = 0;
};

// A scene node that counts its live instances.
class CountedSceneNode : public SceneNode {
    ZAV_OBJECT_CLASS(CountedSceneNode, SceneNode)

    explicit CountedSceneNode(const String& name = String()) : SceneNode(name) { ++live; }
    ~CountedSceneNode() override { --live; }

    static inline int live = 0;
};

// Starts the engine (factories registered) for tests that read records.
class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(EngineInit(), kOk); }
    void TearDown() override { EXPECT_EQ(EngineShutdown(), kOk); }
};

template <class T>
Ref<T> RoundTrip(T* object) {
    int state = -1;
    Ref<Object> loaded = LoadFromBytes(SaveToBytes(object), &state);
    EXPECT_EQ(state, kOk);
    return Ref<T>(ObjectCast<T>(loaded.Get()));
}

std::string FloatBytes(float value);
// A Node record after the Object record: parent reference, the identity
// transform, sphere kind, update flag.
std::string NodeRecord(const std::string& parentReference = Int32Bytes(-1));

// A rotation of uniformly random direction (a normalised Gaussian 4-vector).
Quaternion RandomRotation(std::mt19937& random);

// Makes a recording renderer current for the test's lifetime.
class CurrentRecordingRenderer {
public:
    CurrentRecordingRenderer() : renderer(new RecordingRenderer()) { MakeRendererCurrent(renderer.Get()); }
    ~CurrentRecordingRenderer() { MakeRendererCurrent(nullptr); }
    RecordingRenderer* operator->() const { return renderer.Get(); }
    RecordingRenderer& operator*() const { return *renderer; }
    Ref<RecordingRenderer> renderer;
};

}  // namespace zav::test
