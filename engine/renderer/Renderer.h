#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "engine/base/Types.h"
#include "engine/renderer/GLStateCache.h"

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
// Triangles that lie wholly outside the damaged rectangle are not sent at all: a software
// rasteriser pays for setting up every triangle, even one the scissor then discards.
class Renderer {
  public:
    void addCommand(RenderCommand* command);
    // The clear runs with the next render(), unless that frame's first command covers it.
    void clear(const Color4F& color);
    void render();
    size_t getCommandCount() const { return _queue.size(); }
    // Draw calls issued by the last render(); for the benchmark and tests.
    size_t getDrawnBatches() const { return _drawnBatches; }
    // Triangle commands the last render() left out as outside the damage.
    size_t getCulledBatches() const { return _culledBatches; }
    // Whether the last render() cleared the frame.
    bool didClear() const { return _cleared; }

    // The pixels the next clear() and render() may touch; none: all of them. cullRect is the
    // same damage in design points (world space): triangles wholly outside it are skipped.
    void setDamageBox(const std::optional<PixelBox>& box,
                      const std::optional<Rect>& cullRect = std::nullopt);
    // Several disjoint boxes: the frame is rendered once into each, the queue run whole each
    // time, so every box ends as a whole frame would have left it. cullRects[i] is boxes[i] in
    // design points. None: the whole frame.
    void setDamageBoxes(std::vector<PixelBox> boxes, std::vector<Rect> cullRects);
    // While rendering, the box being rendered into; otherwise the first of the boxes set.
    const std::optional<PixelBox>& getDamageBox() const { return _damageBox; }

    // Tests watch which triangle commands ran: called with each one's world bounds.
    using DrawObserver = std::function<void(const Rect& world)>;
    void setDrawObserver(DrawObserver observer) { _observer = std::move(observer); }

    // The world-space bounding box of a command's triangles; false when it has none.
    static bool worldBounds(const TrianglesCommand& command, Rect* world);

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
    void clearNow(const Color4F& color);
    void renderPass(const std::optional<Color4F>& clearColor);
    bool outsideDamage(const Rect& world) const;
    // The command's triangles that reach into the cull rectangle, in their order: a run of
    // its own vertices, or a copy in _gathered; false when it is drawn whole.
    bool trianglesInCull(const TrianglesCommand& command, const V2F_C4B_T2F** vertices, int* count);

    std::vector<RenderCommand*> _queue;
    size_t _drawnBatches = 0;
    size_t _culledBatches = 0;
    bool _cleared = false;
    std::optional<Color4F> _pendingClear;
    std::optional<PixelBox> _damageBox;
    std::optional<Rect> _cullRect;
    std::vector<PixelBox> _boxes;
    std::vector<Rect> _cullRects;
    std::vector<Rect> _commandBounds;  // per queued command, this render()'s; empty: none
    std::vector<char> _commandHasBounds;
    std::vector<char> _reaches;
    std::vector<V2F_C4B_T2F> _gathered;
    DrawObserver _observer;
    std::unordered_map<unsigned int, std::vector<Footprint>> _footprints;
    std::unordered_map<unsigned int, std::vector<Footprint>> _queuedFootprints;
};

}  // namespace engine
