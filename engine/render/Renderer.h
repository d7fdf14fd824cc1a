#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/Array.h"
#include "engine/core/RefCounted.h"
#include "engine/core/String.h"
#include "engine/core/Values.h"
#include "engine/render/DisplayMode.h"

namespace zav {

class Buffer;
class Camera;
class GeometryNode;
class Light;
class Module;

// Buffers that Clear clears.
enum ClearFlags : int32_t { kClearColor = 1, kClearDepth = 2, kClearStencil = 4 };

// The engine's path to the graphics device. The base class holds what every
// back end shares (mode list, window, the current camera and node, the light
// stack and the deferred blended geometry); a back end (the Direct3D 9 one)
// implements the device operations.
class Renderer : public RefCounted {
public:
    Renderer();
    ~Renderer() override;

    // Creates the device for `modeIndex` on the open window; windowed modes use
    // x, y, width, height. 0 success, 1 failure.
    virtual int CreateDevice(int32_t modeIndex, const String& windowName, void* windowData, int32_t x, int32_t y,
                             int32_t width, int32_t height) = 0;
    // Releases every device object, then the device. A renderer without a
    // device has nothing to release.
    virtual int ReleaseDevice() = 0;
    // Clears the buffers named by `flags` (ClearFlags).
    virtual void Clear(int32_t flags, const Color& color, float depth, uint32_t stencil) = 0;
    // Starts a frame. 1 when the frame cannot be drawn (no device, or the
    // device is lost: see IsDeviceLost).
    virtual int BeginFrame() = 0;
    // Ends the frame and presents it.
    virtual int EndFrame() = 0;
    // Gamma level, -100..100: ramp entry i = clamp(200 * level + 256 * i).
    virtual void SetBrightness(int level) = 0;
    // True while the device is lost: frames are skipped until it comes back.
    virtual bool IsDeviceLost() const { return false; }

    // Releases the device copy of `buffer` and detaches it (no handle, no
    // owner, dirty again); called when the buffer is destroyed.
    virtual void ReleaseDeviceObject(Buffer* buffer) = 0;
    // Draws the current node's indexed primitives with the pass applied last.
    virtual void DrawCurrent() = 0;
    // Draws `primitiveCount` primitives of the current node's kind from
    // vertex 0 without indices.
    virtual void DrawPrimitives(int primitiveCount) = 0;
    // Switches on device light number (light count - 1) for `light`, which
    // the caller has just pushed; the first one switches lighting on.
    virtual void EnableLight(Light* light) = 0;
    // Switches off device light number (light count); with no lights left,
    // lighting is switched off.
    virtual void DisableLight() = 0;
    // Size of the render target being drawn, in pixels.
    virtual int GetViewportWidth() const = 0;
    virtual int GetViewportHeight() const = 0;
    // Whether points can be drawn as textured sprites.
    virtual bool SupportsPointSprites() const { return false; }

    // Makes `camera` current and re-enables all of its culling planes.
    void SetCamera(Camera* camera);
    Camera* GetCamera() const { return camera_.Get(); }
    // The geometry node being drawn.
    void SetCurrentNode(GeometryNode* node);
    GeometryNode* GetCurrentNode() const { return currentNode_.Get(); }
    // Appends `light` to the light stack (not counted); a lit pass pushes its
    // light just before EnableLight.
    void PushLight(Light* light);
    int GetLightCount() const { return lights_.Count(); }
    Light* GetLight(int index) const { return index >= 0 && index < lights_.Count() ? lights_[index] : nullptr; }
    // Empties the light stack from the top, switching each light off.
    void SwitchOffLights();
    // Queues a blended node to be drawn later, farthest first, with its
    // squared distance from the current camera.
    void Defer(GeometryNode* node);
    int GetDeferredCount() const { return deferred_.Count(); }
    // Draws the queued nodes farthest first (equal distances in the order
    // they came, distances that are not numbers last) and empties the queue.
    void FlushDeferred();

    // Starts a frame: makes sure there is a current camera (a default one
    // when none was set), updates it, turns the audio listener with it and
    // begins the device frame, whose result it returns.
    int BeginRender();
    // Draws the deferred nodes, forgets the current node and ends the device
    // frame.
    int EndRender();

    // Opens the window for mode `modeIndex` (closing an open one first) and
    // creates the device on it. A full-screen mode takes its own size at
    // (0, 0). 0 success, 1 failure, 3 index out of range.
    int OpenWindow(int32_t modeIndex, const String& title, void* parent, int32_t x, int32_t y, int32_t width,
                   int32_t height);
    // Releases the device and closes the window. 3 without a window.
    int CloseWindow();

    Module* GetModule() const { return module_.Get(); }
    void SetModule(Module* module);

    const std::vector<DisplayMode>& GetModes() const { return modes_; }
    int32_t GetDefaultMode() const { return defaultMode_; }
    void* GetWindow() const { return window_; }

protected:
    std::vector<DisplayMode> modes_;
    int32_t defaultMode_ = -1;
    void* window_ = nullptr;

private:
    struct DeferredNode {
        Ref<GeometryNode> node;
        float distanceSquared;
    };

    Ref<Module> module_;
    Ref<Camera> camera_;
    Ref<GeometryNode> currentNode_;
    Array<Light*> lights_{1, 1};
    Array<DeferredNode> deferred_;  // made in the .cpp, where GeometryNode is complete
};

// Turns the audio listener: `front` and `top` are the current camera's
// forward and up axes. The sound manager installs it; null turns nothing.
using ListenerFunction = void (*)(const Vector3& front, const Vector3& top);
void SetListenerFunction(ListenerFunction function);

// The current renderer, or null.
Renderer* GetRenderer();
// Makes `renderer` current without a module (tools and tests).
void MakeRendererCurrent(Renderer* renderer);

// Creates the renderer of the named module through its "CreateRenderer"
// symbol and makes it current: 0, or 1 / 3 after logging the failure.
int CreateRenderer(const String& name);
// Drops the current renderer. Always 0.
int DestroyRenderer();

// Signature of a module's "CreateRenderer" symbol.
using CreateRendererFunction = int (*)(Renderer** renderer);

}  // namespace zav
