#include "tools/scenegen/HarbourScene.h"

#include <cmath>
#include <vector>

#include "engine/scene/Buffer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/TransformMath.h"

namespace zav::scenegen {

namespace {

constexpr float kPi = 3.14159265f;

// Vertices, colours and triangle indices gathered before they become buffers.
struct Mesh {
    std::vector<Vector3> vertices;
    std::vector<Color> colors;
    std::vector<int32_t> indices;

    int32_t AddVertex(const Vector3& position, const Color& color) {
        vertices.push_back(position);
        colors.push_back(color);
        return static_cast<int32_t>(vertices.size() - 1);
    }
    void AddTriangle(int32_t a, int32_t b, int32_t c) { indices.insert(indices.end(), {a, b, c}); }
    // Two triangles a-b-c and a-c-d, wound the same way.
    void AddQuad(int32_t a, int32_t b, int32_t c, int32_t d) {
        AddTriangle(a, b, c);
        AddTriangle(a, c, d);
    }

    // An axis-aligned box from `low` to `high`; each face has its own four
    // vertices so that its normals stay flat.
    void AddBox(const Vector3& low, const Vector3& high, const Color& color) {
        const float x[2] = {low.x, high.x}, y[2] = {low.y, high.y}, z[2] = {low.z, high.z};
        auto corner = [&](int i, int j, int k) { return Vector3{x[i], y[j], z[k]}; };
        // Faces as corner index triples (i, j, k) in winding order.
        static const int faces[6][4][3] = {
            {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}, {{1, 0, 1}, {1, 1, 1}, {0, 1, 1}, {0, 0, 1}},
            {{0, 0, 1}, {0, 1, 1}, {0, 1, 0}, {0, 0, 0}}, {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}},
            {{0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}}, {{0, 0, 1}, {0, 0, 0}, {1, 0, 0}, {1, 0, 1}},
        };
        for (const auto& face : faces) {
            int32_t v[4];
            for (int n = 0; n < 4; ++n) v[n] = AddVertex(corner(face[n][0], face[n][1], face[n][2]), color);
            AddQuad(v[0], v[1], v[2], v[3]);
        }
    }

