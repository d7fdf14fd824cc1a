#include "engine/render/Pass.h"

#include <new>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/render/Renderer.h"

namespace zav {

ZAV_REGISTER_ABSTRACT_CLASS(Pass);

Pass::Pass(const String& name) : Object(name), renderState_(new (std::nothrow) RenderStateBlock()) {
    if (!renderState_)
        LogError("Недостаточно памяти для создания блока состояний. Имя[%s] ID[%d]", GetName().CStr(), GetId());
}

Pass::~Pass() {
    Renderer* owner = GetOwner();
    if (!owner && renderState_) owner = renderState_->GetOwner();
    if (owner) owner->ReleasePass(this);
}

}  // namespace zav
