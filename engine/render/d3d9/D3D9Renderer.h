#pragma once

#include <d3d9.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/core/String.h"
#include "engine/render/DeviceResource.h"
#include "engine/render/Renderer.h"
#include "engine/render/d3d9/D3D9Objects.h"

namespace zav {

class Image;

// The first texture stage of `block` whose operations read a texture that is
// not among `boundStages` (bit s: stage s has one), or kStages.
int FirstStageWithoutItsTexture(const RenderStateBlock& block, uint32_t boundStages);

// The Direct3D 9 back end. Device objects are made at the first use of
// their engine object and refilled while it is dirty; the whole device
// state of a pass, stream and index bindings included, is recorded once
// into a state block with a vertex declaration built from the buffers the
// pass binds, and replayed afterwards. Sources by responsibility:
// D3D9Device.cpp (device, frames, loss and reset, viewport, transforms),
// D3D9Resources.cpp (buffers, queries, releasing), D3D9Textures.cpp
// (textures and uploads), D3D9Passes.cpp (recording, streams, draws),
// D3D9RenderStates.cpp (render state blocks on the device), D3D9Targets.cpp
// (render targets), D3D9Lights.cpp (fixed-function lights).
class D3D9Renderer : public Renderer {
public:
    D3D9Renderer();
    ~D3D9Renderer() override;

    bool HasDirect3D() const { return d3d_ != nullptr; }

    int CreateDevice(int32_t modeIndex, const String& windowName, void* windowData, int32_t x, int32_t y,
                     int32_t width, int32_t height) override;
    int ReleaseDevice() override;
    void Clear(int32_t flags, const Color& color, float depth, uint32_t stencil) override;
    int BeginFrame() override;
    int EndFrame() override;
    void SetBrightness(int level) override;
    bool IsDeviceLost() const override { return deviceLost_; }

    void BeginQuery(OcclusionQuery* query) override;
    void EndQuery(OcclusionQuery* query) override;

    void BindTexture(BaseTexture* texture, int stage) override;
    void SetVertexShader(VertexShader* shader) override;
    void SetVertexShaderConstants(int firstRegister, const float* data, int registerCount) override;
    void SetPixelShader(PixelShader* shader) override;
    void SetPixelShaderConstants(int firstRegister, const float* data, int registerCount) override;
    void BindTexCoords(Buffer* texCoords, int usageIndex) override;
    void BindColors(ColorBuffer* colors) override;
    void BindPositions(Buffer* positions) override;
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

    void SetWorldMatrix(const Matrix4& matrix) override;
    void SetViewMatrix(const Matrix4& matrix) override;
    void SetProjectionMatrix(const Matrix4& matrix) override;
    void SetTextureMatrix(int stage, const Matrix4& matrix) override;

    void EnableLight(Light* light) override;
    void DisableLight() override;

    void PushTextureTarget(Texture* texture) override;
    void PushCubeTarget(int face, CubeTexture* texture) override;
    void PushDepthTarget(Texture* texture, float depthBias, float slopeBias) override;
    void PopTarget() override;
    int GetViewportWidth() const override;
    int GetViewportHeight() const override;
    void SetViewport(float x, float y, float width, float height) override;

    // Reads the back buffer into `image` as RGB8 (bottom row first); call
    // after drawing and before EndFrame. 0 or 1.
    int ReadBackBuffer(Image& image);
    // The next BeginFrame finds the device lost and in need of a reset, as
    // after a real loss: for tests of the recovery.
    void SimulateDeviceLoss() { simulatedLoss_ = true; }
    // Shows the assembler's text of a shader that does not assemble (once
    // per text, never over a full-screen device); a message box unless
    // replaced (tests). Null restores the message box.
    static void SetShaderErrorDisplay(void (*display)(const char* errors));
    // How often the device has been reset since it was made, and how many
    // passes have been recorded.
    int GetResetCount() const { return resetCount_; }
    int64_t GetRecordingCount() const { return recordings_; }

    IDirect3DDevice9* GetDevice() const { return device_; }
    D3DFORMAT GetDepthFormat() const { return present_.AutoDepthStencilFormat; }

protected:
    void DestroyDeviceObject(void* handle) override;

private:
    struct ClearRecord {
        int32_t flags = 0;
        Color color;
        float depth = 1.0f;
        uint32_t stencil = 0;
    };
    struct TargetRecord {
        BaseTexture* texture = nullptr;
        IDirect3DSurface9* color = nullptr;  // the targets before the push
        IDirect3DSurface9* depth = nullptr;
        D3DVIEWPORT9 viewport = {};  // restored by the pop
    };

