// The engine's side of drawing: 2 000 lit, textured boxes updated and drawn
// through their effects' passes on the null back end, which makes the
// device objects and records the passes as a device back end would but
// draws nothing. Prints processor nanoseconds per drawn node. Build with the
// host-release preset:   build/host-release/bin/bench_draw_null [frames]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "bench/DrawScene.h"
#include "engine/core/Engine.h"
#include "engine/render/null/NullRenderer.h"

using namespace zav;

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    constexpr int kBoxes = 2000;
    if (EngineInit() != 0) return 1;
    {
        Ref<NullRenderer> renderer(new NullRenderer());
        MakeRendererCurrent(renderer.Get());
        bench::DrawScene scene = bench::BuildDrawScene(kBoxes);
        renderer->SetCamera(scene.camera.Get());
        auto frame = [&] {
            scene.root->UpdateSubtree(1.0 / 60.0, true);
            renderer->BeginRender();
            scene.root->Draw(*renderer);
            renderer->EndRender();
        };
        frame();  // makes the device objects and records the passes
        renderer->ResetCounters();
        const std::clock_t start = std::clock();
        for (int i = 0; i < frames; ++i) frame();
        const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
        const NullRenderer::Counters& counters = renderer->GetCounters();
        std::printf("boxes: %d, frames: %d, drawn per frame: %lld, passes recorded while measured: %lld\n", kBoxes,
                    frames, static_cast<long long>(counters.draws / frames),
                    static_cast<long long>(counters.recordings));
        std::printf("update, cull and draw (processor time): %.1f ns per drawn node, %.3f ms per frame\n",
                    seconds * 1e9 / double(counters.draws), seconds * 1e3 / frames);
        renderer->SetCamera(nullptr);
        renderer->SetCurrentNode(nullptr);
        renderer->ReleaseAll();
        MakeRendererCurrent(nullptr);
    }
    return EngineShutdown() == 0 ? 0 : 1;
}
