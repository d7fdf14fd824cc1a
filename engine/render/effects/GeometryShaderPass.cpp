#include "engine/render/effects/GeometryShaderPass.h"

#include <new>

#include "engine/animation/SkinController.h"
#include "engine/core/Result.h"
#include "engine/render/Renderer.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/TransformMath.h"
#include "engine/scene/VectorMath.h"

namespace zav {

namespace {

// First register of the bone palette; four registers per bone.
constexpr int kBoneRegister = 8;

// The matrix's columns, one register each.
void UploadMatrix(Renderer& renderer, int first, const Matrix4& matrix) {
    float columns[16];
    for (int k = 0; k < 4; ++k)
        for (int r = 0; r < 4; ++r) columns[4 * k + r] = matrix.m[r][k];
    renderer.SetVertexShaderConstants(first, columns, 4);
}

ShaderVariant VariantOf(const GeometryNodeEffect& effect) {
    if (effect.HasWave()) return ShaderVariant::kWave;
    if (effect.GetSkin()) return ShaderVariant::kSkin;
    return ShaderVariant::kPlain;
}

int32_t LevelOf(int32_t level) { return level >= kShaderModel1 && level <= kShaderModel3 ? level : 0; }

}  // namespace

bool HasShaders(const RendererCaps& caps) { return caps.HasShaders(); }

GeometryShaderPass::GeometryShaderPass(GeometryNodeEffect* effect, ShaderEffect kind)
    : GeometryNodeEffectPass(effect),
      kind_(kind),
      vertexShader_(new (std::nothrow) VertexShader()),
      pixelShader_(new (std::nothrow) PixelShader()) {
    GeometryShaderPass::Invalidate();
}

void GeometryShaderPass::Invalidate() {
    GeometryNodeEffectPass::Invalidate();
    if (!effect_) return;
    Renderer* renderer = GetRenderer();
    vertexLevel_ = renderer ? LevelOf(renderer->GetCaps().vertexShaderLevel) : 0;
    pixelLevel_ = renderer ? LevelOf(renderer->GetCaps().pixelShaderLevel) : 0;
    const ShaderVariant variant = VariantOf(*effect_);
    wave_ = variant == ShaderVariant::kWave;
    skinLayout_ = IsSkinVertexText(kind_, variant, vertexLevel_);
    if (vertexShader_) vertexShader_->SetSource(VertexShaderText(kind_, variant, vertexLevel_));
    if (pixelShader_) pixelShader_->SetSource(PixelShaderText(kind_, variant, pixelLevel_));
}

bool GeometryShaderPass::BindGeometry(Renderer& renderer, GeometryNode& node) {
    Camera* camera = renderer.GetCamera();
    if (!camera) return false;
    renderer.SetVertexShader(vertexShader_.Get());
    renderer.SetPixelShader(pixelShader_.Get());
    const Matrix4& view = camera->GetView();
    const Matrix4& projection = camera->GetProjection();
    if (skinLayout_) {
        // Skinned positions come out in world space.
        SkinController* skin = effect_->GetSkin();
        auto* bindPose = skin ? ObjectCast<Vector3Buffer>(skin->GetSourceVertices()) : nullptr;
        auto* weights = skin ? ObjectCast<Vector4Buffer>(skin->GetWeights()) : nullptr;
        auto* bones = skin ? ObjectCast<Vector4Buffer>(skin->GetBoneIndices()) : nullptr;
        if (!bindPose || !weights || !bones || skin->GetBoneMatrixCount() > GeometryNodeEffect::kMaxShaderBones)
            return false;
        renderer.BindPositions(bindPose);
        renderer.BindBlendWeights(weights);
        renderer.BindBlendIndices(bones);
        renderer.BindIndices(node.GetIndices());
        UploadMatrix(renderer, 0, Multiply(view, projection));
        UploadMatrix(renderer, 4, view);
        for (int i = 0; i < skin->GetBoneMatrixCount(); ++i)
            UploadMatrix(renderer, kBoneRegister + 4 * i, skin->GetBoneMatrix(i));
        inverseWorld_ = Matrix4::Identity();
        return true;
    }
    renderer.BindPositions(node.GetVertices());
    renderer.BindIndices(node.GetIndices());
    const Matrix4 world = ToMatrix(node.GetWorldTransform());
    const Matrix4 worldView = Multiply(world, view);
    UploadMatrix(renderer, 0, Multiply(worldView, projection));
    UploadMatrix(renderer, 4, worldView);
    if (!Invert(world, inverseWorld_)) inverseWorld_ = Matrix4::Identity();
    return true;
}

void GeometryShaderPass::SetVertexRegister(Renderer& renderer, int index, const float (&value)[4]) {
    renderer.SetVertexShaderConstants(index, value, 1);
}

void GeometryShaderPass::SetVertexColor(Renderer& renderer, int index, const Color& color) {
    SetVertexRegister(renderer, index, {color.r, color.g, color.b, color.a});
}

void GeometryShaderPass::SetVertexVector(Renderer& renderer, int index, const Vector3& vector) {
    SetVertexRegister(renderer, index, {vector.x, vector.y, vector.z, 1.0f});
}

void GeometryShaderPass::SetPixelColor(Renderer& renderer, int index, const Color& color) {
    const float value[4] = {color.r, color.g, color.b, color.a};
    renderer.SetPixelShaderConstants(index, value, 1);
}

void GeometryShaderPass::SetPixelVector(Renderer& renderer, int index, const Vector3& vector) {
    const float value[4] = {vector.x, vector.y, vector.z, 1.0f};
    renderer.SetPixelShaderConstants(index, value, 1);
}

void GeometryShaderPass::SetFogAndWave(Renderer& renderer, int fogRegister, int waveRegister) const {
    const GeometryNodeEffect& effect = *effect_;
    SetVertexRegister(renderer, fogRegister,
                      {effect.fogDensity, effect.fogExponent, effect.waveAmplitude, effect.waveSpeed});
    if (wave_) SetVertexRegister(renderer, waveRegister, {effect.waveAmplitude, effect.waveSpeed, effect.waveTime, 0});
}

Vector3 GeometryShaderPass::ToObjectPoint(const Vector3& world) const {
    return TransformCoordinate(inverseWorld_, world);
}

Vector3 GeometryShaderPass::ToObjectDirection(const Vector3& world) const {
    const Matrix4& m = inverseWorld_;
    const Vector3 local{world.x * m.m[0][0] + world.y * m.m[1][0] + world.z * m.m[2][0],
                        world.x * m.m[0][1] + world.y * m.m[1][1] + world.z * m.m[2][1],
                        world.x * m.m[0][2] + world.y * m.m[1][2] + world.z * m.m[2][2]};
    return Normalize(local);
}

}  // namespace zav
