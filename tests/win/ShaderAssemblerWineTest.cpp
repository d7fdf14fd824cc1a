// The engine's shader assembler against the Direct3D utility library's
// D3DXAssembleShader (built into Wine), and its shaders on a Direct3D 9
// device. The only program that links the utility library.
//
// The token streams are compared whole, word for word: neither assembler
// writes comment tokens for these texts, and the layout (declarations, then
// constants, then instructions) is the one both write.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <d3d9.h>
#include <d3dx9shader.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/core/Result.h"
#include "engine/render/shader/ShaderAssembler.h"
#include "engine/render/shader/ShaderTexts.h"

namespace zav {
namespace {

// Texts beyond the program's own, for forms those do not use.
const NamedShaderText kExtraTexts[] = {
    {"spellings and comments",
     "vs.1.1 // version with dots\r\n"
     "; a comment line\r\n"
     "dcl_position0 v0\r\n"
     "dcl_color v5\r\n"
     "dcl_texcoord3 v9\r\n"
     "def c95, 0.001, -250, .5, 3.\r\n"
     "mov oPos, v0\r\n"
     "mov oD1, v5.bgra\r\n"
     "mov oT7.xw, -v9.yx\r\n"
     "add r0.xyz, v0.xyz, c95.xyw  // three-letter swizzles\r\n"
     "mul oD0, r0.x, c3\r\n"},
    {"vertex shader 1.1 instructions",
     "vs_1_1\n"
     "dcl_position v0\n"
     "dcl_normal v3\n"
     "dp3 r1, v0, c1\n"
     "dp4 r1.w, v0, c2\n"
     "min r2, r1, c3\n"
     "max r2.yz, r2, -c3.w\n"
     "rcp r3.x, r2.y\n"
     "rsq r3.yw, r2.z\n"
     "sub r4, r2, r3.xxyw\n"
     "frc r5.y, r4\n"
     "frc r5.xy, r4.wzyx\n"
     "lit r6, r5.xyyy\n"
     "mad r7, r6, c4, -r6\n"
     "m4x4 oPos, r7, c92\n"
     "mov oFog, r7.w\n"},
    {"vertex shader 2.0 relative addressing",
     "vs_2_0\n"
     "def c255, 0, 1, 2, 3\n"
     "dcl_blendindices v2\n"
     "dcl_position v0\n"
     "mova a0.xz, v2\n"
     "mova a0.yw, c255\n"
     "mov r0, c[a0.x + 8]\n"
     "add r0, r0, c12[a0.y]\n"
     "add r0, r0, -c[20 + a0.z].zzwx\n"
     "mul oPos, r0, c4[a0.w + 1]\n"},
    {"pixel shader 1.1 forms",
     "ps_1_1\n"
     "def c7, 0.25, 0.5, 0.75, 1\n"
     "tex t0\n"
     "tex t3\n"
     "mul_sat r1, t0, c7\n"
     "add r0.rgb, r1, v1\n"
     "mul r0.a, t3, v0\n"
     "dp3 r1.rgb, t3, v0\n"
     "mad r1.xyz, r0, c0, t0\n"
     "sub r0.w, -r1, c1\n"},
    {"pixel shader 2.0 forms",
     "ps.2.0\n"
     "dcl v0\n"
     "dcl v1.xyz\n"
     "dcl t7.x\n"
     "dcl t1\n"
     "dcl_volume s3\n"
     "dcl_cube s15\n"
     "dcl_2d s1\n"
     "def c31, -1, 0, 1, 2\n"
     "texld r0, t1, s3\n"
     "texld r11, t7, s15\n"
     "texld r5, t1, s1\n"
     "mul_sat r1, r0, v0.wzyx\n"
     "mad r2.rg, r11.yzxw, c31.zxyw, r5\n"
     "frc r3, r2.y\n"
     "rcp r4.b, r3.y\n"
     "min r6, r4.z, v1.x\n"
     "mov r6.a, c31.w\n"
     "max_sat r7, r6, r1\n"
     "mov oC0, r7\n"},
};

std::vector<uint32_t> Ours(const char* text) {
    std::vector<uint32_t> tokens;
    String errors;
    EXPECT_EQ(AssembleShader(text, static_cast<int32_t>(std::strlen(text)), tokens, errors), kOk) << errors.CStr();
    return tokens;
}

// D3DXAssembleShader's tokens, or an empty list with `errors` set.
std::vector<uint32_t> Library(const char* text, std::string* errors) {
    ID3DXBuffer* code = nullptr;
    ID3DXBuffer* messages = nullptr;
    const HRESULT result =
        D3DXAssembleShader(text, static_cast<UINT>(std::strlen(text)), nullptr, nullptr, 0, &code, &messages);
    if (messages) {
        *errors = static_cast<const char*>(messages->GetBufferPointer());
        messages->Release();
    }
    std::vector<uint32_t> tokens;
    if (SUCCEEDED(result) && code) {
        const uint32_t* words = static_cast<const uint32_t*>(code->GetBufferPointer());
        tokens.assign(words, words + code->GetBufferSize() / sizeof(uint32_t));
    }
    if (code) code->Release();
    return tokens;
}

std::string Hex(const std::vector<uint32_t>& tokens) {
    std::string text;
    char word[12];
    for (size_t i = 0; i < tokens.size(); ++i) {
        std::snprintf(word, sizeof word, "%08x%c", tokens[i], i % 8 == 7 ? '\n' : ' ');
        text += word;
    }
    return text;
}

void ExpectSameTokens(const NamedShaderText& text) {
    std::string errors;
    const std::vector<uint32_t> library = Library(text.text, &errors);
    ASSERT_FALSE(library.empty()) << text.name << ": the utility library refused it: " << errors;
    const std::vector<uint32_t> ours = Ours(text.text);
    EXPECT_EQ(ours, library) << text.name << "\nours:\n" << Hex(ours) << "\nlibrary:\n" << Hex(library);
}

TEST(ShaderAssemblerWine, ProgramTextsGiveTheLibrarysTokens) {
    int count = 0;
    const NamedShaderText* texts = ShaderTextList(&count);
    ASSERT_GT(count, 0);
    for (int i = 0; i < count; ++i) ExpectSameTokens(texts[i]);
}

TEST(ShaderAssemblerWine, ExtraTextsGiveTheLibrarysTokens) {
    for (const NamedShaderText& text : kExtraTexts) ExpectSameTokens(text);
}

TEST(ShaderAssemblerWine, BothRefuseBrokenTexts) {
    // Each text is wrong on its last line.
    const char* broken[] = {
        "vs_1_1\nmox r0, v0\n",
        "vs_1_1\nmov r0, v0, v1\n",
        "ps_2_0\nmov r0, r1.abcd\n",
        "vs_2_0\nmov r0.xxyz, r1\n",
        "vs_3_3\n",
        "ps_1_1\nmov oC0, r0\n",
        "ps_1_1\ndef c0, 1e-3, 0, 0, 0\n",
    };
    for (const char* text : broken) {
        std::string libraryErrors;
        EXPECT_TRUE(Library(text, &libraryErrors).empty()) << text;
        std::vector<uint32_t> tokens;
        String errors;
        EXPECT_EQ(AssembleShader(text, static_cast<int32_t>(std::strlen(text)), tokens, errors), kFailed) << text;
        int lines = 0;
        for (const char* p = text; *p; ++p) lines += *p == '\n';
        const std::string prefix = "Строка " + std::to_string(lines) + ": ";
        EXPECT_EQ(std::string(errors.CStr()).compare(0, prefix.size(), prefix), 0) << errors.CStr();
    }
}

// A small window and a hardware device with shader support.
class ShaderDevice : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ZavShaderDeviceTest";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"shaders", WS_POPUP | WS_VISIBLE, 0, 0, kSize, kSize,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        d3d_ = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d_, nullptr);
        D3DPRESENT_PARAMETERS parameters = {};
        parameters.BackBufferWidth = kSize;
        parameters.BackBufferHeight = kSize;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.BackBufferCount = 1;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.hDeviceWindow = window_;
        parameters.Windowed = TRUE;
        ASSERT_EQ(d3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                     &parameters, &device_),
                  D3D_OK);
        D3DCAPS9 caps = {};
        device_->GetDeviceCaps(&caps);
        ASSERT_GE(caps.VertexShaderVersion, D3DVS_VERSION(2, 0));
        ASSERT_GE(caps.PixelShaderVersion, D3DPS_VERSION(2, 0));
    }

    void TearDown() override {
        if (device_) device_->Release();
        if (d3d_) d3d_->Release();
        if (window_) DestroyWindow(window_);
    }

    IDirect3DVertexShader9* VertexShader(const char* text) {
        const std::vector<uint32_t> tokens = Ours(text);
        IDirect3DVertexShader9* shader = nullptr;
        EXPECT_EQ(device_->CreateVertexShader(reinterpret_cast<const DWORD*>(tokens.data()), &shader), D3D_OK) << text;
        return shader;
    }

    IDirect3DPixelShader9* PixelShader(const char* text) {
        const std::vector<uint32_t> tokens = Ours(text);
        IDirect3DPixelShader9* shader = nullptr;
        EXPECT_EQ(device_->CreatePixelShader(reinterpret_cast<const DWORD*>(tokens.data()), &shader), D3D_OK) << text;
        return shader;
    }

    struct Vertex {
        float position[3];
        float normal[3];
        float texCoords[2];
    };

    // Draws a quad over the whole target with the two shaders and returns the
    // colour of the middle pixel (0xRRGGBB).
    uint32_t DrawQuad(IDirect3DVertexShader9* vertexShader, IDirect3DPixelShader9* pixelShader) {
        const D3DVERTEXELEMENT9 elements[] = {
            {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
            {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0},
            {0, 24, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
            D3DDECL_END()};
        IDirect3DVertexDeclaration9* declaration = nullptr;
        EXPECT_EQ(device_->CreateVertexDeclaration(elements, &declaration), D3D_OK);
        const Vertex quad[4] = {{{-1, -1, 0.5f}, {0, 0, -1}, {0, 1}},
                                {{-1, 1, 0.5f}, {0, 0, -1}, {0, 0}},
                                {{1, -1, 0.5f}, {0, 0, -1}, {1, 1}},
                                {{1, 1, 0.5f}, {0, 0, -1}, {1, 0}}};
        device_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0, 0, 255), 1.0f, 0);
        device_->BeginScene();
        device_->SetVertexDeclaration(declaration);
        device_->SetVertexShader(vertexShader);
        device_->SetPixelShader(pixelShader);
        EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex)), D3D_OK);
        device_->EndScene();
        declaration->Release();
        return MiddlePixel();
    }

    uint32_t MiddlePixel() {
        IDirect3DSurface9* target = nullptr;
        IDirect3DSurface9* copy = nullptr;
        uint32_t pixel = 0;
        device_->GetRenderTarget(0, &target);
        device_->CreateOffscreenPlainSurface(kSize, kSize, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr);
        D3DLOCKED_RECT locked = {};
        if (target && copy && device_->GetRenderTargetData(target, copy) == D3D_OK &&
            copy->LockRect(&locked, nullptr, D3DLOCK_READONLY) == D3D_OK) {
            const uint8_t* row = static_cast<const uint8_t*>(locked.pBits) + locked.Pitch * (kSize / 2);
            std::memcpy(&pixel, row + 4 * (kSize / 2), sizeof pixel);
            copy->UnlockRect();
        }
        if (copy) copy->Release();
        if (target) target->Release();
        return pixel & 0xFFFFFF;
    }

    void SetMatrices() {
        const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        device_->SetVertexShaderConstantF(0, identity, 4);
        device_->SetVertexShaderConstantF(4, identity, 4);
    }

    static constexpr int kSize = 64;
    HWND window_ = nullptr;
    IDirect3D9* d3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
};

