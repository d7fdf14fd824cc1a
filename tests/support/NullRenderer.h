#pragma once

#include <cstdint>

#include "engine/render/Renderer.h"
#include "engine/scene/Buffer.h"

namespace zav::test {

// A renderer without a device for benchmarks and fuzz targets: every frame
// succeeds, nothing is drawn, draws are counted.
class NullRenderer : public Renderer {
public:
    long draws = 0;
    bool pointSprites = false;
    int viewportWidth = 1024;
    int viewportHeight = 768;

    int CreateDevice(int32_t, const String&, void*, int32_t, int32_t, int32_t, int32_t) override { return 0; }
    int ReleaseDevice() override { return 0; }
    void Clear(int32_t, const Color&, float, uint32_t) override {}
    int BeginFrame() override { return 0; }
    int EndFrame() override { return 0; }
    void SetBrightness(int) override {}
    void ReleaseDeviceObject(Buffer* buffer) override { buffer->Detach(); }
    void DrawCurrent() override { ++draws; }
    void DrawPrimitives(int) override { ++draws; }
    void EnableLight(Light*) override {}
    void DisableLight() override {}
    int GetViewportWidth() const override { return viewportWidth; }
    int GetViewportHeight() const override { return viewportHeight; }
    bool SupportsPointSprites() const override { return pointSprites; }
};

}  // namespace zav::test
