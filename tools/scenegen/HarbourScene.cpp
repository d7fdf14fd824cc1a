#include "tools/scenegen/HarbourScene.h"

#include <cmath>
#include <vector>

#include "engine/animation/ScreensaverController.h"
#include "engine/render/Image.h"
#include "engine/render/PixelFormat.h"
#include "engine/render/Texture.h"
#include "engine/render/effects/SpriteEffect.h"
#include "engine/render/effects/Texture1DLEffect.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/Flare.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/Light.h"
#include "engine/scene/TransformMath.h"
#include "tools/scenegen/HarbourTextures.h"

namespace zav::scenegen {

namespace {

constexpr float kPi = 3.14159265f;

// Where the street lamps stand (on the quay's edge and along the pier), and
// how far above their foot the lantern hangs.
constexpr Vector3 kLampFeet[] = {
    {-18.0f, 1.5f, -41.5f}, {12.0f, 1.5f, -41.5f}, {1.7f, 1.4f, -28.0f}, {1.7f, 1.4f, -14.0f}, {1.7f, 1.4f, -0.5f},
};
constexpr float kLampHeight = 4.0f;
// The lighthouse's foot and the height of its lamp room.
constexpr Vector3 kLighthouse{24.0f, 0.0f, 30.0f};
constexpr float kLampRoom = 16.0f;

// Vertices, colours, texture coordinates and triangle indices gathered
// before they become buffers. Texture coordinates are in texture repeats:
// world units divided by the `texScale` (units per repeat) of each shape.
struct Mesh {
    std::vector<Vector3> vertices;
    std::vector<Color> colors;
    std::vector<Vector2> texCoords;
    std::vector<int32_t> indices;

    int32_t AddVertex(const Vector3& position, const Color& color, const Vector2& texCoord = {}) {
        vertices.push_back(position);
        colors.push_back(color);
        texCoords.push_back(texCoord);
        return static_cast<int32_t>(vertices.size() - 1);
    }
    void AddTriangle(int32_t a, int32_t b, int32_t c) { indices.insert(indices.end(), {a, b, c}); }
    // Two triangles a-b-c and a-c-d, wound the same way.
    void AddQuad(int32_t a, int32_t b, int32_t c, int32_t d) {
        AddTriangle(a, b, c);
        AddTriangle(a, c, d);
    }

    // An axis-aligned box from `low` to `high`; each face has its own four
    // vertices so that its normals stay flat, and the texture lies on each
    // face along its two axes.
    void AddBox(const Vector3& low, const Vector3& high, const Color& color, float texScale = 4.0f) {
        const float x[2] = {low.x, high.x}, y[2] = {low.y, high.y}, z[2] = {low.z, high.z};
        auto corner = [&](int i, int j, int k) { return Vector3{x[i], y[j], z[k]}; };
        // Faces as corner index triples (i, j, k) in winding order.
        static const int faces[6][4][3] = {
            {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}, {{1, 0, 1}, {1, 1, 1}, {0, 1, 1}, {0, 0, 1}},
            {{0, 0, 1}, {0, 1, 1}, {0, 1, 0}, {0, 0, 0}}, {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}},
            {{0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}}, {{0, 0, 1}, {0, 0, 0}, {1, 0, 0}, {1, 0, 1}},
        };
        // The axis each face looks along: -z, +z, -x, +x, +y, -y.
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

