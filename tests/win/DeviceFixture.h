#pragma once

// Tests of the Direct3D 9 back end on the device of the X server the tests
// run in: a small window, a camera at the origin looking along +z, and
// frames read back from the device.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <vector>

#include "app/SystemWindow.h"
#include "engine/core/Engine.h"
#include "engine/core/Result.h"
#include "engine/render/Image.h"
#include "engine/render/d3d9/D3D9Renderer.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/Node.h"
#include "engine/scene/TransformMath.h"
#include "tests/support/FixedFunctionTestEffect.h"

namespace zav::test {

struct Rgb {
    int r = 0, g = 0, b = 0;
};

inline bool Near(const Rgb& a, const Rgb& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

inline ::testing::AssertionResult PixelNear(const Rgb& actual, const Rgb& expected, int tolerance) {
    if (Near(actual, expected, tolerance)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << actual.r << ", " << actual.g << ", " << actual.b
                                         << ") is not near (" << expected.r << ", " << expected.g << ", "
                                         << expected.b << ")";
}

class DeviceFixture : public ::testing::Test {
public:
    static constexpr int kSize = 64;  // the frame's width and height

protected:
    void SetUp() override;
    void TearDown() override;

    // Clears to black, draws `nodes` (each through Draw, as the scene would)
    // and reads the frame back before presenting it.
    Ref<Image> Frame(std::initializer_list<Node*> nodes);
    // The same with `draw` doing the drawing between the frame's begin and
    // its read-back.
    Ref<Image> Frame(const std::function<void()>& draw);
    // A renderer of a class of the test's own (null: the "DirectX9"
    // module's); made current by SetUp.
    virtual D3D9Renderer* MakeRenderer() { return nullptr; }
public:
    // Writes `frame` as a BMP into the folder ZAV_FRAME_FOLDER names, if
    // any, to look at.
    static void KeepFrame(Image& frame);
    // Triangles with these positions and indices, drawn by `effect`.
    static Ref<Triangles> MakeTriangles(GeometryNodeEffect* effect, std::vector<Vector3> positions,
                                        std::vector<int32_t> indices);
    // The pixel at column x, row y counted from the top of the frame.
    static Rgb Pixel(const Image& frame, int x, int y);
    // Where the default camera puts a point: its column and row in the
    // frame. The engine's projection divides by z + 1.
    static float Column(float x, float z) { return kSize / 2.0f * (1.0f + kFocal * x / (z + 1.0f)); }
    static float Row(float y, float z) { return kSize / 2.0f * (1.0f - kFocal * y / (z + 1.0f)); }
    static constexpr float kFocal = 2.4142136f;  // 1 / tan(pi / 8)

protected:

    // A node of `kind` with `positions` (indexed 0, 1, 2, ... unless
    // `indices` are given) drawn by `effect`; optional colours, normals and
    // texture coordinates of set 0 (two, or three per vertex for volumes).
    static Ref<GeometryNode> Mesh(GeometryNodeEffect* effect, std::vector<Vector3> positions,
                           std::vector<int32_t> indices = {}, int kind = kPrimitiveTriangles);
    // A square facing the camera at depth z, half a side `half` around (x, y).
    Ref<GeometryNode> Square(GeometryNodeEffect* effect, float z, float half, float x = 0, float y = 0);
    static void SetColors(GeometryNode& node, const Color& color);
    static void SetNormals(GeometryNode& node, const Vector3& normal);

    D3D9Renderer* renderer = nullptr;
    IDirect3DDevice9* device = nullptr;
    Ref<Camera> camera;
    // The window's client size; a test may set it in its constructor.
    int frameWidth = kSize;
    int frameHeight = kSize;
};

}  // namespace zav::test
