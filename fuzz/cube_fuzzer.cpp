#include "fuzz/picture_decoder_fuzzer.h"

using namespace zav;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Picture picture = fuzz::DecodeChecked(DecodeCube, data, size);
    if (!picture.pixels.Data()) return 0;
    fuzz::Check(picture.depth == 6);
    ByteBlock file;
    fuzz::Check(EncodeCube(picture.View(), file) == 0);
    Picture again;
    fuzz::Check(DecodeCube(file.Data(), file.Size(), again, fuzz::kFuzzPictureBytes) == 0);
    fuzz::Check(again.pixels.Size() == picture.pixels.Size() && again.depth == 6);
    return 0;
}
