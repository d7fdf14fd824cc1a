// Updates and culls a generated scene of 100 000 nodes and prints the cost
// per node per frame. The tree has mixed depths (1 to 8 levels of groups);
// a tenth of the nodes are skinned meshes and a tenth flares, the rest plain
// meshes and groups. Drawing goes to a renderer without a device that only
// counts draws. The scene is saved and read back first, so that its objects
// lie in memory as a loaded scene's do. Build with the host-release preset:
//   build/host-release/bin/bench_scene [frames]
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>

#include "bench/BenchEngine.h"
#include "engine/animation/SkinController.h"
#include "engine/core/ClassRegistration.h"
#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"
#include "engine/render/GeometryNodeEffect.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/Flare.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/SceneNode.h"
#include "engine/scene/TransformMath.h"
#include "engine/render/null/NullRenderer.h"

namespace zav {

// One pass that always applies.
class BenchEffect : public GeometryNodeEffect {
    ZAV_OBJECT_CLASS(BenchEffect, GeometryNodeEffect)
    int GetPassCount(Renderer&) override { return 1; }
    int ApplyPass(Renderer&, int) override { return 0; }
};
ZAV_REGISTER_CLASS(BenchEffect);

}  // namespace zav

using namespace zav;

namespace {

constexpr int kNodes = 100000;
constexpr int kMaxDepth = 8;

struct Scene {
    Ref<SceneNode> root;
    int nodes = 0, skinned = 0, flares = 0, groups = 0, maxDepth = 0;
};

Quaternion Turn(std::mt19937& random) {
    std::uniform_real_distribution<float> angle(-3.14159f, 3.14159f);
    float a = angle(random);
    return {0, std::sin(a / 2), 0, std::cos(a / 2)};
}

Scene BuildScene() {
    std::mt19937 random(2024);
    std::uniform_real_distribution<float> spread(-60.0f, 60.0f), unit(0.0f, 1.0f);
    Scene scene;
    scene.root = new SceneNode("root", 0, 16);
    // A skinned mesh's bones are meshes of its own group, as a skeleton's
    // bones sit next to the mesh they move.
    struct Group {
        SceneNode* node;
        int depth;
        std::vector<Node*> meshes;
    };
    std::vector<Group> groups{{scene.root.Get(), 0, {}}};
    scene.nodes = 1;

    // Shared data of plain meshes: a cube's corners and twelve triangles.
    Ref<Vector3Buffer> cube(new Vector3Buffer(8));
    for (int i = 0; i < 8; ++i) (*cube)[i] = {float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1)};
    Ref<IntBuffer> cubeIndices(new IntBuffer(36));
    const int faces[36] = {0, 1, 3, 0, 3, 2, 4, 6, 7, 4, 7, 5, 0, 4, 5, 0, 5, 1,
                           2, 3, 7, 2, 7, 6, 0, 2, 6, 0, 6, 4, 1, 5, 7, 1, 7, 3};
    for (int i = 0; i < 36; ++i) (*cubeIndices)[i] = faces[i];
    Ref<Vector4Buffer> weights(new Vector4Buffer(8)), boneIndices(new Vector4Buffer(8));
    for (int i = 0; i < 8; ++i) {
        (*weights)[i] = {0.5f, 0.3f, 0.2f, 0.0f};
        (*boneIndices)[i] = {0, 1, float(i % 3), 0};
    }

