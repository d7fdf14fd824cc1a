#pragma once

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "engine/core/Array.h"
#include "engine/core/HashTable.h"
#include "engine/core/RefCounted.h"
#include "engine/core/String.h"
#include "engine/core/Values.h"
#include "engine/render/DisplayMode.h"
#include "engine/render/RendererCaps.h"
#include "engine/scene/Matrix4.h"

namespace zav {

class BaseTexture;
class Buffer;
class Camera;
class ColorBuffer;
class CubeTexture;
class DeviceResource;
class FloatBuffer;
class GeometryNode;
class IntBuffer;
class Light;
class Module;
class Object;
class OcclusionQuery;
class Pass;
class PixelShader;
class RenderStateBlock;
class Shader;
class Texture;
class Vector3Buffer;
class Vector4Buffer;
class VertexShader;

// Buffers that Clear clears.
enum ClearFlags : int32_t { kClearColor = 1, kClearDepth = 2, kClearStencil = 4 };

// The engine's path to the graphics device. The base class holds what every
// back end shares: the mode list and window, the capabilities, the current
// camera, node and pass, the light stack, the deferred blended geometry,
// the transforms last set and the table of every device object a back end
// made, by the owning object's ID, so that all of them can be released at
// once. A back end (Direct3D 9, or the null one) implements the device
// operations.
class Renderer : public RefCounted {
public:
    Renderer();
    ~Renderer() override;

    // --- The device ---

    // Creates the device for `modeIndex` on the open window; windowed modes use
    // x, y, width, height. 0 success, 1 failure.
    virtual int CreateDevice(int32_t modeIndex, const String& windowName, void* windowData, int32_t x, int32_t y,
                             int32_t width, int32_t height) = 0;
    // Releases every device object, then the device. A renderer without a
    // device has nothing to release.
    virtual int ReleaseDevice() = 0;
    // Clears the buffers named by `flags` (ClearFlags).
    virtual void Clear(int32_t flags, const Color& color, float depth, uint32_t stencil) = 0;
    // Starts a frame. 1 when the frame cannot be drawn (no device, or the
    // device is lost: see IsDeviceLost).
    virtual int BeginFrame() = 0;
    // Ends the frame and presents it.
    virtual int EndFrame() = 0;
    // Gamma level, -100..100: ramp entry i = clamp(200 * level + 256 * i).
    virtual void SetBrightness(int level) = 0;
    // True while the device is lost: frames are skipped until it comes back.
    virtual bool IsDeviceLost() const { return false; }

    const RendererCaps& GetCaps() const { return caps_; }
    // Whether points can be drawn as textured sprites.
    bool SupportsPointSprites() const { return caps_.pointSprites; }
    // Reports no vertex or pixel shaders from now on (and after the next
    // device is made), so that effects fall back to fixed-function drawing.
    void DisableShaders(bool disable);

    // --- Device objects ---

    // Release the device object of an engine object and detach it (no
    // handle, no owner, dirty again); the owning objects call them when
    // they are destroyed or change. A pass releases its declaration and its
    // render state block's state block.
    virtual void ReleaseDeviceObject(Buffer* buffer);
    virtual void ReleaseDeviceObject(BaseTexture* texture);
    virtual void ReleaseDeviceObject(OcclusionQuery* query);
    virtual void ReleaseDeviceObject(Shader* shader);
    virtual void ReleasePass(Pass* pass);
    virtual void ReleaseStateBlock(RenderStateBlock* block);
    // Releases every device object in the table; each is made again at its
    // next use.
    void ReleaseAll();
    int GetDeviceObjectCount() const { return resources_.Count(); }

    // Occlusion queries: the pixels drawn between the two calls end up in
    // the query object.
    virtual void BeginQuery(OcclusionQuery* query) = 0;
    virtual void EndQuery(OcclusionQuery* query) = 0;

    // --- Binding, while a pass is applied ---

    // Binds `texture` (null: nothing) to `stage`, making or refilling its
    // device texture first. A texture being rendered into is not bound.
    virtual void BindTexture(BaseTexture* texture, int stage) = 0;
    // Bind a shader, assembling its text at the first bind (null, or a text
    // that does not assemble, binds none; such a text is reported once).
    virtual void SetVertexShader(VertexShader* shader) = 0;
    virtual void SetVertexShaderConstants(int firstRegister, const float* data, int registerCount) = 0;
    virtual void SetPixelShader(PixelShader* shader) = 0;
    virtual void SetPixelShaderConstants(int firstRegister, const float* data, int registerCount) = 0;
    // Vertex streams, in the order the pass binds them; a pass being
    // recorded builds its vertex layout from them.
    virtual void BindTexCoords(Buffer* texCoords, int usageIndex) = 0;
    virtual void BindColors(ColorBuffer* colors) = 0;
    // Null binds an empty three-float position stream.
    virtual void BindPositions(Buffer* positions) = 0;
    virtual void BindPointSizes(FloatBuffer* sizes) = 0;
    virtual void BindNormals(Vector3Buffer* normals) = 0;
    virtual void BindBlendWeights(Vector4Buffer* weights) = 0;
    virtual void BindBlendIndices(Vector4Buffer* indices) = 0;
    virtual void BindIndices(IntBuffer* indices) = 0;

