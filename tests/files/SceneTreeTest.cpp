#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/files/CodecManager.h"
#include "engine/files/File.h"
#include "engine/files/MemoryFile.h"
#include "engine/files/SceneFile.h"
#include "engine/platform/Platform.h"
#include "tests/files/EngineRun.h"
#include "tests/support/SampleClasses.h"
#include "tools/strinfo/SceneTree.h"

namespace zav {
namespace {

using test::SampleController;
using test::SampleNode;

class SceneTree : public test::EngineRun {
protected:
    void SetUp() override {
        test::EngineRun::SetUp();
        ASSERT_EQ(LoadCodec("STRSceneCodec", nullptr), kOk);
        path_ = platform::CreateTempFile("zavtree") + ".STR";
    }
    void TearDown() override {
        std::filesystem::remove(path_);
        SampleNode::BreakAllLinks();
        test::EngineRun::TearDown();
    }

    // Saves root/left/right, both children sharing one controller and right
    // pointing back at the root.
    void SaveSampleScene() {
        Ref<SampleNode> root(new SampleNode("Root"));
        Ref<SampleNode> left(new SampleNode("left")), right(new SampleNode("\xEF\xF0\xE0\xE2\xFB\xE9"));
        Ref<SampleController> spin(new SampleController("spin"));
        root->children.AddUnique(left.Get());
        root->children.AddUnique(right.Get());
        left->AddController(spin.Get());
        right->AddController(spin.Get());
        right->next = root;
        File file(path_.c_str());
        ASSERT_EQ(SaveScene(&file, root.Get()), kOk);
    }

    std::string path_;
};

// Object IDs of a fresh load follow each other in reading order.
TEST_F(SceneTree, PrintsEachObjectOnceAndRefersToItAfterwards) {
    SaveSampleScene();
    Ref<tools::SceneTreeRecorder> recorder(new tools::SceneTreeRecorder());
    RegisterMessageOutput(recorder.Get());
    File file(path_.c_str());
    Object* scene = nullptr;
    ASSERT_EQ(LoadScene(&file, &scene), kOk);
    Ref<Object> loaded(scene);
    UnregisterMessageOutput(recorder.Get());
    const int root = loaded->GetId();
    auto* copy = static_cast<SampleNode*>(loaded.Get());
    const int left = copy->children.Get(0)->GetId();
    const int spin = copy->children.Get(0)->GetController(0)->GetId();
    const int right = copy->children.Get(1)->GetId();

    std::ostringstream tree;
    recorder->PrintTree(tree);
    auto label = [](const char* type, const char* name, int id) {
        return std::string(type) + " \"" + name + "\" (ID " + std::to_string(id) + ")";
    };
    EXPECT_EQ(tree.str(), label("ZAV.SampleNode", "Root", root) + "\n" +
                              "  " + label("ZAV.SampleNode", "left", left) + "\n" +
                              "    " + label("ZAV.SampleController", "spin", spin) + "\n" +
                              "  " + label("ZAV.SampleNode", "\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB2\xD1\x8B\xD0\xB9", right) +
                              "\n" +
                              "    -> " + label("ZAV.SampleController", "spin", spin) + ", shown above\n" +
                              "    -> " + label("ZAV.SampleNode", "Root", root) + ", shown above\n");
    std::ostringstream problems;
    recorder->PrintProblems(problems);
    EXPECT_EQ(problems.str(), "");
}

TEST_F(SceneTree, AFailedLoadShowsWhatWasReadAndTheErrors) {
    Ref<SampleNode> root(new SampleNode("Root"));
    root->any = new SampleNode("inner");
    Stream stream(0, 256);
    stream.WriteVersion(Version{0, 1, 2});
    stream.WriteObject(root.Get());
    std::string bytes(stream.GetData(), static_cast<size_t>(stream.GetPosition()) - 4);  // the root's last field
    MemoryFile file("cut.STR");
    file.SetBorrowedSource(bytes.data(), static_cast<int32_t>(bytes.size()));

    Ref<tools::SceneTreeRecorder> recorder(new tools::SceneTreeRecorder());
    RegisterMessageOutput(recorder.Get());
    Object* scene = nullptr;
    EXPECT_EQ(LoadScene(&file, &scene), kFailed);
    UnregisterMessageOutput(recorder.Get());
    std::ostringstream tree, problems;
    recorder->PrintTree(tree);
    recorder->PrintProblems(problems);
    // The inner object's record ends before the cut, the root's after it.
    EXPECT_EQ(tree.str(), "ZAV.SampleNode \"Root\" (ID " + std::to_string(root->GetId() + 2) + ") [record failed]\n" +
                              "  ZAV.SampleNode \"inner\" (ID " + std::to_string(root->GetId() + 3) + ")\n");
    EXPECT_NE(problems.str().find("ERROR. " + platform::CodePageToUtf8("Неудачна загрузка сцены из файла [cut.STR].")),
              std::string::npos)
        << problems.str();
}

#ifdef ZAV_STRINFO_WITH_SAMPLES
// The tool itself, built with the sample classes registered.
TEST_F(SceneTree, TheToolPrintsTheTreeAndExitsWithTheResult) {
    SaveSampleScene();
    std::string command = std::string(ZAV_STRINFO_WITH_SAMPLES) + " '" + path_ + "'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (size_t read = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, read);
    int status = pclose(pipe);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output.rfind("ZAV.SampleNode \"Root\" (ID ", 0), 0u) << output;
    EXPECT_NE(output.find("\n    -> ZAV.SampleNode \"Root\" (ID "), std::string::npos) << output;

    std::filesystem::remove(path_);
    pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    output.clear();
    while (size_t read = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, read);
    EXPECT_NE(pclose(pipe), 0);
    EXPECT_NE(output.find("The scene did not load."), std::string::npos) << output;
}
#endif

}  // namespace
}  // namespace zav
