#pragma once

#include <string>
#include <vector>

#include "engine/core/Result.h"
#include "engine/render/Renderer.h"

namespace zav::test {

// A renderer without a device: records the device calls it receives, so
// tests can check what the engine asked for.
class RecordingRenderer : public Renderer {
public:
    std::vector<std::string> calls;
    int createDeviceResult = kOk;
    int beginFrameResult = kOk;
    bool deviceLost = false;
    Color lastClearColor;
    int32_t lastClearFlags = 0;

    void AddMode(const DisplayMode& mode) { modes_.push_back(mode); }
    void SetDefaultMode(int32_t index) { defaultMode_ = index; }

    int CreateDevice(int32_t modeIndex, const String&, void*, int32_t x, int32_t y, int32_t width,
                     int32_t height) override {
        calls.push_back("CreateDevice " + std::to_string(modeIndex) + " " + std::to_string(x) + "," +
                        std::to_string(y) + " " + std::to_string(width) + "x" + std::to_string(height));
        return createDeviceResult;
    }
    int ReleaseDevice() override {
        calls.push_back("ReleaseDevice");
        return kOk;
    }
    void Clear(int32_t flags, const Color& color, float, uint32_t) override {
        lastClearFlags = flags;
        lastClearColor = color;
        calls.push_back("Clear");
    }
    int BeginFrame() override {
        calls.push_back("BeginFrame");
        return beginFrameResult;
    }
    int EndFrame() override {
        calls.push_back("EndFrame");
        return kOk;
    }
    void SetBrightness(int level) override { calls.push_back("SetBrightness " + std::to_string(level)); }
    bool IsDeviceLost() const override { return deviceLost; }
};

}  // namespace zav::test
