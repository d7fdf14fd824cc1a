#pragma once

// The pieces libjpeg calls back into: an error manager that logs and aborts,
// a source that serves one memory buffer and a destination that fills a
// growing ByteBlock.

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

#include "engine/files/ByteBlock.h"

namespace zav {

// Logs every library message at WARNING as "code text"; a fatal error then
// jumps back to `abort`, which the caller set with setjmp.
struct JpegErrorManager {
    jpeg_error_mgr library;
    std::jmp_buf abort;
};
void InstallJpegErrorManager(jpeg_common_struct* info, JpegErrorManager& manager);

// Serves `size` bytes from `data`. Past the end it reports the premature end
// and supplies an end-of-image marker; skips stop at the end.
struct JpegMemorySource {
    jpeg_source_mgr library;
};
void InstallJpegMemorySource(jpeg_decompress_struct* info, JpegMemorySource& source, const uint8_t* data,
                             size_t size);

// Collects the compressed bytes in `output`; `written` is their count once
// compression has finished.
struct JpegMemoryDestination {
    jpeg_destination_mgr library;
    ByteBlock* output;
    size_t initialSize;
    size_t written;
};
void InstallJpegMemoryDestination(jpeg_compress_struct* info, JpegMemoryDestination& destination,
                                  ByteBlock& output, size_t initialSize);

}  // namespace zav
