#include "tools/scenegen/HarbourShots.h"

#include <vector>

#include "engine/animation/NodeAnimationController.h"
#include "engine/animation/TargetControllers.h"
#include "engine/scene/Camera.h"
#include "tools/scenegen/HarbourParts.h"
#include "tools/scenegen/Mesh.h"
#include "tools/scenegen/Motion.h"

namespace zav::scenegen {

namespace {

// A shot: the camera's path and the looked-at point's path, each a few
// places spread evenly over the shot, and its length in seconds.
struct ShotPlan {
    const char* name;
    std::vector<Vector3> eye;
    std::vector<Vector3> target;
    double seconds;
    bool firstPerson = false;
};

const Vector3 kLamp = kLighthouse + Vector3{0.0f, kLampRoom, 0.0f};

std::vector<ShotPlan> Plans() {
    return {
        {"QuayWalk", {{-26, 3.2f, -47}, {-16, 3.4f, -46}, {-6, 3.6f, -45}}, {{24, 10, 30}, {14, 4, 0}, {6, 1.5f, -20}}, 14.0},
        {"PierEnd", {{0, 3.0f, -32}, {0, 3.2f, -18}, {0.5f, 3.4f, -6}}, {{24, 14, 30}, {22, 16, 30}, {24, 16, 30}}, 16.0},
        {"FromTheWater", {{-34, 1.6f, -12}, {-28, 1.8f, -4}, {-20, 1.6f, 6}}, {{-10, 4, -41}, {0, 4, -41}, {10, 4, -41}}, 12.0},
        {"AboveTheHarbour", {{-45, 38, -80}, {0, 44, -85}, {45, 40, -80}}, {{-5, 0, -20}, {0, 0, -10}, {5, 0, -20}}, 18.0},
        {"LighthouseClose", {{38, 19, 30}, {24, 20, 44}, {10, 19, 30}}, {kLamp, kLamp, kLamp}, 10.0, true},
        {"Boat", {{15, 3, -27}, {13, 3.5f, -20}, {11, 4, -12}}, {{6, 1.5f, -22}, {6, 1.5f, -20}, {6, 2, -18}}, 9.0},
        {"BellBuoy", {{-22, 2.0f, 4}, {-20, 2.4f, 8}, {-17, 2.8f, 11}}, {kBuoy, kBuoy, kBuoy}, 11.0},
        {"Flag", {{6, 5.5f, -8}, {0, 6.0f, -9}, {-6, 5.5f, -8}}, {{1.5f, 6, -1}, {1.5f, 6.5f, -1}, {1.5f, 6, -1}}, 8.0},
        {"Moonrise", {{-4, 4, -50}, {-3, 4.5f, -48}, {-2, 5, -46}}, {{-30, 12, 100}, {-45, 40, 150}, {-55, 65, 200}}, 20.0},
    };
}

// Keys at 0, 1 / (n - 1), ..., 1 through `places`.
Ref<NodeAnimation> Through(const char* name, const std::vector<Vector3>& places) {
    Ref<NodeAnimation> path(new NodeAnimation(name));
    const auto last = static_cast<double>(places.size() - 1);
    for (size_t i = 0; i < places.size(); ++i) {
        auto* key = new NodeKeyframe();
        key->time = static_cast<double>(i) / last;
        key->translation = places[i];
        path->AddKey(key);
    }
    return path;
}

}  // namespace

Ref<ScreensaverController> AddShots(SceneNode& shots) {
    Ref<ScreensaverController> screensaver(new ScreensaverController("Shots"));
    for (const ShotPlan& plan : Plans()) {
        Ref<Camera> camera(plan.firstPerson ? new FPCamera(String(plan.name) + "Camera")
                                            : new Camera(String(plan.name) + "Camera"));
        camera->SetFieldOfView(50.0f * kPi / 180.0f);
        camera->SetNearPlane(0.5f);
        camera->SetFarPlane(600.0f);
        Ref<SceneNode> target(new SceneNode(String(plan.name) + "Target", 0, 0));
        Play<NodeAnimationController>(*target, "Move", Through("TargetPath", plan.target).Get(), plan.seconds);
        // The look-at runs after the flight: the flight sets the place, the
        // look-at the direction (controllers run head first).
        Ref<TargetCameraController> look(new TargetCameraController("LookAt"));
        look->SetTarget(target.Get());
        camera->AddController(look.Get());
        Play<NodeAnimationController>(*camera, "Fly", Through("CameraPath", plan.eye).Get(), plan.seconds);
        shots.AddChild(target.Get());
        shots.AddChild(camera.Get());
        // Out of black over the second after half a second into the shot.
        screensaver->AddSet(camera.Get(), 0.5, plan.seconds);
    }
    return screensaver;
}

}  // namespace zav::scenegen
