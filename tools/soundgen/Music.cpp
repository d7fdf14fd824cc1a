// The harbour's music: eight chords of two bars each in A minor at 63 beats a
// minute, pads that swell into each chord and fade under the next, a soft
// bass and a plucked, bell-like melody over sixteen bars, echoed from side
// to side. Every note's tail runs on past the loop's end into its start.
#include <cmath>
#include <vector>

#include "tools/mediagen/Paint.h"
#include "tools/soundgen/MediaSounds.h"
#include "tools/soundgen/Oscillator.h"
#include "tools/soundgen/Synthesis.h"

namespace zav::soundgen {

namespace {

constexpr uint32_t kRate = 44100;
constexpr size_t kBeatFrames = 42000;  // 63 beats a minute, a whole number of frames
constexpr double kBeat = double(kBeatFrames) / kRate;
constexpr int kBeatsPerChord = 8;
constexpr int kChordCount = 8;
constexpr size_t kLoopFrames = kBeatFrames * kBeatsPerChord * kChordCount;

struct Chord {
    int bass;      // MIDI note of the root, low
    int notes[4];  // the pad's voicing
};

// Am7, Fmaj7, Cmaj7, G6, Am(add9), Dm7, Fmaj9, E7 and back to Am7.
constexpr Chord kChords[kChordCount] = {
    {45, {57, 60, 64, 67}}, {41, {57, 60, 64, 65}}, {48, {55, 60, 64, 71}}, {43, {55, 59, 62, 64}},
    {45, {57, 59, 60, 64}}, {38, {57, 60, 62, 65}}, {41, {57, 60, 64, 67}}, {40, {56, 59, 62, 64}},
};

struct MelodyNote {
    double beat;   // from the loop's start
    int note;      // MIDI
    double beats;  // held for
};

constexpr MelodyNote kMelody[] = {
    {1, 76, 1.5},  {2.5, 74, 0.5}, {3, 72, 1},    {4, 69, 3},    {7, 72, 1},    {8, 72, 1.5},  {9.5, 69, 0.5},
    {10, 67, 1},   {11, 69, 1},    {12, 64, 3},   {16, 67, 1},   {17, 71, 1},   {18, 72, 2},   {20, 76, 2},
    {22, 74, 1},   {23, 72, 1},    {24, 74, 3},   {27, 71, 1},   {28, 67, 4},   {32, 76, 1},   {33, 79, 1.5},
    {34.5, 76, 0.5}, {35, 74, 1},  {36, 72, 2},   {38, 69, 2},   {40, 74, 1.5}, {41.5, 72, 0.5}, {42, 69, 1},
    {43, 77, 1},   {44, 76, 3},    {47, 74, 1},   {48, 72, 1},   {49, 69, 1},   {50, 72, 1},   {51, 76, 1},
    {52, 79, 2},   {54, 77, 1},    {55, 76, 1},   {56, 74, 1.5}, {57.5, 71, 0.5}, {58, 68, 2},  {60, 71, 2},
    {62, 68, 2},
};

// A pad note: a few soft harmonics on two slightly detuned oscillators; the
// upper harmonics open up as the note swells.
void AddPadNote(Sound& loop, double start, double hold, int note, float pan, double phase) {
    constexpr double kAttack = 2.2, kRelease = 3.2;
    constexpr int kHarmonics = 5;
    const double frequency = NoteFrequency(note);
    std::vector<Oscillator> oscillators;
    double weights[kHarmonics];
    for (int h = 1; h <= kHarmonics; ++h) {
        oscillators.emplace_back(frequency * h * 1.0021, kRate, phase * h);
        oscillators.emplace_back(frequency * h * 0.9979, kRate, phase * h + 1.3);
        weights[h - 1] = std::pow(h, -1.7);
    }
    AddNote(loop, start, kAttack + hold + kRelease, pan, [=](double time) mutable {
        const double envelope = SmoothEnvelope(time, kAttack, hold, kRelease);
        double sum = 0.0;
        for (int h = 0; h < kHarmonics; ++h)
            sum += weights[h] * (h >= 2 ? envelope : 1.0) * (oscillators[2 * h].Next() + oscillators[2 * h + 1].Next());
        return 0.05 * envelope * sum;
    });
}

// A bass note: a round sine with a little of its octave and twelfth, a
// short attack and a slow fall.
void AddBassNote(Sound& loop, double start, double hold, int note) {
    const double frequency = NoteFrequency(note);
    Oscillator first(frequency, kRate), second(2 * frequency, kRate), third(3 * frequency, kRate);
    const double fall = std::exp(-1.0 / (1.2 * kRate));
    double falling = 1.0;
    AddNote(loop, start, hold + 0.5, 0.0f, [=](double time) mutable {
        const double envelope = SmoothEnvelope(time, 0.04, hold - 0.04, 0.5) * (0.55 + 0.45 * falling);
        falling *= fall;
        return 0.2 * envelope * (first.Next() + 0.25 * second.Next() + 0.08 * third.Next());
    });
}

// A melody note: a pluck whose partials die away, the higher ones sooner,
// with a faint inharmonic ring that makes it sound like a small bell.
void AddMelodyNote(Sound& loop, double start, double hold, int note, float velocity) {
    struct Partial {
        double ratio, weight, decay;
    };
    constexpr Partial kPartials[] = {{1.0, 1.0, 1.8}, {2.0, 0.4, 0.9}, {3.0, 0.18, 0.5}, {4.0, 0.08, 0.35}, {5.43, 0.1, 0.12}};
    constexpr int kCount = 5;
    const double frequency = NoteFrequency(note);
    std::vector<Oscillator> oscillators;
    double gains[kCount], falls[kCount];
    for (int p = 0; p < kCount; ++p) {
        oscillators.emplace_back(frequency * kPartials[p].ratio, kRate);
        gains[p] = kPartials[p].weight;
        falls[p] = std::exp(-1.0 / (kPartials[p].decay * kRate));
    }
    AddNote(loop, start, hold + 0.6, 0.2f, [=](double time) mutable {
        double sum = 0.0;
        for (int p = 0; p < kCount; ++p) {
            sum += gains[p] * oscillators[p].Next();
            gains[p] *= falls[p];
        }
        return 0.16 * velocity * SmoothEnvelope(time, 0.004, hold + 0.2, 0.4) * sum;
    });
}

}  // namespace

Sound MakeHarbourMusic() {
    Sound music;
    music.rate = kRate;
    music.channels = 2;
    music.samples.assign(kLoopFrames * 2, 0.0f);
    mediagen::Random random(1963);

    const double chordSeconds = kBeat * kBeatsPerChord;
    for (int c = 0; c < kChordCount; ++c) {
        const Chord& chord = kChords[c];
        const double start = c * chordSeconds;
        // The pad swells in half a beat early, so the change lands on the bar.
        for (int v = 0; v < 4; ++v)
            AddPadNote(music, start - 0.5 * kBeat, chordSeconds - 1.6, chord.notes[v], -0.6f + 0.4f * v,
                       random.Range(0.0f, 6.28f));
        AddBassNote(music, start, 3.6 * kBeat, chord.bass);
        AddBassNote(music, start + 4 * kBeat, 2.6 * kBeat, chord.bass);
        AddBassNote(music, start + 7 * kBeat, 0.9 * kBeat, chord.bass + 7);
    }

    // The melody on a track of its own, so that only it is echoed.
    Sound melody = music;
    melody.samples.assign(music.samples.size(), 0.0f);
    for (const MelodyNote& note : kMelody) {
        const double nudge = random.Range(-0.008f, 0.008f);
        AddMelodyNote(melody, note.beat * kBeat + nudge, note.beats * kBeat, note.note, random.Range(0.8f, 1.0f));
    }
    LoopedEcho(melody, kBeatFrames * 3 / 4, 0.4f, 0.35f);
    for (size_t i = 0; i < music.samples.size(); ++i) music.samples[i] += melody.samples[i];

    NormalisePeak(music, 0.6f);
    return music;
}

}  // namespace zav::soundgen
