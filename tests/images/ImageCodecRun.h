#pragma once

// The engine started with its four image codecs, and helpers that run them
// over memory and disk files.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/files/File.h"
#include "engine/files/MemoryFile.h"
#include "engine/render/VolumeImage.h"
#include "tests/files/EngineRun.h"

namespace zav::test {

class ImageCodecRun : public EngineRun {
protected:
    void SetUp() override {
        EngineRun::SetUp();
        for (const char* name : {"BMPImageCodec", "JPGImageCodec", "TGAImageCodec", "CUBEImageCodec"})
            ASSERT_EQ(LoadCodec(name, nullptr), kOk) << name;
    }
};

inline std::vector<uint8_t> PixelsOf(const Image& image) {
    const uint8_t* pixels = image.GetPixels();
    return pixels ? std::vector<uint8_t>(pixels, pixels + image.GetDataSize()) : std::vector<uint8_t>();
}

// The image codec that the file's extension selects; the test fails without one.
inline ImageCodec* CodecFor(File* file) {
    ImageCodec* codec = FindCodecForFile<ImageCodec>(file);
    EXPECT_NE(codec, nullptr) << file->GetName().CStr();
    return codec;
}

inline int DecodeWith(File* file, Image* image) {
    ImageCodec* codec = CodecFor(file);
    return codec ? codec->DecodeImage(file, image) : kNotFound;
}

inline int EncodeWith(File* file, Image* image) {
    ImageCodec* codec = CodecFor(file);
    return codec ? codec->EncodeImage(file, image) : kNotFound;
}

// Decodes `bytes` from a memory file called `name` into `image`.
inline int DecodeBytes(const char* name, const std::vector<uint8_t>& bytes, Image* image) {
    MemoryFile file(name);
    file.SetBorrowedSource(reinterpret_cast<const char*>(bytes.data()), static_cast<int32_t>(bytes.size()));
    return DecodeWith(&file, image);
}

}  // namespace zav::test
