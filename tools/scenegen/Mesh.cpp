#include "tools/scenegen/Mesh.h"

#include <cmath>

#include "engine/scene/Buffer.h"

namespace zav::scenegen {

int32_t Mesh::AddVertex(const Vector3& position, const Color& color, const Vector2& texCoord) {
    vertices.push_back(position);
    colors.push_back(color);
    texCoords.push_back(texCoord);
    return static_cast<int32_t>(vertices.size() - 1);
}

void Mesh::AddBox(const Vector3& low, const Vector3& high, const Color& color, float texScale) {
    const float x[2] = {low.x, high.x}, y[2] = {low.y, high.y}, z[2] = {low.z, high.z};
    auto corner = [&](int i, int j, int k) { return Vector3{x[i], y[j], z[k]}; };
    // Faces as corner index triples (i, j, k) in winding order, looking
    // along -z, +z, -x, +x, +y, -y.
    static const int faces[6][4][3] = {
        {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}, {{1, 0, 1}, {1, 1, 1}, {0, 1, 1}, {0, 0, 1}},
        {{0, 0, 1}, {0, 1, 1}, {0, 1, 0}, {0, 0, 0}}, {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}},
        {{0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}}, {{0, 0, 1}, {0, 0, 0}, {1, 0, 0}, {1, 0, 1}},
    };
    static const int normalAxis[6] = {2, 2, 0, 0, 1, 1};
    for (int f = 0; f < 6; ++f) {
        const int axis = normalAxis[f];
        int32_t v[4];
        for (int n = 0; n < 4; ++n) {
            const Vector3 p = corner(faces[f][n][0], faces[f][n][1], faces[f][n][2]);
            // Walls take (horizontal, height); tops and bottoms (x, z).
            const Vector2 uv = axis == 1 ? Vector2{p.x, p.z} : axis == 0 ? Vector2{p.z, p.y} : Vector2{p.x, p.y};
            v[n] = AddVertex(p, color, {uv.x / texScale, -uv.y / texScale});
        }
        AddQuad(v[0], v[1], v[2], v[3]);
    }
}

void Mesh::AddTower(const Vector3& base, float height, float bottomRadius, float topRadius, int sides,
                    const Color& color, float texScale) {
    const int32_t top = AddVertex({base.x, base.y + height, base.z}, color, {0.5f, 0.5f});
    // Whole repeats around, so that the seam matches.
    const float around = std::fmax(1.0f, std::round(2.0f * kPi * bottomRadius / texScale));
    std::vector<int32_t> ring;
    for (int side = 0; side <= sides; ++side) {
        const float turn = static_cast<float>(side) / static_cast<float>(sides);
        const float angle = 2.0f * kPi * turn;
        const float c = std::cos(angle), s = std::sin(angle);
        ring.push_back(AddVertex({base.x + bottomRadius * c, base.y, base.z + bottomRadius * s}, color,
                                 {turn * around, -base.y / texScale}));
        ring.push_back(AddVertex({base.x + topRadius * c, base.y + height, base.z + topRadius * s}, color,
                                 {turn * around, -(base.y + height) / texScale}));
    }
    for (int side = 0; side < sides; ++side) {
        const int32_t b0 = ring[2 * side], t0 = ring[2 * side + 1];
        const int32_t b1 = ring[2 * side + 2], t1 = ring[2 * side + 3];
        AddQuad(b0, t0, t1, b1);
        AddTriangle(top, t1, t0);
    }
}

void Mesh::AddRoof(const Vector3& low, const Vector3& high, float ridgeHeight, const Color& color, float texScale) {
    const float midZ = 0.5f * (low.z + high.z), top = high.y + ridgeHeight;
    auto uv = [texScale](float a, float b) { return Vector2{a / texScale, -b / texScale}; };
    // The slope facing -z, then the one facing +z.
    const float slope = std::sqrt(ridgeHeight * ridgeHeight + 0.25f * (high.z - low.z) * (high.z - low.z));
    int32_t a = AddVertex({low.x, high.y, low.z}, color, uv(low.x, 0));
    int32_t b = AddVertex({low.x, top, midZ}, color, uv(low.x, slope));
    int32_t c = AddVertex({high.x, top, midZ}, color, uv(high.x, slope));
    int32_t d = AddVertex({high.x, high.y, low.z}, color, uv(high.x, 0));
    AddQuad(a, b, c, d);
    a = AddVertex({high.x, high.y, high.z}, color, uv(high.x, 0));
    b = AddVertex({high.x, top, midZ}, color, uv(high.x, slope));
    c = AddVertex({low.x, top, midZ}, color, uv(low.x, slope));
    d = AddVertex({low.x, high.y, high.z}, color, uv(low.x, 0));
    AddQuad(a, b, c, d);
    // Gables: the triangle at each end.
    AddTriangle(AddVertex({low.x, high.y, high.z}, color, uv(high.z, 0)), AddVertex({low.x, top, midZ}, color, uv(midZ, ridgeHeight)),
                AddVertex({low.x, high.y, low.z}, color, uv(low.z, 0)));
    AddTriangle(AddVertex({high.x, high.y, low.z}, color, uv(low.z, 0)), AddVertex({high.x, top, midZ}, color, uv(midZ, ridgeHeight)),
                AddVertex({high.x, high.y, high.z}, color, uv(high.z, 0)));
}

