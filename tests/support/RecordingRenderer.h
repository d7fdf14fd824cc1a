#pragma once

#include <string>
#include <vector>

#include "engine/core/Result.h"
#include "engine/render/BaseTexture.h"
#include "engine/render/Pass.h"
#include "engine/render/Texture.h"
#include "engine/render/null/NullRenderer.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/Light.h"

namespace zav::test {

// The null renderer that also records the device calls it receives, so
// tests can check what the engine asked for. Calls are recorded with the
// current node's name ("DrawCurrent cube", "DrawPrimitives flare 2") or the
// object's name ("BindTexture stone 0", "BeginPass 12" with the pass ID).
class RecordingRenderer : public NullRenderer {
public:
    std::vector<std::string> calls;
    int createDeviceResult = kOk;
    int beginFrameResult = kOk;
    bool deviceLost = false;
    Color lastClearColor;
    int32_t lastClearFlags = 0;

    // No modes and an 800 × 600 viewport until a test says otherwise.
    RecordingRenderer() {
        modes_.clear();
        defaultMode_ = -1;
        SetViewportSize(800, 600);
    }

    void AddMode(const DisplayMode& mode) { modes_.push_back(mode); }
    void SetDefaultMode(int32_t index) { defaultMode_ = index; }
    void ClearModes() { modes_.clear(); }

    int CreateDevice(int32_t modeIndex, const String& name, void* data, int32_t x, int32_t y, int32_t width,
                     int32_t height) override {
        calls.push_back("CreateDevice " + std::to_string(modeIndex) + " " + std::to_string(x) + "," +
                        std::to_string(y) + " " + std::to_string(width) + "x" + std::to_string(height));
        if (createDeviceResult == kOk) NullRenderer::CreateDevice(modeIndex, name, data, x, y, width, height);
        return createDeviceResult;
    }
    int ReleaseDevice() override {
        calls.push_back("ReleaseDevice");
        return NullRenderer::ReleaseDevice();
    }
    void Clear(int32_t flags, const Color& color, float depth, uint32_t stencil) override {
        lastClearFlags = flags;
        lastClearColor = color;
        calls.push_back("Clear");
        NullRenderer::Clear(flags, color, depth, stencil);
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
        NullRenderer::ReleaseDeviceObject(buffer);
    }
    void ReleaseDeviceObject(BaseTexture* texture) override {
        calls.push_back("ReleaseTexture " + Name(texture));
        NullRenderer::ReleaseDeviceObject(texture);
    }
    void ReleasePass(Pass* pass) override {
        calls.push_back("ReleasePass " + std::to_string(pass->GetId()));
        NullRenderer::ReleasePass(pass);
    }
    void BindTexture(BaseTexture* texture, int stage) override {
        calls.push_back("BindTexture " + Name(texture) + " " + std::to_string(stage));
        NullRenderer::BindTexture(texture, stage);
    }
    int BeginPass(Pass* pass) override {
        const bool recording = !pass->GetHandle() || pass->IsDirty();
        calls.push_back((recording ? "RecordPass " : "BeginPass ") + std::to_string(pass->GetId()));
        return NullRenderer::BeginPass(pass);
    }
    // Draws made while the depth test is "equal" say so.
    void DrawCurrent() override {
        calls.push_back("DrawCurrent " + CurrentName() + (IsDepthEqual() ? " depth-equal" : ""));
        NullRenderer::DrawCurrent();
    }
    void DrawPrimitives(int count) override {
        calls.push_back("DrawPrimitives " + CurrentName() + " " + std::to_string(count));
        NullRenderer::DrawPrimitives(count);
    }
    void PushTextureTarget(Texture* texture) override {
        calls.push_back("PushTextureTarget " + Name(texture));
        NullRenderer::PushTextureTarget(texture);
    }
    void PopTarget() override {
        calls.push_back("PopTarget");
        NullRenderer::PopTarget();
    }
    void SetViewport(float x, float y, float width, float height) override {
        NullRenderer::SetViewport(x, y, width, height);
        calls.push_back("SetViewport " + std::to_string(GetViewportX()) + "," + std::to_string(GetViewportY()) + " " +
                        std::to_string(GetViewportWidth()) + "x" + std::to_string(GetViewportHeight()));
    }
    void EnableLight(Light* light) override {
        calls.push_back("EnableLight " + std::string(light ? light->GetName().CStr() : "null"));
        NullRenderer::EnableLight(light);
    }
    void DisableLight() override {
        calls.push_back("DisableLight " + std::to_string(GetLightCount()));
        NullRenderer::DisableLight();
    }

    // Calls that start with `prefix`, in order.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const {
        std::vector<std::string> matching;
        for (const std::string& call : calls)
            if (call.compare(0, prefix.size(), prefix) == 0) matching.push_back(call);
        return matching;
    }

private:
    static std::string Name(const Object* object) { return object ? object->GetName().CStr() : "null"; }
    std::string CurrentName() const { return Name(GetCurrentNode()); }
};

}  // namespace zav::test
