#include "engine/files/PictureCodec.h"

#include <cstdint>
#include <new>
#include <utility>

#include "engine/core/Result.h"
#include "engine/files/BuiltinModules.h"
#include "engine/files/File.h"
#include "engine/render/VolumeImage.h"

namespace zav {

namespace {

// Leaves the trace of a read past the end of the file: the stream logs its
// own WARNING and keeps the failed state, as for any refused read.
void RecordShortRead(File& file) {
    char byte;
    file.SetPosition(file.GetSize());
    file.Read(&byte, 1);
}

int CreatePictureCodec(const PictureFormat& format, Codec** codec) {
    if (!codec) return kNotFound;
    *codec = nullptr;
    PictureCodec* created = new (std::nothrow) PictureCodec(format);
    if (!created || created->GetExtensions().Count() != format.extensionCount) {
        delete created;
        return kOutOfMemory;
    }
    *codec = created;
    return kOk;
}

}  // namespace

PictureCodec::PictureCodec(const PictureFormat& format) : ImageCodec(format.codecName), format_(format) {
    for (int i = 0; i < format.extensionCount; ++i) AddExtension(format.extensions[i]);
}

int PictureCodec::DecodeImage(File* file, Image* image) {
    if (!file || !image) return kNotFound;
    if (format_.slices > 1 && !image->IsKindOf(&VolumeImage::StaticType())) return kFailed;
    if (file->Open(kFileRead) != kOk) return kFailed;
    Picture picture;
    const int decoded = format_.decode(reinterpret_cast<const uint8_t*>(file->GetData()),
                                       static_cast<size_t>(file->GetSize()), picture, kMaxPictureBytes);
    if (decoded == kOk && picture.shortData) RecordShortRead(*file);
    if (file->Close() != kOk || decoded != kOk) return decoded != kOk ? decoded : kFailed;
    return image->SetPixels(picture.width, picture.height, picture.depth, picture.format, std::move(picture.pixels));
}

int PictureCodec::EncodeImage(File* file, Image* image) {
    if (!file || !image) return kNotFound;
    PictureView view{image->GetWidth(), image->GetHeight(), 1, image->GetFormat(), image->GetPixels()};
    if (format_.slices > 1) {
        const VolumeImage* volume = ObjectCast<VolumeImage>(image);
        if (!volume || volume->GetDepth() != format_.slices) return kFailed;
        view.depth = volume->GetDepth();
    }
    ByteBlock bytes;
    if (const int encoded = format_.encode(view, bytes)) return encoded;
    if (bytes.Size() > INT32_MAX) return kFailed;
    if (file->Open(kFileWrite) != kOk) return kFailed;
    // A failed write fails the stream, which the close reports.
    file->Write(bytes.Data(), static_cast<int32_t>(bytes.Size()));
    return file->Close() == kOk ? kOk : kFailed;
}

int CreateBmpImageCodec(Codec** codec) { return CreatePictureCodec(BmpPictureFormat(), codec); }
int CreateJpgImageCodec(Codec** codec) { return CreatePictureCodec(JpgPictureFormat(), codec); }
int CreateTgaImageCodec(Codec** codec) { return CreatePictureCodec(TgaPictureFormat(), codec); }
int CreateCubeImageCodec(Codec** codec) { return CreatePictureCodec(CubePictureFormat(), codec); }

}  // namespace zav
