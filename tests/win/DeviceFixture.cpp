#include "tests/win/DeviceFixture.h"

#include <cstdlib>
#include <string>

#include "engine/files/Codec.h"
#include "engine/files/CodecManager.h"
#include "engine/files/File.h"

namespace zav::test {

namespace {

int WindowedMode(const Renderer& renderer) {
    const std::vector<DisplayMode>& modes = renderer.GetModes();
    for (size_t i = 0; i < modes.size(); ++i)
        if (!modes[i].fullScreen && modes[i].samples == 1 && modes[i].alphaBits == 8) return static_cast<int>(i);
    return -1;
}

// A node of a chosen primitive kind (the strip has no class of its own).
class KindNode : public GeometryNode {
public:
    explicit KindNode(int kind) : kind_(kind) {}
    int GetPrimitiveType() const override { return kind_; }

private:
    int kind_;
};

}  // namespace

void DeviceFixture::SetUp() {
    ASSERT_EQ(EngineInit(), kOk);
    LoadCodec("BMPImageCodec", nullptr);
    InstallSystemWindow();
    if (D3D9Renderer* own = MakeRenderer())
        MakeRendererCurrent(own);
    else
        ASSERT_EQ(CreateRenderer("DirectX9"), kOk);
    renderer = dynamic_cast<D3D9Renderer*>(GetRenderer());
    ASSERT_NE(renderer, nullptr);
    const int mode = WindowedMode(*renderer);
    ASSERT_GE(mode, 0);
    ASSERT_EQ(renderer->OpenWindow(mode, "device test", nullptr, 0, 0, frameWidth, frameHeight), kOk);
    device = renderer->GetDevice();
    ASSERT_NE(device, nullptr);
    camera = new Camera("eye");
    renderer->SetCamera(camera.Get());
}

void DeviceFixture::TearDown() {
    if (renderer) renderer->CloseWindow();
    camera = nullptr;
    DestroyRenderer();
    EXPECT_EQ(EngineShutdown(), kOk);
}

Ref<Image> DeviceFixture::Frame(std::initializer_list<Node*> nodes) {
    for (Node* node : nodes) node->UpdateSubtree(0.0, true);
    return Frame([this, nodes] {
        for (Node* node : nodes) node->Draw(*renderer);
    });
}

Ref<Image> DeviceFixture::Frame(const std::function<void()>& draw) {
    Ref<Image> frame(new Image("frame"));
    renderer->Clear(kClearColor | kClearDepth, Color{0, 0, 0, 1}, 1.0f, 0);
    EXPECT_EQ(renderer->BeginRender(), kOk);
    draw();
    renderer->FlushDeferred();
    EXPECT_EQ(renderer->ReadBackBuffer(*frame), kOk);
    renderer->EndRender();
    KeepFrame(*frame);
    return frame;
}

void DeviceFixture::KeepFrame(Image& frame) {
    // ZAV_FRAME_FOLDER=DIR keeps every frame as a BMP there, to look at.
    const char* folder = std::getenv("ZAV_FRAME_FOLDER");
    if (!folder) return;
    static int count = 0;
    const std::string name = std::string(folder) + "/frame-" + std::to_string(++count) + ".bmp";
    File file(name.c_str());
    if (ImageCodec* codec = FindCodecForFile<ImageCodec>(&file)) codec->EncodeImage(&file, &frame);
}

Rgb DeviceFixture::Pixel(const Image& frame, int x, int y) {
    const uint8_t* pixels = frame.GetPixels();
    if (!pixels || x < 0 || y < 0 || x >= frame.GetWidth() || y >= frame.GetHeight()) return {-1, -1, -1};
    const uint8_t* p = pixels + (static_cast<size_t>(frame.GetHeight() - 1 - y) * frame.GetWidth() + x) * 3;
    return {p[0], p[1], p[2]};
}

Ref<GeometryNode> DeviceFixture::Mesh(GeometryNodeEffect* effect, std::vector<Vector3> positions,
                                      std::vector<int32_t> indices, int kind) {
    Ref<GeometryNode> node(kind == kPrimitiveTriangles ? static_cast<GeometryNode*>(new Triangles("mesh"))
                                                        : new KindNode(kind));
    Ref<Vector3Buffer> vertices(new Vector3Buffer(static_cast<int>(positions.size())));
    for (size_t i = 0; i < positions.size(); ++i) (*vertices)[static_cast<int>(i)] = positions[i];
    if (indices.empty())
        for (size_t i = 0; i < positions.size(); ++i) indices.push_back(static_cast<int32_t>(i));
    Ref<IntBuffer> indexBuffer(new IntBuffer(static_cast<int>(indices.size())));
    for (size_t i = 0; i < indices.size(); ++i) (*indexBuffer)[static_cast<int>(i)] = indices[i];
    node->SetVertices(vertices.Get());
    node->SetIndices(indexBuffer.Get());
    node->SetEffect(effect);
    node->Rebuild(false, false);
    return node;
}

Ref<GeometryNode> DeviceFixture::Square(GeometryNodeEffect* effect, float z, float half, float x, float y) {
    // Clockwise as seen from the camera: top-left, top-right, bottom-right, bottom-left.
    Ref<GeometryNode> node = Mesh(effect,
                                  {{x - half, y + half, z}, {x + half, y + half, z}, {x + half, y - half, z},
                                   {x - half, y - half, z}},
                                  {0, 1, 2, 0, 2, 3});
    Ref<Vector2Buffer> uv(new Vector2Buffer(4));
    (*uv)[0] = {0, 0};
    (*uv)[1] = {1, 0};
    (*uv)[2] = {1, 1};
    (*uv)[3] = {0, 1};
    node->SetTexCoords(0, uv.Get());
    return node;
}

Ref<Triangles> DeviceFixture::MakeTriangles(GeometryNodeEffect* effect, std::vector<Vector3> positions,
                                            std::vector<int32_t> indices) {
    Ref<GeometryNode> node = Mesh(effect, std::move(positions), std::move(indices));
    return Ref<Triangles>(static_cast<Triangles*>(node.Get()));
}

void DeviceFixture::SetColors(GeometryNode& node, const Color& color) {
    Ref<ColorBuffer> colors(new ColorBuffer(node.GetVertices()->GetCount()));
    for (int i = 0; i < colors->GetCount(); ++i) (*colors)[i] = color;
    node.SetColors(colors.Get());
}

void DeviceFixture::SetNormals(GeometryNode& node, const Vector3& normal) {
    Ref<Vector3Buffer> normals(new Vector3Buffer(node.GetVertices()->GetCount()));
    for (int i = 0; i < normals->GetCount(); ++i) (*normals)[i] = normal;
    node.SetNormals(normals.Get());
}

}  // namespace zav::test
