#pragma once

#include <cstdint>
#include <vector>

#include "engine/render/Renderer.h"

namespace zav {

// A renderer without a device, for host tools, benchmarks and fuzz
// targets (module "NullRenderer"): every frame succeeds and nothing is
// drawn, but the engine's side of drawing runs as on a device. Device
// objects are "made" at first use (the table and the engine objects'
// DeviceResource behave as with a device, with a stand-in handle), passes
// are "recorded", and what was asked for is counted.
class NullRenderer : public Renderer {
public:
    struct Counters {
        int64_t draws = 0;         // DrawCurrent, DrawSkinned and DrawPrimitives calls
        int64_t primitives = 0;    // primitives those calls would draw
        int64_t passes = 0;        // BeginPass calls
        int64_t recordings = 0;    // passes recorded (first use, or dirty)
        int64_t textureBinds = 0;  // BindTexture calls with a texture
        int64_t uploads = 0;       // buffers and textures filled
        int64_t shaders = 0;       // shaders assembled
    };
    static constexpr int kVertexConstants = 256, kPixelConstants = 32;

    // Shader model 2.0, eight texture stages and lights, no point sprites, a
    // 1024 × 768 viewport and one full-screen mode of that size.
    NullRenderer();
    ~NullRenderer() override;

    const Counters& GetCounters() const { return counters_; }
    void ResetCounters() { counters_ = Counters(); }
    void SetCaps(const RendererCaps& caps);
    void SetPointSprites(bool sprites) { caps_.pointSprites = sprites; }
    void SetViewportSize(int width, int height);
    // How many lights are switched on.
    int GetEnabledLights() const { return enabledLights_; }

    int CreateDevice(int32_t modeIndex, const String& windowName, void* windowData, int32_t x, int32_t y,
                     int32_t width, int32_t height) override;
    int ReleaseDevice() override;
    void Clear(int32_t flags, const Color& color, float depth, uint32_t stencil) override;
    int BeginFrame() override { return 0; }
    int EndFrame() override { return 0; }
    void SetBrightness(int level) override {}

    void BeginQuery(OcclusionQuery* query) override;
    void EndQuery(OcclusionQuery* query) override;

    void BindTexture(BaseTexture* texture, int stage) override;
    void SetVertexShader(VertexShader* shader) override;
    void SetVertexShaderConstants(int firstRegister, const float* data, int registerCount) override;
    void SetPixelShader(PixelShader* shader) override;
    void SetPixelShaderConstants(int firstRegister, const float* data, int registerCount) override;
    // The shaders bound last (null: none, or one whose text did not
    // assemble) and the constant registers as last set, four floats each.
    Shader* GetVertexShader() const { return vertexShader_; }
    Shader* GetPixelShader() const { return pixelShader_; }
    const float* GetVertexConstant(int index) const { return vertexConstants_[index]; }
    const float* GetPixelConstant(int index) const { return pixelConstants_[index]; }
    void BindTexCoords(Buffer* texCoords, int usageIndex) override { Bind(texCoords); }
    void BindColors(ColorBuffer* colors) override;
    void BindPositions(Buffer* positions) override { Bind(positions); }
    void BindPointSizes(FloatBuffer* sizes) override;
    void BindNormals(Vector3Buffer* normals) override;
    void BindBlendWeights(Vector4Buffer* weights) override;
    void BindBlendIndices(Vector4Buffer* indices) override;
    void BindIndices(IntBuffer* indices) override;

    int BeginPass(Pass* pass) override;
    void ApplyRenderState(RenderStateBlock* block) override;
    void DrawCurrent() override;
    void DrawSkinned(Buffer* positions, IntBuffer* indices, Vector4Buffer* weights,
                     Vector4Buffer* blendIndices) override;
    void DrawPrimitives(int primitiveCount) override;

    void EnableLight(Light* light) override;
    void DisableLight() override;

    // A target takes the viewport to its picture's size (a cube face: the
    // width both ways) until it is popped, as on a device.
    void PushTextureTarget(Texture* texture) override;
    void PushCubeTarget(int face, CubeTexture* texture) override;
    void PushDepthTarget(Texture* texture, float depthBias, float slopeBias) override;
    void PopTarget() override;
    int GetTargetDepth() const { return static_cast<int>(savedViewports_.size()); }
    int GetViewportWidth() const override { return viewport_.width; }
    int GetViewportHeight() const override { return viewport_.height; }
    int GetViewportX() const { return viewport_.x; }
    int GetViewportY() const { return viewport_.y; }
    void SetViewport(float x, float y, float width, float height) override;

protected:
    // Gives `buffer` its stand-in device object, or marks it filled.
    void Bind(Buffer* buffer);
    // Primitives the current node's kind draws from `indexCount` indices.
    int PrimitivesOf(int indexCount) const;

private:
    struct Viewport {
        int x = 0, y = 0, width = 1024, height = 768;
    };
    // Saves the viewport for the pop; a picture with a size becomes the
    // viewport.
    void PushTarget(int width, int height);
    // The shader when its text assembles (the stand-in made), else null.
    Shader* Assembled(Shader* shader);

    Counters counters_;
    Viewport viewport_;
    std::vector<Viewport> savedViewports_;
    int enabledLights_ = 0;
    Shader* vertexShader_ = nullptr;
    Shader* pixelShader_ = nullptr;
    float vertexConstants_[kVertexConstants][4] = {};
    float pixelConstants_[kPixelConstants][4] = {};
};

// Registers the module "NullRenderer" (symbols "Initialize", "Shutdown" and
// "CreateRenderer") with the module manager, for programs that draw without
// a device; the engine must be started. 0 or 1.
int RegisterNullRendererModule();

}  // namespace zav
