#include "engine/animation/Controller.h"

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"

namespace zav {

ZAV_REGISTER_ABSTRACT_CLASS(Controller);
ZAV_REGISTER_ABSTRACT_CLASS(PostUpdateController);

Controller::Controller(const String& name) : Object(name) {}

void Controller::Update(double) {}

void Controller::Reset() {}

int Controller::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteBool(active_) != kOk) return FailedNameId("Невозможно сохранить флаг активности контроллера.");
    return kOk;
}

int Controller::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    if (stream.ReadBool(active_) != kOk) return FailedIdName("Невозможно загрузить флаг активности контроллера.");
    return kOk;
}

}  // namespace zav
