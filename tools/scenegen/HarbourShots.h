#pragma once

#include "engine/animation/ScreensaverController.h"
#include "engine/core/RefCounted.h"
#include "engine/scene/SceneNode.h"

namespace zav::scenegen {

// The camera shots of the harbour: each a camera flown along a path of its
// own while it looks at a point that moves along another, in a set of the
// returned screensaver controller. The cameras and the points they look at
// become children of `shots` (a node that stays where it is).
Ref<ScreensaverController> AddShots(SceneNode& shots);

}  // namespace zav::scenegen
