#pragma once

#include <string>
#include <vector>

#include "engine/core/Result.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/Light.h"

namespace zav::test {

// A renderer without a device: records the device calls it receives, so
// tests can check what the engine asked for. Draws are recorded with the
// current node's name ("DrawCurrent cube", "DrawPrimitives flare 2").
class RecordingRenderer : public Renderer {
public:
    std::vector<std::string> calls;
    int createDeviceResult = kOk;
    int beginFrameResult = kOk;
    bool deviceLost = false;
    bool pointSprites = false;
    int viewportWidth = 800;
    int viewportHeight = 600;
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

    void ReleaseDeviceObject(Buffer* buffer) override {
        calls.push_back("ReleaseDeviceObject " + std::to_string(buffer->GetId()));
        buffer->Detach();
    }
    void DrawCurrent() override { calls.push_back("DrawCurrent " + CurrentName()); }
    void DrawPrimitives(int count) override {
        calls.push_back("DrawPrimitives " + CurrentName() + " " + std::to_string(count));
    }
    void EnableLight(Light* light) override {
        calls.push_back("EnableLight " + std::string(light ? light->GetName().CStr() : "null"));
    }
    void DisableLight() override { calls.push_back("DisableLight " + std::to_string(GetLightCount())); }
    int GetViewportWidth() const override { return viewportWidth; }
    int GetViewportHeight() const override { return viewportHeight; }
    bool SupportsPointSprites() const override { return pointSprites; }

    // Calls that start with `prefix`, in order.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const {
        std::vector<std::string> matching;
        for (const std::string& call : calls)
            if (call.compare(0, prefix.size(), prefix) == 0) matching.push_back(call);
        return matching;
    }

private:
    std::string CurrentName() const {
        GeometryNode* node = GetCurrentNode();
        return node ? node->GetName().CStr() : "none";
    }
};

}  // namespace zav::test
