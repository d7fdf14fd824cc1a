#include "audio/core/Library.h"

#include <cmath>
#include <cstdio>
#include <new>
#include <utility>
#include <vector>

namespace zav::audio {

namespace {

constexpr uint32_t kMinOutputRate = 8000;
constexpr uint32_t kMaxOutputRate = 192000;
constexpr uint32_t kMinPlaybackRate = 100;
constexpr uint32_t kMaxPlaybackRate = 384000;
constexpr uint32_t kUnchanged = 0xFFFFFFFFu;  // GetDevice without a device

// Reads a whole file into memory; false when it cannot.
bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    bool ok = true;
    uint8_t block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.insert(bytes.end(), block, block + got);
    ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

}  // namespace

Library::~Library() {
    output_.reset();
    mixer_.RemoveAll();
}

uint32_t Library::GetVersion() {
    error_ = kAudioOk;
    return kAudioVersion;
}

int32_t Library::Init(int32_t device, uint32_t frequency, uint32_t flags, void* window, const void*) {
    (void)flags;  // 3D sound is always available
    if (initialized_) return Fail(kAudioErrorAlready);
    if (device < kAudioDefaultDevice || device > static_cast<int32_t>(kAudioOutputDevice))
        return Fail(kAudioErrorDevice);
    if (frequency == 0) frequency = 44100;
    if (frequency < kMinOutputRate || frequency > kMaxOutputRate) return Fail(kAudioErrorFormat);
    mixer_.SetOutputRate(frequency);
    if (device == static_cast<int32_t>(kAudioNoSoundDevice)) {
        device_ = kAudioNoSoundDevice;
    } else {
        std::string description;
        output_ = opener_ ? opener_(mixer_, frequency, window, description) : nullptr;
        if (!output_) return Fail(kAudioErrorNoDevice);
        if (!description.empty()) description_ = description;
        device_ = kAudioOutputDevice;
    }
    initialized_ = true;
    return Succeed();
}

int32_t Library::Free() {
    if (!initialized_) return Fail(kAudioErrorNotInitialized);
    output_.reset();
    mixer_.RemoveAll();
    initialized_ = false;
    return Succeed();
}

uint32_t Library::GetDevice() {
    if (!initialized_) {
        error_ = kAudioErrorNotInitialized;
        return kUnchanged;
    }
    error_ = kAudioOk;
    return device_;
}

const char* Library::GetDeviceDescription(uint32_t device) {
    if (device == kAudioNoSoundDevice) {
        error_ = kAudioOk;
        return "No sound";
    }
    if (device == kAudioOutputDevice) {
        error_ = kAudioOk;
        return description_.c_str();
    }
    error_ = kAudioErrorDevice;
    return nullptr;
}

int32_t Library::ErrorGetCode() { return error_; }

uint32_t Library::SetConfig(uint32_t option, uint32_t value) {
    if (option != kAudioConfigStreamVolume || value > 100) return static_cast<uint32_t>(Fail(kAudioErrorParameter));
    mixer_.SetMasterVolume(value);
    return static_cast<uint32_t>(Succeed());
}

int32_t Library::Set3DFactors(float distanceFactor, float rolloffFactor, float dopplerFactor) {
    // Negative leaves a factor as it is.
    if (std::isnan(distanceFactor) || std::isnan(rolloffFactor) || std::isnan(dopplerFactor) ||
        distanceFactor == 0.0f || std::isinf(distanceFactor) || std::isinf(rolloffFactor) || std::isinf(dopplerFactor))
        return Fail(kAudioErrorParameter);
    if (distanceFactor > 0.0f) factors_.distance = distanceFactor;
    if (rolloffFactor >= 0.0f) factors_.rolloff = std::fmin(rolloffFactor, 10.0f);
    if (dopplerFactor >= 0.0f) factors_.doppler = std::fmin(dopplerFactor, 10.0f);
    return Succeed();
}

int32_t Library::Set3DPosition(const AudioVector* position, const AudioVector* velocity, const AudioVector* front,
                               const AudioVector* top) {
    const AudioVector newFront = front ? *front : listener_.front;
    const AudioVector newTop = top ? *top : listener_.top;
    if ((front || top) && !IsUsableOrientation(newFront, newTop)) return Fail(kAudioErrorParameter);
    if (position) {
        if (!std::isfinite(position->x) || !std::isfinite(position->y) || !std::isfinite(position->z))
            return Fail(kAudioErrorParameter);
        listener_.position = *position;
    }
    (void)velocity;  // no Doppler shift
    listener_.front = newFront;
    listener_.top = newTop;
    return Succeed();
}

void Library::Apply3D() {
    mixer_.EditAll([this](Channel& channel) {
        if (channel.Is3D()) channel.spatial = Place(channel);
    });
    error_ = kAudioOk;
}

uint32_t Library::StreamCreateFile(int32_t fromMemory, const void* file, uint32_t offset, uint32_t length,
                                   uint32_t flags) {
    if (!file) return static_cast<uint32_t>(Fail(kAudioErrorFile));
    std::vector<uint8_t> owned;
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (fromMemory) {
        if (length == 0) return static_cast<uint32_t>(Fail(kAudioErrorParameter));
        data = static_cast<const uint8_t*>(file) + offset;
        size = length;
    } else {
        if (!ReadWholeFile(static_cast<const char*>(file), owned)) return static_cast<uint32_t>(Fail(kAudioErrorFile));
        if (offset > owned.size()) return static_cast<uint32_t>(Fail(kAudioErrorFileFormat));
        owned.erase(owned.begin(), owned.begin() + offset);
        if (length && length < owned.size()) owned.resize(length);
        data = owned.data();
        size = owned.size();
    }
    std::unique_ptr<Decoder> decoder = OpenDecoder(data, size);
    if (!decoder) return static_cast<uint32_t>(Fail(kAudioErrorFileFormat));
    std::unique_ptr<Channel> channel(new (std::nothrow) Channel(std::move(decoder), std::move(owned), flags));
    if (!channel) return static_cast<uint32_t>(Fail(kAudioErrorMemory));
    if (channel->Is3D()) channel->spatial = Place(*channel);
    uint32_t handle = mixer_.Add(std::move(channel));
    error_ = kAudioOk;
    return handle;
}

void Library::StreamFree(uint32_t channel) { error_ = mixer_.Remove(channel) ? kAudioOk : kAudioErrorHandle; }

uint32_t Library::SampleGetChannel(uint32_t, int32_t) {
    // The library plays streams only; it has no samples.
    return static_cast<uint32_t>(Fail(kAudioErrorNotSample));
}

bool Library::EditChannel(uint32_t channel, bool need3D, const std::function<void(Channel&)>& edit) {
    bool not3D = false;
    bool found = mixer_.Edit(channel, [&](Channel& live) {
        if (need3D && !live.Is3D()) {
            not3D = true;
            return;
        }
        edit(live);
    });
    if (!found) return Fail(kAudioErrorHandle);
    if (not3D) return Fail(kAudioErrorNot3D);
    return Succeed();
}

int32_t Library::ChannelSetFlags(uint32_t channel, uint32_t flags) {
    return EditChannel(channel, false, [flags](Channel& live) { live.SetLooping((flags & kAudioLoop) != 0); });
}

int32_t Library::ChannelSetAttributes(uint32_t channel, int32_t frequency, int32_t volume, int32_t pan) {
    // -1 (frequency, volume) and -101 (pan) leave the attribute as it is.
    if ((frequency != -1 && frequency != 0 &&
         (frequency < static_cast<int32_t>(kMinPlaybackRate) || frequency > static_cast<int32_t>(kMaxPlaybackRate))) ||
        (volume != -1 && (volume < 0 || volume > 100)) || (pan != -101 && (pan < -100 || pan > 100)))
        return Fail(kAudioErrorParameter);
    return EditChannel(channel, false, [=](Channel& live) {
        if (frequency != -1) live.frequency = static_cast<uint32_t>(frequency);
        if (volume != -1) live.volume = volume;
        if (pan != -101) live.pan = pan;
    });
}

int32_t Library::ChannelSet3DAttributes(uint32_t channel, int32_t mode, float minDistance, float maxDistance,
                                        int32_t innerAngle, int32_t outerAngle, int32_t outerVolume) {
    // Negative leaves a value as it is; a minimum distance of 0 or one that
    // is not a number would silence the channel at every distance.
    if (mode < -1 || mode > kAudio3DOff || minDistance == 0.0f || std::isnan(minDistance) || std::isnan(maxDistance) ||
        maxDistance == 0.0f || innerAngle > 360 || outerAngle > 360 || outerVolume > 100)
        return Fail(kAudioErrorParameter);
    return EditChannel(channel, true, [=](Channel& live) {
        if (mode >= 0) live.placement.mode = mode;
        if (minDistance > 0.0f) live.placement.minDistance = minDistance;
        if (maxDistance > 0.0f) live.placement.maxDistance = maxDistance;
        if (innerAngle >= 0) live.innerAngle = innerAngle;
        if (outerAngle >= 0) live.outerAngle = outerAngle;
        if (outerVolume >= 0) live.outerVolume = outerVolume;
    });
}

int32_t Library::ChannelSet3DPosition(uint32_t channel, const AudioVector* position, const AudioVector* orientation,
                                      const AudioVector* velocity) {
    return EditChannel(channel, true, [=](Channel& live) {
        if (position) live.placement.position = *position;
        if (orientation) live.orientation = *orientation;
        if (velocity) live.velocity = *velocity;
    });
}

int32_t Library::ChannelPlay(uint32_t channel, int32_t restart) {
    return EditChannel(channel, false, [restart](Channel& live) { live.Play(restart != 0); });
}

int32_t Library::ChannelStop(uint32_t channel) {
    return EditChannel(channel, false, [](Channel& live) { live.Stop(); });
}

uint32_t Library::ChannelIsActive(uint32_t channel) {
    bool playing = false;
    if (!EditChannel(channel, false, [&playing](Channel& live) { playing = live.IsPlaying(); })) return kAudioStopped;
    return playing ? kAudioPlaying : kAudioStopped;
}

}  // namespace zav::audio