    // D3D9Device.cpp
    void ReadCaps(D3DFORMAT displayFormat);
    void LogCaps();
    void SetLighting(bool on);
    // D3D9Lights.cpp: the lights DisableLight asked to switch off.
    void SwitchOffPendingLights();
    // Everything device-side goes: device objects, the target stack, a
    // recording under way; for a lost device and for the release.
    void ReleaseEverything();
    // After a loss: everything released, the device reset with the
    // parameters it was made with. 0, or 1 while it cannot be reset yet.
    int ResetDevice();

    // D3D9Resources.cpp
    // The device buffer of `buffer`, made or refilled as needed; null when
    // it cannot be had. `recreated` tells that a new device buffer was made.
    d3d9::BufferObject* UploadVertices(Buffer& buffer, bool* recreated);
    d3d9::BufferObject* UploadIndices(IntBuffer& buffer, bool* recreated);
    // Enters a new device buffer of `buffer` (one of the two interfaces).
    d3d9::BufferObject* AdoptBuffer(Buffer& buffer, IDirect3DVertexBuffer9* vertices, IDirect3DIndexBuffer9* indices,
                                    uint32_t bytes, uint32_t stride, bool* recreated);
    // The device object of `resource` when this renderer made it and it is
    // of that kind, else null.
    template <class Object>
    Object* HandleOf(DeviceResource& resource) const {
        if (resource.GetOwner() != this) return nullptr;
        return dynamic_cast<Object*>(static_cast<d3d9::DeviceObject*>(resource.GetHandle()));
    }

    // The device shader of `shader`, assembled and made at its first use.
    template <class Object, class Create>
    Object* MakeShader(Shader& shader, Create create);

    // D3D9Textures.cpp
    d3d9::TextureObject* MakeTexture(BaseTexture& texture);
    bool UploadTexture(BaseTexture& texture, d3d9::TextureObject& object);
    // Whether `texture` is a target on the stack (it is never read then).
    bool IsTarget(const BaseTexture* texture) const;

    // D3D9Passes.cpp
    // Binds one vertex stream of the pass: while recording, also appends its
    // element to the declaration being built.
    void BindStream(Buffer* buffer, BYTE type, BYTE usage, BYTE usageIndex);
    // Ends the recording at the pass's first draw: the state block and the
    // declaration become the pass's device objects and the state is applied.
    void FinishRecording();
    // The declaration of the elements bound, made once for every pass that
    // binds the same (with a reference for the caller); null on failure.
    IDirect3DVertexDeclaration9* SharedDeclaration();
    void ReleaseDeclarations();
    // Drops a recording that no draw finished.
    void AbortRecording();
    // Sets the declaration and the depth test for a draw; false when the
    // draw must be left out.
    bool PrepareDraw();
    // Whether the current node may be drawn with `vertexCount` vertices
    // read from the bound positions (one ERROR per node when not).
    bool CheckVertices(int64_t vertexCount, bool indexed);

    // D3D9RenderStates.cpp
    void ApplyRenderStateFields(const RenderStateBlock& block);

    // D3D9Targets.cpp
    d3d9::TextureObject* MakeRenderTarget(BaseTexture& texture, int32_t width, int32_t height, int32_t format,
                                          bool cube, bool ownDepth);
    void PushSurfaces(BaseTexture* texture, IDirect3DSurface9* color, IDirect3DSurface9* depth);
    void ReleaseTargets();

    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
    // The device's parameters as created: back buffer size and depth format.
    D3DPRESENT_PARAMETERS present_ = {};
    ClearRecord lastClear_;  // repeated after a reset in the middle of a frame
    DisplayMode mode_;
    DWORD maxVertexIndex_ = 0xFFFF;
    bool deviceLost_ = false;
    bool simulatedLoss_ = false;
    bool lossLogged_ = false;
    int resetCount_ = 0;
    int64_t recordings_ = 0;
    bool inScene_ = false;
    uint32_t lightsToSwitchOff_ = 0;  // bit n: device light n
    bool lightingToSwitchOff_ = false;

    // Pass recording and the streams of the pass being applied.
    bool recording_ = false;
    RenderStateBlock* recordingBlock_ = nullptr;
    IDirect3DVertexDeclaration9* declaration_ = nullptr;
    IDirect3DVertexDeclaration9* currentDeclaration_ = nullptr;  // set on the device
    std::map<std::string, IDirect3DVertexDeclaration9*> declarations_;  // by their element bytes
    std::vector<D3DVERTEXELEMENT9> elements_;
    int streamCount_ = 0;
    uint32_t recordedStages_ = 0;  // stages bound to a texture while recording
    Buffer* boundPositions_ = nullptr;
    IntBuffer* boundIndices_ = nullptr;

    std::vector<TargetRecord> targets_;
};

}  // namespace zav
