#include "engine/render/OcclusionQuery.h"

#include "engine/core/ClassRegistration.h"
#include "engine/render/Renderer.h"

namespace zav {

ZAV_REGISTER_ABSTRACT_CLASS(OcclusionQuery);

OcclusionQuery::~OcclusionQuery() {
    if (Renderer* owner = GetOwner()) owner->ReleaseDeviceObject(this);
}

}  // namespace zav
