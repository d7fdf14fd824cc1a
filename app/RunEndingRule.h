#pragma once

#include <cstdint>

#include "engine/input/InputEvent.h"

namespace zav {

// Decides from input events when a screensaver run is over: a key or mouse
// button press, the window closing, or, when the user asked for it, mouse
// movement beyond an allowance that is never restored.
class RunEndingRule {
public:
    static constexpr int32_t kMouseMoveAllowance = 10;

    // True when the event ends the run.
    bool EndsRun(const InputEvent& event, bool exitOnMouseMove);
    int32_t MouseMoveAllowance() const { return mouseMoveAllowance_; }

private:
    int32_t mouseMoveAllowance_ = kMouseMoveAllowance;
};

}  // namespace zav
