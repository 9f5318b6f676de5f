#pragma once

#include <vector>

#include "engine/2d/Layer.h"
#include "views/spectrum/ScissorClip.h"

namespace engine {
class DrawNode;
class Label;
}  // namespace engine

class SpectrumSettings;
struct AccessPoint;
struct SSIDOutline;

// The scanned access points over the spectrum: an outline per access point in its colour, as
// wide as its channel and as high as its (gliding) level, with its name above. Lies over the
// spectrum trace layer with the same rectangle while scanning is shown.
class SSIDLayer : public engine::Layer {
  public:
    static constexpr const char* kFont = "fonts/roboto/Roboto-Regular.ttf";
    static constexpr unsigned kEllipseSegments = 40;

    static SSIDLayer* create();
    // A layer over another model (tests); create() uses the process-wide one.
    static SSIDLayer* createWithModel(SpectrumSettings* model);
    ~SSIDLayer() override;

    bool init() override;
    // Glides the levels by dt and rebuilds the outlines and labels, under apListLock. Done here
    // rather than while the scene is visited, since it adds and removes children.
    void update(float dt) override;
    void visit(engine::Renderer* renderer, const engine::Mat4& parentTransform,
               uint32_t parentFlags) override;

    // Label size by display class: 10 for class 0, 15 for class 2, else 13.
    static float fontSizeFor(int displayClass);

    bool showBand24 = true;
    bool showBand5 = true;

    const std::vector<engine::DrawNode*>& getOutlineNodes() const { return nodes_; }
    const std::vector<engine::Label*>& getLabels() const { return labels_; }

  private:
    SSIDLayer() = default;
    void drawAccessPoint(const AccessPoint& ap, const SSIDOutline& outline, float unitsPerMHz,
                         float height, size_t& usedNodes, size_t& usedLabels);
    engine::DrawNode* nodeAt(size_t index);
    engine::Label* labelAt(size_t index, float fontSize);

    SpectrumSettings* model_ = nullptr;
    std::vector<engine::DrawNode*> nodes_;  // retained, reused frame to frame
    std::vector<engine::Label*> labels_;    // retained
    ScissorClip clip_;
};