    // --- Passes and drawing ---

    // Begins `pass`: applies its render state (recording the pass when it
    // has not been recorded or is dirty). 0, or non-zero to skip the pass.
    virtual int BeginPass(Pass* pass) = 0;
    // Replays the block's device state, or records it when there is none.
    virtual void ApplyRenderState(RenderStateBlock* block) = 0;
    // Draws the current node's indexed primitives with the pass applied last.
    virtual void DrawCurrent() = 0;
    // Binds the positions, blend weights and indices and the index buffer
    // given, then draws the current node as DrawCurrent does.
    virtual void DrawSkinned(Buffer* positions, IntBuffer* indices, Vector4Buffer* weights,
                             Vector4Buffer* blendIndices) = 0;
    // Draws `primitiveCount` primitives of the current node's kind from
    // vertex 0 without indices.
    virtual void DrawPrimitives(int primitiveCount) = 0;

    // --- Transforms ---

    // Row-vector matrices, as the engine keeps them. Setting also sets the
    // device transform; getting returns what was set last.
    virtual void SetWorldMatrix(const Matrix4& matrix) { world_ = matrix; }
    virtual void SetViewMatrix(const Matrix4& matrix) { view_ = matrix; }
    virtual void SetProjectionMatrix(const Matrix4& matrix) { projection_ = matrix; }
    // Stages 0-7. The identity (exactly) switches the stage's texture
    // transform off; anything else transforms three coordinates.
    virtual void SetTextureMatrix(int stage, const Matrix4& matrix);
    const Matrix4& GetWorldMatrix() const { return world_; }
    const Matrix4& GetViewMatrix() const { return view_; }
    const Matrix4& GetProjectionMatrix() const { return projection_; }
    Matrix4 GetTextureMatrix(int stage) const;

    // --- Lights ---

    // Switches on device light number (light count - 1) for `light`, which
    // the caller has just pushed; the first one switches lighting on. Null
    // switches that device light off.
    virtual void EnableLight(Light* light) = 0;
    // Switches off device light number (light count); with no lights left,
    // lighting is switched off.
    virtual void DisableLight() = 0;

    // --- Render targets and viewport ---

    // Draws into the texture (its level 0, with a depth buffer of its own
    // unless it asks not to) until PopTarget; null pops.
    virtual void PushTextureTarget(Texture* texture) = 0;
    // The same for one face (0-5) of a cube texture.
    virtual void PushCubeTarget(int face, CubeTexture* texture) = 0;
    // Draws depth only into the texture, with the given biases; null pops.
    virtual void PushDepthTarget(Texture* texture, float depthBias, float slopeBias) = 0;
    // Draws the deferred nodes, then goes back to the target before.
    virtual void PopTarget() = 0;
    // Size of the viewport being drawn, in pixels.
    virtual int GetViewportWidth() const = 0;
    virtual int GetViewportHeight() const = 0;
    virtual void SetViewport(float x, float y, float width, float height) = 0;

    // --- What the base class keeps ---

    // Makes `camera` current and re-enables all of its culling planes.
    void SetCamera(Camera* camera);
    Camera* GetCamera() const { return camera_.Get(); }
    // The geometry node being drawn.
    void SetCurrentNode(GeometryNode* node);
    GeometryNode* GetCurrentNode() const { return currentNode_.Get(); }
    // The pass being applied (set by Effect::ApplyPass); not counted.
    void SetCurrentPass(Pass* pass) { currentPass_ = pass; }
    Pass* GetCurrentPass() const { return currentPass_; }
    // While set, every draw passes only where its depth equals the stored
    // depth (drawing over what is already there).
    void SetDepthEqual(bool equal) { depthEqual_ = equal; }
    bool IsDepthEqual() const { return depthEqual_; }
    // Set while a post-render effect draws into the film band (the middle
    // three quarters of the viewport's height).
    void SetFilm(bool film) { film_ = film; }
    bool IsFilm() const { return film_; }
    // The colour the colour buffer was last cleared to.
    const Color& GetClearColor() const { return clearColor_; }
    // Appends `light` to the light stack (not counted); a lit pass pushes its
    // light just before EnableLight.
    void PushLight(Light* light);
    int GetLightCount() const { return lights_.Count(); }
    Light* GetLight(int index) const { return index >= 0 && index < lights_.Count() ? lights_[index] : nullptr; }
    // Empties the light stack from the top, switching each light off.
    void SwitchOffLights();
    // Queues a blended node to be drawn later, farthest first, with its
    // squared distance from the current camera.
    void Defer(GeometryNode* node);
    int GetDeferredCount() const { return deferred_.Count(); }
    // Draws the queued nodes farthest first (equal distances in the order
    // they came, distances that are not numbers last) and empties the queue.
    void FlushDeferred();

