#include "fuzz/PictureDecoderFuzzer.h"

using namespace zav;

// BMP keeps rows and pixels exactly, so decode(encode(p)) == p.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Picture picture = fuzz::DecodeChecked(DecodeBmp, data, size);
    if (!picture.pixels.Data()) return 0;
    fuzz::Check(fuzz::SamePixels(fuzz::EncodeAndDecode(EncodeBmp, DecodeBmp, picture), picture));
    return 0;
}
