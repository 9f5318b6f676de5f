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

  protected:
    explicit RenderCommand(Type type) : _type(type) {}
    Type _type;
    float _globalOrder = 0;
};

}  // namespace engine
