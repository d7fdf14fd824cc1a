// What the program's shader texts compute, run through ShaderInterpreter
// with the constant layouts that ShaderTexts.h documents.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/Result.h"
#include "engine/render/shader/ShaderAssembler.h"
#include "engine/render/shader/ShaderTexts.h"
#include "tests/shader/ShaderInterpreter.h"

namespace zav {
namespace {

using test::ShaderInterpreter;
using test::Vec4;

// Row-vector matrix: p' = p * m.
struct Matrix {
    float m[4][4];
};

Matrix Identity() { return Matrix{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}}; }

Matrix Affine(const float rotation[3][3], float tx, float ty, float tz) {
    Matrix result = Identity();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) result.m[r][c] = rotation[r][c];
    result.m[3][0] = tx;
    result.m[3][1] = ty;
    result.m[3][2] = tz;
    return result;
}

Vec4 Times(const Vec4& p, const Matrix& m) {
    Vec4 result;
    for (int c = 0; c < 4; ++c) result[c] = p.x * m.m[0][c] + p.y * m.m[1][c] + p.z * m.m[2][c] + p.w * m.m[3][c];
    return result;
}

// The upload the effects make: register `first + k` holds column k.
void Upload(ShaderInterpreter& shader, int first, const Matrix& m) {
    for (int k = 0; k < 4; ++k) shader.constants[first + k] = Vec4{m.m[0][k], m.m[1][k], m.m[2][k], m.m[3][k]};
}

std::vector<uint32_t> Assembled(const char* text) {
    std::vector<uint32_t> tokens;
    String errors;
    EXPECT_EQ(AssembleShader(text, static_cast<int32_t>(std::strlen(text)), tokens, errors), kOk) << errors.CStr();
    return tokens;
}

void Execute(ShaderInterpreter& shader, const char* text) {
    std::string error;
    ASSERT_TRUE(shader.Run(Assembled(text), &error)) << error;
}

void ExpectNear(const Vec4& actual, const Vec4& expected, float tolerance) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "component " << i;
}

