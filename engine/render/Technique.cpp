#include "engine/render/Technique.h"

#include "engine/core/Result.h"
#include "engine/render/Renderer.h"

namespace zav {

const RendererCaps& RendererCapsOf(const Renderer& renderer) { return renderer.GetCaps(); }

Technique::~Technique() = default;

bool Technique::AddPass(Pass* pass) { return pass && passes_.Append(Ref<Pass>(pass)) == kOk; }

}  // namespace zav
