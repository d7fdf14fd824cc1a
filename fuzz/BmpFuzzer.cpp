#include "fuzz/PictureDecoderFuzzer.h"

using namespace zav;

// BMP keeps rows and pixels exactly, so decode(encode(p)) == p.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Picture picture = fuzz::DecodeChecked(DecodeBmp, data, size);
    if (!picture.pixels.Data()) return 0;
    const Picture again = fuzz::EncodeAndDecode(EncodeBmp, DecodeBmp, picture);
    fuzz::Check(again.format == picture.format &&
                std::memcmp(again.pixels.Data(), picture.pixels.Data(), picture.pixels.Size()) == 0);
    return 0;
}
