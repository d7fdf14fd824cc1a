#include "tools/soundgen/Synthesis.h"

#include <algorithm>
#include <cmath>

#include "tools/mediagen/Paint.h"

namespace zav::soundgen {

double NoteFrequency(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

double SmoothEnvelope(double time, double attack, double hold, double release) {
    if (time <= 0.0) return 0.0;
    if (time < attack) return 0.5 - 0.5 * std::cos(kTwoPi * 0.5 * time / attack);
    time -= attack;
    if (time < hold) return 1.0;
    time -= hold;
    if (time < release) return 0.5 + 0.5 * std::cos(kTwoPi * 0.5 * time / release);
    return 0.0;
}

namespace {

// The gains of a constant-power pan: -1 left, 0 centre, 1 right.
void PanGains(float pan, float& left, float& right) {
    const double angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0) * kTwoPi / 8.0;
    left = static_cast<float>(std::cos(angle));
    right = static_cast<float>(std::sin(angle));
}

}  // namespace

void AddNote(Sound& loop, double start, double seconds, float pan, const std::function<double(double)>& voice) {
    const auto frames = static_cast<long long>(loop.Frames());
    if (frames == 0) return;
    float left = 1.0f, right = 0.0f;
    if (loop.channels == 2) PanGains(pan, left, right);
    const long long first = ((std::llround(start * loop.rate) % frames) + frames) % frames;
    const long long count = std::llround(seconds * loop.rate);
    for (long long i = 0; i < count; ++i) {
        const auto frame = static_cast<size_t>((first + i) % frames);
        const auto value = static_cast<float>(voice(double(i) / loop.rate));
        if (loop.channels == 1) {
            loop.samples[frame] += value;
        } else {
            loop.samples[frame * 2] += value * left;
            loop.samples[frame * 2 + 1] += value * right;
        }
    }
}

float Peak(const Sound& sound) {
    float peak = 0.0f;
    for (float sample : sound.samples) peak = std::max(peak, std::fabs(sample));
    return peak;
}

float Rms(const Sound& sound) {
    double sum = 0.0;
    for (float sample : sound.samples) sum += double(sample) * sample;
    return sound.samples.empty() ? 0.0f : static_cast<float>(std::sqrt(sum / double(sound.samples.size())));
}

void NormalisePeak(Sound& sound, float peak) {
    const float largest = Peak(sound);
    if (largest <= 0.0f) return;
    const float gain = peak / largest;
    for (float& sample : sound.samples) sample *= gain;
}

std::vector<float> LoopNoise(size_t frames, uint32_t seed) {
    mediagen::Random random(seed);
    std::vector<float> noise(frames);
    for (float& value : noise) value = random.Range(-1.0f, 1.0f);
    return noise;
}

void LowPassLoop(std::vector<float>& loop, uint32_t rate, const std::function<double(size_t)>& cutoff) {
    std::vector<float> filtered(loop.size());
    double state = 0.0;
    for (int round = 0; round < 2; ++round)
        for (size_t i = 0; i < loop.size(); ++i) {
            const double step = 1.0 - std::exp(-kTwoPi * cutoff(i) / rate);
            state += step * (loop[i] - state);
            filtered[i] = static_cast<float>(state);
        }
    loop.swap(filtered);
}

void LoopedEcho(Sound& loop, size_t delay, float feedback, float wet) {
    const size_t frames = loop.Frames();
    if (loop.channels != 2 || delay == 0 || delay >= frames) return;
    // The echoes alone; the first round lacks what comes back from the end
    // of the loop, the second has it (short only of echoes fainter than
    // feedback to the power frames / delay).
    std::vector<float> echo(loop.samples.size(), 0.0f);
    for (int round = 0; round < 2; ++round)
        for (size_t i = 0; i < frames; ++i) {
            const size_t from = (i + frames - delay) % frames;
            echo[i * 2] = loop.samples[from * 2 + 1] + feedback * echo[from * 2 + 1];
            echo[i * 2 + 1] = loop.samples[from * 2] + feedback * echo[from * 2];
        }
    for (size_t i = 0; i < loop.samples.size(); ++i) loop.samples[i] += wet * echo[i];
}

}  // namespace zav::soundgen
