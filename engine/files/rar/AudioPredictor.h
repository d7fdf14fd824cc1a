#pragma once

#include <cstdint>

namespace zav::rar2 {

// The adaptive predictor of audio blocks: each channel predicts its next
// byte from its last byte, its four past deltas and the delta of the byte
// decoded last on any channel, with weights retuned every 32 bytes towards
// the predictor that would have erred least.
class AudioPredictor {
public:
    static constexpr int kChannels = 4;

    void Reset();
    // Turns the decoded residual of `channel` into the output byte.
    uint8_t Decode(int channel, int residual);

private:
    struct Channel {
        int32_t weight[5];
        int32_t delta[4];
        int32_t lastDelta;
        uint32_t lastByte;
        uint32_t byteCount;
        uint32_t error[11];
    };

    static void Retune(Channel& channel);

    Channel channels_[kChannels];
    int32_t channelDelta_ = 0;  // delta of the byte decoded last, shared by all channels
};

}  // namespace zav::rar2
