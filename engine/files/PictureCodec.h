#pragma once

#include "engine/files/Codec.h"
#include "engine/files/PictureFormats.h"

namespace zav {

// The image codec of one picture format ("BMPImageCodec", "JPGImageCodec",
// "TGAImageCodec", "CUBEImageCodec"): decodes the whole content of a file
// into an Image and encodes an Image into a file.
class PictureCodec : public ImageCodec {
public:
    explicit PictureCodec(const PictureFormat& format);

    // 0; 1 when the file cannot be opened or decoded, or a cube map meets an
    // image that is not a VolumeImage; 2 out of memory; 3 null argument. On
    // failure the image keeps what it had. A file that ends inside the pixels
    // still decodes: the missing pixels are zero, and the file's stream
    // records the short read (its WARNING and failed state).
    int DecodeImage(File* file, Image* image) override;
    // Encodes in memory first, so a refused image leaves the file untouched.
    // 0; 1 failure (no pixels, a cube map without six slices, the file cannot
    // be written); 2 out of memory; 3 a pixel format the format cannot hold.
    int EncodeImage(File* file, Image* image) override;

private:
    const PictureFormat& format_;
};

}  // namespace zav
