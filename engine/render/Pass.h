#pragma once

#include "engine/core/Object.h"
#include "engine/render/DeviceResource.h"
#include "engine/render/RenderStateBlock.h"

namespace zav {

class Renderer;

// One way through the pipeline: a render state block that the renderer
// applies first, then Apply binds what the pass draws with (buffers,
// textures, shaders, constants, matrices, lights). The renderer records
// the whole device state of a pass once into a state block, with a vertex
// declaration built from the buffers Apply binds (the pass's device
// object), and replays it while the pass is not `dirty`. Only the Object
// record is stored.
class Pass : public Object, public DeviceResource {
    ZAV_OBJECT_CLASS(Pass, Object)

    explicit Pass(const String& name = String());
    // Asks the renderer to release the declaration and the state block.
    ~Pass() override;

    // Binds what the pass draws with; 0 when it may draw, non-zero to skip
    // the pass this time.
    virtual int Apply(Renderer& renderer) = 0;
    // The effect's parameters changed: the pass is recorded again at its
    // next use.
    virtual void Invalidate() { SetDirty(); }

    RenderStateBlock* GetRenderState() const { return renderState_.Get(); }

protected:
    Ref<RenderStateBlock> renderState_;
};

}  // namespace zav
