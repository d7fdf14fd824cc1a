#pragma once

#include <vector>

#include "engine/core/RefCounted.h"
#include "engine/render/Texture.h"
#include "engine/scene/Camera.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/Light.h"
#include "engine/scene/SceneNode.h"

namespace zav::bench {

// The scene the drawing benchmarks draw: `count` lit, textured boxes (24
// vertices with normals and texture coordinates, 12 triangles) in a grid in
// front of the camera, all in view, each with an effect of its own that
// binds its buffers, one shared 64 × 64 texture, the camera's matrices and
// one directional light.
struct DrawScene {
    Ref<SceneNode> root;
    Ref<Camera> camera;
    Ref<Light> light;
    Ref<Texture> texture;
    std::vector<Ref<GeometryNode>> boxes;
};

DrawScene BuildDrawScene(int count);

// The box's vertex data, shared by every box (the engine's buffers are per
// node, as a loaded scene's are).
struct BoxData {
    std::vector<Vector3> positions, normals;
    std::vector<Vector2> texCoords;
    std::vector<int32_t> indices;
};
const BoxData& Box();

}  // namespace zav::bench
