#pragma once

#include "engine/core/RefCounted.h"
#include "engine/scene/SceneNode.h"

namespace zav::soundgen {

// The sound files the tool makes, by their paths in the media archive.
constexpr const char* kMusicFile = "Sounds/test_music.ogg";
constexpr const char* kBeaconFile = "Sounds/test_beacon.ogg";

// The scene of the sound tests: the looped music "Music" (not placed) and a
// looped 3D sound "Beacon" four units to the left of the default camera
// (at the origin, facing +z), well inside its minimum distance of 10.
Ref<SceneNode> BuildSoundTestScene();

}  // namespace zav::soundgen
