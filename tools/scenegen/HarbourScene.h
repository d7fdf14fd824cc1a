#pragma once

#include "engine/core/RefCounted.h"
#include "engine/scene/SceneNode.h"

namespace zav::scenegen {

// The screensaver's scene: a night harbour (water, quay, pier, moored boat,
// lighthouse) seen through the camera "Camera". Every node has vertex
// colours and normals; the root is the SceneNode "Harbour".
Ref<SceneNode> BuildHarbourScene();

}  // namespace zav::scenegen
