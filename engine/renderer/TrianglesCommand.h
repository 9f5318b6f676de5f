#pragma once

#include "engine/base/Mat4.h"
#include "engine/base/Types.h"
#include "engine/renderer/GLStateCache.h"
#include "engine/renderer/RenderCommand.h"

namespace engine {

class GLProgramState;
class GLProgram;

// A batch of triangles in one program, texture and blend mode; the geometry of one node.
class TrianglesCommand : public RenderCommand {
  public:
    TrianglesCommand() : RenderCommand(Type::TRIANGLES) {}

    // vertices are not copied: the node keeps them unchanged until the frame is rendered.
    void init(float globalZOrder, GLProgram* program, GLProgramState* state, unsigned int texture,
              const BlendFunc& blend, const V2F_C4B_T2F* vertices, int count, const Mat4& modelView,
              float alpha = 1.f);
    void execute() const { execute(_vertices, _count); }
    // Other vertices in this command's program, texture, blending and transform: some of its
    // own triangles, those that reach where the frame is confined to.
    void execute(const V2F_C4B_T2F* vertices, int count) const;

    unsigned int getTexture() const { return _texture; }
    const V2F_C4B_T2F* getVertices() const { return _vertices; }
    int getVertexCount() const { return _count; }
    const Mat4& getModelView() const { return _modelView; }

  private:
    GLProgram* _program = nullptr;
    GLProgramState* _state = nullptr;
    unsigned int _texture = 0;
    BlendFunc _blend = BlendFunc::DISABLE;
    const V2F_C4B_T2F* _vertices = nullptr;
    int _count = 0;
    Mat4 _modelView;
    float _alpha = 1.f;
};

}  // namespace engine
