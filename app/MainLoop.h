#pragma once

#include "app/Timer.h"

namespace zav {

class Renderer;

// What the frame loop asks of the application each frame.
class FrameSteps {
public:
    virtual ~FrameSteps() = default;
    virtual bool IsRunning() const = 0;
    virtual int Update(double seconds) = 0;
    virtual int Render() = 0;
    // What is drawn over the frame (frame rate, clock); its result is not
    // looked at.
    virtual int DrawOverlays() = 0;
};

// Runs frames as fast as the device presents until the steps stop running:
// input, time step, frame rate, update, clear, begin, render, overlays,
// end. A frame the renderer cannot begin because its device is lost is
// skipped. Returns 0 when the run ended, 1 after logging a failed step.
int RunFrameLoop(FrameSteps& steps, Timer& timer, FpsCounter& fpsCounter, Renderer* renderer);

}  // namespace zav
