#pragma once

#include <string>

#include "engine/core/Object.h"

namespace zav::scenegen {

// Writes every picture that `scene` names by a file (its images' file names,
// also those of the animations' texture keys; relative paths such as "Textures/stone.tga") under `folder`, through the
// image codec of each name's extension, making subfolders as needed. False
// (and a message on stderr) when one cannot be written.
bool WriteScenePictures(Object& scene, const std::string& folder);

}  // namespace zav::scenegen