    // A prism of `sides` sides around the vertical axis through `base`,
    // tapering from `bottomRadius` to `topRadius`, with a flat top.
    void AddTower(const Vector3& base, float height, float bottomRadius, float topRadius, int sides,
                  const Color& color) {
        const int32_t top = AddVertex({base.x, base.y + height, base.z}, color);
        std::vector<int32_t> ring;
        for (int side = 0; side <= sides; ++side) {
            const float angle = 2.0f * kPi * static_cast<float>(side) / static_cast<float>(sides);
            const float c = std::cos(angle), s = std::sin(angle);
            ring.push_back(AddVertex({base.x + bottomRadius * c, base.y, base.z + bottomRadius * s}, color));
            ring.push_back(AddVertex({base.x + topRadius * c, base.y + height, base.z + topRadius * s}, color));
        }
        for (int side = 0; side < sides; ++side) {
            const int32_t b0 = ring[2 * side], t0 = ring[2 * side + 1];
            const int32_t b1 = ring[2 * side + 2], t1 = ring[2 * side + 3];
            AddQuad(b0, t0, t1, b1);
            AddTriangle(top, t1, t0);
        }
    }
};

Color Rgb(float r, float g, float b) { return Color{r, g, b, 1.0f}; }

// Fills a Triangles node from the mesh: buffers, local volume and normals.
Ref<Triangles> MakeNode(const char* name, const Mesh& mesh) {
    const int count = static_cast<int>(mesh.vertices.size());
    Ref<Vector3Buffer> vertices(new Vector3Buffer(count));
    Ref<ColorBuffer> colors(new ColorBuffer(count));
    Ref<IntBuffer> indices(new IntBuffer(static_cast<int>(mesh.indices.size())));
    for (int i = 0; i < count; ++i) {
        (*vertices)[i] = mesh.vertices[i];
        (*colors)[i] = mesh.colors[i];
    }
    for (int i = 0; i < indices->GetCount(); ++i) (*indices)[i] = mesh.indices[i];

    Ref<Triangles> node(new Triangles(name));
    node->SetVertices(vertices.Get());
    node->SetColors(colors.Get());
    node->SetIndices(indices.Get());
    node->Rebuild(true, false);
    return node;
}

// A grid of `cells` x `cells` squares over the square of side `size` at
// height 0, its colour darkening away from the quay.
Mesh Water(int cells, float size) {
    Mesh mesh;
    const float step = size / static_cast<float>(cells), origin = -0.5f * size;
    for (int row = 0; row <= cells; ++row)
        for (int column = 0; column <= cells; ++column) {
            const float depth = static_cast<float>(row) / static_cast<float>(cells);
            mesh.AddVertex({origin + step * static_cast<float>(column), 0.0f, origin + step * static_cast<float>(row)},
                           Rgb(0.04f, 0.10f + 0.08f * (1.0f - depth), 0.22f + 0.10f * (1.0f - depth)));
        }
    const int32_t stride = cells + 1;
    for (int row = 0; row < cells; ++row)
        for (int column = 0; column < cells; ++column) {
            const int32_t a = row * stride + column;
            mesh.AddQuad(a, a + stride, a + stride + 1, a + 1);
        }
    return mesh;
}

Mesh Quay() {
    Mesh mesh;
    const Color stone = Rgb(0.36f, 0.34f, 0.31f);
    mesh.AddBox({-60.0f, -2.0f, -60.0f}, {60.0f, 1.5f, -40.0f}, stone);
    // Bollards along the edge.
    for (int i = -4; i <= 4; ++i) {
        const float x = 6.0f * static_cast<float>(i);
        mesh.AddBox({x - 0.3f, 1.5f, -40.8f}, {x + 0.3f, 2.4f, -40.2f}, Rgb(0.12f, 0.12f, 0.13f));
    }
    return mesh;
}

Mesh Pier() {
    Mesh mesh;
    const Color wood = Rgb(0.42f, 0.29f, 0.17f), post = Rgb(0.25f, 0.17f, 0.10f);
    mesh.AddBox({-2.0f, 1.0f, -40.0f}, {2.0f, 1.4f, 0.0f}, wood);
    for (int i = 0; i <= 5; ++i) {
        const float z = -38.0f + 7.5f * static_cast<float>(i);
        for (float x : {-1.8f, 1.4f}) mesh.AddBox({x, -3.0f, z}, {x + 0.4f, 1.0f, z + 0.4f}, post);
    }
    return mesh;
}

Mesh Boat() {
    Mesh mesh;
    mesh.AddBox({-1.5f, -0.4f, -5.0f}, {1.5f, 1.0f, 5.0f}, Rgb(0.55f, 0.10f, 0.08f));
    mesh.AddBox({-1.0f, 1.0f, -2.5f}, {1.0f, 2.6f, 1.0f}, Rgb(0.85f, 0.83f, 0.78f));
    mesh.AddBox({-0.1f, 1.0f, 2.0f}, {0.1f, 8.0f, 2.2f}, Rgb(0.30f, 0.22f, 0.14f));
    return mesh;
}

Mesh Lighthouse() {
    Mesh mesh;
    mesh.AddBox({-4.0f, -2.0f, -4.0f}, {4.0f, 1.0f, 4.0f}, Rgb(0.30f, 0.29f, 0.27f));
    mesh.AddTower({0.0f, 1.0f, 0.0f}, 14.0f, 2.4f, 1.6f, 12, Rgb(0.90f, 0.90f, 0.86f));
    mesh.AddTower({0.0f, 15.0f, 0.0f}, 2.0f, 1.2f, 1.2f, 12, Rgb(1.0f, 0.86f, 0.45f));
    mesh.AddTower({0.0f, 17.0f, 0.0f}, 1.5f, 1.7f, 0.1f, 12, Rgb(0.55f, 0.10f, 0.08f));
    return mesh;
}

Ref<Node> Placed(Ref<Triangles> node, const Vector3& translation, float turnRadians = 0.0f) {
    const Quaternion turn{0.0f, std::sin(0.5f * turnRadians), 0.0f, std::cos(0.5f * turnRadians)};
    node->SetLocalTransform(MakeTransform({1.0f, 1.0f, 1.0f}, turn, translation));
    return Ref<Node>(node.Get());
}

}  // namespace

Ref<SceneNode> BuildHarbourScene() {
    Ref<Node> parts[] = {
        Placed(MakeNode("Water", Water(48, 240.0f)), {0.0f, 0.0f, 0.0f}),
        Placed(MakeNode("Quay", Quay()), {0.0f, 0.0f, 0.0f}),
        Placed(MakeNode("Pier", Pier()), {0.0f, 0.0f, 0.0f}),
        Placed(MakeNode("Boat", Boat()), {6.0f, 0.0f, -20.0f}, 0.2f),
        Placed(MakeNode("Lighthouse", Lighthouse()), {24.0f, 0.0f, 30.0f}),
    };
    constexpr int32_t kPartCount = sizeof(parts) / sizeof(parts[0]);
    // One slot per part and one for the camera.
    Ref<SceneNode> root(new SceneNode("Harbour", kPartCount + 1, 0));
    for (int32_t i = 0; i < kPartCount; ++i) root->SetChild(i, parts[i].Get());

    // From the quay's far corner, a little above it, tilted down towards
    // the water (a pitch of about 8 degrees about the right axis).
    Ref<Camera> camera(new Camera("Camera"));
    const float pitch = 8.0f * kPi / 180.0f;
    camera->SetLocalTransform(MakeTransform({1.0f, 1.0f, 1.0f},
                                            {std::sin(0.5f * pitch), 0.0f, 0.0f, std::cos(0.5f * pitch)},
                                            {-6.0f, 9.0f, -52.0f}));
    camera->SetFieldOfView(55.0f * kPi / 180.0f);
    camera->SetNearPlane(0.5f);
    camera->SetFarPlane(400.0f);
    root->SetChild(kPartCount, camera.Get());
    root->UpdateSubtree(0.0, true);
    return root;
}

}  // namespace zav::scenegen
