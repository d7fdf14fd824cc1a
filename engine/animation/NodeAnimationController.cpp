#include "engine/animation/NodeAnimationController.h"

#include "engine/core/ClassRegistration.h"
#include "engine/scene/Node.h"

namespace zav {

ZAV_REGISTER_CLASS(NodeAnimationController);

void NodeAnimationController::Play(double time) {
    PlayOn<Node>(time, [this](Node& node) {
        Transform local = node.GetLocalTransform();
        BlendNode(local);
        local.isIdentity = false;
        local.isRotationIdentity = false;
        node.SetLocalTransform(local);
        node.SetUpdateWorldTransform(true);
    });
}

}  // namespace zav
