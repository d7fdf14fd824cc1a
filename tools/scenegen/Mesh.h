#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/RefCounted.h"
#include "engine/core/Values.h"
#include "engine/scene/GeometryNode.h"

namespace zav::scenegen {

constexpr float kPi = 3.14159265f;

// Vertices, colours, texture coordinates and indices gathered before they
// become buffers. Texture coordinates are in texture repeats: world units
// divided by the `texScale` (units per repeat) of each shape. Shapes that
// look up cube or volume textures give three coordinates per vertex
// (`volumeCoords`) instead.
struct Mesh {
    std::vector<Vector3> vertices;
    std::vector<Color> colors;
    std::vector<Vector2> texCoords;
    std::vector<Vector3> volumeCoords;
    std::vector<int32_t> indices;

    int32_t AddVertex(const Vector3& position, const Color& color, const Vector2& texCoord = {});
    void AddTriangle(int32_t a, int32_t b, int32_t c) { indices.insert(indices.end(), {a, b, c}); }
    // Two triangles a-b-c and a-c-d, wound the same way.
    void AddQuad(int32_t a, int32_t b, int32_t c, int32_t d) {
        AddTriangle(a, b, c);
        AddTriangle(a, c, d);
    }

    // An axis-aligned box from `low` to `high`; each face has its own four
    // vertices so that its normals stay flat, and the texture lies on each
    // face along its two axes.
    void AddBox(const Vector3& low, const Vector3& high, const Color& color, float texScale = 4.0f);
    // A prism of `sides` sides around the vertical axis through `base`,
    // tapering from `bottomRadius` to `topRadius`, with a flat top.
    void AddTower(const Vector3& base, float height, float bottomRadius, float topRadius, int sides,
                  const Color& color, float texScale = 4.0f);
    // A roof ridge along x over the box's top: two slopes and two gables.
    void AddRoof(const Vector3& low, const Vector3& high, float ridgeHeight, const Color& color, float texScale = 4.0f);
    // A grid of `columns` x `rows` cells over the rectangle from `origin`
    // along `across` and `up` (whole lengths), texture coordinates 0..1.
    void AddGrid(const Vector3& origin, const Vector3& across, const Vector3& up, int columns, int rows,
                 const Color& color);
};

// A triangle list node from the mesh (buffers, bounds and normals), drawn
// by `effect`; two- or three-component coordinates as the mesh has them.
Ref<Triangles> MakeTriangles(const char* name, const Mesh& mesh, GeometryNodeEffect* effect);

// A node of `points` drawn as `Node` (Points, Lines or StripLines) with
// one colour.
template <class Node>
Ref<Node> MakeLineNode(const char* name, const std::vector<Vector3>& points, GeometryNodeEffect* effect);

// The rotation of `radians` about the vertical axis, and about the right axis
// (positive tilts the forward axis down).
Quaternion Turn(float radians);
Quaternion Tilt(float radians);

}  // namespace zav::scenegen
