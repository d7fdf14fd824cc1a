#include "audio/core/Channel.h"

#include <utility>

namespace zav::audio {

namespace {

constexpr int kSourceChunk = 256;  // frames decoded at a time

}  // namespace

Channel::Channel(std::unique_ptr<Decoder> decoder, std::vector<uint8_t> bytes, uint32_t flags)
    : decoder_(std::move(decoder)),
      bytes_(std::move(bytes)),
      loop_((flags & kAudioLoop) != 0),
      is3D_((flags & kAudio3D) != 0),
      source_(static_cast<size_t>(kSourceChunk * decoder_->GetChannels())) {}

void Channel::Play(bool restart) {
    if (restart) {
        decoder_->Rewind();
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

bool Channel::NextFrame(float frame[2]) {
    if (sourceNext_ == sourceCount_) {
        sourceNext_ = 0;
        sourceCount_ = decoder_->Read(source_.data(), kSourceChunk);
        if (sourceCount_ <= 0 && loop_ && decoder_->Rewind())
            sourceCount_ = decoder_->Read(source_.data(), kSourceChunk);
        if (sourceCount_ <= 0) {
            sourceCount_ = 0;
            return false;
        }
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
