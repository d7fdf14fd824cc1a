// A bell buoy's ring: the clapper's knock, then the partials of a bell
// (hum, prime, minor third, fifth, nominal and the inharmonic ones above),
// each a pair a fraction of a hertz apart so that it beats, the higher ones
// dying sooner. The last half second fades to silence.
#include <cmath>
#include <vector>

#include "tools/soundgen/MediaSounds.h"
#include "tools/soundgen/Oscillator.h"
#include "tools/soundgen/Synthesis.h"

namespace zav::soundgen {

namespace {

constexpr uint32_t kRate = 44100;
constexpr double kSeconds = 3.5;
constexpr double kPrime = 470.0;  // Hz

struct Partial {
    double ratio;   // to the prime
    double weight;  // at the strike
    double decay;   // seconds to fall to 1/e
    double beat;    // Hz between the pair
};

constexpr Partial kPartials[] = {
    {0.5, 0.55, 1.5, 0.3},  {1.0, 0.8, 1.2, 0.5},   {1.19, 0.6, 1.0, 0.7},  {1.5, 0.35, 0.8, 0.4},
    {2.0, 0.7, 0.75, 0.9},  {2.51, 0.3, 0.5, 1.1},  {2.66, 0.25, 0.45, 0.6}, {3.01, 0.2, 0.4, 1.3},
    {4.17, 0.15, 0.28, 1.7}, {5.43, 0.1, 0.2, 2.1}, {6.8, 0.06, 0.14, 2.6},
};

}  // namespace

Sound MakeBellRing() {
    Sound bell;
    bell.rate = kRate;
    bell.channels = 1;
    const auto frames = static_cast<size_t>(std::llround(kSeconds * kRate));
    bell.samples.assign(frames, 0.0f);

    // The knock: a few milliseconds of noise, its lows taken away.
    std::vector<float> knock = LoopNoise(frames, 29);
    std::vector<float> knockLow = knock;
    LowPassLoop(knockLow, kRate, [](size_t) { return 900.0; });

    std::vector<Oscillator> oscillators;
    std::vector<double> gains, falls;
    for (const Partial& partial : kPartials) {
        oscillators.emplace_back(kPrime * partial.ratio, kRate);
        oscillators.emplace_back(kPrime * partial.ratio + partial.beat, kRate);
        gains.push_back(partial.weight);
        falls.push_back(std::exp(-1.0 / (partial.decay * kRate)));
    }
    const double knockFall = std::exp(-1.0 / (0.004 * kRate));
    double knockGain = 0.6;
    for (size_t i = 0; i < frames; ++i) {
        const double time = double(i) / kRate;
        double ring = 0.0;
        for (size_t p = 0; p < gains.size(); ++p) {
            ring += gains[p] * (oscillators[2 * p].Next() + 0.5 * oscillators[2 * p + 1].Next());
            gains[p] *= falls[p];
        }
        const double strike = SmoothEnvelope(time, 0.0015, kSeconds, 0.0);
        const double fade = SmoothEnvelope(kSeconds - time, 0.5, kSeconds, 0.0);
        const double click = knockGain * (knock[i] - knockLow[i]);
        knockGain *= knockFall;
        bell.samples[i] = static_cast<float>(fade * (strike * ring + click));
    }
    NormalisePeak(bell, 0.7f);
    return bell;
}

}  // namespace zav::soundgen
