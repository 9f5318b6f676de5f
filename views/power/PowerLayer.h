#pragma once

#include <cstdint>
#include <vector>

#include "engine/2d/Layer.h"
#include "engine/renderer/CustomCommand.h"
#include "views/power/PowerCaptureBuffers.h"
#include "views/spectrum/ScissorClip.h"

namespace engine {
class GLProgram;
}  // namespace engine

class SpectrumSettings;
struct PowerTraceLists;

// The power meter's trace: received power against time, drawn like an oscilloscope. At slow
// time bases a strip chart that grows in from the right; at fast ones each capture is a vertex
// list (smoothed when short) that fades out over the persistence time. Draws the live trace and,
// when grabbed and shown, the reference trace; rescales a held capture to the selected time base
// and delay; and writes the power cursors' readouts from the drawn positions.
class PowerLayer : public engine::Layer {
  public:
    static constexpr const char* kLineProgram = "SimpleLineShader";
    static constexpr float kPointSize = 2.0f;
    static constexpr int kLiveSet = 0;
    static constexpr int kReferenceSet = 1;

    static PowerLayer* create();
    // A layer over another model (tests); create() uses the process-wide one.
    static PowerLayer* createWithModel(SpectrumSettings* model);
    ~PowerLayer() override;

    bool init() override;
    void update(float dt) override;
    void draw(engine::Renderer* renderer, const engine::Mat4& transform, uint32_t flags) override;
    void visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
               uint32_t parentFlags) override;
    // Where the traces lie inside the clip's rectangle: a new capture or a fading step redraws
    // those rows of the plot, not the plot or the window.
    // They hold nothing a child would draw: a child's change damages the whole frame.
    bool getDrawnBounds(engine::Rect* local) const override;

    // The "SimpleLineShader" program from the cache, built from the engine's position and
    // uniform-colour shaders on first use; nullptr when it does not link.
    static engine::GLProgram* lineProgram();

    // True while older captures are still fading out: the picture changes every frame even
    // without new data.
    bool hasFadingCaptures() const { return fading_; }
    // Whether the last update changed what the layer draws: new power data, a fading step or
    // an expired capture. The scene asks for a redraw when it is set.
    bool pictureChanged() const { return pictureChanged_; }
    // How many capture vertex buffers a trace set built (tests count them: one per capture over
    // its fading life, unless the layer's size or the level axis changes).
    size_t getCaptureBufferBuilds(int set) const {
        return captureBuffers_[set == kLiveSet ? kLiveSet : kReferenceSet].getBuildCount();
    }

  private:
    // How a trace set is placed horizontally: x' = (x + shift - W/2) * scale + W/2.
    struct Placement {
        float scale = 1.0f;
        float shift = 0.0f;
    };

    PowerLayer() = default;
    void buildLiveVertices();
    void sampleCursors();
    void measureDrawnBounds();
    bool setShown(int set) const;
    bool setRolling(int set) const;
    Placement placement(int set) const;
    PowerTraceLists& lists(int set) const;
    int rollPoints(int set) const;
    void drawSet(int set, const engine::Mat4& transform);
    // The bytes of every setting the picture depends on besides the samples.
    std::vector<uint8_t> drawSettings() const;

    SpectrumSettings* model_ = nullptr;
    // Seconds between frames drawn for a fade alone (24 a second).
    static constexpr float kFadeFrameInterval = 1.0f / 24.0f;

    float lastDelta_ = 0.0f;
    float sinceDrawn_ = 0.0f;  // since the picture last changed
    bool fading_ = false;
    bool pictureChanged_ = false;
    std::vector<uint8_t> drawnSettings_;  // the settings the last frame was drawn with
    std::vector<uint8_t> drawnLevels_;    // the captures' 8-bit brightness in the last frame
    engine::Rect drawnBounds_;            // of the traces, as the last update left them
    engine::Size boundsSize_;             // the layer's size when they were measured
    engine::CustomCommand drawCommands_[2];
    std::vector<engine::Vec2> points_;  // the roll trace's, reused across frames
    PowerCaptureBuffers captureBuffers_[2];
    ScissorClip clip_;
};
