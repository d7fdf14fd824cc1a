#include "engine/scene/SoundNode.h"

#include <cmath>
#include <cstring>
#include <new>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"
#include "engine/files/File.h"
#include "engine/files/FileManager.h"
#include "engine/render/Renderer.h"
#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Camera.h"
#include "engine/sound/SoundManager.h"

namespace zav {

ZAV_REGISTER_CLASS(SoundNode);

namespace {

// The library while one is in use, for a node that has a stream.
const audio::AudioEntryPoints* LibraryFor(uint32_t stream) { return stream ? GetSoundLibrary() : nullptr; }

}  // namespace

SoundNode::SoundNode(const String& name) : Node(name) {}

SoundNode::~SoundNode() { FreeSound(); }

void SoundNode::FreeSound() {
    if (const audio::AudioEntryPoints* library = LibraryFor(stream_)) library->StreamFree(stream_);
    stream_ = 0;
    soundData_.reset();
    soundSize_ = 0;
}

int SoundNode::LoadSound(File* file, bool is3D) {
    FreeSound();
    if (!file || file->Open(kFileRead) != kOk) return kNotFound;
    const int32_t size = file->GetSize();
    // An empty file is a sound the library cannot play, like a damaged one:
    // no stream, and the node stays silent.
    if (size > 0 && file->GetData()) {
        soundData_.reset(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
        if (!soundData_) {
            file->Close();
            return kOutOfMemory;
        }
        std::memcpy(soundData_.get(), file->GetData(), static_cast<size_t>(size));
        soundSize_ = size;
        if (const audio::AudioEntryPoints* library = GetSoundLibrary())
            stream_ = library->StreamCreateFile(1, soundData_.get(), 0, static_cast<uint32_t>(size),
                                                is3D ? audio::kAudio3D : 0);
    }
    is3D_ = is3D;
    file->Close();
    fileName_ = file->GetFullName();
    if (!stream_) LogWarning("Невозможно загрузить файл звука [%s]", fileName_.CStr());
    SetLoop(loop_);
    if (const audio::AudioEntryPoints* library = LibraryFor(stream_); library && is3D_) library->Apply3D();
    SetMinDistance(minDistance_);
    return kOk;
}

void SoundNode::SetLoop(bool loop) {
    loop_ = loop;
    if (const audio::AudioEntryPoints* library = LibraryFor(stream_))
        library->ChannelSetFlags(stream_, loop ? audio::kAudioLoop : 0);
}

void SoundNode::SetMinDistance(float distance) {
    // A radius of 0, below 0 or not a number would make the node's bounds
    // meaningless and silence the sound at every distance.
    minDistance_ = distance > 0.0f ? std::fmin(distance, FLT_MAX) : FLT_MAX;
    bounds_.Set({}, minDistance_);
    if (const audio::AudioEntryPoints* library = LibraryFor(stream_)) {
        library->ChannelSet3DAttributes(stream_, audio::kAudio3DNormal, minDistance_, -1.0f, -1, -1, -1);
        library->Apply3D();
    }
}

void SoundNode::SetVolume(int32_t volume) {
    volume_ = volume < 0 ? 0 : volume > 100 ? 100 : volume;
    if (const audio::AudioEntryPoints* library = LibraryFor(stream_))
        library->ChannelSetAttributes(stream_, -1, volume_, -101);
}

void SoundNode::Update(double time) {
    UpdateControllers(time);
    ComputeWorldTransform();
    const audio::AudioEntryPoints* library = LibraryFor(stream_);
    if (!playing_ || !library) return;
    playTime_ += static_cast<float>(time);
    if (is3D_) {
        // Relative to the camera's position; the listener's orientation turns
        // with the camera at the start of each frame.
        Vector3 position = GetWorldPosition();
        Renderer* renderer = GetRenderer();
        if (Camera* camera = renderer ? renderer->GetCamera() : nullptr) {
            const Vector3 eye = camera->GetWorldPosition();
            position = {position.x - eye.x, position.y - eye.y, position.z - eye.z};
        }
        const audio::AudioVector relative{position.x, position.y, position.z};
        library->ChannelSet3DPosition(stream_, &relative, nullptr, nullptr);
        library->Apply3D();
    }
    library->ChannelPlay(stream_, 0);
}

void SoundNode::UpdateWorldVolume() {
    if (!GetUpdateWorldVolume() || !worldVolume_) return;
    bounds_.TransformInto(worldVolume_.Get(), GetWorldTransform());
    // A radius near the largest float may overflow once scaled or rotated:
    // the sphere then bounds everything, as the untransformed one does.
    auto* sphere = ObjectCast<SphereBoundingVolume>(worldVolume_.Get());
    const Vector3 center = sphere ? sphere->GetCenter() : Vector3();
    if (sphere && !(std::isfinite(sphere->GetRadius()) && std::isfinite(center.x) && std::isfinite(center.y) &&
                    std::isfinite(center.z)))
        sphere->SetUnbounded();
}

int SoundNode::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    stream.WriteBool(loop_);
    stream.WriteFloat(minDistance_);
    stream.WriteInt32(reserved);
    stream.WriteBool(is3D_);
    stream.WriteString(fileName_);
    stream.WriteBool(playing_);
    if (stream.WriteInt32(volume_) != kOk) {
        LogError("Невозможно сохранить данные источника звука. Имя[%s] ID[%d]", GetName().CStr(), GetId());
        return kFailed;
    }
    return kOk;
}

int SoundNode::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    bool loop = false, is3D = false, playing = true;
    float minDistance = FLT_MAX;
    int32_t volume = 0;
    String fileName;
    stream.ReadBool(loop);
    stream.ReadFloat(minDistance);
    stream.ReadInt32(reserved);
    stream.ReadBool(is3D);
    stream.ReadString(fileName);
    stream.ReadBool(playing);
    if (stream.ReadInt32(volume) != kOk) {
        LogError("Невозможно загрузить данные источника звука. ID[%d] Имя[%s]", GetId(), GetName().CStr());
        return kFailed;
    }
    FreeSound();
    loop_ = loop;
    is3D_ = is3D;
    playing_ = playing;
    fileName_ = fileName;
    SetMinDistance(minDistance);
    SetVolume(volume);
    File* file = FindFile(fileName_);
    if (!file) {
        LogWarning("Невозможно найти файл [%s] для источника звука. ID[%d] Имя[%s]", fileName_.CStr(), GetId(),
                   GetName().CStr());
        return kOk;
    }
    if (LoadSound(file, is3D_) != kOk) {
        LogError("Невозможно загрузить звук источника звука. ID[%d] Имя[%s]", GetId(), GetName().CStr());
        return kFailed;
    }
    SetVolume(volume_);
    SetMinDistance(minDistance_);
    return kOk;
}

}  // namespace zav
