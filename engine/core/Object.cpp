#include "engine/core/Object.h"

#include <new>
#include <vector>

#include "engine/animation/Controller.h"
#include "engine/core/ClassRegistration.h"
#include "engine/core/Engine.h"
#include "engine/core/Log.h"
#include "engine/core/ObjectFactory.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"

namespace zav {

namespace {

// Walks deeper than this stop descending.
constexpr int kMaxWalkDepth = 512;
// Most objects a walk from one controller may visit; real controllers have
// few or no controllers of their own.
constexpr int kMaxControllerWalk = 256;

int32_t gNextObjectId = 0;
int gWalkDepth = 0;

int CreateObject(Object** object) {
    LogCritical("Создание объекта абстрактного класса [Object].");
    return RefuseToCreate(object);
}

int InitializeObjectClass() {
    if (!RegisterFactory(Object::StaticType().GetName(), &CreateObject, &Object::StaticType())) {
        LogCritical("Инициализация класса [Object] прошла неудачно.");
        return kFailed;
    }
    LogInfo("Инициализация класса [Object] прошла удачно.");
    return kOk;
}

int ShutdownObjectClass() {
    UnregisterFactory(Object::StaticType().GetName());
    LogInfo("Завершение работы класса [Object] прошло удачно.");
    return kOk;
}

bool gObjectClassRegistered = false;
const TypeInfo& gObjectType = Object::StaticType();
EngineRegistration gObjectClass(gObjectClassRegistered, &InitializeObjectClass, &ShutdownObjectClass);

}  // namespace

Object::Object(const String& name) : Named(name), id_(gNextObjectId++) {}

Object::~Object() { RemoveAllControllers(); }

const TypeInfo& Object::StaticType() {
    static const TypeInfo type("ZAV.Object", nullptr);
    return type;
}

const TypeInfo* Object::GetType() const { return &StaticType(); }

Object::WalkLevel::WalkLevel() { ++gWalkDepth; }
Object::WalkLevel::~WalkLevel() { --gWalkDepth; }
bool Object::WalkLevel::TooDeep() const { return gWalkDepth > kMaxWalkDepth; }

Object* Object::FindObject(const String& name) {
    if (GetName() == name) return this;
    WalkLevel level;
    if (level.TooDeep()) return nullptr;
    for (ControllerNode* node = controllers_; node; node = node->next)
        if (Object* found = node->controller->FindObject(name)) return found;
    return nullptr;
}

void Object::CollectObjects(const TypeInfo* type, Array<Object*>& objects) {
    if (IsKindOf(type)) objects.Append(this);
    WalkLevel level;
    if (level.TooDeep()) return;
    for (ControllerNode* node = controllers_; node; node = node->next) node->controller->CollectObjects(type, objects);
}

void Object::UpdateControllers(double time) {
    WalkLevel level;
    if (level.TooDeep()) return;
    for (ControllerNode* node = controllers_; node; node = node->next) {
        auto* controller = static_cast<Controller*>(node->controller.Get());
        if (controller->GetOwner()) controller->Update(time);
    }
}

int Object::AddController(Object* controller) {
    if (!controller) {
        LogWarning("Указатель на устанавливаемый контроллер равен 0. Имя[%s] ID[%d]", GetName().CStr(), id_);
        return kNotFound;
    }
    auto* asController = ObjectCast<Controller>(controller);
    if (!asController || !AcceptsAsController(controller)) {
        LogWarning("Объект [%s] ID[%d] не может быть контроллером объекта. Имя[%s] ID[%d]", controller->GetName().CStr(),
                   controller->GetId(), GetName().CStr(), id_);
        return kFailed;
    }
    auto* node = new (std::nothrow) ControllerNode{Ref<Object>(), controllers_};
    if (!node) {
        LogWarning("Недостаточно памяти для создания узла списка при установке контроллера. Имя[%s] ID[%d]",
                   GetName().CStr(), id_);
        return kOutOfMemory;
    }
    node->controller = controller;
    controllers_ = node;
    asController->owner_ = this;
    return kOk;
}

void Object::RemoveAllControllers() {
    ControllerNode* node = controllers_;
    controllers_ = nullptr;
    while (node) {
        auto* controller = static_cast<Controller*>(node->controller.Get());
        if (controller->owner_ == this) controller->owner_ = nullptr;
        ControllerNode* next = node->next;
        delete node;
        node = next;
    }
}

void Object::DropReferences() { RemoveAllControllers(); }

int Object::GetControllerCount() const {
    int count = 0;
    for (ControllerNode* node = controllers_; node; node = node->next) ++count;
    return count;
}

Object* Object::GetController(int index) const {
    if (index < 0) return nullptr;
    ControllerNode* node = controllers_;
    for (; node && index > 0; --index) node = node->next;
    return node ? node->controller.Get() : nullptr;
}

bool Object::AcceptsAsController(Object* controller) const {
    if (controller == this) return false;
    // Visits as a recursive walk from `controller` would make them (shared
    // controllers count again). Meeting this object means a cycle; too many
    // visits means a graph no walk should have to cross.
    try {
        std::vector<const Object*> pending{controller};
        int visits = 1;
        while (!pending.empty()) {
            const Object* object = pending.back();
            pending.pop_back();
            for (ControllerNode* node = object->controllers_; node; node = node->next) {
                const Object* next = node->controller.Get();
                if (next == this || ++visits > kMaxControllerWalk) return false;
                pending.push_back(next);
            }
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

int Object::ParentSaveFailed() const {
    LogError("Невозможно сохранить родительские данные. Имя[%s] ID[%d]", GetName().CStr(), id_);
    return kFailed;
}

int Object::ParentLoadFailed() const {
    LogError("Невозможно загрузить родительские данные. ID[%d]", id_);
    return kFailed;
}

int Object::FailedNameId(const char* what) const {
    LogError("%s Имя[%s] ID[%d]", what, GetName().CStr(), id_);
    return kFailed;
}

int Object::FailedIdName(const char* what) const {
    LogError("%s ID[%d] Имя[%s]", what, id_, GetName().CStr());
    return kFailed;
}

int Object::Save(Stream& stream) {
    if (stream.WriteString(GetName()) != kOk) return FailedNameId("Невозможно сохранить имя объекта.");
    // The list is written tail first, so that reading back and adding each
    // controller at the head restores the order.
    std::vector<Object*> controllers;
    for (ControllerNode* node = controllers_; node; node = node->next) controllers.push_back(node->controller.Get());
    if (stream.WriteInt32(static_cast<int32_t>(controllers.size())) != kOk)
        return FailedNameId("Невозможно сохранить количество контроллеров объекта.");
    for (auto it = controllers.rbegin(); it != controllers.rend(); ++it) {
        if (stream.WriteObject(*it) != kOk) return FailedNameId("Невозможно сохранить контроллер объекта.");
    }
    return kOk;
}

int Object::Load(Stream& stream) {
    String name;
    if (stream.ReadString(name) != kOk) {
        LogError("Невозможно загрузить имя объекта. ID[%d]", id_);
        return kFailed;
    }
    SetName(name);
    int32_t count = 0;
    if (stream.ReadInt32(count) != kOk || count < 0)
        return FailedNameId("Невозможно загрузить количество контроллеров объекта.");
    for (int32_t i = 0; i < count; ++i) {
        Object* controller = nullptr;
        if (stream.ReadObject(&controller) != kOk) return FailedNameId("Невозможно загрузить контроллер объекта.");
        if (AddController(controller) != kOk) return FailedNameId("Невозможно установить контроллер объекта.");
    }
    return kOk;
}

}  // namespace zav
