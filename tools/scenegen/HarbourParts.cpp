#include "tools/scenegen/HarbourParts.h"

#include <algorithm>
#include <cmath>

#include "tools/mediagen/Paint.h"

namespace zav::scenegen {

namespace {

Color Rgb(float r, float g, float b) { return Color{r, g, b, 1.0f}; }

// The house fronts: left edge, width, height.
struct House {
    float x, width, height;
};
constexpr House kHouses[] = {{-46, 9, 7}, {-36, 7, 9}, {-28, 10, 6.5f}, {-17, 8, 8}, {-8, 9, 10},
                             {2, 7, 7.5f}, {10, 10, 9}, {21, 8, 6.5f}, {30, 9, 8.5f}, {40, 8, 7}};
constexpr float kHouseFront = -54.0f, kHouseBack = -62.0f, kQuayTop = 1.5f;

}  // namespace

const std::vector<Vector3>& LampFeet() {
    static const std::vector<Vector3> feet = {
        {-18.0f, 1.5f, -41.5f}, {12.0f, 1.5f, -41.5f}, {1.7f, 1.4f, -28.0f}, {1.7f, 1.4f, -14.0f}, {-1.7f, 1.4f, -4.0f},
    };
    return feet;
}

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
    mesh.AddBox({-60.0f, -2.0f, -70.0f}, {60.0f, kQuayTop, -40.0f}, stone);
    // Bollards along the edge.
    for (int i = -4; i <= 4; ++i) {
        const float x = 6.0f * static_cast<float>(i);
        mesh.AddBox({x - 0.3f, kQuayTop, -40.8f}, {x + 0.3f, 2.4f, -40.2f}, Rgb(0.12f, 0.12f, 0.13f), 1.0f);
    }
    return mesh;
}

