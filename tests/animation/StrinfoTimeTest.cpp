// strinfo --time plays a scene file: a node moving along its path, a node
// cross-fading between two animations and a screensaver cutting between two
// cameras. The positions it prints are worked out here step by step with
// plain arithmetic.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "engine/animation/NodeAnimationController.h"
#include "engine/animation/ScreensaverController.h"
#include "engine/core/Engine.h"
#include "engine/core/Stream.h"
#include "engine/scene/Camera.h"
#include "engine/scene/SceneNode.h"
#include "tests/animation/AnimationTestSupport.h"

namespace zav {
namespace {

constexpr double kStep = 1.0 / 60.0;
constexpr double kMoverPeriod = 4.0, kFaderPeriod = 2.0, kFlightPeriod = 3.0, kStillDuration = 2.5;
constexpr double kFadeStart = 0.5;
constexpr unsigned kSeed = 1234;

Ref<NodeAnimation> Path(const char* name, const Vector3& from, const Vector3& to) {
    return test::MoveAnimation(name, {{0.0, from}, {0.5, to}});
}

Ref<NodeAnimationController> Controller(Node* owner, double period) {
    Ref<NodeAnimationController> controller(new NodeAnimationController());
    controller->SetPeriod(period);
    EXPECT_EQ(owner->AddController(controller.Get()), kOk);
    return controller;
}

// The scene file: "Mover" turns a quarter about y and goes 8 along x and
// back in 4 s; "Fader" plays "up" in [0, 0.6] of its 2 s track and "out"
// (ping-pong) in [0.4, 1]; the screensaver on the root shows "Flown" (a
// 3 s flight 30 along z and back) or "Still" (2.5 s).
std::string SceneBytes() {
    Ref<SceneNode> root(new SceneNode("Root"));
    Ref<SceneNode> mover(new SceneNode("Mover"));
    Ref<NodeAnimation> path = Path("path", {0, 0, 0}, {8, 0, 0});
    static_cast<NodeKeyframe*>(path->GetKey(1))->rotation = {0, std::sin(0.7853982f), 0, std::cos(0.7853982f)};
    Controller(mover.Get(), kMoverPeriod)->AddFrame(test::Frame(path.Get(), 0.0, 1.0));

    Ref<SceneNode> fader(new SceneNode("Fader"));
    Ref<NodeAnimationController> fade = Controller(fader.Get(), kFaderPeriod);
    fade->AddFrame(test::Frame(Path("up", {0, 0, 0}, {0, 4, 0}).Get(), 0.0, 0.6));
    fade->AddFrame(test::Frame(Path("out", {10, 0, 0}, {10, 0, 10}).Get(), 0.4, 1.0, AnimationFrame::kPingPong));

    Ref<Camera> flown(new Camera("Flown"));
    Controller(flown.Get(), kFlightPeriod)->AddFrame(test::Frame(Path("flight", {0, 0, 0}, {0, 0, 30}).Get(), 0, 1));
    Ref<Camera> still(new Camera("Still"));
    Ref<ScreensaverController> shots(new ScreensaverController("Shots"));
    shots->AddSet(flown.Get(), kFadeStart, 100.0);
    shots->AddSet(still.Get(), kFadeStart, kStillDuration);
    root->AddController(shots.Get());
    for (Node* child : {static_cast<Node*>(mover.Get()), static_cast<Node*>(fader.Get()),
                        static_cast<Node*>(flown.Get()), static_cast<Node*>(still.Get())})
        root->AddChild(child);

    Stream stream(0, 4096);
    stream.WriteVersion(Version{0, 1, 2});
    EXPECT_EQ(stream.WriteObject(root.Get()), kOk);
    return std::string(stream.GetData(), static_cast<size_t>(stream.GetPosition()));
}

// Up from 0 at 0 to 1 at 0.5 and down again at 1: the value of two keys at
// 0 and 0.5 played at `t`.
double Triangle(double t) { return t < 0.5 ? t / 0.5 : 1.0 - (t - 0.5) / 0.5; }

double Advance(double phase, double time, double period) {
    phase += time / period;
    return phase >= 1.0 ? phase - std::floor(phase) : phase;
}

struct Expected {
    std::map<std::string, std::array<double, 7>> nodes;  // translation, rotation
    int set = -1;
    double elapsed = 0.0;
    double fade = 0.0;
};

Expected Work(double seconds) {
    Expected expected;
    // The screensaver's draws: the history of one entry, then the first set.
    std::srand(kSeed);
    std::rand();
    int set = std::rand() % 2;
    double elapsed = 0.0, flight = 0.0, mover = 0.0, fader = 0.0;
    double faderY = 0.0, faderZ = 0.0, faderX = 0.0;
    const long steps = std::lround(seconds / kStep);
    for (long step = 0; step <= steps; ++step) {
        const double dt = step == 0 ? 0.0 : kStep;  // the first update is of no time
        // The root's screensaver first.
        elapsed += dt;
        const double duration = set == 0 ? kFlightPeriod : kStillDuration;
        if (elapsed >= duration) {
            elapsed -= duration;
            set = std::rand() % 2;
            if (set == 0) flight = 0.0 - (dt - elapsed) / kFlightPeriod;
        }
        // Then the children in order.
        mover = Advance(mover, dt, kMoverPeriod);
        fader = Advance(fader, dt, kFaderPeriod);
        const bool inUp = fader <= 0.6, inOut = fader >= 0.4;
        const double upY = 4 * Triangle(fader / 0.6);
        double outT = (fader - 0.4) / 0.6;  // ping-pong: below 1, as is
        const double outZ = 10 * Triangle(outT);
        if (inUp && inOut) {
            const double w = (fader - 0.4) / 0.2;
            // From where the node is: towards "up" by 1 - w, then towards
            // "out" by w.
            faderX += (0 - faderX) * (1 - w), faderY += (upY - faderY) * (1 - w), faderZ += (0 - faderZ) * (1 - w);
            faderX += (10 - faderX) * w, faderY += (0 - faderY) * w, faderZ += (outZ - faderZ) * w;
        } else if (inUp) {
            faderX = 0, faderY = upY, faderZ = 0;
        } else {
            faderX = 10, faderY = 0, faderZ = outZ;
        }
        flight = Advance(flight, dt, kFlightPeriod);
    }
    const double turn = 0.7853982 * Triangle(mover);  // half the angle
    expected.nodes["Root"] = {0, 0, 0, 0, 0, 0, 1};
    expected.nodes["Mover"] = {8 * Triangle(mover), 0, 0, 0, std::sin(turn), 0, std::cos(turn)};
    expected.nodes["Fader"] = {faderX, faderY, faderZ, 0, 0, 0, 1};
    expected.nodes["Flown"] = {0, 0, 30 * Triangle(flight), 0, 0, 0, 1};
    expected.nodes["Still"] = {0, 0, 0, 0, 0, 0, 1};
    expected.set = set;
    expected.elapsed = elapsed;
    const double duration = set == 0 ? kFlightPeriod : kStillDuration;
    const double remaining = duration - elapsed, since = elapsed - kFadeStart;
    expected.fade = remaining <= 1 ? 1 - remaining : since <= 1 ? 1 - since : 0;
    return expected;
}

std::string Output(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[4096];
    size_t read = 0;
    while ((read = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, read);
    pclose(pipe);
    return output;
}

class StrinfoTime : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(EngineInit(), kOk);
        // Tests run as processes side by side: a file of this test's own.
        path_ = ::testing::TempDir() + "strinfo_time_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + std::to_string(getpid()) +
                ".STR";
        std::ofstream(path_, std::ios::binary) << SceneBytes();
    }
    void TearDown() override {
        std::remove(path_.c_str());
        EXPECT_EQ(EngineShutdown(), kOk);
    }
    std::string path_;
};

TEST_F(StrinfoTime, PrintsWhereTheNodesAreAndWhatTheScreensaverShows) {
    // Shots end at different times on the way; at 1 s and 5.1 s the fader is
    // inside its cross-fade, at 7.4 s the veil is fading out.
    for (double seconds : {0.0, 1.0, 5.1, 7.4, 11.25}) {
        const std::string output = Output(std::string(ZAV_STRINFO) + " --time " + std::to_string(seconds) + " --seed " +
                                          std::to_string(kSeed) + " " + path_);
        SCOPED_TRACE(output);
        ASSERT_NE(output.find("After "), std::string::npos);
        const Expected expected = Work(seconds);
        std::istringstream lines(output.substr(output.find("After ")));
        std::string line;
        std::getline(lines, line);
        std::map<std::string, std::array<double, 7>> printed;
        while (std::getline(lines, line) && line[0] == '"') {
            const size_t end = line.find('"', 1);
            std::istringstream values(line.substr(end + 1));
            std::string word;
            std::array<double, 7> numbers{};
            values >> word >> numbers[0] >> numbers[1] >> numbers[2] >> word >> numbers[3] >> numbers[4] >>
                numbers[5] >> numbers[6];
            printed[line.substr(1, end - 1)] = numbers;
        }
        ASSERT_EQ(printed.size(), expected.nodes.size());
        for (const auto& [name, numbers] : expected.nodes)
            for (int i = 0; i < 7; ++i) EXPECT_NEAR(printed[name][i], numbers[i], 2e-4) << name << " " << i;
        int set = -2;
        double elapsed = -1, fade = -1;
        ASSERT_EQ(
            std::sscanf(line.c_str(), "Screensaver \"Shots\": set %d, elapsed %lf s, fade %lf", &set, &elapsed, &fade),
            3)
            << line;
        EXPECT_EQ(set, expected.set);
        EXPECT_NEAR(elapsed, expected.elapsed, 1e-4);
        EXPECT_NEAR(fade, expected.fade, 1e-4);
    }
}

TEST_F(StrinfoTime, RefusesATimeThatIsNoNumberOfSecondsAndASeedAlone) {
    for (const char* arguments : {" --time -1 ", " --time nan ", " --time 1e9 ", " --seed 3 ", " --time 1 --seed x "}) {
        const std::string command = std::string(ZAV_STRINFO) + arguments + path_ + " 2>&1; echo status $?";
        EXPECT_NE(Output(command).find("status 2"), std::string::npos) << arguments;
    }
}

}  // namespace
}  // namespace zav
