#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/RefCounted.h"
#include "engine/core/String.h"
#include "engine/render/Color.h"
#include "engine/render/DisplayMode.h"

namespace zav {

class Module;

// Buffers that Clear clears.
enum ClearFlags : int32_t { kClearColor = 1, kClearDepth = 2, kClearStencil = 4 };

// The engine's path to the graphics device. The base class holds what every
// back end shares (mode list, window); a back end (the Direct3D 9 one)
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
    Ref<Module> module_;
};

// The current renderer, or null.
Renderer* GetRenderer();

// Creates the renderer of the named module through its "CreateRenderer"
// symbol and makes it current: 0, or 1 / 3 after logging the failure.
int CreateRenderer(const String& name);
// Drops the current renderer. Always 0.
int DestroyRenderer();

// Signature of a module's "CreateRenderer" symbol.
using CreateRendererFunction = int (*)(Renderer** renderer);

}  // namespace zav
