#include "bench/DrawScene.h"

#include <cmath>

#include "engine/scene/TransformMath.h"
#include "tests/support/FixedFunctionTestEffect.h"

namespace zav::bench {

namespace {

BoxData MakeBox() {
    BoxData box;
    // Six faces, each four corners seen from outside clockwise.
    const Vector3 normals[6] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    for (const Vector3& n : normals) {
        // Two axes across the face: u along `right`, v along `up`.
        Vector3 up = std::fabs(n.y) > 0.5f ? Vector3{0, 0, 1} : Vector3{0, 1, 0};
        Vector3 right{up.y * n.z - up.z * n.y, up.z * n.x - up.x * n.z, up.x * n.y - up.y * n.x};
        const int first = static_cast<int>(box.positions.size());
        const float corners[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
        for (const auto& c : corners) {
            box.positions.push_back({0.5f * (n.x + c[0] * right.x + c[1] * up.x),
                                     0.5f * (n.y + c[0] * right.y + c[1] * up.y),
                                     0.5f * (n.z + c[0] * right.z + c[1] * up.z)});
            box.normals.push_back(n);
            box.texCoords.push_back({(c[0] + 1) / 2, (1 - c[1]) / 2});
        }
        for (int i : {0, 1, 2, 0, 2, 3}) box.indices.push_back(first + i);
    }
    return box;
}

template <class T, class E>
Ref<T> BufferOf(const std::vector<E>& elements) {
    Ref<T> buffer(new T(static_cast<int>(elements.size())));
    for (size_t i = 0; i < elements.size(); ++i) (*buffer)[static_cast<int>(i)] = elements[i];
    return buffer;
}

}  // namespace

const BoxData& Box() {
    static const BoxData box = MakeBox();
    return box;
}

DrawScene BuildDrawScene(int count) {
    DrawScene scene;
    scene.root = new SceneNode("root", count + 2, count);
    scene.camera = new Camera("camera");
    scene.camera->SetFarPlane(1000.0f);
    scene.root->AddChild(scene.camera.Get());
    scene.light = new Light(Light::kDirectional, "sun");
    scene.light->diffuse = {1, 1, 1, 1};
    scene.light->ambient = {0.2f, 0.2f, 0.2f, 1};
    scene.light->SetLocalTransform(MakeTransform({1, 1, 1}, {0.2f, 0.3f, 0, 0.93f}, {}));
    scene.root->AddChild(scene.light.Get());

    Ref<Image> image(new Image("checks", RGB8, 64, 64));
    for (int i = 0; i < 64 * 64; ++i) {
        uint8_t* texel = image->GetPixels() + 3 * i;
        const bool light = ((i % 64) / 8 + (i / 64) / 8) % 2;
        texel[0] = light ? 220 : 90;
        texel[1] = light ? 180 : 60;
        texel[2] = light ? 120 : 40;
    }
    scene.texture = new Texture("checks", image.Get());

    // A grid of columns x rows at depth 60: the view is about 50 units wide.
    const int columns = static_cast<int>(std::ceil(std::sqrt(count * 4.0 / 3.0)));
    const BoxData& box = Box();
    for (int i = 0; i < count; ++i) {
        Ref<test::FixedFunctionTestEffect> effect(new test::FixedFunctionTestEffect());
        effect->texture = scene.texture;
        effect->lights = {scene.light.Get()};
        effect->diffuse = {1, 1, 1, 1};
        Ref<Triangles> node(new Triangles());
        node->SetVertices(BufferOf<Vector3Buffer>(box.positions).Get());
        node->SetNormals(BufferOf<Vector3Buffer>(box.normals).Get());
        node->SetTexCoords(0, BufferOf<Vector2Buffer>(box.texCoords).Get());
        node->SetIndices(BufferOf<IntBuffer>(box.indices).Get());
        node->SetEffect(effect.Get());
        node->Rebuild(false, false);
        const float spacing = 40.0f / columns;
        const float x = (i % columns - columns / 2.0f) * spacing, y = (i / columns - columns * 3 / 8.0f) * spacing;
        const float angle = 0.37f * i;
        node->SetLocalTransform(MakeTransform({spacing * 0.6f, spacing * 0.6f, spacing * 0.6f},
                                              {std::sin(angle) * 0.3f, std::sin(angle), 0, std::cos(angle)},
                                              {x, y, 60}));
        scene.root->AddChild(node.Get());
        scene.boxes.push_back(node);
    }
    scene.root->UpdateSubtree(0.0, true);
    return scene;
}

}  // namespace zav::bench
