#pragma once

#include <vector>

#include "engine/2d/Node.h"
#include "engine/renderer/CustomCommand.h"
#include "engine/renderer/Renderer.h"

namespace engine {

// The bottom of the picture, drawn once and kept: the clear colour and the children (a grid,
// say) are rendered into a texture the size of the frame only when one of them changes, the
// frame's size or the projection changes, or a texture they show is updated. Every other frame
// copies the damaged part of that texture into the frame (one framebuffer blit, unscaled) in
// place of the clear and the children's drawing; what the
// copy shows is exactly what clearing and drawing them would have left, so the picture does not
// change by a pixel.
//
// It must be the first thing the scene draws (lowest local Z, global Z no lower than anything
// else), for the copy replaces whatever lies below it. Main thread, with the context current.
class CachedBackdrop : public Node {
  public:
    static CachedBackdrop* create();
    ~CachedBackdrop() override;

    void visit(Renderer* renderer, const Mat4& parentTransform, uint32_t parentFlags) override;

    // How often the children were rendered into the texture (tests count them).
    unsigned int getRenderCount() const { return _renderCount; }
    // Renders the children again at the next frame.
    void invalidate() { _stale = true; }
    // From the director when texels of a texture changed: backdrops that show the texture are
    // stale; footprint receives where they show those texels (world space). False when none does.
    static bool textureChanged(unsigned int texture, const Rect& texels, Rect* footprint);

  protected:
    CachedBackdrop();
    void descendantChanged() override { _stale = true; }

  private:
    bool prepareTarget(int width, int height);
    void releaseTarget();
    void renderChildren(const Mat4& parentTransform, uint32_t parentFlags);
    void queueCopy(Renderer* renderer);
    void copyInto(const Renderer& frame) const;

    static std::vector<CachedBackdrop*> s_live;

    Renderer _renderer;  // the children's commands, run into the texture
    unsigned int _framebuffer = 0;
    unsigned int _texture = 0;
    int _width = 0;
    int _height = 0;
    bool _failed = false;
    bool _stale = true;
    unsigned long long _epoch = 0;
    unsigned int _renderCount = 0;
    CustomCommand _copy;
};

}  // namespace engine