float Dot3(const Vec4& a, const Vec4& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec4 Normalized(const Vec4& v) {
    const float length = std::sqrt(Dot3(v, v));
    return Vec4{v.x / length, v.y / length, v.z / length, 0};
}

float ExpectedFog(float density, float exponent, float depth) {
    return depth <= 0 ? 1.0f : 1.0f / std::exp(std::pow(density * depth, exponent));
}

// A projection-like matrix and a world x view whose third column gives depth.
const Matrix kProjection = {{{1.5f, 0, 0, 0}, {0, 2, 0, 0}, {0.1f, 0.2f, 1.01f, 1}, {3, -2, -0.5f, 0}}};
const Matrix kWorldView = {{{1, 0, 0.3f, 0}, {0, 1, 0.1f, 0}, {0, 0, 0.9f, 0}, {0, 0, 4, 1}}};

TEST(ShaderTextMath, ColorVertexTextTransformsColoursAndFogs) {
    for (float z : {-10.0f, 0.5f, 3.0f}) {
        ShaderInterpreter shader;
        Upload(shader, 0, kProjection);
        Upload(shader, 4, kWorldView);
        shader.constants[8] = Vec4{0.25f, 0.5f, 0.75f, 1};
        shader.constants[9] = Vec4{0.2f, 1.5f, 7, 7};  // fog density, exponent (then wave values)
        shader.inputs[0] = Vec4{1, 2, z, 1};
        Execute(shader, kColorVertexText);
        ExpectNear(shader.position, Times(shader.inputs[0], kProjection), 1e-4f);
        ExpectNear(shader.colors[0], shader.constants[8], 0);
        const float depth = Times(shader.inputs[0], kWorldView).z;
        EXPECT_NEAR(shader.fog, ExpectedFog(0.2f, 1.5f, depth), 1e-4f) << "depth " << depth;
    }
}

// The wave texts: position + (sin(phase1), 0, sin(phase2)) x amplitude x y.
void ExpectWave(const char* text, int waveRegister, int fogRegister, bool copiesTexCoords) {
    for (float time : {0.0f, 1.7f, 40.3f}) {
        for (const Vec4& position : {Vec4{0.5f, 2, -1, 1}, Vec4{-3, 0.25f, 6, 1}, Vec4{10, -4, 2.5f, 1}}) {
            ShaderInterpreter shader;
            Upload(shader, 0, Identity());
            Upload(shader, 4, kWorldView);
            const float amplitude = 0.3f, speed = 1.25f;
            shader.constants[fogRegister] = Vec4{0.1f, 1, amplitude, speed};
            shader.constants[waveRegister] = Vec4{amplitude, speed, time, 0};
            shader.inputs[0] = position;
            shader.inputs[3] = Vec4{0, 1, 0, 0};
            shader.inputs[7] = Vec4{0.25f, 0.75f, 0, 0};
            Execute(shader, text);
            const float phase1 = 0.5077f * position.x + speed * time - 0.421f * position.z;
            const float phase2 = 1.31415f * speed * time + 0.3f * position.y - 0.6f * position.z;
            const Vec4 expected{position.x + std::sin(phase1) * amplitude * position.y, position.y,
                                position.z + std::sin(phase2) * amplitude * position.y, 1};
            ExpectNear(shader.position, expected, 0.0015f * amplitude * std::fabs(position.y) + 1e-4f);
            EXPECT_NEAR(shader.fog, ExpectedFog(0.1f, 1, Times(shader.position, kWorldView).z), 1e-3f);
            if (copiesTexCoords) {
                EXPECT_EQ(shader.texCoords[0].x, 0.25f);
                EXPECT_EQ(shader.texCoords[0].y, 0.75f);
            }
        }
    }
}

TEST(ShaderTextMath, WaveTextsSwayByHeight) {
    ExpectWave(kColorWaveVertexText, 10, 9, false);
    ExpectWave(kTextureWaveVertexText, 10, 9, true);
    ExpectWave(kLitWaveVertexText11, 14, 13, true);
    ExpectWave(kTwoLightWaveVertexText11, 16, 15, true);
    ExpectWave(kLitWaveVertexText20, 10, 9, true);
    ExpectWave(kTwoLightWaveVertexText20, 10, 9, true);
}

TEST(ShaderTextMath, TextureVertexTextCopiesCoordinates) {
    ShaderInterpreter shader;
    Upload(shader, 0, kProjection);
    shader.inputs[0] = Vec4{1, 1, 1, 1};
    shader.inputs[7] = Vec4{0.125f, -2, 9, 9};
    shader.constants[8] = Vec4{1, 0, 0, 1};
    Execute(shader, kTextureVertexText);
    EXPECT_EQ(shader.texCoords[0].x, 0.125f);
    EXPECT_EQ(shader.texCoords[0].y, -2);
    ExpectNear(shader.colors[0], Vec4{1, 0, 0, 1}, 0);
}

// Three bones; the vertex uses bones 2, 0, 1 (and 0 with weight 0).
struct SkinSetup {
    Matrix bones[3];
    Vec4 indices{2, 0, 1, 0};
    Vec4 weights{0.5f, 0.25f, 0.25f, 0};
};

SkinSetup MakeSkin() {
    const float turn[3][3] = {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}};  // 90 degrees about z
    const float same[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    return SkinSetup{{Affine(same, 1, 0, 0), Affine(turn, 0, 2, 0), Affine(same, 0, 0, -3)}};
}

void UploadSkin(ShaderInterpreter& shader, const SkinSetup& skin, const Vec4& position, const Vec4& normal) {
    Upload(shader, 0, kProjection);  // view x projection
    Upload(shader, 4, kWorldView);   // view
    for (int bone = 0; bone < 3; ++bone) Upload(shader, 8 + 4 * bone, skin.bones[bone]);
    shader.constants[209] = Vec4{0.2f, 2, 0, 0};
    shader.inputs[0] = position;
    shader.inputs[1] = skin.weights;
    shader.inputs[2] = skin.indices;
    shader.inputs[3] = normal;
    shader.inputs[7] = Vec4{0.5f, 0.5f, 0, 0};
}

Vec4 SkinnedPosition(const SkinSetup& skin, const Vec4& position) {
    Vec4 sum;
    for (int k = 0; k < 4; ++k) {
        const Vec4 moved = Times(position, skin.bones[static_cast<int>(skin.indices[k])]);
        for (int i = 0; i < 3; ++i) sum[i] += skin.weights[k] * moved[i];
    }
    sum.w = 1;
    return sum;
}

TEST(ShaderTextMath, SkinTextsBlendFourBones) {
    const SkinSetup skin = MakeSkin();
    const Vec4 position{1, 2, 3, 1};
    ShaderInterpreter shader;
    UploadSkin(shader, skin, position, Vec4{0, 0, 1, 0});
    shader.constants[208] = Vec4{0.5f, 0.5f, 1, 1};
    Execute(shader, kTextureSkinVertexText);
    const Vec4 world = SkinnedPosition(skin, position);
    ExpectNear(shader.position, Times(world, kProjection), 1e-4f);
    ExpectNear(shader.colors[0], Vec4{0.5f, 0.5f, 1, 1}, 0);
    EXPECT_NEAR(shader.fog, ExpectedFog(0.2f, 2, Times(world, kWorldView).z), 1e-4f);

    // The lit skin texts hand over the world position, the blended normal
    // and the view vector from the camera (c208).
    for (const char* text : {kLitSkinVertexText20, kTwoLightSkinVertexText20}) {
        ShaderInterpreter lit;
        UploadSkin(lit, skin, position, Vec4{1, 0, 0, 0});
        lit.constants[208] = Vec4{10, 20, 30, 1};
        Execute(lit, text);
        ExpectNear(lit.position, Times(world, kProjection), 1e-4f);
        // bones 2 and 0 keep x; bone 1 (weight 0.25) turns it to y.
        EXPECT_NEAR(lit.texCoords[1].x, 0.75f, 1e-6f);
        EXPECT_NEAR(lit.texCoords[1].y, 0.25f, 1e-6f);
        EXPECT_NEAR(lit.texCoords[2].x, 10 - world.x, 1e-4f);
        EXPECT_NEAR(lit.texCoords[2].z, 30 - world.z, 1e-4f);
        if (text == kTwoLightSkinVertexText20) {
            EXPECT_NEAR(lit.texCoords[3].y, world.y, 1e-5f);
        }
    }
}

// Constants of the per-vertex lit texts.
struct Lights {
    Vec4 materialAmbient{0.2f, 0.3f, 0.4f, 1};
    Vec4 materialDiffuse{0.8f, 0.6f, 0.4f, 0.5f};
    Vec4 lightAmbient{0.5f, 0.5f, 0.5f, 1};
    Vec4 lightDiffuse{1, 0.9f, 0.8f, 1};
    Vec4 toLight{0, 0.6f, 0.8f, 0};
    Vec4 pointDiffuse{0.3f, 0.2f, 0.1f, 1};
    Vec4 pointPosition{5, 0, 0, 1};
};

Vec4 ExpectedLitColor(const Lights& l, const Vec4& normal, const Vec4& position, bool point) {
    const Vec4 n = Normalized(normal);
    const float directional = std::fmax(Dot3(n, l.toLight), 0.0f);
    Vec4 toPoint{l.pointPosition.x - position.x, l.pointPosition.y - position.y, l.pointPosition.z - position.z, 0};
    const float pointTerm = point ? std::fmax(Dot3(n, Normalized(toPoint)), 0.0f) : 0.0f;
    Vec4 color;
    for (int i = 0; i < 3; ++i)
        color[i] = l.lightAmbient[i] * l.materialAmbient[i] +
                   l.materialDiffuse[i] * (l.lightDiffuse[i] * directional + l.pointDiffuse[i] * pointTerm);
    color.w = l.materialDiffuse.w;
    return color;
}

TEST(ShaderTextMath, VertexLightingFollowsTheLitFormula) {
    const Lights l;
    for (const Vec4& normal : {Vec4{0, 2, 0, 0}, Vec4{0, -1, 0, 0}, Vec4{1, 1, 1, 0}}) {
        for (bool point : {false, true}) {
            ShaderInterpreter shader;
            Upload(shader, 0, kProjection);
            Upload(shader, 4, kWorldView);
            shader.constants[8] = l.materialAmbient;
            shader.constants[9] = l.materialDiffuse;
            shader.constants[10] = l.lightAmbient;
            shader.constants[11] = l.lightDiffuse;
            shader.constants[12] = l.toLight;
            if (point) {
                shader.constants[13] = l.pointDiffuse;
                shader.constants[14] = l.pointPosition;
                shader.constants[15] = Vec4{0.1f, 1, 0, 0};
            } else {
                shader.constants[13] = Vec4{0.1f, 1, 0, 0};
            }
            shader.inputs[0] = Vec4{1, 2, 3, 1};
            shader.inputs[3] = normal;
            shader.inputs[7] = Vec4{0.5f, 0.25f, 0, 0};
            Execute(shader, point ? kTwoLightVertexText11 : kLitVertexText11);
            ExpectNear(shader.colors[0], ExpectedLitColor(l, normal, shader.inputs[0], point), 1e-4f);
            ExpectNear(shader.colors[1], Vec4{}, 0);
            EXPECT_EQ(shader.texCoords[0].y, 0.25f);
            EXPECT_NEAR(shader.fog, ExpectedFog(0.1f, 1, Times(shader.inputs[0], kWorldView).z), 1e-4f);
        }
    }
}

TEST(ShaderTextMath, PixelLightingFollowsTheLitFormula) {
    const Lights l;
    const Vec4 texel{0.5f, 1, 0.25f, 0.8f};
    for (bool point : {false, true}) {
        ShaderInterpreter vertex;
        Upload(vertex, 0, kProjection);
        Upload(vertex, 4, kWorldView);
        vertex.constants[8] = Vec4{0, 0, 10, 1};  // camera
        vertex.constants[9] = Vec4{0.1f, 1, 0, 0};
        vertex.inputs[0] = Vec4{1, 2, 3, 1};
        vertex.inputs[3] = Vec4{0, 3, 0, 0};
        vertex.inputs[7] = Vec4{0.5f, 0.25f, 0, 0};
        Execute(vertex, point ? kTwoLightVertexText20 : kLitVertexText20);
        EXPECT_NEAR(vertex.texCoords[2].z, 7, 1e-5f);

        ShaderInterpreter pixel;
        for (int i = 0; i < 4; ++i) pixel.textures[i] = vertex.texCoords[i];
        pixel.constants[0] = l.materialAmbient;
        pixel.constants[1] = l.materialDiffuse;
        pixel.constants[2] = l.lightAmbient;
        pixel.constants[3] = l.lightDiffuse;
        pixel.constants[4] = l.toLight;
        pixel.constants[5] = l.pointDiffuse;
        pixel.constants[6] = l.pointPosition;
        pixel.sample = [&](int sampler, const Vec4& at) {
            EXPECT_EQ(sampler, 0);
            EXPECT_EQ(at.x, 0.5f);
            EXPECT_EQ(at.y, 0.25f);
            return texel;
        };
        Execute(pixel, point ? kTwoLightPixelText20 : kLitPixelText20);
        Vec4 expected = ExpectedLitColor(l, vertex.inputs[3], vertex.inputs[0], point);
        for (int i = 0; i < 4; ++i) expected[i] *= texel[i];
        ExpectNear(pixel.pixels[0], expected, 1e-5f);
    }
}

TEST(ShaderTextMath, ModelOnePixelTextsCombineColourAndTexture) {
    const Vec4 diffuse{0.5f, 0.25f, 1, 0.5f}, specular{0.125f, 0, 0, 0}, texel{0.5f, 0.5f, 0.5f, 1};
    auto pixel = [&](const char* text) {
        ShaderInterpreter shader;
        shader.inputs[0] = diffuse;
        shader.inputs[1] = specular;
        shader.sample = [&](int sampler, const Vec4&) { return sampler == 0 ? texel : Vec4{}; };
        Execute(shader, text);
        return shader.temps[0];
    };
    ExpectNear(pixel(kColorPixelText), diffuse, 0);
    ExpectNear(pixel(kTexturePixelText), Vec4{0.25f, 0.125f, 0.5f, 0.5f}, 0);
    ExpectNear(pixel(kLitPixelText11), Vec4{0.375f, 0.125f, 0.5f, 0.5f}, 0);
}

// The quad's corner (x, y) through a glow vertex text, with half a texel of
// a 256 × 192 target in c1; the texture coordinates it should give.
Vec4 QuadVertex(ShaderInterpreter& shader, const char* text, float x, float y) {
    shader.inputs[0] = Vec4{x, y, 0, 1};
    shader.constants[1] = Vec4{0.5f / 256, 0.5f / 192, 3, 3};  // z and w are not read
    Execute(shader, text);
    ExpectNear(shader.position, Vec4{x, y, 0, 1}, 0);
    return Vec4{0.5f * (1 + x) + 0.5f / 256, 0.5f * (1 - y) + 0.5f / 192, 0, 0};
}

TEST(ShaderTextMath, GlowVertexTextsPlaceTheTaps) {
    ShaderInterpreter down;
    down.constants[0] = Vec4{1.0f / 256, 1.0f / 192, 5, 7};  // z and w are not read
    const Vec4 t = QuadVertex(down, kGlowDownsampleVertexText, -1, 1);
    const float dx = 1.0f / 256, dy = 1.0f / 192;
    const float expected[5][2] = {{t.x, t.y}, {t.x + dx, t.y}, {t.x - dx, t.y}, {t.x, t.y + dy}, {t.x, t.y - dy}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(down.texCoords[i].x, expected[i][0]) << "oT" << i;
        EXPECT_FLOAT_EQ(down.texCoords[i].y, expected[i][1]) << "oT" << i;
    }

    ShaderInterpreter blur;
    blur.constants[0] = Vec4{0, 1.5f / 192, 9, 9};
    const Vec4 b = QuadVertex(blur, kGlowBlurVertexText, 0.5f, -0.5f);
    for (int i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(blur.texCoords[i].x, b.x) << "oT" << i;
        EXPECT_NEAR(blur.texCoords[i].y, b.y + (i - 2) * 1.5f / 192, 1e-7f) << "oT" << i;
    }

    ShaderInterpreter combine;
    const Vec4 c = QuadVertex(combine, kGlowCombineVertexText, 1, -1);
    EXPECT_FLOAT_EQ(combine.texCoords[0].x, c.x);
    EXPECT_FLOAT_EQ(combine.texCoords[0].y, c.y);
}

TEST(ShaderTextMath, GlowPixelTextsWeighTheirSamples) {
    // Sample i is (i + 1) in every channel.
    auto tap = [](int, const Vec4& at) { return Vec4{at.x, at.x, at.x, at.x}; };
    ShaderInterpreter down;
    for (int i = 0; i < 5; ++i) down.textures[i] = Vec4{static_cast<float>(i + 1), 0, 0, 0};
    down.sample = tap;
    Execute(down, kGlowDownsamplePixelText);
    EXPECT_NEAR(down.pixels[0].x, 3.0f, 1e-5f);

    ShaderInterpreter blur;
    for (int i = 0; i < 5; ++i) blur.textures[i] = Vec4{static_cast<float>(i + 1), 0, 0, 0};
    blur.sample = tap;
    Execute(blur, kGlowBlurPixelText);
    EXPECT_NEAR(blur.pixels[0].x, (2 * 1 + 4 * 2 + 5 * 3 + 4 * 4 + 2 * 5) / 17.0f, 1e-5f);

    ShaderInterpreter combine;
    combine.constants[0] = Vec4{0.5f, 1.5f, 0.25f, 0};
    combine.sample = [](int sampler, const Vec4&) {
        return sampler == 0 ? Vec4{0.25f, 0.5f, 0, 1} : Vec4{1, 0, 0.5f, 1};
    };
    Execute(combine, kGlowCombinePixelText);
    ExpectNear(combine.pixels[0], Vec4{0.75f, 0.5f, 0.25f, 1.5f}, 0);
}

}  // namespace
}  // namespace zav