void ExpectColor(uint32_t actual, int red, int green, int blue) {
    const int channels[3] = {static_cast<int>(actual >> 16 & 0xFF), static_cast<int>(actual >> 8 & 0xFF),
                             static_cast<int>(actual & 0xFF)};
    const int expected[3] = {red, green, blue};
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(channels[i], expected[i], 2) << "channel " << i << " of " << std::hex << actual;
}

TEST_F(ShaderDevice, AcceptsEveryProgramText) {
    int count = 0;
    const NamedShaderText* texts = ShaderTextList(&count);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(texts[i].name);
        const bool vertex = std::strncmp(texts[i].text, "vs", 2) == 0;
        if (vertex) {
            IDirect3DVertexShader9* shader = VertexShader(texts[i].text);
            if (shader) shader->Release();
        } else {
            IDirect3DPixelShader9* shader = PixelShader(texts[i].text);
            if (shader) shader->Release();
        }
    }
}

TEST_F(ShaderDevice, ColourTextsDrawTheColour) {
    IDirect3DVertexShader9* vertexShader = VertexShader(kColorVertexText);
    IDirect3DPixelShader9* pixelShader = PixelShader(kColorPixelText);
    ASSERT_TRUE(vertexShader && pixelShader);
    SetMatrices();
    const float colour[4] = {1, 0.5f, 0.25f, 1};
    const float fog[4] = {0.1f, 1, 0, 0};
    device_->SetVertexShaderConstantF(8, colour, 1);
    device_->SetVertexShaderConstantF(9, fog, 1);
    ExpectColor(DrawQuad(vertexShader, pixelShader), 255, 128, 64);
    vertexShader->Release();
    pixelShader->Release();
}

