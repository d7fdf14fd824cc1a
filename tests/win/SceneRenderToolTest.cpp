// The scenerender tool on a scene these tests write: a triangle in one
// colour and a square with a picture from a folder given on the command
// line, seen through either of two cameras.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "engine/core/Engine.h"
#include "engine/core/Result.h"
#include "engine/files/Codec.h"
#include "engine/files/CodecManager.h"
#include "engine/files/File.h"
#include "engine/files/MemoryFile.h"
#include "engine/files/SceneFile.h"
#include "engine/render/Texture.h"
#include "engine/render/effects/TextureEffect.h"
#include "engine/scene/Camera.h"
#include "engine/scene/SceneNode.h"
#include "engine/scene/TransformMath.h"
#include "tests/win/DeviceFixture.h"

namespace zav {
namespace {

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string ProgramFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

class SceneRenderTool : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "scenerender-test-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
        CreateDirectoryA((folder + "\\pictures").c_str(), nullptr);
        ASSERT_EQ(EngineInit(), kOk);
        for (const char* codec : {"BMPImageCodec", "STRSceneCodec"}) ASSERT_EQ(LoadCodec(codec, nullptr), kOk);
        WriteScene();
    }
    void TearDown() override {
        for (const char* name : {"\\pictures\\marker.bmp", "\\scene.STR", "\\front.bmp", "\\side.bmp", "\\errors.txt"})
            DeleteFileA((folder + name).c_str());
        RemoveDirectoryA((folder + "\\pictures").c_str());
        RemoveDirectoryA(folder.c_str());
        EngineShutdown();
    }

    // A 2 × 2 picture, green at the top and blue at the bottom, stored as
    // "marker.bmp" in the pictures folder; the scene names it by that name.
    Ref<Image> Marker() {
        Ref<Image> picture(new Image("marker", RGB8, 2, 2));
        const uint8_t pixels[12] = {0, 0, 255, 0, 0, 255, 0, 255, 0, 0, 255, 0};
        std::memcpy(picture->GetPixels(), pixels, sizeof pixels);
        File disk((folder + "\\pictures\\marker.bmp").c_str());
        EXPECT_EQ(FindCodecForFile<ImageCodec>(&disk)->EncodeImage(&disk, picture.Get()), kOk);
        EXPECT_EQ(disk.Open(kFileRead), kOk);
        char* bytes = new char[disk.GetSize()];
        std::memcpy(bytes, disk.GetData(), static_cast<size_t>(disk.GetSize()));
        MemoryFile named("marker.bmp");
        named.SetSource(bytes, disk.GetSize());
        disk.Close();
        return Ref<Image>(new Image(&named, "marker"));
    }

    void WriteScene() {
        Ref<SceneNode> root(new SceneNode("root"));
        Ref<Camera> front(new Camera("Front")), side(new Camera("Side"));
        // Side looks along +x from the left: it sees nothing of the scene.
        side->SetLocalTransform(MakeTransform({1, 1, 1}, {0, 0.7071068f, 0, 0.7071068f}, {-10, 0, 5}));
        Ref<ColorEffect> red(new ColorEffect("red"));
        red->SetColor({1, 0, 0, 1});
        Ref<Triangles> triangle = test::DeviceFixture::MakeTriangles(
            red.Get(), {{-2.5f, -1, 5}, {-1.5f, 1, 5}, {-0.5f, -1, 5}}, {0, 1, 2});
        Ref<TextureEffect> picture(new TextureEffect("picture"));
        picture->SetTexture(new Texture("marker", Marker().Get()));
        Ref<Triangles> square = test::DeviceFixture::MakeTriangles(
            picture.Get(), {{0.5f, 1, 5}, {2.5f, 1, 5}, {2.5f, -1, 5}, {0.5f, -1, 5}}, {0, 1, 2, 0, 2, 3});
        Ref<Vector2Buffer> uv(new Vector2Buffer(4));
        (*uv)[1] = {1, 0};
        (*uv)[2] = {1, 1};
        (*uv)[3] = {0, 1};
        square->SetTexCoords(0, uv.Get());
        for (Node* child : std::initializer_list<Node*>{front.Get(), side.Get(), triangle.Get(), square.Get()})
            root->AddChild(child);
        File file((folder + "\\scene.STR").c_str());
        ASSERT_EQ(SaveScene(&file, root.Get()), kOk);
    }

