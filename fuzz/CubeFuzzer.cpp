#include "fuzz/PictureDecoderFuzzer.h"

using namespace zav;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Picture picture = fuzz::DecodeChecked(DecodeCube, data, size);
    if (!picture.pixels.Data()) return 0;
    fuzz::Check(picture.depth == 6);
    fuzz::EncodeAndDecode(EncodeCube, DecodeCube, picture);
    return 0;
}
