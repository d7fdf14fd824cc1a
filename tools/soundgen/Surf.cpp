// Waves at the shore: a low rumble of the swell under a wash that grows
// brighter and louder as each breaker comes in, and a fizz of foam as it
// falls back. Three breakers of different strength in a 10 s loop; their
// tails and every filter's state run on past the end into the start.
#include <cmath>

#include "tools/soundgen/MediaSounds.h"
#include "tools/soundgen/Synthesis.h"

namespace zav::soundgen {

namespace {

constexpr uint32_t kRate = 44100;
constexpr size_t kLoopFrames = kRate * 10;

struct Breaker {
    double arrives;   // seconds into the loop at which it starts to rise
    double strength;  // 0..1
};

constexpr Breaker kBreakers[] = {{0.6, 1.0}, {4.1, 0.65}, {7.2, 0.85}};

// How far a breaker has come, 0..1 (`time` seconds after it starts): a
// smooth rise over 1.4 s, then a slow fall as the water runs back.
double Swell(double time) {
    constexpr double kRise = 1.4;
    if (time < kRise) return 0.5 - 0.5 * std::cos(kTwoPi * 0.5 * time / kRise);
    return std::exp(-(time - kRise) / 1.7);
}

// The foam's fizz: strongest just after the crest, gone within 2 s.
double Foam(double time) {
    constexpr double kCrest = 1.5;
    if (time < kCrest) return 0.0;
    const double after = time - kCrest;
    return (1.0 - std::exp(-after / 0.08)) * std::exp(-after / 0.6);
}

// The sum over the breakers of `shape` at each frame, wrapped round the loop
// twice, so that what is left of a tail after one round is too faint to show.
std::vector<float> BreakerCurve(double (*shape)(double)) {
    std::vector<float> curve(kLoopFrames, 0.0f);
    for (const Breaker& breaker : kBreakers) {
        const auto first = static_cast<size_t>(std::llround(breaker.arrives * kRate));
        for (size_t i = 0; i < 2 * kLoopFrames; ++i)
            curve[(first + i) % kLoopFrames] += static_cast<float>(breaker.strength * shape(double(i) / kRate));
    }
    return curve;
}

// Noise low-passed twice at `cutoff(frame)` Hz, for a gentler slope.
std::vector<float> FilteredNoise(uint32_t seed, const std::function<double(size_t)>& cutoff) {
    std::vector<float> noise = LoopNoise(kLoopFrames, seed);
    LowPassLoop(noise, kRate, cutoff);
    LowPassLoop(noise, kRate, cutoff);
    return noise;
}

}  // namespace

Sound MakeSurf() {
    const std::vector<float> swell = BreakerCurve(Swell);
    const std::vector<float> foam = BreakerCurve(Foam);

    const std::vector<float> rumble = FilteredNoise(11, [](size_t) { return 160.0; });
    const std::vector<float> wash = FilteredNoise(12, [&](size_t i) { return 350.0 + 2600.0 * swell[i]; });
    // The fizz: what is left of the noise above about 2.5 kHz.
    const std::vector<float> hiss = LoopNoise(kLoopFrames, 13);
    std::vector<float> hissLow = hiss;
    LowPassLoop(hissLow, kRate, [](size_t) { return 2500.0; });

    Sound surf;
    surf.rate = kRate;
    surf.channels = 1;
    surf.samples.resize(kLoopFrames);
    for (size_t i = 0; i < kLoopFrames; ++i) {
        const double level = 0.25 + swell[i];
        surf.samples[i] = static_cast<float>(3.0 * rumble[i] * (0.6 + 0.4 * level) + 1.6 * wash[i] * level * level +
                                             0.12 * (hiss[i] - hissLow[i]) * foam[i]);
    }
    NormalisePeak(surf, 0.6f);
    return surf;
}

}  // namespace zav::soundgen