void Mesh::AddGrid(const Vector3& origin, const Vector3& across, const Vector3& up, int columns, int rows,
                   const Color& color) {
    const auto first = static_cast<int32_t>(vertices.size());
    for (int row = 0; row <= rows; ++row)
        for (int column = 0; column <= columns; ++column) {
            const float u = static_cast<float>(column) / static_cast<float>(columns);
            const float v = static_cast<float>(row) / static_cast<float>(rows);
            const Vector3 p{origin.x + across.x * u + up.x * v, origin.y + across.y * u + up.y * v,
                            origin.z + across.z * u + up.z * v};
            AddVertex(p, color, {u, 1.0f - v});
        }
    const int32_t stride = columns + 1;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column) {
            const int32_t a = first + row * stride + column;
            AddQuad(a, a + stride, a + stride + 1, a + 1);
        }
}

Ref<Triangles> MakeTriangles(const char* name, const Mesh& mesh, GeometryNodeEffect* effect) {
    const int count = static_cast<int>(mesh.vertices.size());
    Ref<Vector3Buffer> vertices(new Vector3Buffer(count));
    Ref<ColorBuffer> colors(new ColorBuffer(count));
    Ref<IntBuffer> indices(new IntBuffer(static_cast<int>(mesh.indices.size())));
    for (int i = 0; i < count; ++i) {
        (*vertices)[i] = mesh.vertices[static_cast<size_t>(i)];
        (*colors)[i] = mesh.colors[static_cast<size_t>(i)];
    }
    for (int i = 0; i < indices->GetCount(); ++i) (*indices)[i] = mesh.indices[static_cast<size_t>(i)];

    Ref<Triangles> node(new Triangles(name));
    node->SetVertices(vertices.Get());
    node->SetColors(colors.Get());
    if (mesh.volumeCoords.size() == mesh.vertices.size()) {
        Ref<Vector3Buffer> coords(new Vector3Buffer(count));
        for (int i = 0; i < count; ++i) (*coords)[i] = mesh.volumeCoords[static_cast<size_t>(i)];
        node->SetTexCoords(0, coords.Get());
    } else {
        Ref<Vector2Buffer> coords(new Vector2Buffer(count));
        for (int i = 0; i < count; ++i) (*coords)[i] = mesh.texCoords[static_cast<size_t>(i)];
        node->SetTexCoords(0, coords.Get());
    }
    node->SetIndices(indices.Get());
    node->Rebuild(true, false);
    node->SetEffect(effect);
    return node;
}

template <class Node>
Ref<Node> MakeLineNode(const char* name, const std::vector<Vector3>& points, GeometryNodeEffect* effect) {
    const int count = static_cast<int>(points.size());
    Ref<Vector3Buffer> vertices(new Vector3Buffer(count));
    for (int i = 0; i < count; ++i) (*vertices)[i] = points[static_cast<size_t>(i)];
    Ref<Node> node(new Node(name));
    node->SetVertices(vertices.Get());
    node->Rebuild(false, false);
    node->SetEffect(effect);
    return node;
}

template Ref<Points> MakeLineNode<Points>(const char*, const std::vector<Vector3>&, GeometryNodeEffect*);
template Ref<Lines> MakeLineNode<Lines>(const char*, const std::vector<Vector3>&, GeometryNodeEffect*);
template Ref<StripLines> MakeLineNode<StripLines>(const char*, const std::vector<Vector3>&, GeometryNodeEffect*);

Quaternion Turn(float radians) { return {0.0f, std::sin(0.5f * radians), 0.0f, std::cos(0.5f * radians)}; }
Quaternion Tilt(float radians) { return {std::sin(0.5f * radians), 0.0f, 0.0f, std::cos(0.5f * radians)}; }

}  // namespace zav::scenegen
