#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/RefCounted.h"
#include "engine/core/String.h"
#include "engine/render/DisplayMode.h"

namespace zav {

class Module;

// The engine's path to the graphics device. The base class holds what every
// back end shares; a back end (the Direct3D 9 one) implements the device
// operations.
class Renderer : public RefCounted {
public:
    Renderer();
    ~Renderer() override;

    Module* GetModule() const { return module_.Get(); }
    void SetModule(Module* module);

    // Gamma level, -100..100: ramp entry i = clamp(200 * level + 256 * i).
    virtual void SetBrightness(int level) = 0;

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
