#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/core/Decoder.h"
#include "audio/core/Spatial.h"

namespace zav::audio {

// One stream of the mixer: its decoder, how it plays and where it is.
// Channels are touched only with the mixer's lock held.
class Channel {
public:
    // `bytes` holds the sound when the library read it from a file (empty
    // for a sound in the caller's memory); `flags` are kAudioLoop, kAudio3D.
    Channel(std::unique_ptr<Decoder> decoder, std::vector<uint8_t> bytes, uint32_t flags);

    bool Is3D() const { return is3D_; }
    bool IsLooping() const { return loop_; }
    void SetLooping(bool loop) { loop_ = loop; }
    bool IsPlaying() const { return playing_; }

    // Starts or resumes; with `restart`, from the first frame. A sound that
    // played to its end stays at its end until it is restarted.
    void Play(bool restart);
    // Stops where it is; Play without restart goes on from there.
    void Stop() { playing_ = false; }

    int32_t volume = 100;    // 0..100
    int32_t pan = 0;         // -100 (left) .. 100 (right), channels without 3D
    uint32_t frequency = 0;  // playback rate; 0 plays at the sound's own rate
    Placement placement;     // 3D channels; heard once the library applies it
    StereoGain spatial;      // the applied placement's gains
    // Kept for the caller; the mixer does not use them.
    int32_t innerAngle = 360, outerAngle = 360, outerVolume = 100;
    AudioVector orientation{0, 0, 0}, velocity{0, 0, 0};

    uint32_t GetSourceRate() const { return decoder_->GetRate(); }

    // Adds `frames` stereo frames at `outputRate` to `mix`, with every
    // gain multiplied by `master`. Resamples linearly; a 3D channel is mixed
    // down to one signal and placed by `spatial`. Gain changes glide over
    // the block.
    void MixInto(float* mix, int frames, uint32_t outputRate, float master);

private:
    bool NextFrame(float frame[2]);
    // Fills source_ with the next frames of the sound (after its end, from
    // its start when looping); the frame count, 0 at the end.
    int ReadSource();
    // Appends the first `values` of source_ to kept_; false when there is
    // no memory for them.
    bool Keep(size_t values);
    // Goes back to the first frame; false when the decoder cannot.
    bool RewindSource();
    void Finish();

    std::unique_ptr<Decoder> decoder_;
    std::vector<uint8_t> bytes_;
    bool loop_;
    bool is3D_;
    bool playing_ = false;
    bool atEnd_ = false;   // the last frame has been played
    bool primed_ = false;  // current_ and next_ hold the first two frames
    bool sourceEnded_ = false;
    double phase_ = 0.0;  // position between current_ and next_
    float current_[2] = {0, 0}, next_[2] = {0, 0};
    std::vector<float> source_;
    int sourceCount_ = 0, sourceNext_ = 0;
    // A sound of up to kKeptFrames frames is kept as it first plays from
    // its start to its end; later passes (loops, restarts) play from memory
    // without the decoder, so a short loop costs no decoding however often it
    // turns.
    std::vector<float> kept_;
    bool keeping_ = true;     // the pass started at the first frame and kept_ holds it so far
    bool keepable_ = true;    // false once the sound proved too long to keep (or memory ran out)
    bool keptWhole_ = false;  // kept_ holds the whole sound
    size_t keptNext_ = 0;     // the next frame of kept_
    bool gainsSet_ = false;
    float gainLeft_ = 0.0f, gainRight_ = 0.0f;  // applied at the end of the last block
};

}  // namespace zav::audio
