#include "engine/files/rar/AudioPredictor.h"

#include <cstring>

namespace zav::rar2 {

namespace {

uint32_t Magnitude(int32_t value) { return value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value); }

int32_t AsSignedByte(uint32_t value) {
    value &= 0xFF;
    return value >= 0x80 ? static_cast<int32_t>(value) - 0x100 : static_cast<int32_t>(value);
}

}  // namespace

void AudioPredictor::Reset() {
    std::memset(channels_, 0, sizeof channels_);
    channelDelta_ = 0;
}

uint8_t AudioPredictor::Decode(int channelIndex, int residual) {
    Channel& c = channels_[channelIndex];
    ++c.byteCount;
    c.delta[3] = c.delta[2];
    c.delta[2] = c.delta[1];
    c.delta[1] = c.lastDelta - c.delta[0];
    c.delta[0] = c.lastDelta;

    int32_t sum = 8 * static_cast<int32_t>(c.lastByte) + c.weight[0] * c.delta[0] + c.weight[1] * c.delta[1] +
                  c.weight[2] * c.delta[2] + c.weight[3] * c.delta[3] + c.weight[4] * channelDelta_;
    // Bits 3..10 of the sum: an arithmetic shift by three, then the low byte.
    uint32_t predicted = (static_cast<uint32_t>(sum) >> 3) & 0xFF;
    uint32_t byte = (predicted - static_cast<uint32_t>(residual)) & 0xFF;

    int32_t e = 8 * AsSignedByte(static_cast<uint32_t>(residual));
    c.error[0] += Magnitude(e);
    for (int i = 0; i < 4; ++i) {
        c.error[1 + 2 * i] += Magnitude(e - c.delta[i]);
        c.error[2 + 2 * i] += Magnitude(e + c.delta[i]);
    }
    c.error[9] += Magnitude(e - channelDelta_);
    c.error[10] += Magnitude(e + channelDelta_);

    c.lastDelta = channelDelta_ = AsSignedByte(byte - c.lastByte);
    c.lastByte = byte;
    if ((c.byteCount & 0x1F) == 0) Retune(c);
    return static_cast<uint8_t>(byte);
}

// Moves the weight of the predictor with the smallest error one step: odd
// errors (prediction minus a delta) lower it, even ones raise it. The first
// of equal errors wins; the plain prediction (error 0) changes nothing.
void AudioPredictor::Retune(Channel& c) {
    int best = 0;
    for (int i = 1; i < 11; ++i)
        if (c.error[i] < c.error[best]) best = i;
    std::memset(c.error, 0, sizeof c.error);
    if (best == 0) return;
    int32_t& weight = c.weight[(best - 1) / 2];
    if (best % 2 == 1) {
        if (weight >= -16) --weight;
    } else {
        if (weight < 16) ++weight;
    }
}

}  // namespace zav::rar2
