// Saves and loads a graph of 100 000 objects (a tree of sample nodes, a
// quarter of them with a controller, some controllers shared, sibling links
// as back references) and prints throughput. Build with the host-release
// preset: build/host-release/bin/bench_object_stream [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/core/Engine.h"
#include "engine/core/Stream.h"
#include "tests/support/SampleClasses.h"

using namespace zav;
using test::SampleController;
using test::SampleNode;

namespace {

constexpr int kObjects = 100000;
constexpr int kFanOut = 8;

// Builds the graph breadth first and returns its root; `count` receives the
// number of objects in it.
Ref<SampleNode> BuildGraph(int* count) {
    Ref<SampleNode> root(new SampleNode("root"));
    std::vector<SampleNode*> level{root.Get()};
    int objects = 1;
    SampleController* shared = nullptr;
    while (objects < kObjects) {
        std::vector<SampleNode*> next;
        for (SampleNode* parent : level) {
            SampleNode* previous = nullptr;
            for (int i = 0; i < kFanOut && objects < kObjects; ++i) {
                auto* node = new SampleNode(String::Format("node%d", objects));
                ++objects;
                node->value = objects;
                node->position = {1.0f * i, 2.0f, 3.0f};
                node->label = "label";
                if (previous) node->any = previous;
                parent->children.AddUnique(node);
                if (objects % 4 == 0 && objects < kObjects) {
                    if (!shared || objects % 16 == 0) {
                        shared = new SampleController("ctl");
                        ++objects;
                    }
                    node->AddController(shared);
                }
                previous = node;
                next.push_back(node);
            }
        }
        level.swap(next);
    }
    *count = objects;
    return root;
}

double Seconds(std::chrono::steady_clock::duration elapsed) {
    return std::chrono::duration<double>(elapsed).count();
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    if (EngineInit() != 0) return 1;
    int objects = 0;
    Ref<SampleNode> root = BuildGraph(&objects);

    std::vector<double> saves, loads;
    int32_t bytes = 0;
    for (int round = 0; round < rounds; ++round) {
        Stream out(0, 1 << 20);
        auto start = std::chrono::steady_clock::now();
        if (out.WriteObject(root.Get()) != 0) return 1;
        saves.push_back(Seconds(std::chrono::steady_clock::now() - start));
        bytes = out.GetPosition();

        Stream in(bytes, 0);
        in.Write(out.GetData(), bytes);
        in.SetPosition(0);
        Object* read = nullptr;
        start = std::chrono::steady_clock::now();
        if (in.ReadObject(&read) != 0) return 1;
        loads.push_back(Seconds(std::chrono::steady_clock::now() - start));
        Ref<Object> keep(read);
    }
    std::sort(saves.begin(), saves.end());
    std::sort(loads.begin(), loads.end());
    double save = saves[saves.size() / 2], load = loads[loads.size() / 2];
    double megabytes = bytes / (1024.0 * 1024.0);
    std::printf("objects %d, stream %d bytes (%.2f MiB), median of %d rounds\n", objects, bytes, megabytes, rounds);
    std::printf("save: %.1f ms, %.1f MiB/s, %.0f objects/s\n", save * 1000, megabytes / save, objects / save);
    std::printf("load: %.1f ms, %.1f MiB/s, %.0f objects/s\n", load * 1000, megabytes / load, objects / load);
    root = nullptr;
    return EngineShutdown();
}