    // Starts a frame: makes sure there is a current camera (a default one
    // when none was set), updates it, turns the audio listener with it and
    // begins the device frame, whose result it returns.
    int BeginRender();
    // Draws the deferred nodes, forgets the current node and ends the device
    // frame.
    int EndRender();

    // Opens the window for mode `modeIndex` (closing an open one first) and
    // creates the device on it. A full-screen mode takes its own size at
    // (0, 0). 0 success, 1 failure, 3 index out of range.
    int OpenWindow(int32_t modeIndex, const String& title, void* parent, int32_t x, int32_t y, int32_t width,
                   int32_t height);
    // Releases the device and closes the window. 3 without a window.
    int CloseWindow();

    Module* GetModule() const { return module_.Get(); }
    void SetModule(Module* module);

    const std::vector<DisplayMode>& GetModes() const { return modes_; }
    int32_t GetDefaultMode() const { return defaultMode_; }
    void* GetWindow() const { return window_; }

protected:
    // Enters `resource`, the device side of `object`, into the table with
    // the device object `handle` this back end made for it.
    void AttachDeviceObject(const Object& object, DeviceResource& resource, void* handle);
    // Frees the device object of `resource` (see DestroyDeviceObject),
    // detaches it and takes it out of the table; nothing when it has none.
    void ReleaseDeviceResource(const Object& object, DeviceResource& resource);
    // Frees one device object this back end made.
    virtual void DestroyDeviceObject(void* handle) {}
    // When another renderer made the device object of an engine object,
    // that renderer releases it first, so that this one can make its own.
    void TakeOver(Buffer* buffer);
    void TakeOver(BaseTexture* texture);
    void TakeOver(OcclusionQuery* query);
    void TakeOver(Pass* pass);
    void TakeOver(RenderStateBlock* block);
    void TakeOver(Shader* shader);
    // The shader's tokens when its text assembles. A text that does not is
    // reported (an ERROR with the assembler's text, and `report`) the first
    // time only and not assembled again. True with the tokens.
    bool AssembleOnce(const Shader& shader, std::vector<uint32_t>& tokens, void (*report)(const char* errors));
    // The shader levels of `caps_` after DisableShaders.
    void ApplyShaderOverride();
    // Whether the picture of `texture` can become a device texture: it has
    // pixels of a format the device takes, and a cube texture six square
    // faces (a WARNING, once per texture, when it has not).
    bool CanMakeDeviceTexture(BaseTexture& texture);
    // True the first time it is asked about `objectId`: for problems that
    // would otherwise be reported every frame.
    bool ReportOnce(int32_t objectId);
    // Clear remembers the colour it clears the colour buffer to.
    void RememberClearColor(const Color& color) { clearColor_ = color; }
    // A reference that keeps this renderer alive while it detaches device
    // objects, each of which may hold the last reference to it (none while
    // it is being destroyed).
    Ref<Renderer> KeepAlive() { return Ref<Renderer>(RefCount() > 0 ? this : nullptr); }

    std::vector<DisplayMode> modes_;
    int32_t defaultMode_ = -1;
    void* window_ = nullptr;
    RendererCaps caps_;

private:
    struct DeferredNode {
        Ref<GeometryNode> node;
        float distanceSquared;
    };

    Ref<Module> module_;
    Ref<Camera> camera_;
    Ref<GeometryNode> currentNode_;
    Pass* currentPass_ = nullptr;
    bool depthEqual_ = false;
    bool film_ = false;
    Color clearColor_;
    bool shadersDisabled_ = false;
    Array<Light*> lights_{1, 1};
    Array<DeferredNode> deferred_;  // made in the .cpp, where GeometryNode is complete
    IdTable<DeviceResource*> resources_;
    std::unordered_set<int32_t> reported_;
    std::unordered_set<const char*> failedShaderTexts_;
    Matrix4 world_, view_, projection_;
    Matrix4 textureMatrices_[8];
};

// Turns the audio listener: `front` and `top` are the current camera's
// forward and up axes. The sound manager installs it; null turns nothing.
using ListenerFunction = void (*)(const Vector3& front, const Vector3& top);
void SetListenerFunction(ListenerFunction function);

// The current renderer, or null.
Renderer* GetRenderer();
// Makes `renderer` current without a module (tools and tests).
void MakeRendererCurrent(Renderer* renderer);

// Creates the renderer of the named module through its "CreateRenderer"
// symbol and makes it current: 0, or 1 / 3 after logging the failure.
int CreateRenderer(const String& name);
// Drops the current renderer. Always 0.
int DestroyRenderer();

// Signature of a module's "CreateRenderer" symbol.
using CreateRendererFunction = int (*)(Renderer** renderer);

}  // namespace zav
