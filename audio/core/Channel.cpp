#include "audio/core/Channel.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <utility>

namespace zav::audio {

namespace {

constexpr int kSourceChunk = 256;  // frames decoded at a time
constexpr size_t kKeptFrames = 65536;  // 1.5 s at 44.1 kHz; 512 KB of stereo

}  // namespace

Channel::Channel(std::unique_ptr<Decoder> decoder, std::vector<uint8_t> bytes, uint32_t flags)
    : decoder_(std::move(decoder)),
      bytes_(std::move(bytes)),
      loop_((flags & kAudioLoop) != 0),
      is3D_((flags & kAudio3D) != 0),
      source_(static_cast<size_t>(kSourceChunk * decoder_->GetChannels())) {}

void Channel::Play(bool restart) {
    if (restart) {
        RewindSource();
        sourceCount_ = sourceNext_ = 0;
        primed_ = sourceEnded_ = atEnd_ = false;
        phase_ = 0.0;
    }
    playing_ = !atEnd_;
}

void Channel::Finish() {
    playing_ = false;
    atEnd_ = true;
}

int Channel::ReadSource() {
    const size_t channels = static_cast<size_t>(decoder_->GetChannels());
    if (keptWhole_) {
        const size_t count = std::min(static_cast<size_t>(kSourceChunk), kept_.size() / channels - keptNext_);
        std::copy_n(kept_.begin() + static_cast<std::ptrdiff_t>(keptNext_ * channels), count * channels,
                    source_.begin());
        keptNext_ += count;
        return static_cast<int>(count);
    }
    const int count = std::max(decoder_->Read(source_.data(), kSourceChunk), 0);
    if (keeping_) {
        const size_t values = static_cast<size_t>(count) * channels;
        if (count == 0) {
            keeping_ = false;
            keptWhole_ = !kept_.empty();
            keptNext_ = kept_.size() / channels;
        } else if (kept_.size() + values > kKeptFrames * channels || !Keep(values)) {
            keeping_ = keepable_ = false;  // later passes need not try again
            std::vector<float>().swap(kept_);
        }
    }
    return count;
}

bool Channel::Keep(size_t values) {
    try {
        kept_.insert(kept_.end(), source_.begin(), source_.begin() + static_cast<std::ptrdiff_t>(values));
        return true;
    } catch (const std::bad_alloc&) {
        return false;  // plays on from the decoder
    }
}

bool Channel::RewindSource() {
    if (keptWhole_) {
        keptNext_ = 0;
        return true;
    }
    kept_.clear();
    keeping_ = keepable_;
    return decoder_->Rewind();
}

bool Channel::NextFrame(float frame[2]) {
    if (sourceNext_ == sourceCount_) {
        sourceNext_ = 0;
        sourceCount_ = ReadSource();
        if (sourceCount_ == 0 && loop_ && RewindSource()) sourceCount_ = ReadSource();
        if (sourceCount_ == 0) return false;
    }
    const int channels = decoder_->GetChannels();
    const float* values = &source_[static_cast<size_t>(sourceNext_ * channels)];
    frame[0] = values[0];
    frame[1] = channels == 2 ? values[1] : values[0];
    ++sourceNext_;
    return true;
}

void Channel::MixInto(float* mix, int frames, uint32_t outputRate, float master) {
    if (!playing_ || frames <= 0 || outputRate == 0) return;
    if (!primed_) {
        if (!NextFrame(current_)) {
            Finish();
            return;
        }
        if (!NextFrame(next_)) {
            next_[0] = next_[1] = 0.0f;
            sourceEnded_ = true;
        }
        primed_ = true;
        phase_ = 0.0;
    }
    float targetLeft, targetRight;
    const float level = master * static_cast<float>(volume) / 100.0f;
    if (is3D_) {
        targetLeft = level * spatial.left;
        targetRight = level * spatial.right;
    } else {
        targetLeft = level * (pan > 0 ? 1.0f - static_cast<float>(pan) / 100.0f : 1.0f);
        targetRight = level * (pan < 0 ? 1.0f + static_cast<float>(pan) / 100.0f : 1.0f);
    }
    if (!gainsSet_) {
        gainLeft_ = targetLeft;
        gainRight_ = targetRight;
        gainsSet_ = true;
    }
    const double step = static_cast<double>(frequency ? frequency : decoder_->GetRate()) / outputRate;
    const float stepLeft = (targetLeft - gainLeft_) / static_cast<float>(frames);
    const float stepRight = (targetRight - gainRight_) / static_cast<float>(frames);
    const float startLeft = gainLeft_, startRight = gainRight_;
    for (int i = 0; i < frames; ++i) {
        const float t = static_cast<float>(phase_);
        float left = current_[0] + (next_[0] - current_[0]) * t;
        float right = current_[1] + (next_[1] - current_[1]) * t;
        if (is3D_) left = right = 0.5f * (left + right);
        mix[2 * i] += left * (startLeft + stepLeft * static_cast<float>(i + 1));
        mix[2 * i + 1] += right * (startRight + stepRight * static_cast<float>(i + 1));
        phase_ += step;
        while (phase_ >= 1.0) {
            phase_ -= 1.0;
            if (sourceEnded_) {
                Finish();
                gainLeft_ = targetLeft;
                gainRight_ = targetRight;
                return;
            }
            current_[0] = next_[0];
            current_[1] = next_[1];
            if (!NextFrame(next_)) {
                next_[0] = next_[1] = 0.0f;
                sourceEnded_ = true;
            }
        }
    }
    gainLeft_ = targetLeft;
    gainRight_ = targetRight;
}

}  // namespace zav::audio