    // A prism of `sides` sides around the vertical axis through `base`,
    // tapering from `bottomRadius` to `topRadius`, with a flat top.
    void AddTower(const Vector3& base, float height, float bottomRadius, float topRadius, int sides,
                  const Color& color, float texScale = 4.0f) {
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
};

Color Rgb(float r, float g, float b) { return Color{r, g, b, 1.0f}; }

// Fills a Triangles node from the mesh: buffers, local volume and normals,
// drawn by `effect`.
Ref<Triangles> MakeNode(const char* name, const Mesh& mesh, GeometryNodeEffect* effect) {
    const int count = static_cast<int>(mesh.vertices.size());
    Ref<Vector3Buffer> vertices(new Vector3Buffer(count));
    Ref<ColorBuffer> colors(new ColorBuffer(count));
    Ref<Vector2Buffer> texCoords(new Vector2Buffer(count));
    Ref<IntBuffer> indices(new IntBuffer(static_cast<int>(mesh.indices.size())));
    for (int i = 0; i < count; ++i) {
        (*vertices)[i] = mesh.vertices[i];
        (*colors)[i] = mesh.colors[i];
        (*texCoords)[i] = mesh.texCoords[i];
    }
    for (int i = 0; i < indices->GetCount(); ++i) (*indices)[i] = mesh.indices[i];

    Ref<Triangles> node(new Triangles(name));
    node->SetVertices(vertices.Get());
    node->SetColors(colors.Get());
    node->SetTexCoords(0, texCoords.Get());
    node->SetIndices(indices.Get());
    node->Rebuild(true, false);
    node->SetEffect(effect);
    return node;
}

// A texture of a painted picture that the scene's record names by `path`
// (its file is written beside the scene, see WriteScenePictures).
Ref<Texture> PaintedTexture(const char* path, const mediagen::Canvas& canvas, int32_t format) {
    Ref<Image> image = canvas.ToImage(format);
    image->SetName(path);
    image->SetFileName(path);
    return Ref<Texture>(new Texture(path, image.Get()));
}

// Night mist: dark blue, thickening with the square of the distance.
void AddMist(GeometryNodeEffect& effect) {
    effect.fogColor = Color{0.04f, 0.06f, 0.11f, 1.0f};
    effect.fogDensity = 0.0065f;
    effect.fogExponent = 2.0f;
    effect.SetFog(true);
}

// The texture lit by the moon, in the mist.
Ref<Texture1DLEffect> MoonLit(const char* name, Texture* texture, Light* moon) {
    Ref<Texture1DLEffect> effect(new Texture1DLEffect(name));
    effect->SetTexture(texture);
    effect->SetDirectionalLight(moon);
    effect->ambient = Color{1, 1, 1, 1};
    effect->diffuse = Color{1, 1, 1, 1};
    AddMist(*effect);
    return effect;
}

// A grid of `cells` x `cells` squares over the square of side `size` at
// height 0, its colour darkening away from the quay.
Mesh Water(int cells, float size) {
    Mesh mesh;
    const float step = size / static_cast<float>(cells), origin = -0.5f * size;
    for (int row = 0; row <= cells; ++row)
        for (int column = 0; column <= cells; ++column) {
            const float depth = static_cast<float>(row) / static_cast<float>(cells);
            const float x = origin + step * static_cast<float>(column), z = origin + step * static_cast<float>(row);
            mesh.AddVertex({x, 0.0f, z}, Rgb(0.04f, 0.10f + 0.08f * (1.0f - depth), 0.22f + 0.10f * (1.0f - depth)),
                           {x / 12.0f, z / 12.0f});
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
        mesh.AddBox({x - 0.3f, 1.5f, -40.8f}, {x + 0.3f, 2.4f, -40.2f}, Rgb(0.12f, 0.12f, 0.13f), 1.0f);
    }
    return mesh;
}

// The street lamps' posts, each with a lantern box under its flare.
Mesh LampPosts() {
    Mesh mesh;
    const Color iron = Rgb(0.10f, 0.10f, 0.11f);
    for (const Vector3& foot : kLampFeet) {
        const float top = foot.y + kLampHeight;
        mesh.AddBox({foot.x - 0.1f, foot.y, foot.z - 0.1f}, {foot.x + 0.1f, top - 0.25f, foot.z + 0.1f}, iron, 1.0f);
        mesh.AddBox({foot.x - 0.25f, top - 0.25f, foot.z - 0.25f}, {foot.x + 0.25f, top + 0.2f, foot.z + 0.25f}, iron,
                    1.0f);
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

// A warm glow of `size` at `position`, drawn additively with the glow texture.
Ref<Node> Lamp(const String& name, const Vector3& position, float size, const Color& color, Texture* glow) {
    Ref<Flare> flare(new Flare(name));
    flare->SetColor(color);
    flare->SetSize(size);
    if (auto* sprite = ObjectCast<SpriteEffect>(flare->GetEffect())) {
        sprite->SetTexture(glow);
        sprite->SetBlending(true);  // added to what is behind, hiding nothing
    }
    flare->SetLocalTransform(MakeTransform({1.0f, 1.0f, 1.0f}, {}, position));
    return Ref<Node>(flare.Get());
}

// The moon: a directional light from high on the left, shining forward and
// down across the harbour, with a cold blue ambient.
Ref<Light> Moon() {
    Ref<Light> moon(new Light(Light::kDirectional, "Moon"));
    const float pitch = 40.0f * kPi / 180.0f, yaw = 35.0f * kPi / 180.0f;
    const Quaternion down{std::sin(0.5f * pitch), 0.0f, 0.0f, std::cos(0.5f * pitch)};
    const Quaternion across{0.0f, std::sin(0.5f * yaw), 0.0f, std::cos(0.5f * yaw)};
    moon->SetLocalTransform(MakeTransform({1.0f, 1.0f, 1.0f}, ComposeRotations(down, across), {0.0f, 80.0f, -80.0f}));
    moon->ambient = Color{0.22f, 0.25f, 0.34f, 1.0f};
    moon->diffuse = Color{0.72f, 0.76f, 0.88f, 1.0f};
    return moon;
}

}  // namespace

Ref<SceneNode> BuildHarbourScene() {
    Ref<Light> moon = Moon();
    Ref<Texture> stone = PaintedTexture("Textures/stone.tga", PaintStone(128), RGB8);
    Ref<Texture> wood = PaintedTexture("Textures/wood.tga", PaintWood(128), RGB8);
    Ref<Texture> plaster = PaintedTexture("Textures/plaster.tga", PaintPlaster(128), RGB8);
    Ref<Texture> water = PaintedTexture("Textures/water.tga", PaintWater(128), RGB8);
    Ref<Texture> glow = PaintedTexture("Textures/glow.tga", PaintGlow(64), RGBA8);

    std::vector<Ref<Node>> parts = {
        Ref<Node>(moon.Get()),
        Placed(MakeNode("Water", Water(48, 240.0f), MoonLit("Water", water.Get(), moon.Get()).Get()), {}),
        Placed(MakeNode("Quay", Quay(), MoonLit("Quay", stone.Get(), moon.Get()).Get()), {}),
        Placed(MakeNode("Pier", Pier(), MoonLit("Pier", wood.Get(), moon.Get()).Get()), {}),
        Placed(MakeNode("LampPosts", LampPosts(), MoonLit("LampPosts", wood.Get(), moon.Get()).Get()), {}),
        Placed(MakeNode("Boat", Boat(), MoonLit("Boat", wood.Get(), moon.Get()).Get()), {6.0f, 0.0f, -20.0f}, 0.2f),
        Placed(MakeNode("Lighthouse", Lighthouse(), MoonLit("Lighthouse", plaster.Get(), moon.Get()).Get()),
               kLighthouse),
    };
    const Color lampLight{1.0f, 0.78f, 0.45f, 1.0f};
    int lamp = 0;
    for (const Vector3& foot : kLampFeet)
        parts.push_back(Lamp(String::Format("Lamp%d", ++lamp), foot + Vector3{0.0f, kLampHeight, 0.0f}, 3.0f, lampLight,
                             glow.Get()));
    parts.push_back(Lamp("Beacon", kLighthouse + Vector3{0.0f, kLampRoom, 0.0f}, 12.0f, {1.0f, 0.9f, 0.6f, 1.0f},
                         glow.Get()));

    // One slot per part and one for the camera.
    const auto partCount = static_cast<int32_t>(parts.size());
    Ref<SceneNode> root(new SceneNode("Harbour", partCount + 1, 0));
    for (int32_t i = 0; i < partCount; ++i) root->SetChild(i, parts[static_cast<size_t>(i)].Get());

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
    root->SetChild(partCount, camera.Get());
    // One shot through that camera: the screensaver makes it current.
    Ref<ScreensaverController> shots(new ScreensaverController("Shots"));
    shots->AddSet(camera.Get(), 0.0, 20.0);
    root->AddController(shots.Get());
    root->UpdateSubtree(0.0, true);
    return root;
}

}  // namespace zav::scenegen
