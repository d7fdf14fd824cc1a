#pragma once

#include <cfloat>
#include <cstdint>
#include <memory>

#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Node.h"

namespace zav {

class File;

// A node that plays one sound file of the virtual tree through the audio
// library: the whole file is kept in memory and played as a memory stream,
// looped or not, and with 3D placement relative to the current camera. Its
// bounding volume is a sphere of the minimum distance around it. Without a
// stream (no library, no file, a file that is no sound) every playback call
// is skipped.
class SoundNode : public Node {
    ZAV_OBJECT_CLASS(SoundNode, Node)

    explicit SoundNode(const String& name = String());
    ~SoundNode() override;

    // Plays the sound when `playing`: controllers, world transform, the 3D
    // position relative to the current camera, then play without restart.
    void Update(double time) override;
    // The sphere of radius `minDistance` around the node, in world space.
    void UpdateWorldVolume() override;
    int Save(Stream& stream) override;
    int Load(Stream& stream) override;

    // Reads `file` into memory and creates its stream (3D when `is3D`),
    // dropping the previous one, and names the node's file by the file's full
    // name. 0, also when the library makes no stream of it (an empty or
    // damaged file, no library), which is logged; 3 without a file or with
    // one that cannot be opened; 2 when memory runs out.
    int LoadSound(File* file, bool is3D);
    void SetLoop(bool loop);
    // Distances that are not positive numbers become the default (the
    // largest float: full level everywhere); infinity the largest float.
    void SetMinDistance(float distance);
    // Clamped to 0..100.
    void SetVolume(int32_t volume);

    bool IsLooping() const { return loop_; }
    bool Is3D() const { return is3D_; }
    // The kind of stream the next LoadSound or Load creates (for authoring).
    void Set3D(bool is3D) { is3D_ = is3D; }
    float GetMinDistance() const { return minDistance_; }
    int32_t GetVolume() const { return volume_; }
    const String& GetFileName() const { return fileName_; }
    void SetFileName(const String& fileName) { fileName_ = fileName; }
    // Update plays the sound only while this is set; clearing it does not
    // stop a sound that plays.
    bool IsPlaying() const { return playing_; }
    void SetPlaying(bool playing) { playing_ = playing; }
    // The library's stream, 0 without one.
    uint32_t GetStream() const { return stream_; }
    // The seconds of updates while playing.
    float GetPlayTime() const { return playTime_; }

    // The stored field a scene file may hold that nothing uses.
    int32_t reserved = 0;

private:
    void FreeSound();

    String fileName_;
    bool is3D_ = false;
    bool playing_ = true;
    uint32_t stream_ = 0;
    std::unique_ptr<uint8_t[]> soundData_;
    int32_t soundSize_ = 0;
    bool loop_ = false;
    float minDistance_ = FLT_MAX;
    int32_t volume_ = 0;
    float playTime_ = 0.0f;
    SphereBoundingVolume bounds_{{}, FLT_MAX};  // the node's own sphere, radius minDistance_
};

}  // namespace zav
