// JPEG files through libjpeg. The library reports fatal errors by calling the
// error manager, which jumps back into RunDecode/RunEncode; those frames hold
// nothing with a destructor, and everything they allocate lives in a job that
// the caller cleans up.
#include <algorithm>
#include <climits>
#include <utility>

#include "engine/core/Result.h"
#include "engine/files/JpegSupport.h"
#include "engine/files/PictureFormats.h"

namespace zav {

namespace {

constexpr int kEncodeQuality = 50;
constexpr JDIMENSION kRowsPerRead = 16;
constexpr uint64_t kLibraryOverhead = 16u << 20;

struct DecodeJob {
    jpeg_decompress_struct info;
    JpegErrorManager errors;
    JpegMemorySource source;
    bool created = false;
    int failure = kFailed;
    Picture picture;
};

bool RunDecode(DecodeJob& job, const uint8_t* data, size_t size, uint64_t maxBytes) {
    if (setjmp(job.errors.abort)) return false;
    jpeg_create_decompress(&job.info);
    job.created = true;
    InstallJpegMemorySource(&job.info, job.source, data, size);
    jpeg_read_header(&job.info, TRUE);

    jpeg_decompress_struct& info = job.info;
    Picture& picture = job.picture;
    if (info.out_color_space == JCS_GRAYSCALE)
        picture.format = A8;
    else if (info.out_color_space == JCS_RGB)
        picture.format = RGB8;
    else
        return false;  // four-component (CMYK) pictures have no pixel format here
    jpeg_calc_output_dimensions(&info);
    const uint64_t bytes = PictureBytes(info.output_width, info.output_height, 1, picture.format, maxBytes);
    if (bytes == 0) return false;
    if (!picture.pixels.Allocate(bytes)) {
        job.failure = kOutOfMemory;
        return false;
    }
    picture.width = static_cast<int32_t>(info.output_width);
    picture.height = static_cast<int32_t>(info.output_height);
    // Progressive pictures keep all coefficients in memory: about two bytes per
    // sample, so a little more than twice the pixels. A header claiming more
    // fails instead of exhausting memory.
    const uint64_t workingMemory = 2 * bytes + kLibraryOverhead;
    info.mem->max_memory_to_use = static_cast<long>(std::min<uint64_t>(workingMemory, LONG_MAX));

    // The library delivers the top row first; it goes to the last row.
    jpeg_start_decompress(&info);
    const size_t stride = static_cast<size_t>(info.output_width) * static_cast<size_t>(info.output_components);
    uint8_t* const pixels = picture.pixels.Data();
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[kRowsPerRead];
        const JDIMENSION count = std::min(kRowsPerRead, info.output_height - info.output_scanline);
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = pixels + static_cast<size_t>(info.output_height - 1 - info.output_scanline - i) * stride;
        jpeg_read_scanlines(&info, rows, count);
    }
    jpeg_finish_decompress(&info);
    return true;
}

struct EncodeJob {
    jpeg_compress_struct info;
    JpegErrorManager errors;
    JpegMemoryDestination destination;
    bool created = false;
    ByteBlock output;
    ByteBlock greyRow;  // an A8 row spread to R, G, B
};

bool RunEncode(EncodeJob& job, const PictureView& picture) {
    if (setjmp(job.errors.abort)) return false;
    jpeg_create_compress(&job.info);
    job.created = true;
    jpeg_compress_struct& info = job.info;
    const size_t rawBytes = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 3;
    InstallJpegMemoryDestination(&info, job.destination, job.output, rawBytes / 8 + 4096);
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, kEncodeQuality, TRUE);
    jpeg_start_compress(&info, TRUE);

    // Top row first, which is the last row in memory.
    const size_t rowBytes = static_cast<size_t>(picture.width) * static_cast<size_t>(BytesPerPixel(picture.format));
    uint8_t* grey = job.greyRow.Data();
    while (info.next_scanline < info.image_height) {
        const uint8_t* row = picture.pixels + static_cast<size_t>(info.image_height - 1 - info.next_scanline) * rowBytes;
        JSAMPROW scanline = const_cast<JSAMPROW>(row);
        if (picture.format == A8) {
            for (size_t x = 0; x < rowBytes; ++x) grey[3 * x] = grey[3 * x + 1] = grey[3 * x + 2] = row[x];
            scanline = grey;
        }
        jpeg_write_scanlines(&info, &scanline, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

}  // namespace

int DecodeJpeg(const uint8_t* data, size_t size, Picture& picture, uint64_t maxBytes) {
    DecodeJob job;
    InstallJpegErrorManager(reinterpret_cast<jpeg_common_struct*>(&job.info), job.errors);
    const bool decoded = RunDecode(job, data, size, maxBytes);
    if (job.created) jpeg_destroy_decompress(&job.info);
    if (!decoded) return job.failure;
    picture = std::move(job.picture);
    return kOk;
}

int EncodeJpeg(const PictureView& picture, ByteBlock& file) {
    if (picture.format != RGB8 && picture.format != A8) return kNotFound;
    if (ViewBytes(picture) == 0) return kFailed;
    EncodeJob job;
    if (picture.format == A8 && !job.greyRow.Allocate(static_cast<size_t>(picture.width) * 3)) return kOutOfMemory;
    InstallJpegErrorManager(reinterpret_cast<jpeg_common_struct*>(&job.info), job.errors);
    const bool encoded = RunEncode(job, picture);
    if (job.created) jpeg_destroy_compress(&job.info);
    if (!encoded) return kFailed;
    if (!job.output.Resize(job.destination.written)) return kOutOfMemory;
    file = std::move(job.output);
    return kOk;
}

}  // namespace zav
