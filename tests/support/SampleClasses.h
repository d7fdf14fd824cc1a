#pragma once

#include <cstdint>
#include <string>

#include "engine/animation/Controller.h"
#include "engine/core/Object.h"
#include "engine/core/ObjectList.h"
#include "engine/core/String.h"
#include "engine/core/Transform.h"
#include "engine/core/Values.h"

// Registered classes for tests, the fuzz target and the benchmark: one field
// of every stream encoding and every kind of reference. Each counts its live
// instances so that callers can check that nothing leaked.
namespace zav::test {

class SampleNode : public Object {
    ZAV_OBJECT_CLASS(SampleNode, Object)

    explicit SampleNode(const String& name = String());
    ~SampleNode() override;

    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    static int LiveCount();
    // Clears the references of every live node, so that reference cycles
    // built from a stream come apart.
    static void BreakAllLinks();

    int32_t value = 0;
    double weight = 0.0;
    Vector3 position;
    Color color;
    Transform transform;
    String label;
    Ref<SampleNode> next;       // must hold a SampleNode
    Ref<Object> any;            // any object
    ObjectList<SampleNode> children;

private:
    // Every live node, in a list threaded through the nodes themselves.
    SampleNode* previousLive_ = nullptr;
    SampleNode* nextLive_ = nullptr;
};

class SampleController : public Controller {
    ZAV_OBJECT_CLASS(SampleController, Controller)

    explicit SampleController(const String& name = String());
    ~SampleController() override;

    void Update(double time) override;
    void Reset() override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    static int LiveCount();

    float speed = 1.0f;
    int updates = 0;
    double lastTime = 0.0;
};

// Registered, but its factory refuses.
class SampleAbstract : public Object {
    ZAV_OBJECT_CLASS(SampleAbstract, Object)
};

// "Имя[name] ID[id]", as the messages about an object end.
inline std::string NameAndId(const Object& object) {
    return std::string("Имя[") + object.GetName().CStr() + "] ID[" + std::to_string(object.GetId()) + "]";
}

}  // namespace zav::test
