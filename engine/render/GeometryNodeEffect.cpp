#include "engine/render/GeometryNodeEffect.h"

#include "engine/animation/SkinController.h"
#include "engine/core/ClassRegistration.h"
#include "engine/core/Log.h"
#include "engine/core/Stream.h"
#include "engine/render/RenderStateTables.h"
#include "engine/render/Renderer.h"
#include "engine/scene/BoundingVolume.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/TransformMath.h"

namespace zav {

ZAV_REGISTER_ABSTRACT_CLASS(GeometryNodeEffect);
ZAV_REGISTER_ABSTRACT_CLASS(GeometryNodeEffectPass);

namespace {

// Bits of the record's state byte.
constexpr uint8_t kBlendingBits = 0x0F;
constexpr uint8_t kNoCullingThreshold = 16;
constexpr uint8_t kNoCullingBit = 0x10;

// What the skinning vertex shaders read: a bind pose of positions, four
// weights and four bone indices per vertex, and few enough bones.
bool ShadersCanSkin(const SkinController& skin) {
    return ObjectCast<Vector3Buffer>(skin.GetSourceVertices()) && ObjectCast<Vector4Buffer>(skin.GetWeights()) &&
           ObjectCast<Vector4Buffer>(skin.GetBoneIndices()) &&
           skin.GetBoneCount() <= GeometryNodeEffect::kMaxShaderBones;
}

}  // namespace

GeometryNodeEffect::GeometryNodeEffect(const String& name) : Effect(name) {}

GeometryNodeEffect::~GeometryNodeEffect() = default;

void GeometryNodeEffect::SetBlending(bool blending) {
    blending_ = blending;
    InvalidatePasses();
}

void GeometryNodeEffect::SetFog(bool fog) {
    fog_ = fog;
    InvalidatePasses();
}

void GeometryNodeEffect::SetWave(bool wave) {
    wave_ = wave;
    InvalidatePasses();
}

void GeometryNodeEffect::SetSkin(SkinController* skin) {
    if (skin_) skin_->SetActive(true);
    skin_ = skin;
    InvalidatePasses();
    if (!skin) return;
    skin->SetActive(true);
    GeometryNode* deformed = ObjectCast<GeometryNode>(skin->GetOwner());
    if (!deformed) deformed = node_;
    if (!deformed) return;
    if (auto* sphere = ObjectCast<SphereBoundingVolume>(deformed->GetWorldVolume())) sphere->SetUnbounded();
    deformed->SetUpdateWorldVolume(false);
}

void GeometryNodeEffect::Animate(double time) {
    Effect::Animate(time);
    waveTime += static_cast<float>(time);
    if (!skin_) return;
    Renderer* renderer = GetRenderer();
    if (!renderer) return;
    const int32_t level = renderer->GetCaps().vertexShaderLevel;
    const bool shaderSkin =
        (level == kShaderModel2 || level == kShaderModel3) && HasShaderSkin() && ShadersCanSkin(*skin_);
    if (shaderSkin)
        skin_->SetActive(false);
    else
        SetSkin(nullptr);
}

Object* GeometryNodeEffect::FindObject(const String& name) {
    if (Object* found = Effect::FindObject(name)) return found;
    WalkLevel level;
    if (level.TooDeep() || !skin_) return nullptr;
    return skin_->FindObject(name);
}

void GeometryNodeEffect::CollectObjects(const TypeInfo* type, Array<Object*>& objects) {
    Effect::CollectObjects(type, objects);
    WalkLevel level;
    if (!level.TooDeep() && skin_) skin_->CollectObjects(type, objects);
}

void GeometryNodeEffect::DropReferences() {
    Effect::DropReferences();
    skin_ = nullptr;
}

int32_t GeometryNodeEffect::Checked(const char* field, int32_t value, bool valid, int32_t fallback) const {
    if (valid) return value;
    LogWarning("Недопустимое значение %s [%d] заменено на [%d]. ID[%d] Имя[%s]", field, value, fallback, GetId(),
               GetName().CStr());
    return fallback;
}

int GeometryNodeEffect::Save(Stream& stream) {
    if (ParentClass::Save(stream) != kOk) return ParentSaveFailed();
    uint8_t clampBits = 0;
    for (int i = 0; i < kStages; ++i)
        if (stageWrap[i] == 0) clampBits |= static_cast<uint8_t>(1u << i);
    stream.WriteInt8(static_cast<int8_t>(clampBits));
    stream.WriteColor(diffuse);
    stream.WriteColor(ambient);
    stream.WriteColor(specular);
    stream.WriteColor(emissive);
    stream.WriteFloat(power);
    stream.WriteBool(alphaTest);
    stream.WriteInt32(alphaRef);
    stream.WriteInt8(static_cast<int8_t>((blending_ ? 1 : 0) | (culling ? 0 : kNoCullingBit)));
    stream.WriteInt32(srcBlend);
    stream.WriteInt32(dstBlend);
    stream.WriteBool(fog_);
    stream.WriteColor(fogColor);
    stream.WriteFloat(fogDensity);
    stream.WriteFloat(fogExponent);
    stream.WriteBool(wave_);
    stream.WriteFloat(waveAmplitude);
    stream.WriteFloat(waveSpeed);
    if (stream.GetState() != kOk) return FailedNameId("Невозможно сохранить данные эффекта.");
    if (stream.WriteObject(skin_) != kOk) return FailedNameId("Невозможно сохранить контроллер скининга.");
    return kOk;
}

int GeometryNodeEffect::Load(Stream& stream) {
    if (ParentClass::Load(stream) != kOk) return ParentLoadFailed();
    // Everything is read before anything changes: a record that ends early
    // leaves the effect as it was.
    int8_t clampBits = 0, stateBits = 0;
    Color colors[4] = {diffuse, ambient, specular, emissive};
    float loadedPower = power, density = fogDensity, exponent = fogExponent;
    float amplitude = waveAmplitude, speed = waveSpeed;
    bool loadedAlphaTest = alphaTest, loadedFog = fog_, loadedWave = wave_;
    int32_t reference = alphaRef, source = srcBlend, destination = dstBlend;
    Color loadedFogColor = fogColor;
    stream.ReadInt8(clampBits);
    for (Color& color : colors) stream.ReadColor(color);
    stream.ReadFloat(loadedPower);
    stream.ReadBool(loadedAlphaTest);
    stream.ReadInt32(reference);
    stream.ReadInt8(stateBits);
    stream.ReadInt32(source);
    stream.ReadInt32(destination);
    stream.ReadBool(loadedFog);
    stream.ReadColor(loadedFogColor);
    stream.ReadFloat(density);
    stream.ReadFloat(exponent);
    stream.ReadBool(loadedWave);
    stream.ReadFloat(amplitude);
    if (stream.ReadFloat(speed) != kOk) return FailedIdName("Невозможно загрузить данные эффекта.");
    Ref<SkinController> skin;
    if (stream.ReadReference(skin) != kOk) return FailedIdName("Невозможно загрузить контроллер скининга.");

    for (int i = 0; i < kStages; ++i) stageWrap[i] = (static_cast<uint8_t>(clampBits) >> i) & 1 ? 0 : 1;
    diffuse = colors[0];
    ambient = colors[1];
    specular = colors[2];
    emissive = colors[3];
    power = loadedPower;
    alphaTest = loadedAlphaTest;
    alphaRef = Checked("alphaRef", reference, IsAlphaReference(reference), 1);
    const auto state = static_cast<uint8_t>(stateBits);
    blending_ = (state & kBlendingBits) != 0;
    culling = state < kNoCullingThreshold;
    srcBlend = Checked("srcBlend", source, IsBlendIndex(source), 4);
    dstBlend = Checked("dstBlend", destination, IsBlendIndex(destination), 5);
    // The values first: switching fog and wave records the passes again.
    fogColor = loadedFogColor;
    fogDensity = density;
    fogExponent = exponent;
    SetFog(loadedFog);
    waveAmplitude = amplitude;
    waveSpeed = speed;
    SetWave(loadedWave);
    SetSkin(skin.Get());
    return kOk;
}

GeometryNodeEffectPass::GeometryNodeEffectPass(GeometryNodeEffect* effect) : effect_(effect) {
    GeometryNodeEffectPass::Invalidate();
}

void GeometryNodeEffectPass::Invalidate() {
    Pass::Invalidate();
    RenderStateBlock* state = GetRenderState();
    if (!effect_ || !state) return;
    const GeometryNodeEffect& effect = *effect_;
    state->diffuse = effect.diffuse;
    state->ambient = effect.ambient;
    state->specular = effect.specular;
    state->emissive = effect.emissive;
    state->power = effect.power;
    state->wireframe = false;
    state->alphaTest = effect.alphaTest;
    state->alphaRef = effect.alphaRef;
    state->alphaFunc = 6;  // greater or equal
    state->blending = effect.IsBlending();
    state->srcBlend = effect.srcBlend;
    state->dstBlend = effect.dstBlend;
    state->fogColor = effect.fogColor;
    state->fogDensity = effect.fogDensity;
    state->fogMode = effect.fogExponent > 2.0f ? 2 : 1;
    state->fog = effect.HasFog();
    state->pixelFog = false;
    state->culling = effect.culling;
    for (int i = 0; i < RenderStateBlock::kStages; ++i)
        state->stages[i].wrapU = state->stages[i].wrapV = state->stages[i].wrapW = effect.stageWrap[i];
}

GeometryNode* GeometryNodeEffectPass::DrawnNode() const {
    GeometryNode* node = effect_ ? effect_->GetNode() : nullptr;
    return node && node->GetVertices() ? node : nullptr;
}

bool GeometryNodeEffectPass::SetCameraMatrices(Renderer& renderer, const GeometryNode* world) const {
    Camera* camera = renderer.GetCamera();
    if (!camera) return false;
    renderer.SetProjectionMatrix(camera->GetProjection());
    renderer.SetViewMatrix(camera->GetView());
    renderer.SetWorldMatrix(world ? ToMatrix(world->GetWorldTransform()) : Matrix4::Identity());
    return true;
}

}  // namespace zav
