#include "engine/render/RenderStateBlock.h"

#include "engine/core/ClassRegistration.h"
#include "engine/render/Renderer.h"

namespace zav {

ZAV_REGISTER_CLASS(RenderStateBlock);

RenderStateBlock::RenderStateBlock(const String& name) : Object(name) {}

RenderStateBlock::~RenderStateBlock() {
    if (Renderer* owner = GetOwner()) owner->ReleaseStateBlock(this);
}

}  // namespace zav
