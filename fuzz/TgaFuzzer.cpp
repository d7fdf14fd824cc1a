#include "fuzz/PictureDecoderFuzzer.h"

using namespace zav;

// The encoder writes rows bottom first, the order the decoder keeps, so
// decode(encode(p)) == p.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Picture picture = fuzz::DecodeChecked(DecodeTga, data, size);
    if (!picture.pixels.Data()) return 0;
    fuzz::Check(fuzz::SamePixels(fuzz::EncodeAndDecode(EncodeTga, DecodeTga, picture), picture));
    return 0;
}
