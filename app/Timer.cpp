#include "app/Timer.h"

#include "engine/platform/Platform.h"

namespace zav {

Timer::Timer(Clock clock) : clock_(clock ? clock : &platform::MonotonicMilliseconds) { Reset(); }

double Timer::Now() const { return static_cast<double>(clock_()); }

void Timer::Reset() {
    start_ = last_ = Now();
    paused_ = 0;
    pausedAt_ = 0.0;
}

void Timer::Start() {
    double now = Now();
    if (paused_) {
        paused_ = 0;
        start_ += now - pausedAt_;
    } else {
        start_ = now;
    }
    last_ = now;
    pausedAt_ = 0.0;
}

void Timer::Pause() {
    if (paused_) return;
    paused_ = 1;
    pausedAt_ = Now();
}

double Timer::Tick() {
    double now = Now();
    double seconds = (now - last_) * 0.001;
    last_ = now;
    return seconds > 0.0 ? seconds : 0.0;
}

double Timer::Elapsed() const {
    double end = paused_ ? pausedAt_ : Now();
    double seconds = (end - start_) * 0.001;
    return seconds > 0.0 ? seconds : 0.0;
}

void FpsCounter::Frame() {
    ++frames_;
    accumulated_ += timer_.Tick();
    if (accumulated_ > 1.0) {
        fps_ = frames_ / accumulated_;
        frames_ = 0;
        accumulated_ -= 1.0;
    }
}

}  // namespace zav
