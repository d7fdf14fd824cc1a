#pragma once

#include <cmath>
#include <cstdint>

#include "tools/soundgen/Synthesis.h"

namespace zav::soundgen {

// A sine of a fixed frequency, frame by frame: each frame turns the last
// one's phase by a rotation instead of taking a sine, and every 1024 frames
// it is set back onto the exact phase, so rounding never builds up.
class Oscillator {
public:
    Oscillator(double frequency, uint32_t rate, double phase = 0.0)
        : step_(kTwoPi * frequency / rate), phase_(phase),
          stepCos_(std::cos(step_)), stepSin_(std::sin(step_)) {}

    // The sine at the current frame; then one frame on.
    double Next() {
        if ((frame_ & 1023) == 0) {
            const double angle = phase_ + step_ * double(frame_);
            cos_ = std::cos(angle);
            sin_ = std::sin(angle);
        }
        const double value = sin_;
        const double turnedCos = cos_ * stepCos_ - sin_ * stepSin_;
        sin_ = sin_ * stepCos_ + cos_ * stepSin_;
        cos_ = turnedCos;
        ++frame_;
        return value;
    }

private:
    double step_;   // radians a frame
    double phase_;  // at frame 0
    double stepCos_, stepSin_;
    double cos_ = 1.0, sin_ = 0.0;
    uint64_t frame_ = 0;
};

}  // namespace zav::soundgen
