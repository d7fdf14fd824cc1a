#include "engine/files/JpegSupport.h"

#include <jerror.h>

#include "engine/core/Log.h"

namespace zav {

namespace {

void LogJpegMessage(j_common_ptr info) {
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    LogWarning("%d %s", info->err->msg_code, text);
}

void AbortOnJpegError(j_common_ptr info) {
    (*info->err->output_message)(info);
    std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->abort, 1);
}

void StartSource(j_decompress_ptr) {}
void EndSource(j_decompress_ptr) {}

boolean SupplyEndOfImage(j_decompress_ptr info) {
    static const JOCTET kEndOfImage[2] = {0xFF, JPEG_EOI};
    WARNMS(info, JWRN_JPEG_EOF);
    info->src->next_input_byte = kEndOfImage;
    info->src->bytes_in_buffer = sizeof kEndOfImage;
    return TRUE;
}

void SkipInput(j_decompress_ptr info, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* source = info->src;
    const size_t skipped = static_cast<unsigned long>(count) < source->bytes_in_buffer
                               ? static_cast<size_t>(count)
                               : source->bytes_in_buffer;
    source->next_input_byte += skipped;
    source->bytes_in_buffer -= skipped;
}

JpegMemoryDestination* DestinationOf(j_compress_ptr info) {
    return reinterpret_cast<JpegMemoryDestination*>(info->dest);
}

void StartDestination(j_compress_ptr info) {
    JpegMemoryDestination* destination = DestinationOf(info);
    ByteBlock& output = *destination->output;
    if (output.Size() < destination->initialSize && !output.Resize(destination->initialSize))
        ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
    destination->library.next_output_byte = destination->output->Data();
    destination->library.free_in_buffer = destination->output->Size();
}

// Called when the block is full: doubles it.
boolean GrowDestination(j_compress_ptr info) {
    JpegMemoryDestination* destination = DestinationOf(info);
    ByteBlock& output = *destination->output;
    const size_t used = output.Size();
    if (!output.Resize(used * 2)) ERREXIT1(info, JERR_OUT_OF_MEMORY, 1);
    destination->library.next_output_byte = output.Data() + used;
    destination->library.free_in_buffer = output.Size() - used;
    return TRUE;
}

void FinishDestination(j_compress_ptr info) {
    JpegMemoryDestination* destination = DestinationOf(info);
    destination->written = destination->output->Size() - destination->library.free_in_buffer;
}

}  // namespace

void InstallJpegErrorManager(jpeg_common_struct* info, JpegErrorManager& manager) {
    info->err = jpeg_std_error(&manager.library);
    manager.library.error_exit = AbortOnJpegError;
    manager.library.output_message = LogJpegMessage;
}

void InstallJpegMemorySource(jpeg_decompress_struct* info, JpegMemorySource& source, const uint8_t* data,
                             size_t size) {
    source.library.init_source = StartSource;
    source.library.fill_input_buffer = SupplyEndOfImage;
    source.library.skip_input_data = SkipInput;
    source.library.resync_to_restart = jpeg_resync_to_restart;
    source.library.term_source = EndSource;
    source.library.next_input_byte = data;
    source.library.bytes_in_buffer = data ? size : 0;
    info->src = &source.library;
}

void InstallJpegMemoryDestination(jpeg_compress_struct* info, JpegMemoryDestination& destination,
                                  ByteBlock& output, size_t initialSize) {
    destination.library.init_destination = StartDestination;
    destination.library.empty_output_buffer = GrowDestination;
    destination.library.term_destination = FinishDestination;
    destination.output = &output;
    destination.initialSize = initialSize > 0 ? initialSize : 1;
    destination.written = 0;
    info->dest = &destination.library;
}

}  // namespace zav
