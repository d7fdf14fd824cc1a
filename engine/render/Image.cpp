#include "engine/render/Image.h"

#include <utility>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/core/Stream.h"
#include "engine/files/Codec.h"
#include "engine/files/CodecManager.h"
#include "engine/files/File.h"
#include "engine/files/FileManager.h"
#include "engine/files/Picture.h"

namespace zav {

ZAV_REGISTER_CLASS(Image);

namespace {

String FullNameOf(File* file) { return file ? file->GetFullName() : String(); }

}  // namespace

Image::Image(const String& name) : Object(name) {}

Image::Image(const String& name, int32_t format, int32_t width, int32_t height) : Object(name) {
    Resize(width, height, format);
}

Image::Image(File* file, const String& name)
    : Object(name.IsEmpty() ? FullNameOf(file) : name), fileName_(FullNameOf(file)) {
    LoadFromFile(file);
}

int Image::GetDataSize() const {
    return static_cast<int>(PictureBytes(width_, height_, GetSliceCount(), format_, kMaxPictureBytes));
}

int Image::Resize(int32_t width, int32_t height, int32_t format) {
    width_ = width;
    height_ = height;
    format_ = format;
    pixels_.Reset();
    const int size = GetDataSize();
    const bool wantsPixels = width_ > 0 && height_ > 0 && GetSliceCount() > 0 && BytesPerPixel(format_) > 0;
    if (size == 0 && !wantsPixels) return kOk;
    if (size == 0 || !pixels_.Allocate(static_cast<size_t>(size))) {
        LogError("Недостаточно памяти для создания изображения. ID[%d] Имя[%s]", GetId(), GetName().CStr());
        return kOutOfMemory;
    }
    return kOk;
}

void Image::SetSizeWithoutPixels(int32_t width, int32_t height) {
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    pixels_.Reset();
}

int Image::AdoptPixels(int32_t width, int32_t height, int32_t depth, int32_t format, ByteBlock& pixels) {
    const uint64_t size = PictureBytes(width, height, depth, format, kMaxPictureBytes);
    if (size == 0 || !pixels.Data() || pixels.Size() != size) return kFailed;
    width_ = width;
    height_ = height;
    format_ = format;
    pixels_ = std::move(pixels);
    return kOk;
}

int Image::SetPixels(int32_t width, int32_t height, int32_t depth, int32_t format, ByteBlock pixels) {
    if (depth != 1) return kFailed;
    return AdoptPixels(width, height, depth, format, pixels);
}

int Image::LoadFromFile(File* file) {
    if (!file) {
        LogWarning("Указатель на файл равен 0 при загрузке изображения [%s].", GetName().CStr());
        return kNotFound;
    }
    ImageCodec* codec = FindCodecForFile<ImageCodec>(file);
    if (!codec) {
        LogWarning("Не найден кодек для файла при загрузке изображения [%s].", GetName().CStr());
        return kNotFound;
    }
    if (codec->DecodeImage(file, this) != kOk) {
        LogError("Неудачна загрузка изображения [%s].", GetName().CStr());
        return kFailed;
    }
    return kOk;
}

void Image::ReportLoaded() const { LogInfo("Изображение [%s] загружено.", GetName().CStr()); }

int Image::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    if (stream.WriteString(fileName_) != kOk) return FailedNameId("Невозможно сохранить имя файла изображения.");
    if (!fileName_.IsEmpty()) return kOk;
    if (stream.WriteInt32(width_) != kOk) return FailedNameId("Невозможно сохранить ширину изображения.");
    if (stream.WriteInt32(height_) != kOk || SaveDepth(stream) != kOk)
        return FailedNameId("Невозможно сохранить высоту изображения.");
    if (stream.WriteInt32(format_) != kOk) return FailedNameId("Невозможно сохранить формат изображения.");
    return kOk;
}

int Image::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    if (stream.ReadString(fileName_) != kOk) return FailedIdName("Невозможно загрузить имя файла изображения.");
    if (!fileName_.IsEmpty()) return LoadFromNamedFile();

    // Sizes are checked before anything changes, so that the pixel block
    // always matches the dimensions: no negative side, no side of 0 beside
    // one that is not, nothing larger than a record may describe.
    int32_t width = 0, height = 0, depth = 1, format = RGB8;
    if (stream.ReadInt32(width) != kOk || width < 0 || width > kMaxRecordSide)
        return FailedIdName("Невозможно загрузить ширину изображения.");
    if (stream.ReadInt32(height) != kOk || height < 0 || height > kMaxRecordSide || LoadDepth(stream, depth) != kOk ||
        depth < 0 || depth > kMaxRecordSide)
        return FailedIdName("Невозможно загрузить высоту изображения.");
    if (stream.ReadInt32(format) != kOk) return FailedIdName("Невозможно загрузить формат изображения.");
    if (width == 0 && (height != 0 || (depth != 0 && depth != 1)))
        return FailedIdName("Невозможно загрузить ширину изображения.");
    if ((height == 0 || depth == 0) && width != 0) return FailedIdName("Невозможно загрузить высоту изображения.");
    if (static_cast<int64_t>(width) * height * depth * BytesPerPixel(format) > kMaxRecordBytes)
        return FailedIdName("Невозможно загрузить высоту изображения.");
    SetDepth(depth);
    // The content is for whoever draws into it; it starts zeroed.
    if (Resize(width, height, format) != kOk) return kOutOfMemory;
    ReportLoaded();
    return kOk;
}

// The record names a file: it is found through the file manager (every
// mounted archive in order) and decoded again.
int Image::LoadFromNamedFile() {
    if (LoadFromFile(FindFile(fileName_)) != kOk) {
        LogError("Невозможно загрузить изображение из файла. ID[%d] Имя[%s] Файл[%s]", GetId(), GetName().CStr(),
                 fileName_.CStr());
        return kFailed;
    }
    ReportLoaded();
    return kOk;
}

}  // namespace zav
