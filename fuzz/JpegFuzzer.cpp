#include "fuzz/PictureDecoderFuzzer.h"

using namespace zav;

// Re-encoding exercises the compressor and its memory destination.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Picture picture = fuzz::DecodeChecked(DecodeJpeg, data, size);
    if (!picture.pixels.Data()) return 0;
    fuzz::Check(picture.format == RGB8 || picture.format == A8);
    fuzz::EncodeAndDecode(EncodeJpeg, DecodeJpeg, picture);
    return 0;
}
