#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/2d/Layer.h"
#include "views/spectrum/ScissorClip.h"

namespace engine {
class DrawNode;
class Event;
class Label;
class Touch;
}  // namespace engine

class SpectrumSettings;
struct AccessPoint;
struct SSIDOutline;

// The scanned access points over the spectrum: an outline per access point in its colour, as
// wide as its channel and as high as its (gliding) level, with its name above. Lies over the
// spectrum trace layer with the same rectangle while scanning is shown. The highlighted access
// point (picked in the SSID table, or by clicking its outline here) is drawn filled and bold.
class SSIDLayer : public engine::Layer {
  public:
    static constexpr const char* kFont = "fonts/roboto/Roboto-Regular.ttf";
    static constexpr unsigned kEllipseSegments = 40;
    // While a level glides, the outlines follow in steps of at least this long.
    static constexpr float kGlideStepSeconds = 1.0f / 12.0f;

    static SSIDLayer* create();
    // A layer over another model (tests); create() uses the process-wide one.
    static SSIDLayer* createWithModel(SpectrumSettings* model);
    ~SSIDLayer() override;

    bool init() override;
    // Glides the levels by dt and, when any outline or label changed, rebuilds
    // them. Done here rather than while the scene is visited, since it adds and removes
    // children; an unchanged picture leaves every node untouched.
    void update(float dt) override;
    void visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
               uint32_t parentFlags) override;

    // Label size by display class: 10 for class 0, 15 for class 2, else 13.
    static float fontSizeFor(int displayClass);

    // The access point whose outline (or name) is at `at` in layer units, the narrowest of
    // those that overlap there; false when none is. Uses the outlines as last drawn.
    bool accessPointAt(const engine::Vec2& at, uint8_t (&bssid)[6]) const;
    // A tap on an outline highlights its access point, or lets it go when it was highlighted.
    bool onTouchBegan(engine::Touch* touch, engine::Event* event);
    void onTouchEnded(engine::Touch* touch, engine::Event* event);

    bool showBand24 = true;
    bool showBand5 = true;

    const std::vector<engine::DrawNode*>& getOutlineNodes() const { return nodes_; }
    const std::vector<engine::Label*>& getLabels() const { return labels_; }

  private:
    // What one access point looks like this frame, in layer units.
    struct Shape {
        bool ellipse = false;
        float centre = 0.0f;
        float bottom = 0.0f;
        float top = 0.0f;
        float height = 0.0f;
        std::array<uint8_t, 4> colour{};
        std::string name;
        std::array<uint8_t, 6> bssid{};
        bool highlighted = false;
        bool operator==(const Shape&) const = default;
    };

    SSIDLayer() = default;
    void drawShape(const Shape& shape, size_t& usedNodes, size_t& usedLabels);
    engine::DrawNode* nodeAt(size_t index);
    engine::Label* labelAt(size_t index, float fontSize);

    SpectrumSettings* model_ = nullptr;
    std::vector<engine::DrawNode*> nodes_;  // retained, reused frame to frame
    std::vector<engine::Label*> labels_;    // retained
    std::vector<Shape> shapes_;             // what the nodes show
    float pendingDt_ = 0.0f;                // frame time not yet applied to the glides
    bool gliding_ = false;                  // a level was still on its way at the last step
    float fontSize_ = 0.0f;
    std::array<uint8_t, 6> touched_{};  // the access point under the touch that began
    ScissorClip clip_;
};
