// Updates 10 000 animated nodes and prints the cost per controller update.
// Every node is moved by a node animation controller of 16 keys; half of
// them play two overlapping frames (a cross-fade of two animations at once),
// and a tenth are bones whose controllers run only through 100 skeleton
// controllers of 10 bones each. The scene is saved and read back first, as
// a loaded scene's objects lie in memory. Build with the host-release preset:
//   build/host-release/bin/bench_animation [frames]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "bench/BenchEngine.h"
#include "engine/animation/NodeAnimationController.h"
#include "engine/animation/SkeletonAnimationController.h"
#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"
#include "engine/scene/SceneNode.h"
#include "engine/scene/TransformMath.h"

using namespace zav;

namespace {

constexpr int kNodes = 10000;
constexpr int kGroups = 100;  // of 100 nodes each; a group's first 10 are bones
constexpr int kBonesPerGroup = 10;
constexpr int kKeys = 16;
constexpr int kAnimations = 64;

Ref<NodeAnimation> RandomPath(std::mt19937& random) {
    std::uniform_real_distribution<float> spread(-20.0f, 20.0f), angle(-3.14159f, 3.14159f);
    Ref<NodeAnimation> animation(new NodeAnimation("path"));
    for (int k = 0; k < kKeys; ++k) {
        auto* key = new NodeKeyframe();
        key->time = double(k) / kKeys;
        key->translation = {spread(random), spread(random), spread(random)};
        const float a = angle(random);
        key->rotation = {0, std::sin(a / 2), 0, std::cos(a / 2)};
        key->scale = {1, 1, 1};
        animation->AddKey(key);
    }
    return animation;
}

AnimationFrame MakeFrame(Animation* animation, double start, double end) {
    AnimationFrame frame;
    frame.animation = animation;
    frame.start = start;
    frame.end = end;
    return frame;
}

Ref<SceneNode> BuildScene() {
    std::mt19937 random(2025);
    std::uniform_real_distribution<double> period(2.0, 10.0);
    std::vector<Ref<NodeAnimation>> paths;
    for (int i = 0; i < kAnimations; ++i) paths.push_back(RandomPath(random));
    auto path = [&] { return paths[std::uniform_int_distribution<size_t>(0, paths.size() - 1)(random)].Get(); };

    Ref<SceneNode> root(new SceneNode("root", 0, kGroups));
    for (int g = 0; g < kGroups; ++g) {
        Ref<SceneNode> group(new SceneNode("group", 0, kNodes / kGroups));
        Ref<SkeletonAnimationController> skeleton(new SkeletonAnimationController("skeleton"));
        skeleton->SetPeriod(period(random));
        group->AddController(skeleton.Get());
        for (int i = 0; i < kNodes / kGroups; ++i) {
            Ref<SceneNode> node(new SceneNode("node", 0, 1));
            Ref<NodeAnimationController> controller(new NodeAnimationController("move"));
            controller->SetPeriod(period(random));
            Animation* first = path();
            controller->AddAnimation(first);
            if (i % 2 == 0) {
                Animation* second = path();
                controller->AddAnimation(second);
                controller->AddFrame(MakeFrame(first, 0.0, 0.6));
                controller->AddFrame(MakeFrame(second, 0.4, 1.0));
            } else {
                controller->AddFrame(MakeFrame(first, 0.0, 1.0));
            }
            // Spread the controllers over their tracks.
            controller->SetPhase(std::uniform_real_distribution<double>(0.0, 1.0)(random));
            if (i < kBonesPerGroup) {
                controller->SetActive(false);
                skeleton->AddBoneController(controller.Get());
            }
            node->AddController(controller.Get());
            group->AddChild(node.Get());
        }
        root->AddChild(group.Get());
    }
    return root;
}

// Every node's controllers, in tree order.
void UpdateControllers(SceneNode& root, double time) {
    for (int g = 0; g < root.GetChildCount(); ++g) {
        auto* group = static_cast<SceneNode*>(root.GetChild(g));
        if (!group) continue;
        group->UpdateControllers(time);
        for (int i = 0; i < group->GetChildCount(); ++i)
            if (Node* node = group->GetChild(i)) node->UpdateControllers(time);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 600;
    Ref<bench::ErrorOutput> errors(new bench::ErrorOutput());
    RegisterMessageOutput(errors.Get());
    if (EngineInit() != 0) return 1;
    {
        int32_t bytes = 0;
        Ref<SceneNode> root(ObjectCast<SceneNode>(bench::SavedAndReadBack(BuildScene().Get(), &bytes).Get()));
        if (!root) return 1;
        // Controllers that do work each frame: every node's (the bones'
        // through their skeletons) and the skeletons themselves.
        const double updates = double(kNodes + kGroups);
        std::printf("%d animated nodes (%d with two overlapping frames, %d bones of %d skeletons), %d frames\n", kNodes,
                    kNodes / 2, kGroups * kBonesPerGroup, kGroups, frames);

        using Clock = std::chrono::steady_clock;
        const double step = 1.0 / 60.0;
        for (int frame = 0; frame < 10; ++frame) UpdateControllers(*root, step);  // warm up
        auto start = Clock::now();
        for (int frame = 0; frame < frames; ++frame) UpdateControllers(*root, step);
        const double controllersOnly = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        start = Clock::now();
        for (int frame = 0; frame < frames; ++frame) root->UpdateSubtree(step, true);
        const double wholeScene = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        std::printf("controller updates alone: %.1f ns per controller update\n", controllersOnly / (frames * updates));
        std::printf("whole scene update (controllers, transforms, volumes): %.1f ns per controller update\n",
                    wholeScene / (frames * updates));
    }
    EngineShutdown();
    UnregisterMessageOutput(errors.Get());
    return 0;
}
