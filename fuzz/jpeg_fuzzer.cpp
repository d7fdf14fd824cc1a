#include "fuzz/picture_decoder_fuzzer.h"

using namespace zav;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Picture picture = fuzz::DecodeChecked(DecodeJpeg, data, size);
    if (!picture.pixels.Data()) return 0;
    fuzz::Check(picture.format == RGB8 || picture.format == A8);
    // Re-encoding exercises the compressor and its memory destination.
    {
        ByteBlock file;
        fuzz::Check(EncodeJpeg(picture.View(), file) == 0);
        Picture again;
        fuzz::Check(DecodeJpeg(file.Data(), file.Size(), again, fuzz::kFuzzPictureBytes) == 0);
        fuzz::Check(again.width == picture.width && again.height == picture.height);
    }
    return 0;
}
