#include "tools/scenegen/HarbourScene.h"

#include <cmath>
#include <vector>

#include "engine/animation/CameraActivateAnimationController.h"
#include "engine/animation/ColorAnimationControllers.h"
#include "engine/animation/NodeAnimationController.h"
#include "engine/animation/ScreensaverController.h"
#include "engine/animation/SkeletonAnimationController.h"
#include "engine/animation/SkinController.h"
#include "engine/animation/SoundNodeAnimationController.h"
#include "engine/animation/TargetControllers.h"
#include "engine/animation/TextureAnimationController.h"
#include "engine/render/CompositeTexture.h"
#include "engine/render/CubeTexture.h"
#include "engine/render/Image.h"
#include "engine/render/PixelFormat.h"
#include "engine/render/Texture.h"
#include "engine/render/VolumeTexture.h"
#include "engine/render/effects/ColorEffect.h"
#include "engine/render/effects/CustomGlowPostRenderEffect.h"
#include "engine/render/effects/PostRenderEffect.h"
#include "engine/render/effects/SpriteEffect.h"
#include "engine/render/effects/Texture1DL1PLEffect.h"
#include "engine/render/effects/Texture1DLEffect.h"
#include "engine/scene/Buffer.h"
#include "engine/scene/Camera.h"
#include "engine/scene/Flare.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/Light.h"
#include "engine/scene/SoundNode.h"
#include "engine/scene/TransformMath.h"
#include "tools/scenegen/HarbourParts.h"
#include "tools/scenegen/HarbourShots.h"
#include "tools/scenegen/HarbourTextures.h"
#include "tools/scenegen/Mesh.h"
#include "tools/scenegen/Motion.h"

