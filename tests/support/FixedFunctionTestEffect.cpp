#include "tests/support/FixedFunctionTestEffect.h"

#include <new>

#include "engine/core/ClassRegistration.h"
#include "engine/core/Result.h"
#include "engine/render/Renderer.h"
#include "engine/render/Technique.h"
#include "engine/scene/GeometryNode.h"
#include "engine/scene/Light.h"

namespace zav::test {

ZAV_REGISTER_CLASS(FixedFunctionTestEffect);

namespace {

class TestPass : public GeometryNodeEffectPass {
public:
    explicit TestPass(FixedFunctionTestEffect* effect) : GeometryNodeEffectPass(effect), test_(effect) {
        TestPass::Invalidate();
    }

    void Invalidate() override {
        GeometryNodeEffectPass::Invalidate();
        if (!GetRenderState() || !test_) return;
        GetRenderState()->stages[0].texGen = test_->texGen;
        if (test_->adjustState) test_->adjustState(*GetRenderState());
    }

    int Apply(Renderer& renderer) override {
        ++test_->applies;
        GeometryNode* node = DrawnNode();
        if (!node) return kFailed;
        renderer.BindPositions(node->GetVertices());
        if (node->GetNormals()) renderer.BindNormals(node->GetNormals());
        if (node->GetColors()) renderer.BindColors(node->GetColors());
        if (node->GetTexCoords(0)) renderer.BindTexCoords(node->GetTexCoords(0), 0);
        renderer.BindIndices(node->GetIndices());
        renderer.BindTexture(test_->texture.Get(), 0);
        if (!SetCameraMatrices(renderer, test_->worldIsIdentity ? nullptr : node)) return kFailed;
        for (Light* light : test_->lights) {
            renderer.PushLight(light);
            renderer.EnableLight(light);
        }
        return kOk;
    }

private:
    FixedFunctionTestEffect* test_;
};

using NamedTechnique = OnePassTechnique<TestPass, FixedFunctionTestEffect>;

bool HasShaders(const RendererCaps& caps) { return caps.HasShaders(); }

}  // namespace

FixedFunctionTestEffect::FixedFunctionTestEffect(const String& name) : GeometryNodeEffect(name) {
    AddTechnique(new (std::nothrow) NamedTechnique(this, nullptr, "fixed function"));
}

void FixedFunctionTestEffect::AddShaderTechnique() {
    AddTechnique(new (std::nothrow) NamedTechnique(this, &HasShaders, "shader"));
}

std::string FixedFunctionTestEffect::ChosenTechnique() const {
    Technique* chosen = GetCurrentTechnique();
    return chosen ? chosen->GetName() : "";
}

}  // namespace zav::test
