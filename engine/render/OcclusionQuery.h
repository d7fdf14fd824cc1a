#pragma once

#include <cstdint>

#include "engine/core/Object.h"
#include "engine/render/DeviceResource.h"

namespace zav {

// Counts the pixels that pass the depth test between the renderer's
// BeginQuery and EndQuery; the device query is its device object.
class OcclusionQuery : public Object, public DeviceResource {
    ZAV_OBJECT_CLASS(OcclusionQuery, Object)

    explicit OcclusionQuery(const String& name = String()) : Object(name) {}
    // Asks the renderer that made the device query to release it.
    ~OcclusionQuery() override;

    // Pixels drawn between the two markers of the last query; 0 when the
    // device could not tell.
    int32_t GetVisiblePixels() const { return visiblePixels_; }
    void SetVisiblePixels(int32_t pixels) { visiblePixels_ = pixels; }

private:
    int32_t visiblePixels_ = 0;
};

}  // namespace zav
