#include "tests/support/SampleClasses.h"

#include <vector>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"

namespace zav::test {

ZAV_REGISTER_CLASS(SampleNode);
ZAV_REGISTER_CLASS(SampleController);
ZAV_REGISTER_ABSTRACT_CLASS(SampleAbstract);

namespace {

SampleNode* gFirstLiveNode = nullptr;
int gLiveNodes = 0;
int gLiveControllers = 0;

int FieldFailed(const char* action, const char* field, const Object& object) {
    LogError("Невозможно %s поле [%s] образца. ID[%d] Имя[%s]", action, field, object.GetId(), object.GetName().CStr());
    return kFailed;
}

}  // namespace

SampleNode::SampleNode(const String& name) : Object(name), nextLive_(gFirstLiveNode) {
    if (nextLive_) nextLive_->previousLive_ = this;
    gFirstLiveNode = this;
    ++gLiveNodes;
}

SampleNode::~SampleNode() {
    if (previousLive_)
        previousLive_->nextLive_ = nextLive_;
    else
        gFirstLiveNode = nextLive_;
    if (nextLive_) nextLive_->previousLive_ = previousLive_;
    --gLiveNodes;
}

int SampleNode::LiveCount() { return gLiveNodes; }

void SampleNode::BreakAllLinks() {
    std::vector<Ref<SampleNode>> nodes;
    for (SampleNode* node = gFirstLiveNode; node; node = node->nextLive_) nodes.emplace_back(node);
    for (const Ref<SampleNode>& node : nodes) {
        node->next = nullptr;
        node->any = nullptr;
        node->children.Clear();
        node->RemoveAllControllers();
    }
}

int SampleNode::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteInt32(value) != kOk) return FieldFailed("сохранить", "value", *this);
    if (stream.WriteDouble(weight) != kOk) return FieldFailed("сохранить", "weight", *this);
    if (stream.WriteVector3(position) != kOk) return FieldFailed("сохранить", "position", *this);
    if (stream.WriteColor(color) != kOk) return FieldFailed("сохранить", "color", *this);
    if (stream.WriteTransform(transform) != kOk) return FieldFailed("сохранить", "transform", *this);
    if (stream.WriteString(label) != kOk) return FieldFailed("сохранить", "label", *this);
    if (stream.WriteObject(next) != kOk) return FieldFailed("сохранить", "next", *this);
    if (stream.WriteObject(any) != kOk) return FieldFailed("сохранить", "any", *this);
    if (children.Save(stream) != kOk) return FieldFailed("сохранить", "children", *this);
    return kOk;
}

int SampleNode::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    if (stream.ReadInt32(value) != kOk) return FieldFailed("загрузить", "value", *this);
    if (stream.ReadDouble(weight) != kOk) return FieldFailed("загрузить", "weight", *this);
    if (stream.ReadVector3(position) != kOk) return FieldFailed("загрузить", "position", *this);
    if (stream.ReadColor(color) != kOk) return FieldFailed("загрузить", "color", *this);
    if (stream.ReadTransform(transform) != kOk) return FieldFailed("загрузить", "transform", *this);
    if (stream.ReadString(label) != kOk) return FieldFailed("загрузить", "label", *this);
    if (stream.ReadReference(next) != kOk) return FieldFailed("загрузить", "next", *this);
    if (stream.ReadReference(any) != kOk) return FieldFailed("загрузить", "any", *this);
    if (children.Load(stream) != kOk) return FieldFailed("загрузить", "children", *this);
    return kOk;
}

SampleController::SampleController(const String& name) : Controller(name) { ++gLiveControllers; }

SampleController::~SampleController() { --gLiveControllers; }

int SampleController::LiveCount() { return gLiveControllers; }

void SampleController::Update(double time) {
    if (!IsActive()) return;
    ++updates;
    lastTime = time;
}

void SampleController::Reset() {
    updates = 0;
    lastTime = 0.0;
}

int SampleController::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteFloat(speed) != kOk) return FieldFailed("сохранить", "speed", *this);
    return kOk;
}

int SampleController::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    if (stream.ReadFloat(speed) != kOk) return FieldFailed("загрузить", "speed", *this);
    return kOk;
}

}  // namespace zav::test
