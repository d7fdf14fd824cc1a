#pragma once

#include "engine/core/Named.h"
#include "engine/core/RefCounted.h"
#include "engine/input/InputEvent.h"

namespace zav {

// Receives input events from the input manager.
class InputHandler : public RefCounted, public Named {
public:
    explicit InputHandler(const String& name) : Named(name) {}
    virtual int OnInputEvent(const InputEvent& event) = 0;
};

}  // namespace zav
