#include "fuzz/PictureDecoderFuzzer.h"

using namespace zav;

// The encoder writes a top-down file whose rows decode in stored order, so
// decode(encode(p)) is p upside down.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Picture picture = fuzz::DecodeChecked(DecodeTga, data, size);
    if (!picture.pixels.Data()) return 0;
    const Picture again = fuzz::EncodeAndDecode(EncodeTga, DecodeTga, picture);
    const size_t row = picture.pixels.Size() / static_cast<size_t>(picture.height);
    for (int32_t y = 0; y < picture.height; ++y)
        fuzz::Check(std::memcmp(again.pixels.Data() + y * row,
                                picture.pixels.Data() + (picture.height - 1 - y) * row, row) == 0);
    return 0;
}
