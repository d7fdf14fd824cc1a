#include "engine/render/DeviceResource.h"

#include "engine/render/Renderer.h"

namespace zav {

DeviceResource::DeviceResource() = default;

DeviceResource::~DeviceResource() = default;

void DeviceResource::Attach(Renderer* owner, void* handle) {
    owner_ = owner;
    handle_ = handle;
}

void DeviceResource::Detach() {
    handle_ = nullptr;
    dirty_ = true;
    owner_ = nullptr;
}

}  // namespace zav
