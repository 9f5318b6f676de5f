#pragma once

#include <cstddef>
#include <optional>
#include <unordered_map>
#include <vector>

#include "engine/base/Types.h"

namespace engine {

class RenderCommand;
class TrianglesCommand;

// A rectangle of framebuffer pixels, as glScissor takes it.
struct PixelBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelBox&) const = default;
};

// Collects the commands of one frame and runs them in global-Z order; commands with the same
// global Z keep the order in which the visit queued them. A frame may be confined to a damage
// box: the clear and every command stay inside it, whatever scissor the commands set themselves.
class Renderer {
  public:
    void addCommand(RenderCommand* command);
    void clear(const Color4F& color);
    void render();
    size_t getCommandCount() const { return _queue.size(); }
    // Draw calls issued by the last render(); for the benchmark and tests.
    size_t getDrawnBatches() const { return _drawnBatches; }

    // The pixels the next clear() and render() may touch; none: all of them.
    void setDamageBox(const std::optional<PixelBox>& box) { _damageBox = box; }
    const std::optional<PixelBox>& getDamageBox() const { return _damageBox; }

    // Where the last rendered frame showed the part texels (texture coordinates, 0 to 1) of a
    // texture through textured triangles, in design points; an empty rectangle when it was shown
    // before but not in that frame. False when the texture was never seen (custom commands may
    // draw it anywhere).
    bool getTextureFootprint(unsigned int texture, const Rect& texels, Rect* footprint) const;

  private:
    // One textured command: where it drew and, for an axis-aligned quad, which texture
    // coordinates its corners had, so a change of some texels damages only their part of it.
    struct Footprint {
        Rect world;
        bool quad = false;
        Vec2 worldLow, worldHigh;  // two opposite corners ...
        Vec2 uvLow, uvHigh;        // ... and their texture coordinates
    };
    static bool quadOf(const TrianglesCommand& command, Footprint* footprint);
    static Rect partOf(const Footprint& footprint, const Rect& texels);
    void recordFootprint(const TrianglesCommand& command);
    void confineScissorToDamage() const;

    std::vector<RenderCommand*> _queue;
    size_t _drawnBatches = 0;
    std::optional<PixelBox> _damageBox;
    std::unordered_map<unsigned int, std::vector<Footprint>> _footprints;
    std::unordered_map<unsigned int, std::vector<Footprint>> _queuedFootprints;
};

}  // namespace engine