TEST_F(ShaderDevice, PerPixelLitTextsLightTheTexture) {
    IDirect3DVertexShader9* vertexShader = VertexShader(kLitVertexText20);
    IDirect3DPixelShader9* pixelShader = PixelShader(kLitPixelText20);
    ASSERT_TRUE(vertexShader && pixelShader);
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked = {};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    *static_cast<uint32_t*>(locked.pBits) = 0xFFFFFFFF;
    texture->UnlockRect(0);
    device_->SetTexture(0, texture);
    SetMatrices();
    const float camera[4] = {0, 0, -5, 1};
    const float fog[4] = {0.1f, 1, 0, 0};
    device_->SetVertexShaderConstantF(8, camera, 1);
    device_->SetVertexShaderConstantF(9, fog, 1);
    // ambient 0.2 x 1 + diffuse 0.5 x (1, 0.5, 0) x max(n . l, 0) with n = l.
    const float pixelConstants[5][4] = {
        {0.2f, 0.2f, 0.2f, 1}, {0.5f, 0.5f, 0.5f, 1}, {1, 1, 1, 1}, {1, 0.5f, 0, 1}, {0, 0, -1, 0}};
    device_->SetPixelShaderConstantF(0, &pixelConstants[0][0], 5);
    ExpectColor(DrawQuad(vertexShader, pixelShader), 179, 115, 51);
    device_->SetTexture(0, nullptr);
    texture->Release();
    vertexShader->Release();
    pixelShader->Release();
}

}  // namespace
}  // namespace zav
