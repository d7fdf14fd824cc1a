#pragma once

#include <cstdint>

namespace zav {

// Frame timer on a millisecond clock. The clock is 64-bit (it does not wrap
// after 49.7 days) and a clock that steps back gives a zero time step.
class Timer {
public:
    using Clock = uint64_t (*)();

    explicit Timer(Clock clock = nullptr);  // null: the platform's clock

    // Forgets everything: starts counting now, not paused.
    void Reset();
    // Starts again after Pause (the paused time does not count), or from now.
    void Start();
    void Pause();
    // Seconds since the previous Tick, Start or Reset.
    double Tick();
    // Seconds counted since Reset or the first Start, without paused time.
    double Elapsed() const;

private:
    double Now() const;

    Clock clock_;
    double start_ = 0.0;
    double pausedAt_ = 0.0;
    double last_ = 0.0;
    uint8_t paused_ = 0;
};

// Frames per second, averaged over about a second of frames.
class FpsCounter {
public:
    explicit FpsCounter(Timer::Clock clock = nullptr) : timer_(clock) {}

    // Counts one frame.
    void Frame();
    double Fps() const { return fps_; }

private:
    uint32_t frames_ = 0;
    Timer timer_;
    double accumulated_ = 0.0;
    double fps_ = 0.0;
};

}  // namespace zav