    while (scene.nodes < kNodes) {
        const size_t parentIndex = std::uniform_int_distribution<size_t>(0, groups.size() - 1)(random);
        const Group parent = groups[parentIndex];
        const std::vector<Node*>& bones = parent.meshes;
        const float kind = unit(random);
        Ref<Node> node;
        if (kind < 0.12f && parent.depth < kMaxDepth) {
            auto* group = new SceneNode("group", 0, 4);
            groups.push_back({group, parent.depth + 1, {}});
            node = group;
            ++scene.groups;
            if (parent.depth + 1 > scene.maxDepth) scene.maxDepth = parent.depth + 1;
        } else if (kind < 0.22f && bones.size() >= 3) {
            Ref<Triangles> mesh(new Triangles("skinned"));
            mesh->SetVertices(new Vector3Buffer(8));
            mesh->SetIndices(cubeIndices.Get());
            mesh->SetEffect(new BenchEffect());
            Ref<SkinController> skin(new SkinController());
            for (int b = 0; b < 3; ++b)
                skin->AddBone(bones[std::uniform_int_distribution<size_t>(0, bones.size() - 1)(random)], Transform());
            skin->SetSourceVertices(cube.Get());
            skin->SetWeights(weights.Get());
            skin->SetBoneIndices(boneIndices.Get());
            mesh->AddController(skin.Get());
            node = mesh;
            ++scene.skinned;
        } else if (kind < 0.32f) {
            Ref<Flare> flare(new Flare("flare"));
            flare->SetSize(0.0005f + 0.001f * unit(random));
            flare->SetEffect(new BenchEffect());
            node = flare;
            ++scene.flares;
        } else {
            Ref<Triangles> mesh(new Triangles("mesh"));
            mesh->SetVertices(cube.Get());
            mesh->SetIndices(cubeIndices.Get());
            mesh->SetEffect(new BenchEffect());
            mesh->UpdateLocalVolume();
            node = mesh;
            groups[parentIndex].meshes.push_back(mesh.Get());
        }
        node->SetLocalTransform(
            MakeTransform({1, 1, 1}, Turn(random), {spread(random), spread(random) / 4, spread(random)}));
        parent.node->AddChild(node.Get());
        ++scene.nodes;
    }
    return scene;
}

double NanosecondsPerNode(std::chrono::steady_clock::duration elapsed, int frames) {
    return std::chrono::duration<double, std::nano>(elapsed).count() / (double(frames) * kNodes);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    Ref<bench::ErrorOutput> errors(new bench::ErrorOutput());
    RegisterMessageOutput(errors.Get());
    if (EngineInit() != 0) return 1;
    {
        Ref<NullRenderer> renderer(new NullRenderer());
        MakeRendererCurrent(renderer.Get());
        Scene scene = BuildScene();
        {
            const auto start = std::chrono::steady_clock::now();
            int32_t bytes = 0;
            Ref<Object> loaded = bench::SavedAndReadBack(scene.root.Get(), &bytes);
            scene.root = ObjectCast<SceneNode>(loaded.Get());
            if (!scene.root) return 1;
            const auto elapsed = std::chrono::steady_clock::now() - start;
            std::printf("saved and read back in %.0f ms (%d bytes)\n",
                        std::chrono::duration<double, std::milli>(elapsed).count(), bytes);
        }
        // A camera at the edge of the scene looking across it: about half of
        // the nodes are in view.
        Ref<Camera> camera(new Camera("eye"));
        camera->SetLocalTransform(MakeTransform({1, 1, 1}, {0, 0, 0, 1}, {0, 10, -120}));
        camera->SetFarPlane(1000.0f);
        renderer->SetCamera(camera.Get());

        using Clock = std::chrono::steady_clock;
        Clock::duration updating{}, drawing{};
        std::clock_t cpuStart = 0;
        for (int frame = -2; frame < frames; ++frame) {  // two frames to warm up
            if (frame == 0) cpuStart = std::clock();
            const auto start = Clock::now();
            scene.root->UpdateSubtree(1.0 / 60.0, true);
            const auto updated = Clock::now();
            renderer->ResetCounters();
            renderer->BeginRender();
            scene.root->Draw(*renderer);
            renderer->EndRender();
            const auto drawn = Clock::now();
            if (frame >= 0) {
                updating += updated - start;
                drawing += drawn - updated;
            }
        }
        std::printf("scene: %d nodes (%d groups, %d skinned, %d flares, depth up to %d), %d frames\n", scene.nodes,
                    scene.groups, scene.skinned, scene.flares, scene.maxDepth, frames);
        std::printf("drawn per frame: %lld of %d nodes\n", static_cast<long long>(renderer->GetCounters().draws),
                    scene.nodes - scene.groups - 1);
        std::printf("update: %.1f ns per node per frame\n", NanosecondsPerNode(updating, frames));
        std::printf("cull and draw: %.1f ns per node per frame\n", NanosecondsPerNode(drawing, frames));
        std::printf("update, cull and draw: %.1f ns per node per frame\n",
                    NanosecondsPerNode(updating + drawing, frames));
        // The machine may be shared: processor time shows the work alone.
        const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        std::printf("update, cull and draw (processor time): %.1f ns per node per frame\n",
                    cpuSeconds * 1e9 / (double(frames) * kNodes));
        MakeRendererCurrent(nullptr);
    }
    const int result = EngineShutdown() == 0 ? 0 : 1;
    UnregisterMessageOutput(errors.Get());
    return result;
}
