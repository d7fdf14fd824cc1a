#pragma once

#include "engine/core/RefCounted.h"

namespace zav {

class Renderer;

// The second base of every engine object that the renderer mirrors on the
// device. The renderer creates the device object at first use (`handle`),
// takes `owner` as the renderer that must release it, and refills it while
// `dirty` is set. The owning object's destructor asks `owner` to release it.
class DeviceResource {
public:
    DeviceResource();
    virtual ~DeviceResource();
    DeviceResource(const DeviceResource&) = delete;
    DeviceResource& operator=(const DeviceResource&) = delete;

    bool IsDirty() const { return dirty_; }
    // Whoever changes the engine-side data sets this; uploading clears it.
    void SetDirty(bool dirty = true) { dirty_ = dirty; }

    Renderer* GetOwner() const { return owner_.Get(); }
    void* GetHandle() const { return handle_; }
    // Records the device object `handle` that `owner` created.
    void Attach(Renderer* owner, void* handle);
    // Forgets the device object (after its renderer released it): no handle,
    // no owner, dirty again.
    void Detach();

private:
    bool dirty_ = true;
    Ref<Renderer> owner_;
    void* handle_ = nullptr;
};

}  // namespace zav
