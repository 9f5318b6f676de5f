#pragma once

namespace engine {

// One unit of drawing queued during the visit. Commands are owned by the nodes that queue them
// and must stay alive until the frame is rendered.
class RenderCommand {
  public:
    enum class Type { CUSTOM, TRIANGLES };

    virtual ~RenderCommand() = default;
    Type getType() const { return _type; }
    float getGlobalOrder() const { return _globalOrder; }
    // Paints every pixel of the frame, blending off: when it comes first, the frame's clear is
    // redundant and skipped.
    bool coversFrame() const { return _coversFrame; }
    void setCoversFrame(bool covers) { _coversFrame = covers; }

  protected:
    explicit RenderCommand(Type type) : _type(type) {}
    Type _type;
    float _globalOrder = 0;
    bool _coversFrame = false;
};

}  // namespace engine
