#pragma once

// TGA true-colour pictures in a byte buffer: one picture makes a TGA file, six
// of them one after another a cube map.

#include <cstddef>
#include <cstdint>

#include "engine/files/ByteBlock.h"
#include "engine/files/Picture.h"

namespace zav {

// Decodes `faces` TGA pictures stored one after another into one picture of
// depth `faces`. Every face must match the first in size and format. Results,
// the short-data rule and the byte limit (on all faces together) are those of
// the decoders in PictureFormats.h.
int DecodeTgaFaces(const uint8_t* data, size_t size, int32_t faces, Picture& picture, uint64_t maxBytes);

// Writes the first `faces` slices of `picture` as uncompressed TGA pictures
// one after another, each bottom row first. Results are those of the encoders
// in PictureFormats.h: 3 for a format other than RGB8 and RGBA8, 1 for a view
// without pixels, with fewer than `faces` slices or with sides over 65535.
int EncodeTgaFaces(const PictureView& picture, int32_t faces, ByteBlock& file);

}  // namespace zav
