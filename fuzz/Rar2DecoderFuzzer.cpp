// Feeds arbitrary bytes to the decompressor as one or two entries of a solid
// stream: the first two bytes give the output sizes, the rest is split in
// two at the third byte's share.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/files/rar/Rar2Decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    size_t firstSize = static_cast<size_t>(data[0]) * 64;
    size_t secondSize = static_cast<size_t>(data[1]) * 64;
    const uint8_t* packed = data + 3;
    size_t packedSize = size - 3;
    size_t split = packedSize * data[2] / 255;

    zav::rar2::Rar2Decoder decoder;
    std::unique_ptr<uint8_t[]> output(new uint8_t[(firstSize > secondSize ? firstSize : secondSize) + 1]);
    decoder.Decode(packed, split, output.get(), firstSize, false);
    decoder.Decode(packed + split, packedSize - split, output.get(), secondSize, true);
    return 0;
}
