// Object references in a stream: each object is written in full at its first
// reference (ID, type name, record) and as its bare ID afterwards, so shared
// objects and cycles read back as the same instances.
#include <utility>

#include "engine/core/Log.h"
#include "engine/core/Object.h"
#include "engine/core/ObjectFactory.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"

namespace zav {

namespace {

constexpr int32_t kNullReference = -1;

void LogRecord(const String& typeName, const Object& object, int32_t position) {
    LogInfo("RTTI[%s] ID[%d] Name[%s] Pointer[%d]", typeName.CStr(), object.GetId(), object.GetName().CStr(), position);
}

}  // namespace

// A hostile stream could nest records until the stack runs out.
bool Stream::NestedTooDeeply(const String& typeName, int32_t id) {
    if (nesting_ < kMaxObjectNesting) return false;
    LogError("Превышена допустимая вложенность объектов в потоке. RTTI[%s] ID[%d]", typeName.CStr(), id);
    Fail(kFailed);
    return true;
}

int Stream::WriteObject(Object* object) {
    if (!object) return WriteInt32(kNullReference);
    const int32_t id = object->GetId();
    LogInfo("Write ID[%d]", id);
    if (objects_.Find(id)) return WriteInt32(id);
    const String& typeName = object->GetType()->GetName();
    if (NestedTooDeeply(typeName, id)) return state_;
    if (WriteInt32(id) != kOk) return state_;
    objects_.Insert(id, object);
    if (WriteString(typeName) != kOk) return state_;
    ++nesting_;
    int saved = object->Save(*this);
    --nesting_;
    if (saved != kOk) Fail(saved);
    LogRecord(typeName, *object, position_);
    return state_;
}

int Stream::ReadObject(Object** object) { return ReadObject(nullptr, object); }

int Stream::ReadObject(const TypeInfo& type, Object** object) { return ReadObject(&type, object); }

int Stream::ReadObject(const TypeInfo* type, Object** object) {
    if (!object) return kNotFound;
    *object = nullptr;
    int32_t id = 0;
    if (ReadInt32(id) != kOk) return state_;
    LogInfo("Read ID[%d]", id);
    if (id == kNullReference) return state_;
    const bool outermost = nesting_ == 0;
    Object* read = nullptr;
    if (Object** known = objects_.Find(id))
        read = *known;
    else
        ReadNewObject(id, &read);
    // A field that must hold a given class refuses any other; the field's
    // own message tells the rest.
    if (read && type && !read->IsKindOf(type)) Fail(kFailed);
    if (outermost) FinishRead(state_ == kOk, read);
    if (state_ == kOk) *object = read;
    return state_;
}

int Stream::ReadNewObject(int32_t streamId, Object** object) {
    String typeName;
    if (ReadString(typeName) != kOk) return state_;
    if (NestedTooDeeply(typeName, streamId)) return state_;
    ObjectFactory factory = FindFactory(typeName);
    if (!factory) {
        LogError("Невозможно найти функцию создания объекта. RTTI[%s] ID[%d]", typeName.CStr(), streamId);
        return Fail(kFailed);
    }
    Object* created = nullptr;
    if (factory(&created) != kOk || !created) {
        LogError("Невозможно создать объект. RTTI[%s] ID[%d]", typeName.CStr(), streamId);
        return Fail(kFailed);
    }
    // Held until the outermost read ends, so that a failure can release it.
    created->AddRef();
    created_.push_back({streamId, created});
    // Entered before loading, so references back to it from inside its own
    // record resolve to it.
    objects_.Insert(streamId, created);
    ++nesting_;
    int loaded = created->Load(*this);
    --nesting_;
    if (loaded != kOk) Fail(loaded);
    LogRecord(typeName, *created, position_);
    *object = created;
    return state_;
}

// Ends the outermost read. On success the objects go back to the counts their
// holders gave them (the result to 0: the caller takes the first reference);
// one that nothing took a reference to (a node named only as some node's
// parent) would never be freed, so it is released now. On failure they all
// leave the object map, let go of each other and are released, so none of
// them outlives the read.
void Stream::FinishRead(bool succeeded, Object* result) {
    std::vector<Created> created;
    created.swap(created_);
    if (succeeded) {
        // An object whose only reference is the read's own hold is garbage;
        // freeing it may leave others so. Holders usually come before what
        // they hold, references back by ID the other way, so the passes
        // alternate in direction until one frees nothing.
        if (result) result->AddRef();
        auto releaseGarbage = [this](Created& entry) {
            if (!entry.object || entry.object->RefCount() != 1) return false;
            objects_.Remove(entry.streamId);
            Object* garbage = entry.object;
            entry.object = nullptr;
            garbage->Release();
            return true;
        };
        for (bool released = true, forward = true; released; forward = !forward) {
            released = false;
            if (forward)
                for (Created& entry : created) released |= releaseGarbage(entry);
            else
                for (auto it = created.rbegin(); it != created.rend(); ++it) released |= releaseGarbage(*it);
        }
        for (const Created& entry : created)
            if (entry.object) entry.object->ReleaseWithoutDestroying();
        if (result) result->ReleaseWithoutDestroying();
        return;
    }
    for (const Created& entry : created) {
        objects_.Remove(entry.streamId);
        entry.object->DropReferences();
    }
    for (auto it = created.rbegin(); it != created.rend(); ++it) it->object->Release();
}

}  // namespace zav