    // Runs the tool with `arguments`; its exit code. Its errors go to errors.txt.
    DWORD Run(const std::string& arguments) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE errors = CreateFileA((folder + "\\errors.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                    CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = errors;
        startup.hStdOutput = errors;
        PROCESS_INFORMATION process = {};
        std::wstring commandLine = Widen("\"" + ProgramFolder() + "scenerender.exe\" " + arguments);
        DWORD code = 999;
        if (CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                           &process)) {
            WaitForSingleObject(process.hProcess, 60000);
            GetExitCodeProcess(process.hProcess, &code);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        CloseHandle(errors);
        return code;
    }

    std::string Errors() {
        File file((folder + "\\errors.txt").c_str());
        if (file.Open(kFileRead) != kOk) return std::string();
        return std::string(file.GetData(), static_cast<size_t>(file.GetSize()));
    }

    Ref<Image> Picture(const char* name) {
        Ref<Image> image(new Image("out"));
        File file((folder + "\\" + name).c_str());
        ImageCodec* codec = FindCodecForFile<ImageCodec>(&file);
        EXPECT_EQ(codec ? codec->DecodeImage(&file, image.Get()) : kFailed, kOk);
        return image;
    }

    std::string folder;
};

TEST_F(SceneRenderTool, RendersTheSceneThroughTheNamedCameraIntoABitmap) {
    const std::string scene = "\"" + folder + "\\scene.STR\"";
    ASSERT_EQ(Run("--data \"" + folder + "\\pictures\" --size 96x64 " + scene + " \"" + folder + "\\front.bmp\""),
              0u)
        << Errors();
    Ref<Image> front = Picture("front.bmp");
    ASSERT_EQ(front->GetWidth(), 96);
    ASSERT_EQ(front->GetHeight(), 64);
    using test::DeviceFixture;
    // Columns: x * (1 / tan(pi/8)) / (z + 1) of the half width, widened by
    // the aspect of 96 / 64.
    auto column = [](float x) { return static_cast<int>(48 * (1 + DeviceFixture::kFocal * x / 6 / 1.5f)); };
    EXPECT_TRUE(test::PixelNear(DeviceFixture::Pixel(*front, column(-1.5f), 36), {255, 0, 0}, 0));
    EXPECT_TRUE(test::PixelNear(DeviceFixture::Pixel(*front, column(1.5f), 26), {0, 255, 0}, 40));  // top half
    EXPECT_TRUE(test::PixelNear(DeviceFixture::Pixel(*front, column(1.5f), 38), {0, 0, 255}, 40));  // bottom half
    EXPECT_TRUE(test::PixelNear(DeviceFixture::Pixel(*front, 48, 4), {0, 0, 0}, 0));

    ASSERT_EQ(Run("--data \"" + folder + "\\pictures\" --camera Side --fixed-function --time 0.5 " + scene + " \"" +
                  folder + "\\side.bmp\""),
              0u)
        << Errors();
    Ref<Image> side = Picture("side.bmp");
    ASSERT_EQ(side->GetWidth(), 256);
    EXPECT_TRUE(test::PixelNear(DeviceFixture::Pixel(*side, 128, 128), {0, 0, 0}, 0));
}

TEST_F(SceneRenderTool, FailuresExitNonZeroWithTheEnginesErrors) {
    EXPECT_EQ(Run("\"" + folder + "\\missing.STR\" \"" + folder + "\\front.bmp\""), 1u);
    EXPECT_NE(Errors().find("ERROR. "), std::string::npos) << Errors();
    EXPECT_EQ(Run("--camera Nobody \"" + folder + "\\scene.STR\" \"" + folder + "\\front.bmp\""), 1u);
    EXPECT_EQ(Run("--size 0x5 a.STR b.bmp"), 64u);
    EXPECT_EQ(Run("only-one-argument.STR"), 64u);
}

}  // namespace
}  // namespace zav