Mesh LampPosts() {
    Mesh mesh;
    const Color iron = Rgb(0.10f, 0.10f, 0.11f);
    for (const Vector3& foot : LampFeet()) {
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
    // The flag's pole at the end.
    mesh.AddBox({kFlagPole.x - 0.08f, kFlagPole.y, kFlagPole.z - 0.08f},
                {kFlagPole.x + 0.08f, kFlagPole.y + 6.0f, kFlagPole.z + 0.08f}, post, 1.0f);
    return mesh;
}

Mesh Boat() {
    Mesh mesh;
    mesh.AddBox({-1.5f, -0.4f, -5.0f}, {1.5f, 1.0f, 5.0f}, Rgb(0.55f, 0.10f, 0.08f));
    mesh.AddBox({-1.0f, 1.0f, -2.5f}, {1.0f, 2.6f, 1.0f}, Rgb(0.85f, 0.83f, 0.78f));
    mesh.AddBox({-0.1f, 1.0f, 2.0f}, {0.1f, 8.0f, 2.2f}, Rgb(0.30f, 0.22f, 0.14f));
    return mesh;
}

Mesh BoatWindows() {
    Mesh mesh;
    // Two panes on each side of the cabin, just outside its walls.
    int slice = 0;
    for (float x : {-1.02f, 1.02f})
        for (float z : {-1.9f, -0.4f}) {
            const float w = (static_cast<float>(slice++ % 6) + 0.5f) / 6.0f;
            const float sign = x < 0 ? 1.0f : -1.0f;  // wound to face outwards
            int32_t v[4];
            const Vector3 corners[4] = {{x, 1.5f, z}, {x, 2.3f, z}, {x, 2.3f, z + sign * 0.9f}, {x, 1.5f, z + sign * 0.9f}};
            const Vector3 coords[4] = {{0, 1, w}, {0, 0, w}, {1, 0, w}, {1, 1, w}};
            for (int n = 0; n < 4; ++n) {
                v[n] = mesh.AddVertex(corners[n], Rgb(1, 1, 1));
                mesh.volumeCoords.push_back(coords[n]);
            }
            mesh.AddQuad(v[0], v[1], v[2], v[3]);
        }
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

Mesh Houses() {
    Mesh mesh;
    for (const House& house : kHouses)
        mesh.AddBox({house.x, kQuayTop, kHouseBack}, {house.x + house.width, kQuayTop + house.height, kHouseFront},
                    Rgb(0.5f, 0.3f, 0.2f), 3.0f);
    return mesh;
}

Mesh Roofs() {
    Mesh mesh;
    for (const House& house : kHouses)
        mesh.AddRoof({house.x - 0.3f, kQuayTop, kHouseBack - 0.4f},
                     {house.x + house.width + 0.3f, kQuayTop + house.height, kHouseFront + 0.4f}, 2.5f,
                     Rgb(0.2f, 0.2f, 0.22f), 3.0f);
    return mesh;
}

Mesh Windows() {
    Mesh mesh;
    int count = 0;
    for (const House& house : kHouses) {
        const int columns = static_cast<int>(house.width / 2.5f);
        const int floors = static_cast<int>(house.height / 3.0f);
        for (int floor = 0; floor < floors; ++floor)
            for (int column = 0; column < columns; ++column) {
                // About two windows in three are lit, each with its own glass.
                if (mediagen::Hash01(count, floor, 131u) < 0.35f) {
                    ++count;
                    continue;
                }
                const float x = house.x + 0.9f + 2.5f * static_cast<float>(column);
                const float y = kQuayTop + 1.0f + 3.0f * static_cast<float>(floor);
                const float w = (static_cast<float>(count++ % 6) + 0.5f) / 6.0f;
                const float z = kHouseFront + 0.02f;  // just in front of the wall
                const Vector3 corners[4] = {{x, y, z}, {x, y + 1.4f, z}, {x + 1.0f, y + 1.4f, z}, {x + 1.0f, y, z}};
                const Vector3 coords[4] = {{0, 1, w}, {0, 0, w}, {1, 0, w}, {1, 1, w}};
                int32_t v[4];
                for (int n = 0; n < 4; ++n) {
                    v[n] = mesh.AddVertex(corners[n], Rgb(1, 1, 1));
                    mesh.volumeCoords.push_back(coords[n]);
                }
                mesh.AddQuad(v[0], v[1], v[2], v[3]);
            }
    }
    return mesh;
}

Mesh Buoy() {
    Mesh mesh;
    mesh.AddTower({0.0f, -0.6f, 0.0f}, 1.2f, 1.0f, 0.9f, 10, Rgb(0.75f, 0.12f, 0.08f), 2.0f);
    mesh.AddTower({0.0f, 0.6f, 0.0f}, 2.2f, 0.5f, 0.15f, 8, Rgb(0.75f, 0.12f, 0.08f), 2.0f);
    mesh.AddBox({-0.25f, 1.6f, -0.25f}, {0.25f, 2.1f, 0.25f}, Rgb(0.7f, 0.6f, 0.3f), 1.0f);  // the bell
    return mesh;
}

Mesh Reeds() {
    Mesh mesh;
    mediagen::Random random(211u);
    // Clumps where the quay meets the water on the left.
    for (int blade = 0; blade < 90; ++blade) {
        const float x = -58.0f + 16.0f * random.Unit(), z = -39.5f + 3.5f * random.Unit();
        const float height = 1.2f + 1.3f * random.Unit(), lean = 0.3f * (random.Unit() - 0.5f);
        const float angle = 2.0f * kPi * random.Unit();
        const float dx = 0.06f * std::cos(angle), dz = 0.06f * std::sin(angle);
        const Color green = Rgb(0.16f + 0.1f * random.Unit(), 0.24f + 0.1f * random.Unit(), 0.12f);
        const int32_t a = mesh.AddVertex({x - dx, 0.0f, z - dz}, green);
        const int32_t b = mesh.AddVertex({x + lean, height, z}, green);
        const int32_t c = mesh.AddVertex({x + dx, 0.0f, z + dz}, green);
        mesh.AddTriangle(a, b, c);
    }
    return mesh;
}

Mesh SkyDome(float radius, int rings, int segments) {
    Mesh mesh;
    for (int ring = 0; ring <= rings; ++ring) {
        const float elevation = kPi * (static_cast<float>(ring) / static_cast<float>(rings) - 0.5f);
        for (int segment = 0; segment <= segments; ++segment) {
            const float azimuth = 2.0f * kPi * static_cast<float>(segment) / static_cast<float>(segments);
            const Vector3 d{std::cos(elevation) * std::cos(azimuth), std::sin(elevation),
                            std::cos(elevation) * std::sin(azimuth)};
            mesh.AddVertex({d.x * radius, d.y * radius, d.z * radius}, Rgb(1, 1, 1));
            mesh.volumeCoords.push_back(d);
        }
    }
    const int32_t stride = segments + 1;
    for (int ring = 0; ring < rings; ++ring)
        for (int segment = 0; segment < segments; ++segment) {
            const int32_t a = ring * stride + segment;
            // Wound to face the centre.
            mesh.AddQuad(a, a + 1, a + stride + 1, a + stride);
        }
    return mesh;
}

Mesh Billboard(float size) {
    Mesh mesh;
    const float h = 0.5f * size;
    const int32_t a = mesh.AddVertex({-h, -h, 0}, Rgb(1, 1, 1), {0, 1});
    const int32_t b = mesh.AddVertex({-h, h, 0}, Rgb(1, 1, 1), {0, 0});
    const int32_t c = mesh.AddVertex({h, h, 0}, Rgb(1, 1, 1), {1, 0});
    const int32_t d = mesh.AddVertex({h, -h, 0}, Rgb(1, 1, 1), {1, 1});
    mesh.AddQuad(a, b, c, d);
    return mesh;
}

SkinnedMesh Flag(float length, float height, int bones) {
    SkinnedMesh flag;
    const int columns = 12, rows = 4;
    flag.mesh.AddGrid({0, 0, 0}, {length, 0, 0}, {0, height, 0}, columns, rows, Rgb(0.8f, 0.1f, 0.1f));
    // Each vertex follows the two bones nearest along the flag, blended by
    // its place between them; bone b stands at b / (bones - 1) of the length.
    for (const Vector3& p : flag.mesh.vertices) {
        const float along = p.x / length * static_cast<float>(bones - 1);
        const int first = std::min(static_cast<int>(along), bones - 2);
        const float t = along - static_cast<float>(first);
        flag.weights.push_back({1.0f - t, t, 0.0f, 0.0f});
        flag.boneIndices.push_back({static_cast<float>(first), static_cast<float>(first + 1), 0.0f, 0.0f});
    }
    return flag;
}

std::vector<Vector3> Rigging() {
    // From the boat's mast top to its bow and stern, in the boat's space.
    const Vector3 top{0.0f, 8.0f, 2.1f};
    return {top, {0.0f, 1.0f, 5.0f}, top, {0.0f, 1.0f, -5.0f}, top, {1.4f, 1.0f, 2.1f}, top, {-1.4f, 1.0f, 2.1f}};
}

std::vector<Vector3> Railing() {
    // A chain sagging between the bollards along the quay's edge.
    std::vector<Vector3> points;
    for (int i = -24; i <= 24; ++i) {
        const float x = static_cast<float>(i), t = std::fmod(x + 24.0f, 6.0f) / 6.0f;
        points.push_back({x, 2.3f - 0.35f * 4.0f * t * (1.0f - t), -40.5f});
    }
    return points;
}

std::vector<Vector3> Stars(int count, float radius) {
    std::vector<Vector3> points;
    mediagen::Random random(223u);
    while (static_cast<int>(points.size()) < count) {
        const float x = 2.0f * random.Unit() - 1.0f, y = random.Unit(), z = 2.0f * random.Unit() - 1.0f;
        const float length = std::sqrt(x * x + y * y + z * z);
        if (length < 0.2f || length > 1.0f || y / length < 0.15f) continue;
        points.push_back({x / length * radius, y / length * radius, z / length * radius});
    }
    return points;
}

}  // namespace zav::scenegen