namespace zav::scenegen {

namespace {

Transform At(const Vector3& translation, const Quaternion& rotation = {0, 0, 0, 1}) {
    return MakeTransform({1.0f, 1.0f, 1.0f}, rotation, translation);
}

template <class T>
Ref<T> Placed(Ref<T> node, const Vector3& translation, const Quaternion& rotation = {0, 0, 0, 1}) {
    node->SetLocalTransform(At(translation, rotation));
    return node;
}

// A picture the scene's record names by `path`; its file is written beside
// the scene (WriteScenePictures).
template <class ImageClass>
Ref<ImageClass> Named(Ref<ImageClass> image, const char* path) {
    image->SetName(path);
    image->SetFileName(path);
    return image;
}

Ref<Texture> PaintedTexture(const char* path, const mediagen::Canvas& canvas, int32_t format) {
    return Ref<Texture>(new Texture(path, Named(canvas.ToImage(format), path).Get()));
}

// Night mist: dark blue, thickening with the square of the distance.
void AddMist(GeometryNodeEffect& effect) {
    effect.fogColor = Color{0.04f, 0.06f, 0.11f, 1.0f};
    effect.fogDensity = 0.0065f;
    effect.fogExponent = 2.0f;
    effect.SetFog(true);
}

// A texture lit by `light`, in the mist.
Ref<Texture1DLEffect> Lit(const char* name, BaseTexture* texture, Light* light) {
    Ref<Texture1DLEffect> effect(new Texture1DLEffect(name));
    effect->SetTexture(texture);
    effect->SetDirectionalLight(light);
    effect->ambient = Color{1, 1, 1, 1};
    effect->diffuse = Color{1, 1, 1, 1};
    AddMist(*effect);
    return effect;
}

// A texture lit by the moon and a lamp nearby, in the mist.
Ref<Texture1DL1PLEffect> LampLit(const char* name, BaseTexture* texture, Light* moon, Light* lamp) {
    Ref<Texture1DL1PLEffect> effect(new Texture1DL1PLEffect(name));
    effect->SetTexture(texture);
    effect->SetDirectionalLight(moon);
    effect->SetPointLight(lamp);
    effect->ambient = Color{1, 1, 1, 1};
    effect->diffuse = Color{1, 1, 1, 1};
    AddMist(*effect);
    return effect;
}

// An unlit texture, seen from both sides (glass, sky).
Ref<TextureEffect> Unlit(const char* name, BaseTexture* texture, bool mist) {
    Ref<TextureEffect> effect(new TextureEffect(name));
    effect->SetTexture(texture);
    effect->culling = false;
    if (mist) AddMist(*effect);
    return effect;
}

Ref<ColorEffect> Colored(const char* name, const Color& color, bool mist) {
    Ref<ColorEffect> effect(new ColorEffect(name));
    effect->SetColor(color);
    effect->culling = false;
    if (mist) AddMist(*effect);
    return effect;
}

// A warm glow of `size` at `position`, added to what is behind it.
Ref<Flare> Glow(const String& name, const Vector3& position, float size, const Color& color, Texture* picture) {
    Ref<Flare> flare(new Flare(name));
    flare->SetColor(color);
    flare->SetSize(size);
    if (auto* sprite = ObjectCast<SpriteEffect>(flare->GetEffect())) {
        sprite->SetTexture(picture);
        sprite->SetBlending(true);
    }
    flare->SetLocalTransform(At(position));
    return flare;
}

// A sound node playing `file` of the Media archive; 3D ones are heard from
// `minDistance` on quieter with the distance.
Ref<SoundNode> Sound(const char* name, const char* file, bool loop, bool is3D, float minDistance, int32_t volume) {
    Ref<SoundNode> sound(new SoundNode(name));
    sound->SetFileName(file);
    sound->SetLoop(loop);
    sound->Set3D(is3D);
    sound->SetMinDistance(minDistance);
    sound->SetVolume(volume);
    return sound;
}

Ref<Light> MakeLight(int32_t kind, const char* name, const Color& ambient, const Color& diffuse) {
    Ref<Light> light(new Light(kind, name));
    light->ambient = ambient;
    light->diffuse = diffuse;
    return light;
}

// A bobbing motion about `base`: up and down by `height`, rocking by `roll`.
Ref<NodeAnimation> Bobbing(const char* name, const Vector3& base, float height, float roll, float heading = 0.0f) {
    auto pose = [&](double time, float lift, float tilt) {
        const Quaternion rock{0.0f, 0.0f, std::sin(0.5f * tilt), std::cos(0.5f * tilt)};
        return Pose{time, base + Vector3{0.0f, lift, 0.0f}, ComposeRotations(rock, Turn(heading))};
    };
    return NodePath(name, {pose(0.0, 0.0f, roll), pose(0.25, height, 0.0f), pose(0.5, 0.0f, -roll),
                           pose(0.75, -height, 0.0f)});
}

// The flag at the pier's end: a skinned grid whose bones sway one after the
// other, played by a skeleton controller on the rig.
Ref<SceneNode> FlagRig(SceneNode& root) {
    constexpr int kBones = 4;
    constexpr float kLength = 3.0f, kHeight = 1.8f;
    const Vector3 origin = kFlagPole + Vector3{0.1f, 4.0f, 0.0f};
    SkinnedMesh flag = Flag(kLength, kHeight, kBones);
    // The skin moves the bind pose into world space: the grid is laid out
    // where it hangs, and the flag node stays at the origin.
    for (Vector3& p : flag.mesh.vertices) p = p + origin;
    Ref<Triangles> cloth = MakeTriangles("Flag", flag.mesh, Colored("Flag", {0.75f, 0.12f, 0.10f, 1}, true).Get());
    const int count = static_cast<int>(flag.mesh.vertices.size());
    Ref<Vector3Buffer> bind(new Vector3Buffer(count));
    Ref<Vector4Buffer> weights(new Vector4Buffer(count));
    Ref<Vector4Buffer> indices(new Vector4Buffer(count));
    for (int i = 0; i < count; ++i) {
        (*bind)[i] = flag.mesh.vertices[static_cast<size_t>(i)];
        (*weights)[i] = flag.weights[static_cast<size_t>(i)];
        (*indices)[i] = flag.boneIndices[static_cast<size_t>(i)];
    }
    Ref<SceneNode> rig(new SceneNode("FlagRig", 0, kBones));
    rig->SetLocalTransform(At(origin));
    Ref<SkeletonAnimationController> skeleton(new SkeletonAnimationController("FlagWaves"));
    skeleton->SetPeriod(2.4);
    Ref<SkinController> skin(new SkinController("FlagSkin"));
    for (int b = 0; b < kBones; ++b) {
        const float x = kLength * static_cast<float>(b) / static_cast<float>(kBones - 1);
        Ref<SceneNode> bone(new SceneNode(String::Format("FlagBone%d", b), 0, 0));
        bone->SetLocalTransform(At({x, 0, 0}));
        // Each bone turns about the vertical a little more than the one
        // before it, a quarter cycle later.
        const float swing = 0.12f + 0.10f * static_cast<float>(b);
        const double lag = 0.25 * b;
        auto key = [&](double t, float angle) {
            return Pose{std::fmod(t + lag, 1.0), {x, 0.0f, 0.0f}, Turn(angle)};
        };
        std::vector<Pose> poses = {key(0.0, swing), key(0.5, -swing)};
        if (poses[1].time < poses[0].time) std::swap(poses[0], poses[1]);
        Ref<NodeAnimation> sway(new NodeAnimation("Sway"));
        for (const Pose& pose : poses) {
            auto* k = new NodeKeyframe();
            k->time = pose.time;
            k->translation = pose.translation;
            k->rotation = pose.rotation;
            sway->AddKey(k);
        }
        Ref<NodeAnimationController> boneController =
            Play<NodeAnimationController>(*bone, "Sway", sway.Get(), 2.4);
        boneController->SetActive(false);  // runs only through the skeleton
        skeleton->AddBoneController(boneController.Get());
        skin->AddBone(bone.Get(), At(Vector3{0, 0, 0} - (origin + Vector3{x, 0, 0})));
        rig->AddChild(bone.Get());
    }
    skin->SetWeights(weights.Get());
    skin->SetBoneIndices(indices.Get());
    skin->SetSourceVertices(bind.Get());
    cloth->AddController(skin.Get());
    if (auto* effect = ObjectCast<GeometryNodeEffect>(cloth->GetEffect())) effect->SetSkin(skin.Get());
    rig->AddController(skeleton.Get());
    root.AddChild(cloth.Get());
    return rig;
}

}  // namespace

Ref<SceneNode> BuildHarbourScene() {
    Ref<SceneNode> root(new SceneNode("Harbour", 0, 16));

    // Pictures, painted; every texture's record names its file.
    Ref<Texture> stone = PaintedTexture("Textures/stone.jpg", PaintStone(128), RGB8);
    Ref<Texture> brick = PaintedTexture("Textures/brick.jpg", PaintBrick(128), RGB8);
    Ref<Texture> wood = PaintedTexture("Textures/wood.tga", PaintWood(128), RGB8);
    Ref<Texture> plaster = PaintedTexture("Textures/plaster.tga", PaintPlaster(128), RGB8);
    Ref<Texture> roof = PaintedTexture("Textures/slate.tga", PaintStone(64), RGB8);
    Ref<Texture> glow = PaintedTexture("Textures/glow.tga", PaintGlow(64), RGBA8);
    Ref<Texture> star = PaintedTexture("Textures/flare.tga", PaintStar(64), RGBA8);
    Ref<Texture> moonPicture = PaintedTexture("Textures/moon.tga", PaintMoon(128), RGBA8);
    std::vector<Ref<Texture>> waterFrames;
    for (int frame = 0; frame < 4; ++frame)
        waterFrames.push_back(PaintedTexture(String::Format("Textures/water%d.tga", frame).CStr(),
                                             PaintWaterFrame(128, static_cast<float>(frame) / 4.0f), RGB8));
    Ref<CubeTexture> sky(new CubeTexture("Sky", Named(ToVolumeImage(PaintSkyFaces(128)), "Textures/sky.cube").Get()));
    const std::vector<mediagen::Canvas> glass = PaintGlassSlices(32);
    Ref<CompositeTexture> houseGlass(
        new CompositeTexture("HouseGlass", Named(ToVolumeImage(glass), "Textures/glass.cube").Get()));
    Ref<VolumeTexture> cabinGlass(
        new VolumeTexture("CabinGlass", Named(ToVolumeImage(glass), "Textures/cabin.cube").Get()));

    // Lights: the moon, a cold glow from the open sea, the quay's lamp and
    // the lighthouse's beam.
    Ref<Light> moon = MakeLight(Light::kDirectional, "Moon", {0.22f, 0.25f, 0.34f, 1}, {0.72f, 0.76f, 0.88f, 1});
    moon->SetLocalTransform(At({0.0f, 80.0f, -80.0f}, ComposeRotations(Tilt(40.0f * kPi / 180.0f), Turn(35.0f * kPi / 180.0f))));
    Play<AmbientLightAnimationController>(*moon, "MoonHaze",
                                          ColorCycle("Haze", {{0.0, {0.20f, 0.23f, 0.32f, 1}}, {0.5, {0.26f, 0.28f, 0.38f, 1}}}).Get(), 30.0);
    Ref<Light> seaGlow = MakeLight(Light::kWorldDirectional, "SeaGlow", {0.18f, 0.2f, 0.28f, 1}, {0.35f, 0.4f, 0.55f, 1});
    Ref<Light> quayLamp = MakeLight(Light::kPoint, "QuayLamp", {0, 0, 0, 1}, {1.0f, 0.72f, 0.38f, 1});
    quayLamp->SetLocalTransform(At(LampFeet()[0] + Vector3{0.0f, kLampHeight, 0.0f}));
    quayLamp->useAttenuation = true;
    quayLamp->attenuation = {0.4f, 0.05f, 0.0f};
    quayLamp->specular = {1.0f, 0.8f, 0.5f, 1};
    Play<DiffuseLightAnimationController>(*quayLamp, "Flicker",
                                          ColorCycle("Flicker", {{0.0, {1.0f, 0.72f, 0.38f, 1}}, {0.3, {0.85f, 0.6f, 0.3f, 1}},
                                                                 {0.45, {1.0f, 0.75f, 0.4f, 1}}, {0.8, {0.92f, 0.66f, 0.34f, 1}}}).Get(),
                                          1.7);
    Play<SpecularLightAnimationController>(*quayLamp, "Sparkle",
                                           ColorCycle("Sparkle", {{0.0, {1.0f, 0.8f, 0.5f, 1}}, {0.5, {0.6f, 0.5f, 0.3f, 1}}}).Get(), 2.3);
    const Vector3 lamp = kLighthouse + Vector3{0.0f, kLampRoom, 0.0f};
    Ref<Light> beam = MakeLight(Light::kSpot, "Beam", {0, 0, 0, 1}, {1.0f, 0.95f, 0.8f, 1});
    beam->SetLocalTransform(At(lamp));
    beam->spotAngle = 0.25f;
    // The beam sweeps round: it looks at a point that circles the lighthouse.
    Ref<SceneNode> sweep(new SceneNode("BeamTarget", 0, 0));
    std::initializer_list<Pose> circle = {
        {0.0, lamp + Vector3{40, -6, 0}}, {0.25, lamp + Vector3{0, -6, 40}}, {0.5, lamp + Vector3{-40, -6, 0}},
        {0.75, lamp + Vector3{0, -6, -40}}};
    Play<NodeAnimationController>(*sweep, "Circle", NodePath("Circle", circle).Get(), 8.0);
    Ref<TargetLightController> aim(new TargetLightController("Aim"));
    aim->SetTarget(sweep.Get());
    beam->AddController(aim.Get());
    Play<DiffuseLightAnimationController>(*beam, "Flash",
                                          ColorCycle("Flash", {{0.0, {1.0f, 0.95f, 0.8f, 1}}, {0.1, {0.3f, 0.28f, 0.25f, 1}},
                                                               {0.5, {1.0f, 0.95f, 0.8f, 1}}}).Get(), 4.0);
    for (Light* light : {moon.Get(), seaGlow.Get(), quayLamp.Get(), beam.Get()}) root->AddChild(light);
    root->AddChild(sweep.Get());

    // The sky, the moon and the stars, beyond the mist.
    root->AddChild(MakeTriangles("Sky", SkyDome(450.0f, 12, 24), Unlit("Sky", sky.Get(), false).Get()).Get());
    Ref<TextureEffect> moonDisc = Unlit("MoonDisc", moonPicture.Get(), false);
    moonDisc->SetBlending(true);
    root->AddChild(Placed(MakeTriangles("MoonDisc", Billboard(40.0f), moonDisc.Get()), {-80.0f, 110.0f, 380.0f}).Get());
    Ref<ColorEffect> twinkle = Colored("Stars", {0.9f, 0.92f, 1.0f, 1}, false);
    Play<ColorAnimationController>(*twinkle, "Twinkle",
                                   ColorCycle("Twinkle", {{0.0, {0.9f, 0.92f, 1.0f, 1}}, {0.5, {0.6f, 0.65f, 0.8f, 1}}}).Get(), 3.0);
    Ref<Points> stars = MakeLineNode<Points>("Stars", Stars(300, 420.0f), twinkle.Get());
    Ref<FloatBuffer> starSizes(new FloatBuffer(stars->GetVertices()->GetCount()));
    for (int i = 0; i < starSizes->GetCount(); ++i) (*starSizes)[i] = 1.0f + static_cast<float>(i % 3);
    stars->SetPointSizes(starSizes.Get());
    root->AddChild(stars.Get());

    // The water, its ripples cycling through four pictures.
    Ref<Texture1DLEffect> sea = Lit("Water", waterFrames[0].Get(), moon.Get());
    std::vector<BaseTexture*> frames;
    for (const Ref<Texture>& frame : waterFrames) frames.push_back(frame.Get());
    Play<TextureAnimationController>(*sea, "Ripples", TextureCycle("Ripples", frames).Get(), 2.0);
    root->AddChild(MakeTriangles("Water", Water(48, 400.0f), sea.Get()).Get());

    // The quay, the houses along it and the pier.
    root->AddChild(MakeTriangles("Quay", Quay(), LampLit("Quay", stone.Get(), moon.Get(), quayLamp.Get()).Get()).Get());
    root->AddChild(MakeTriangles("Houses", Houses(), LampLit("Houses", brick.Get(), moon.Get(), quayLamp.Get()).Get()).Get());
    root->AddChild(MakeTriangles("Roofs", Roofs(), Lit("Roofs", roof.Get(), seaGlow.Get()).Get()).Get());
    root->AddChild(MakeTriangles("Windows", Windows(), Unlit("Windows", houseGlass.Get(), true).Get()).Get());
    root->AddChild(MakeTriangles("Pier", Pier(), Lit("Pier", wood.Get(), moon.Get()).Get()).Get());
    root->AddChild(MakeTriangles("LampPosts", LampPosts(), Lit("LampPosts", wood.Get(), moon.Get()).Get()).Get());
    root->AddChild(MakeLineNode<StripLines>("Railing", Railing(), Colored("Railing", {0.08f, 0.08f, 0.09f, 1}, true).Get()).Get());
    Ref<ColorEffect> reeds = Colored("Reeds", {0.14f, 0.22f, 0.12f, 1}, true);
    reeds->waveAmplitude = 0.15f;
    reeds->waveSpeed = 1.3f;
    reeds->SetWave(true);
    root->AddChild(MakeTriangles("Reeds", Reeds(), reeds.Get()).Get());

    // The moored boat bobs with its cabin windows and rigging.
    Ref<SceneNode> boat(new SceneNode("BoatAfloat", 0, 4));
    Play<NodeAnimationController>(*boat, "Bob", Bobbing("Bob", kBoat, 0.25f, 0.04f, 0.2f).Get(), 6.0);
    boat->AddChild(MakeTriangles("Boat", Boat(), Lit("Boat", wood.Get(), moon.Get()).Get()).Get());
    boat->AddChild(MakeTriangles("CabinWindows", BoatWindows(), Unlit("CabinWindows", cabinGlass.Get(), true).Get()).Get());
    boat->AddChild(MakeLineNode<Lines>("Rigging", Rigging(), Colored("Rigging", {0.15f, 0.13f, 0.1f, 1}, true).Get()).Get());
    root->AddChild(boat.Get());

    // The lighthouse, its walls lit by the moon and its own beam.
    root->AddChild(Placed(MakeTriangles("Lighthouse", Lighthouse(), LampLit("Lighthouse", plaster.Get(), moon.Get(), beam.Get()).Get()),
                          kLighthouse).Get());

    // The bell buoy rocks on the swell.
    Ref<SceneNode> buoy(new SceneNode("BuoyAfloat", 0, 2));
    Play<NodeAnimationController>(*buoy, "Rock", Bobbing("Rock", kBuoy, 0.3f, 0.12f).Get(), 4.5);
    buoy->AddChild(MakeTriangles("Buoy", Buoy(), Lit("Buoy", plaster.Get(), moon.Get()).Get()).Get());
    // Its bell rings once every seven seconds.
    Ref<SoundNode> bell = Sound("Bell", "Sounds/bell.ogg", false, true, 12.0f, 90);
    bell->SetLocalTransform(At({0.0f, 1.9f, 0.0f}));
    Play<SoundNodeAnimationController>(*bell, "Ring", SoundCycle("Ring", {{0.0, true}, {0.6, false}}).Get(), 7.0);
    buoy->AddChild(bell.Get());
    root->AddChild(buoy.Get());

    // The music, everywhere; the waves where the quay meets the water.
    root->AddChild(Sound("Music", "Sounds/music.ogg", true, false, 1.0f, 70).Get());
    for (const Vector3& shore : {Vector3{-48.0f, 0.5f, -39.0f}, Vector3{30.0f, 0.5f, -39.0f}}) {
        Ref<SoundNode> waves = Sound(shore.x < 0 ? "WavesWest" : "WavesEast", "Sounds/waves.ogg", true, true, 18.0f, 80);
        waves->SetLocalTransform(At(shore));
        root->AddChild(waves.Get());
    }

    root->AddChild(FlagRig(*root).Get());

    // Glows: the street lamps flicker, the beacon flashes with the beam.
    const Color lampLight{1.0f, 0.78f, 0.45f, 1.0f};
    int lampNumber = 0;
    for (const Vector3& foot : LampFeet()) {
        Ref<Flare> flare = Glow(String::Format("Lamp%d", ++lampNumber), foot + Vector3{0.0f, kLampHeight, 0.0f}, 3.0f,
                                lampLight, glow.Get());
        if (lampNumber % 2 == 1)
            Play<FlareColorController>(*flare, "Flicker",
                                       ColorCycle("Flicker", {{0.0, lampLight}, {0.4, {0.85f, 0.62f, 0.35f, 1}}}).Get(),
                                       1.1 + 0.3 * lampNumber);
        root->AddChild(flare.Get());
    }
    Ref<Flare> beacon = Glow("Beacon", lamp, 12.0f, {1.0f, 0.9f, 0.6f, 1.0f}, glow.Get());
    Play<FlareSizeController>(*beacon, "Flash", FloatCycle("Flash", {{0.0, 14.0f}, {0.1, 6.0f}, {0.5, 14.0f}}).Get(), 4.0);
    root->AddChild(beacon.Get());
    // A glint that shows only while the camera close to the lighthouse looks.
    Ref<Flare> glint = Glow("Glint", lamp + Vector3{0.0f, 0.3f, 0.0f}, 0.0f, {1.0f, 1.0f, 0.9f, 1.0f}, star.Get());
    Ref<FlareSizeController> glintSize =
        Play<FlareSizeController>(*glint, "Glint", FloatCycle("Glint", {{0.0, 2.0f}, {0.5, 9.0f}}).Get(), 1.5);
    glintSize->SetActive(false);
    root->AddChild(glint.Get());

    // The camera shots, and the one that switches the glint on.
    Ref<SceneNode> shots(new SceneNode("Shots", 0, 20));
    Ref<ScreensaverController> screensaver = AddShots(*shots);
    if (auto* close = ObjectCast<Camera>(shots->FindObject("LighthouseCloseCamera"))) {
        Ref<CameraActivateAnimationController> activate =
            Play<CameraActivateAnimationController>(*close, "GlintOn", BoolCycle("On", {{0.0, true}}).Get(), 10.0);
        for (int32_t i = 0; i < screensaver->GetSetCount(); ++i)
            if (screensaver->GetSet(i).camera.Get() == close) {
                activate->SetCameraController(screensaver->GetSet(i).cameraController.Get());
                activate->SetTargetController(screensaver->GetSet(i).targetController.Get());
            }
        activate->AddSwitched(glintSize.Get());
    }
    // The shots' node keeps a plain post-render effect: without the band it
    // draws its children as they are (cameras and points draw nothing).
    shots->AddEffect(Ref<PostRenderEffect>(new PostRenderEffect("Plain")).Get());
    root->AddChild(shots.Get());
    root->AddController(screensaver.Get());

    // The whole picture in a cinema band, the lit windows, the moon and the
    // lamp room glowing into the night.
    Ref<CustomGlowPostRenderEffect> glowing(new CustomGlowPostRenderEffect("Glow"));
    glowing->SetFilm(true);
    glowing->glowIntensity = 0.8f;
    for (const char* name : {"Windows", "CabinWindows", "MoonDisc"})
        if (auto* node = ObjectCast<Node>(root->FindObject(name))) glowing->AddGlowNode(node);
    root->AddEffect(glowing.Get());
    root->UpdateSubtree(0.0, true);
    return root;
}

}  // namespace zav::scenegen
